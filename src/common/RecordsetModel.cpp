#include "RecordsetModel.h"

#include "Recordset.h"
#include "Values.h"

RecordsetModel::RecordsetModel(QList<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)) {}

void RecordsetModel::setRecordset(const Recordset* recordset) {
    m_recordset = recordset;
    reset();
}

void RecordsetModel::setColumns(QList<Column> columns) {
    m_columns = std::move(columns);
    reset();
}

void RecordsetModel::reset() {
    beginResetModel();
    m_fieldIndex.clear();
    for (const Column& c : m_columns)
        m_fieldIndex << (m_recordset ? m_recordset->fieldIndex(c.field) : -1);
    endResetModel();
}

QVariant RecordsetModel::value(int row, const QString& field) const {
    if (!m_recordset || row < 0 || row >= rowCount()) return {};
    const int column = m_recordset->fieldIndex(field);
    return column < 0 ? QVariant() : m_recordset->current().rows[row].value(column);
}

int RecordsetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_recordset ? 0 : m_recordset->recordCount();
}

int RecordsetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !m_recordset) return {};
    const int field = m_fieldIndex.value(index.column(), -1);
    const Column& column = m_columns[index.column()];
    if (role == Qt::TextAlignmentRole)
        return column.format.isEmpty() ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                       : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole || field < 0) return {};
    const QVariant v = m_recordset->current().rows[index.row()].value(field);
    if (column.format.isEmpty()) return v.toString();
    if (!v.isValid()) return QString();
    // A number column may hold a text in its place (a masked price such as "***.**").
    bool number = false;
    const double d = v.toDouble(&number);
    if (!number && !v.toString().trimmed().isEmpty()) return v.toString();
    return FormatPicture(d, column.format);
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return m_columns.value(section).caption;
    return {};
}

void RecordsetModel::setColumnFormat(int column, const QString& format) {
    if (column < 0 || column >= m_columns.size()) return;
    m_columns[column].format = format;
    emit dataChanged(index(0, column), index(rowCount() - 1, column));
}
