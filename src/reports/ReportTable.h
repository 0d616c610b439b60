#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// What a report hands to a spreadsheet printer instead of drawing its pages: its rows as a
// table. The report gives the same cells to its pages (through PrintedText) and to the table, so
// that the file holds what the paper shows: the title and the criteria line, the printed column
// captions, then one row per printed line.

// How a printed value is written: a text as it is (codes and ROC dates too), a whole number in
// "#,##0", an amount in the session's amount format.
enum class CellKind { Text, Whole, Amount };

struct TableCell {
    CellKind kind = CellKind::Text;
    QVariant value;

    static TableCell text(const QVariant& value) { return {CellKind::Text, value}; }
    static TableCell whole(const QVariant& value) { return {CellKind::Whole, value}; }
    static TableCell amount(const QVariant& value) { return {CellKind::Amount, value}; }
};

// The cell as the report prints it: a text trimmed, a number in its format.
QString PrintedText(const TableCell& cell);
// The decimals of an amount in the session's format.
int AmountDecimals();

class ReportTable {
public:
    virtual ~ReportTable() = default;
    // Starts the print command's table: the report's title, its criteria line (empty when the
    // report prints none) and the captions of its columns.
    virtual void begin(const QString& title, const QString& criteria,
                       const QStringList& header) = 0;
    // One printed line, its cells from the first column on.
    virtual void addRow(const QList<TableCell>& cells) = 0;
};

// The progress line of printing while a table is written: the lines are counted into the pages
// they take on paper, and each page shows "目前進度：第 n 頁，共 m 頁" as it begins.
class TableProgress {
public:
    TableProgress(int rowsPerPage, int totalPages)
        : m_rowsPerPage(rowsPerPage), m_totalPages(totalPages) {}
    // Before each printed line.
    void nextRow();
    // After the last line of a document (a detail report's asset): the next line begins a page.
    // A document without lines still takes its page.
    void closeDocument();

private:
    void show();

    int m_rowsPerPage, m_totalPages;
    int m_page = 1, m_row = 1;
    bool m_shown = false;
};
