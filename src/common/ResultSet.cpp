#include "ResultSet.h"

#include <algorithm>
#include <cstring>
#include <limits>

ResultRows::ResultRows() : d(new Data) {}

ResultRows::ResultRows(std::initializer_list<QVariantList> rows) : ResultRows() {
    for (const QVariantList& row : rows) append(row);
}

ResultRows::ResultRows(const QList<QVariantList>& rows) : ResultRows() {
    for (const QVariantList& row : rows) append(row);
}

qsizetype ResultRows::rowSize(qsizetype row) const {
    const qsizetype end = row + 1 < d->starts.size() ? d->starts[row + 1] : d->cells.size();
    return end - d->starts[row];
}

QVariant ResultRows::valueOf(const Data& d, const Cell& cell) {
    switch (cell.kind) {
        case Cell::Null:
            return QVariant();
        case Cell::Integer:
            return qlonglong(cell.integer);
        case Cell::Number:
            return cell.number;
        case Cell::Text:
            return QString::fromUtf8(d.bytes.constData() + cell.offset, cell.length);
        case Cell::Bytes:
            return QByteArray(d.bytes.constData() + cell.offset, cell.length);
        case Cell::Other:
            return d.others[cell.offset];
    }
    return QVariant();
}

qsizetype ResultRows::Row::size() const {
    if (!d || m_row < 0 || m_row >= d->starts.size()) return 0;
    const qsizetype end = m_row + 1 < d->starts.size() ? d->starts[m_row + 1] : d->cells.size();
    return end - d->starts[m_row];
}

QVariant ResultRows::Row::at(qsizetype column) const {
    Q_ASSERT(column >= 0 && column < size());
    return value(column);
}

QVariant ResultRows::Row::value(qsizetype column) const {
    if (column < 0 || column >= size()) return QVariant();
    return valueOf(*d, d->cells[d->starts[m_row] + column]);
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
    d->starts.reserve(extent.rows);
    d->cells.reserve(extent.cells);
    d->bytes.reserve(extent.bytes);
}

void ResultRows::addInteger(qint64 value) {
    Cell cell;
    cell.kind = Cell::Integer;
    cell.integer = value;
    d->cells.append(cell);
}

void ResultRows::addNumber(double value) {
    Cell cell;
    cell.kind = Cell::Number;
    cell.number = value;
    d->cells.append(cell);
}

void ResultRows::addSpan(Cell::Kind kind, const char* data, qsizetype size) {
    // A single value beyond 4 GB cannot come from the database; it is kept as another value.
    if (size > qsizetype(std::numeric_limits<quint32>::max())) {
        const QByteArray bytes(data, size);
        return addValue(kind == Cell::Text ? QVariant(QString::fromUtf8(bytes)) : QVariant(bytes));
    }
    Data& rows = *d;
    Cell cell;
    cell.kind = kind;
    cell.length = quint32(size);
    cell.offset = rows.bytes.size();
    rows.bytes.resize(cell.offset + size);
    if (size > 0) std::memcpy(rows.bytes.data() + cell.offset, data, size_t(size));
    rows.cells.append(cell);
}

void ResultRows::addText(const char* utf8, qsizetype size) { addSpan(Cell::Text, utf8, size); }

void ResultRows::addBytes(const char* data, qsizetype size) { addSpan(Cell::Bytes, data, size); }

void ResultRows::addValue(const QVariant& value) {
    if (!value.isValid()) return addNull();
    switch (value.typeId()) {
        case QMetaType::LongLong:
            return addInteger(value.toLongLong());
        case QMetaType::Double:
            return addNumber(value.toDouble());
        default: {
            Cell cell;
            cell.kind = Cell::Other;
            cell.offset = d->others.size();
            d->others.append(value);
            d->cells.append(cell);
        }
    }
}

void ResultRows::append(const QVariantList& values) {
    beginRow();
    for (const QVariant& value : values) addValue(value);
}

void ResultRows::replace(qsizetype row, const QVariantList& values) {
    QList<QVariantList> rows = toList();
    rows[row] = values;
    *this = ResultRows(rows);
}

void ResultRows::removeAt(qsizetype row) {
    const qsizetype first = d->starts[row];
    const qsizetype width = rowSize(row);
    d->cells.remove(first, width);
    d->starts.removeAt(row);
    for (qsizetype i = row; i < d->starts.size(); ++i) d->starts[i] -= width;
}

void ResultRows::reverse() {
    QList<QVariantList> rows = toList();
    std::reverse(rows.begin(), rows.end());
    *this = ResultRows(rows);
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
