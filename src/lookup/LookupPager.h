#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "LookupSource.h"

class DataSource;

// The page arithmetic of a lookup grid, without the grid: which page to fetch for a key, where
// the cursor lands, and the two boundary keys. The page on screen is the recordset of the data
// source; the cursor is a row of it.
class LookupPager {
public:
    static constexpr int PageSize = 10;

    // The pattern is read afresh (already a LIKE prefix) for every page.
    LookupPager(DataSource& source, std::shared_ptr<const LookupSource> lookup,
                std::function<QString()> pattern, QString place);

    // Fetches the first page; false when nothing matches.
    bool open();
    // Handles a navigation key (Qt key code); true when the key is one of the grid's.
    bool key(int qtKey);

    int row() const { return m_row; }
    void setRow(int row);
    int rowCount() const;
    int lastRow() const { return rowCount() - 1; }
    QString code(int row) const;
    QString name(int row) const;
    QString firstKey() const { return m_firstKey; }
    QString lastKey() const { return m_lastKey; }
    const LookupSource& lookup() const { return *m_lookup; }

private:
    void fetch(LookupPage page, const QString& anchor);
    QString value(int row, const QString& column) const;

    DataSource& m_source;
    std::shared_ptr<const LookupSource> m_lookup;
    std::function<QString()> m_pattern;
    QString m_place;
    QString m_firstKey;
    QString m_lastKey;
    int m_row = 0;
};
