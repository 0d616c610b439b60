#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "DataSource.h"
#include "HistoryGrids.h"

// Pages one history grid through its data source: the first page, Page Up, Page Down, Home
// and End read as "boundary + rows" statements, and the lot grid's one-row moves at the
// page's edges. The rows on screen are the data source's recordset; row() is the row to
// highlight after each move. Boundary and neighbour reads go through a probe source of their
// own, so the page on screen changes only when its rows are read.
class HistoryPager {
public:
    explicit HistoryPager(QString place);

    DataSource& rows() { return m_rows; }
    const DataSource& rows() const { return m_rows; }

    // Reads the first page of the grid for the item; false (and nothing shown) when the item
    // has no rows.
    bool first(HistoryGrid grid, const QString& item, const HistoryReader& reader);
    // Reads the first page of the grid that the statements describe (the customer grids).
    bool first(const HistoryStatements& statements);
    // Handles a key of the grid: Page Up, Page Down, Home, End; in the lot grid also Up on
    // the first row and Down on the last (current is the highlighted row). False for any
    // other key, which the grid keeps.
    bool key(int qtKey, int current);

    int row() const { return m_row; }
    int rowCount() const;
    // The key of a row of the page (the composite key, or document and lot number joined).
    QString keyOf(int row) const;
    std::optional<HistoryGrid> grid() const;

private:
    // Runs a boundary statement; the key of its last row, or nothing when it has no row.
    std::optional<QString> lowerBound(const QString& statement);
    void read(const QString& statement, bool highlightLast);
    void showEmpty();
    void pageUp();
    void end();
    bool lotEdge(bool up, int current);
    void moveLot(bool up, const QString& edge);
    void together(const std::function<void()>& reads);

    QString m_place;
    DataSource m_rows;
    DataSource m_probe;
    std::optional<HistoryStatements> m_statements;
    int m_row = 0;
};
