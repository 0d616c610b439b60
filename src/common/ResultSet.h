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

// Takes the result sets of a command as they are read, a row at a time, so that a reader need
// not hold a whole set.
class ResultSink {
public:
    virtual ~ResultSink() = default;
    // A result set begins with these columns (a set without rows too).
    virtual void columns(const QStringList& names) = 0;
    // The next row of the set begun last.
    virtual void row(const QVariantList& values) = 0;
    // Hands over result sets that were read whole.
    void take(const ResultSets& sets);
};

// A sink that keeps every result set whole.
class ResultCollector : public ResultSink {
public:
    ResultSets sets;
    void columns(const QStringList& names) override { sets.append({names, {}}); }
    void row(const QVariantList& values) override { sets.last().rows.append(values); }
};
