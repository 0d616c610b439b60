#include "ResultSet.h"

ResultRows::ResultRows() : d(new Data) {}

ResultRows::ResultRows(std::initializer_list<QVariantList> rows) : ResultRows() {
    for (const QVariantList& row : rows) append(row);
}

ResultRows::ResultRows(const QList<QVariantList>& rows) : ResultRows() {
    for (const QVariantList& row : rows) append(row);
}

qsizetype ResultRows::rowSize(qsizetype row) const { return at(row).size(); }

QVariant ResultRows::valueOf(const Data& d, const Cell& cell) {
    switch (cell.kind) {
        case Cell::Null:
            return QVariant();
        case Cell::Integer:
            return qlonglong(cell.integer);
        case Cell::Number:
            return cell.number;
        case Cell::Text:
            return QString::fromUtf8(d.bytes.data() + cell.offset, cell.length);
        case Cell::Bytes:
            return QByteArray(d.bytes.data() + cell.offset, cell.length);
        case Cell::Other:
            return d.others[cell.offset];
    }
    return QVariant();
}

qsizetype ResultRows::Row::size() const {
    const qsizetype rows = d ? qsizetype(d->starts.size()) : 0;
    if (m_row < 0 || m_row >= rows) return 0;
    const size_t next = size_t(m_row) + 1;
    const qsizetype end = next < d->starts.size() ? d->starts[next] : qsizetype(d->cells.size());
    return end - d->starts[size_t(m_row)];
}

QVariant ResultRows::Row::at(qsizetype column) const {
    Q_ASSERT(column >= 0 && column < size());
    return value(column);
}

QVariant ResultRows::Row::value(qsizetype column) const {
    if (column < 0 || column >= size()) return QVariant();
    return valueOf(*d, d->cells[size_t(d->starts[size_t(m_row)] + column)]);
}

QVariantList ResultRows::Row::toList() const {
    QVariantList values;
    const qsizetype n = size();
    values.reserve(n);
    for (qsizetype i = 0; i < n; ++i) values.append(value(i));
    return values;
}

QVariantList ResultRows::value(qsizetype row) const {
    return row >= 0 && row < size() ? at(row).toList() : QVariantList();
}

QList<QVariantList> ResultRows::toList() const {
    QList<QVariantList> rows;
    rows.reserve(size());
    for (qsizetype i = 0; i < size(); ++i) rows.append(at(i).toList());
    return rows;
}

void ResultRows::reserve(const Extent& extent) {
    d->starts.reserve(size_t(extent.rows));
    d->cells.reserve(size_t(extent.cells));
    d->bytes.reserve(size_t(extent.bytes));
}

void ResultRows::addLarge(Cell::Kind kind, const char* data, qsizetype size) {
    const QByteArray bytes(data, size);
    addValue(kind == Cell::Text ? QVariant(QString::fromUtf8(bytes)) : QVariant(bytes));
}

void ResultRows::addValue(const QVariant& value) {
    if (!value.isValid()) return addNull();
    switch (value.typeId()) {
        case QMetaType::LongLong:
            return addInteger(value.toLongLong());
        case QMetaType::Double:
            return addNumber(value.toDouble());
        default: {
            Cell& cell = d->cells.emplace_back();
            cell.kind = Cell::Other;
            cell.offset = d->others.size();
            d->others.append(value);
        }
    }
}

void ResultRows::append(const QVariantList& values) {
    beginRow();
    for (const QVariant& value : values) addValue(value);
}

// The new values are added after the last row and their cells moved into the row's place;
// the texts the old values leave behind stay unused in the buffer.
void ResultRows::replace(qsizetype row, const QVariantList& values) {
    const qsizetype width = rowSize(row);
    const size_t end = d->cells.size();
    for (const QVariant& value : values) addValue(value);
    std::vector<Cell>& cells = d->cells;
    const std::vector<Cell> fresh(cells.begin() + qsizetype(end), cells.end());
    cells.resize(end);
    const auto first = cells.begin() + d->starts[size_t(row)];
    cells.insert(cells.erase(first, first + width), fresh.begin(), fresh.end());
    const qsizetype shift = qsizetype(fresh.size()) - width;
    for (size_t i = size_t(row) + 1; i < d->starts.size(); ++i) d->starts[i] += shift;
}

void ResultRows::removeAt(qsizetype row) {
    const qsizetype width = rowSize(row);
    const auto first = d->cells.begin() + d->starts[size_t(row)];
    d->cells.erase(first, first + width);
    d->starts.erase(d->starts.begin() + row);
    for (size_t i = size_t(row); i < d->starts.size(); ++i) d->starts[i] -= width;
}

void ResultRows::keepOnly(const std::vector<qsizetype>& rows) {
    std::vector<Cell> cells;
    std::vector<qsizetype> starts;
    starts.reserve(rows.size());
    for (const qsizetype row : rows) {
        starts.push_back(qsizetype(cells.size()));
        const auto first = d->cells.begin() + d->starts[size_t(row)];
        cells.insert(cells.end(), first, first + rowSize(row));
    }
    d->cells = std::move(cells);
    d->starts = std::move(starts);
}

void ResultRows::reverse() {
    std::vector<qsizetype> rows(static_cast<size_t>(size()));
    for (qsizetype i = 0; i < size(); ++i) rows[size_t(i)] = size() - 1 - i;
    keepOnly(rows);
}

bool ResultRows::operator==(const ResultRows& other) const {
    if (size() != other.size()) return false;
    for (qsizetype i = 0; i < size(); ++i)
        if (at(i).toList() != other.at(i).toList()) return false;
    return true;
}

int ResultSet::columnIndex(const QString& name) const {
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void ResultSink::take(const ResultSets& sets) {
    for (const ResultSet& set : sets) {
        columns(set.columns);
        for (const ResultRows::Row& values : set.rows) row(values.toList());
    }
}
