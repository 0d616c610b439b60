#pragma once

#include <QWidget>
#include <memory>

class QTableView;

// FF8, the item history inquiry: the item list DG1 paged by the list procedure, the item
// panel, the options "零不顯示" and "停產顯示", the 25 mode buttons and the history grids that
// lie over the list. Opened by F8 from any window, created once and kept.
class InquiryWindow : public QWidget {
    Q_OBJECT
public:
    explicit InquiryWindow(QWidget* parent = nullptr);
    ~InquiryWindow() override;

    // The opening sequence: options, the first page of the list, its top item, then the
    // option "停產顯示" on.
    void open();
    // Presses mode button B1(index), as its accelerator or Enter does.
    void pressMode(int index);
    // Positions the list at an item (key 13; 80 when a lookup hands it over).
    void positionList(const QString& itemCode, bool handover);

    int currentMode() const;
    QString currentGrid() const;
    // The item code of the highlighted row of the list; empty when the list is empty.
    QString highlightedItem() const;
    QString listTopCode() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
