#pragma once

#include <QAbstractTableModel>
#include <QList>

#include "WindowHelpers.h"

class Recordset;

// A read-only grid model over the current result set of a recordset. Each grid column has a
// caption, the recordset column it shows (by name) and a number format ("#,##0", an amount
// picture, or empty for text). The model reads the recordset's rows; call reset() after the
// recordset was refreshed.
class RecordsetModel : public QAbstractTableModel, public FormattedColumns {
    Q_OBJECT
public:
    struct Column {
        QString caption;
        QString field;
        QString format;
    };

    explicit RecordsetModel(QList<Column> columns, QObject* parent = nullptr);

    void setRecordset(const Recordset* recordset);
    void setColumns(QList<Column> columns);
    const Recordset* recordset() const { return m_recordset; }
    void reset();
    // The value of a column by field name in a row of the result set; invalid when absent.
    QVariant value(int row, const QString& field) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // Whether the recordset holds the grid column's field (a column it lacks is not shown).
    bool hasField(int column) const { return m_fieldIndex.value(column, -1) >= 0; }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int formattedColumnCount() const override { return int(m_columns.size()); }
    QString columnFormat(int column) const override { return m_columns.value(column).format; }
    void setColumnFormat(int column, const QString& format) override;

private:
    QList<Column> m_columns;
    QList<int> m_fieldIndex;  // recordset column of each grid column, -1 when absent
    const Recordset* m_recordset = nullptr;
};
