#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// One result set of a batch: named columns and rows of values. A null value is an invalid
// QVariant; texts are QString, whole numbers qlonglong, other numbers double.
struct ResultSet {
    QStringList columns;
    QList<QVariantList> rows;

    // Position of a column by name, ignoring case as the server does; -1 when absent.
    int columnIndex(const QString& name) const;
};

using ResultSets = QList<ResultSet>;
