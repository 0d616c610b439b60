#pragma once

#include <QList>
#include <functional>
#include <memory>
#include <vector>

#include "DataSource.h"
#include "InquiryFrame.h"
#include "ListProcedure.h"
#include "RecordsetModel.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// A grid of the lookup frames: a table view over a data source of its own.
struct FrameGrid {
    QTableView* view = nullptr;
    RecordsetModel* model = nullptr;
    DataSource source;

    // Reads the statement into the grid; the number of rows.
    int read(const QString& statement, const QString& place);
    // Shows the recordset of another source (one that pages the grid).
    void showRows(const Recordset* rows);
    int rowCount() const;
    int current() const;
    void highlight(int row);
    QVariant value(int row, const QString& column) const;
};

// Pages a grid through the list procedure SP_F8 under the grid's own name: Page Up, Page
// Down, End, Home, Up at the first row and Down at the last call it with the key's number and
// the key of the page's first or last row (argument 7).
class ProcedurePaging {
public:
    ProcedurePaging(QString grid, QString place) : m_procedure(std::move(grid), std::move(place)) {}
    ListProcedure& procedure() { return m_procedure; }
    // The window's list arguments, the code (argument 6) and the pattern (argument 10).
    void setUp(const InquiryFrame::Context& context, const QString& code, const QString& pattern);
    // False for a key the grid keeps (any other key, Up and Down inside the page).
    bool key(FrameGrid& grid, int qtKey, const std::function<QString(int row)>& keyOf);

private:
    ListProcedure m_procedure;
    QString m_code;
};

// An entry frame of the inquiry: fields with their captions and the buttons "確定" and
// "Esc 離開" in a small box at the top of the item list's area; code lists and the result
// grid over the whole area, a page of fifteen rows in view. The frame covers that area but paints nothing of its own,
// so the list shows where its children do not lie. Esc in a field or "Esc 離開" closes it
// and gives the keyboard to the list; function keys other than F2 go to the suite's handler.
class EntryFrame : public InquiryFrame {
    Q_OBJECT
public:
    struct Field {
        QString objectName;  // "T2(0)"
        QString caption;     // "廠商代號:"
    };
    EntryFrame(QWidget* parent, const QString& caption, const QList<Field>& fields,
               const QString& buttons);
    ~EntryFrame() override;

    bool start(const Context& context) override;

protected:
    QLineEdit* field(int i) const { return m_fields.at(i); }
    const Context& context() const { return m_context; }
    QString place() const;

    // A grid of the frame, hidden until shown.
    FrameGrid* makeGrid(const QString& name, QList<RecordsetModel::Column> columns);
    // A code list for a field, over the box until it closes; the grid gets the keyboard.
    void showList(FrameGrid* list, QLineEdit* owner);
    // Enter in a list: the highlighted code goes into the field the list belongs to.
    void takeFromList(FrameGrid* list);
    void closeList(FrameGrid* list);
    // A grid below the box that leaves the frame open (the external codes).
    void showBelow(FrameGrid* grid);
    // The result grid over the item list; the box steps aside.
    void showResult(FrameGrid* grid);
    // Whether the statement finds a row (the code checks).
    bool found(const QString& statement);
    // A message; then the keyboard goes back to the widget.
    void tell(const QString& text, QWidget* focus);
    void close(Back back);

    // "確定".
    virtual void confirm() = 0;
    // Enter and F2 in a field; false leaves the key to the frame (Enter moves on).
    virtual bool fieldKey(int index, int key) = 0;
    // A key of one of the frame's grids; false leaves it to the grid.
    virtual bool gridKey(FrameGrid* grid, int key) = 0;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FrameGrid* gridOf(QObject* watched) const;

    Context m_context;
    QFrame* m_box = nullptr;
    QList<QLineEdit*> m_fields;
    QList<QPushButton*> m_buttons;
    std::vector<std::unique_ptr<FrameGrid>> m_grids;
    QLineEdit* m_listOwner = nullptr;
    QWidget* m_list = nullptr;  // the window's item list
    DataSource m_probe;
};
