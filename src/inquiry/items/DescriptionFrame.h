#pragma once

#include <QString>

#include "InquiryFrame.h"

class PiecedTextEdit;
class QPushButton;
class QTextBrowser;
class QTimer;

// Mode E "E 規格說明": the item's description text ISPACE in T7 and, under the caption
// "網頁模式預覽", the text rendered as a web page. Every change of T7 rewrites Html.htm in the
// program's folder (Big5) and shows that file again (a text over 16 KB when the typing pauses;
// markup beyond the bounds of ItemViews::rendersAsMarkup as plain text). The view loads only
// bounded regular files of the program's folder: no script runs, nothing is fetched from the
// network or a share. "離 開" B7 gives the mode buttons the
// keyboard.
class DescriptionFrame : public InquiryFrame {
    Q_OBJECT
public:
    explicit DescriptionFrame(QWidget* parent);
    bool start(const Context& context) override;

    // The folder of Html.htm: the program's own.
    static QString folder();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rewrite();
    // Writes the page for the text and shows it, as markup when the text is within its bounds.
    void showPage(const QString& text, bool markup);
    void leave();

    PiecedTextEdit* m_t7 = nullptr;
    QTextBrowser* m_view = nullptr;
    QPushButton* m_b7 = nullptr;
    QTimer* m_pause = nullptr;  // a long text is written when the typing pauses
    bool m_toldUnwritable = false;  // the folder's refusal is said once a showing
};
