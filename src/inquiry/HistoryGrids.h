#pragma once

#include <QString>
#include <QStringList>

struct Session;

// The history grids of the item inquiry as data: each grid's table and index hint, composite
// key, row filter, orders, columns, user restriction and empty message, and the statements
// that page through it fifteen rows at a time. Nothing here touches a widget or the database,
// so that the window, the tests and the benchmark send the very same texts.

// Who reads: the rights and codes that shape the statements.
struct HistoryReader {
    bool allSalesmen = false;           // right 355
    bool allDepartments = false;        // right 1306
    bool purchasePrices = false;        // right 367
    bool lotPurchasePrice = false;      // right 926
    bool taxIncludedLotPrices = false;  // the installation switch TaxIncludedLotPrices
    QString staffCode;
    QString departmentNo;

    static HistoryReader of(const Session& session, bool taxIncludedLotPrices);
};

enum class HistoryGrid {
    Sales,            // DG7, mode 4
    SalesReturns,     // DGB, mode 5
    PurchaseReturns,  // DGO, mode 2
    PosSales,         // DG15, mode 11
    PosReturns,       // DG15, mode 12
    Transfers,        // DG16, mode 13
    OpenPurchases,    // DG17, mode 14
    OpenOrders,       // DG18, mode 15
    Locations,        // DG19, mode 16
    RepairParts,      // DG21, mode 19
    Lots,             // DG13, mode 10
    // The histories of a customer (filtered by customer and item pattern, not by an item):
    CustomerSales,    // DG10, mode 6
    CustomerRepairs,  // DG20, mode 17
};

// Every paged grid of the highlighted item, in the order of the list above.
const QList<HistoryGrid>& AllHistoryGrids();

struct HistoryGridInfo {
    QString name;          // "DG17"
    int mode = 0;          // the mode button that shows it
    QString emptyMessage;  // shown when the first page is empty
    // The column that carries a row's key; empty when the key is read by position (the last
    // column) or, for the lot grid, joined from the document and lot columns.
    QString keyColumn;
    int keyPosition = -1;  // the key's column when it has no name and is not the last one
};
HistoryGridInfo InfoOf(HistoryGrid grid);

// The statements of one grid for one item and reader. Keys are the composite texts of the
// grid's rows (for the lot grid: document code followed by lot number).
class HistoryStatements {
public:
    static constexpr int PageSize = 15;

    HistoryStatements(HistoryGrid grid, const QString& item, const HistoryReader& reader);
    // The customer grids: the customer's lines or repair orders of the items that match the
    // LIKE pattern.
    HistoryStatements(HistoryGrid grid, const QString& customer, const QString& itemPattern,
                      const HistoryReader& reader);

    // The first page: the newest fifteen keys, newest first (their last is the lower bound),
    // then the rows from that bound. The lot grid's first page is one statement (firstRows
    // with an empty bound): the fifteen oldest lots.
    QString firstBoundary() const;
    QString firstRows(const QString& lower) const;
    // Page Up from the page's first key: the fifteen keys at or before it, newest first, then
    // at most fifteen rows from the last of them.
    QString upBoundary(const QString& first) const;
    QString upRows(const QString& lower) const;
    // Page Down: fifteen rows from the page's last key.
    QString downRows(const QString& last) const;
    // Home: the oldest fifteen rows. End is the first page again (for the lot grid, the newest
    // fifteen through boundary and rows, as the other grids read it; for the customer grids the
    // same, cut to fifteen rows).
    QString homeRows() const;
    QString endBoundary() const;
    QString endRows(const QString& lower) const;
    // The lot grid's neighbour reads for Up on the first row and Down on the last: two lots,
    // the given one and the one before (after) it.
    QString lotBefore(const QString& key) const;
    QString lotAfter(const QString& key) const;

    // The lot grid's quantities per warehouse of one lot (the key S).
    static QString lotStock(const QString& lot);

    HistoryGrid grid() const { return m_grid; }
    // The lot grid's first page is its oldest lots, the customer grids' their oldest rows
    // (the Home statement).
    bool firstPageIsOneStatement() const {
        return m_grid == HistoryGrid::Lots || byCustomer();
    }
    bool byCustomer() const {
        return m_grid == HistoryGrid::CustomerSales || m_grid == HistoryGrid::CustomerRepairs;
    }

private:
    const QString& where() const { return m_where; }
    const QString& columns(bool firstPage, bool home) const { return m_columns[firstPage][home]; }
    QString keyAtMost(const QString& key) const;
    QString keyAtLeast(const QString& key) const;
    QString boundary(const QString& condition) const;
    QString rows(const QString& head, const QString& condition, bool firstPage) const;
    QString makeWhere() const;
    QString makeColumns(bool firstPage, bool home) const;
    void makeParts();

    HistoryGrid m_grid;
    QString m_item;
    QString m_pattern;
    HistoryReader m_reader;
    // Made once with the statements: the row filter, and the columns by first page and Home.
    QString m_where;
    QString m_columns[2][2];
};

// The views without paging, all rows in one statement.
namespace HistoryViews {
QString warehouseStock(const QString& item);  // DG11, mode 7
QString goodsReceived(const QString& item);   // DG22, mode 22
QString serialHoldings(const QString& item);  // DG23, mode 24
}  // namespace HistoryViews
