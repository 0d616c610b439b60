#include "ResultSet.h"

int ResultSet::columnIndex(const QString& name) const {
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void ResultSink::take(const ResultSets& sets) {
    for (const ResultSet& set : sets) {
        columns(set.columns);
        for (const QVariantList& values : set.rows) row(values);
    }
}
