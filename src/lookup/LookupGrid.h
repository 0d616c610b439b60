#pragma once

#include <QTableView>
#include <memory>

#include "LookupPager.h"
#include "RecordsetModel.h"

class DataSource;

// The F2 code lookup: a small grid directly below the field (above it, or as low as the window
// allows, when there is no room below), ten rows a page, all of them always in view, code and
// name. A click makes a row the current one for the keys as well; Enter or a double click
// takes the row (taken), Esc goes back without a choice (escaped). Losing the focus closes the
// grid. The field has the focus again before taken is emitted, so a handler may move it on.
class LookupGrid : public QTableView {
    Q_OBJECT
public:
    struct Setup {
        QString objectName;       // e.g. "DGF2"
        QString codeCaption;      // e.g. "代號"
        QString nameCaption;      // e.g. "名稱"
        QString place;            // the window's caption, for the error report
    };

    LookupGrid(DataSource& source, const Setup& setup, QWidget* parent);

    // Opens the lookup for a field: the first page for the field's pattern, the grid placed
    // below the field with the focus. With no match it shows the not-found message (such as
    // "找不到相關會計科目資料!"), stays closed and gives false.
    bool open(QWidget* owner, std::shared_ptr<const LookupSource> lookup,
              std::function<QString()> pattern, const QString& notFoundMessage);
    QWidget* owner() const { return m_owner; }
    // The height that shows the header and a whole page of rows without scrolling.
    int pageHeight() const;
    const LookupPager* pager() const { return m_pager.get(); }

signals:
    void taken(const QString& code, const QString& name);
    void escaped();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void placeAt(QWidget* owner);
    void showPage();
    void take();
    void setBackground(bool focused);

    DataSource& m_source;
    Setup m_setup;
    RecordsetModel* m_model;
    std::unique_ptr<LookupPager> m_pager;
    QWidget* m_owner = nullptr;
};
