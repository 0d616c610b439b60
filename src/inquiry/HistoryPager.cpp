#include "HistoryPager.h"

#include <algorithm>

#include "DbAccess.h"
#include "Recordset.h"

namespace {
// The key of a row of a result: the named column, the last column, or for the lot grid the
// document code followed by the lot number.
QString keyIn(const ResultSet& set, int row, const QString& keyColumn, int keyPosition = -1) {
    if (row < 0 || row >= set.rows.size()) return {};
    const QVariantList& values = set.rows[row];
    if (!keyColumn.isEmpty()) return values.value(set.columnIndex(keyColumn)).toString();
    if (keyPosition >= 0) return values.value(keyPosition).toString();
    const int lot = set.columnIndex(QStringLiteral("VCOD1SEQ"));
    const int document = set.columnIndex(QStringLiteral("VCOD1"));
    if (lot >= 0 && document >= 0 && set.columnIndex(QStringLiteral("VINUM")) >= 0)
        return values.value(document).toString() + values.value(lot).toString();
    return values.isEmpty() ? QString() : values.last().toString();
}
}  // namespace

HistoryPager::HistoryPager(QString place) : m_place(std::move(place)) {
    SetConnection(m_rows);
    SetConnection(m_probe);
}

std::optional<HistoryGrid> HistoryPager::grid() const {
    if (!m_statements) return std::nullopt;
    return m_statements->grid();
}

int HistoryPager::rowCount() const { return m_rows.recordset().recordCount(); }

QString HistoryPager::keyOf(int row) const {
    if (!m_statements) return {};
    const HistoryGridInfo info = InfoOf(m_statements->grid());
    return keyIn(m_rows.recordset().current(), row, info.keyColumn, info.keyPosition);
}

std::optional<QString> HistoryPager::lowerBound(const QString& statement) {
    m_probe.commandText = statement;
    RefreshData(m_probe, m_place);
    const ResultSet& set = m_probe.recordset().current();
    if (set.rows.isEmpty()) return std::nullopt;
    // The boundary names its key HINX, or (purchase returns) leaves it unnamed in the only
    // column; the lot grid's neighbour reads carry document and lot number.
    if (set.columns.size() == 1) return set.rows.last().value(0).toString();
    return keyIn(set, int(set.rows.size()) - 1, InfoOf(m_statements->grid()).keyColumn);
}

void HistoryPager::read(const QString& statement, bool highlightLast) {
    m_rows.commandText = statement;
    RefreshData(m_rows, m_place);
    m_row = highlightLast ? std::max(0, rowCount() - 1) : 0;
}

bool HistoryPager::first(HistoryGrid grid, const QString& item, const HistoryReader& reader) {
    return first(HistoryStatements(grid, item, reader));
}

bool HistoryPager::first(const HistoryStatements& statements) {
    m_statements.emplace(statements);
    if (m_statements->firstPageIsOneStatement()) {
        // The oldest lots first: they are the ones to use up first; the customer grids also
        // start at their oldest rows.
        read(m_statements->firstRows({}), false);
        return rowCount() > 0;
    }
    bool found = false;
    together([&] {
        const auto lower = lowerBound(m_statements->firstBoundary());
        if (!lower) return;
        read(m_statements->firstRows(*lower), true);
        found = true;
    });
    return found;
}

// The rows went away meanwhile: the page shows no row, without another statement, until Home
// or End reads again.
void HistoryPager::showEmpty() {
    m_rows.dropRows();
    m_row = 0;
}

void HistoryPager::pageUp() {
    together([&] {
        const auto lower = lowerBound(m_statements->upBoundary(keyOf(0)));
        if (!lower) return showEmpty();
        read(m_statements->upRows(*lower), false);
    });
}

void HistoryPager::end() {
    together([&] {
        const auto lower = lowerBound(m_statements->endBoundary());
        if (!lower) return showEmpty();
        read(m_statements->endRows(*lower), true);
    });
}

// A page read by two statements reads them in one state of the database, so that a line
// another workstation writes in between cannot leave the boundary and the rows disagreeing.
void HistoryPager::together(const std::function<void()>& reads) { ReadTogether(m_rows, reads); }

// Up on the first row or Down on the last row of the lot grid: the page moves by one lot
// when there is a neighbour.
bool HistoryPager::lotEdge(bool up, int current) {
    if (rowCount() == 0) return false;
    if (up ? current != 0 : current != rowCount() - 1) return false;
    const QString edge = keyOf(current);
    together([&] { moveLot(up, edge); });
    return true;
}

void HistoryPager::moveLot(bool up, const QString& edge) {
    m_probe.commandText = up ? m_statements->lotBefore(edge) : m_statements->lotAfter(edge);
    RefreshData(m_probe, m_place);
    const ResultSet& pair = m_probe.recordset().current();
    if (pair.rows.size() < 2) return;  // already at the oldest or newest lot
    const QString neighbour = keyIn(pair, 1, {});
    if (up) return read(m_statements->upRows(neighbour), false);
    const auto lower = lowerBound(m_statements->upBoundary(neighbour));
    read(m_statements->upRows(lower.value_or(neighbour)), true);
}

bool HistoryPager::key(int qtKey, int current) {
    if (!m_statements) return false;
    switch (qtKey) {
        case Qt::Key_PageUp:
            if (rowCount() > 0) pageUp();
            return true;
        case Qt::Key_PageDown:
            // A page that is not full is the last one.
            if (rowCount() < HistoryStatements::PageSize) return true;
            read(m_statements->downRows(keyOf(rowCount() - 1)), true);
            return true;
        case Qt::Key_Home:
            read(m_statements->homeRows(), false);
            return true;
        case Qt::Key_End:
            end();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (m_statements->grid() != HistoryGrid::Lots) return false;
            return lotEdge(qtKey == Qt::Key_Up, current);
        default:
            return false;
    }
}
