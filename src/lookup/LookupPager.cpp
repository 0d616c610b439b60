#include "LookupPager.h"

#include <algorithm>

#include "DataSource.h"
#include "DbAccess.h"

LookupPager::LookupPager(DataSource& source, std::shared_ptr<const LookupSource> lookup,
                         std::function<QString()> pattern, QString place)
    : m_source(source), m_lookup(std::move(lookup)), m_pattern(std::move(pattern)),
      m_place(std::move(place)) {}

int LookupPager::rowCount() const { return m_source.recordset().recordCount(); }

QString LookupPager::value(int row, const QString& column) const {
    if (row < 0 || row >= rowCount()) return {};
    const Recordset& rs = m_source.recordset();
    const int index = rs.fieldIndex(column);
    return rs.current().rows[row].value(index < 0 ? 0 : index).toString();
}

// The first column is the code, the anchor of every page.
QString LookupPager::code(int row) const {
    if (row < 0 || row >= rowCount()) return {};
    return m_source.recordset().current().rows[row].value(0).toString();
}

QString LookupPager::name(int row) const { return value(row, m_lookup->nameColumn()); }

void LookupPager::setRow(int row) { m_row = std::clamp(row, 0, std::max(0, lastRow())); }

void LookupPager::fetch(LookupPage page, const QString& anchor) {
    m_source.commandText = m_lookup->pageCommand(page, anchor, m_pattern());
    RefreshData(m_source, m_place);
}

bool LookupPager::open() {
    fetch(LookupPage::First, QString());
    if (!HasRecords(m_source)) return false;
    m_firstKey = code(0);
    m_lastKey.clear();
    m_row = 0;
    return true;
}

bool LookupPager::key(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Home:
            if (code(m_row) != m_firstKey) fetch(LookupPage::First, QString());
            setRow(0);
            return true;
        case Qt::Key_End:
            if (code(m_row) != m_lastKey) fetch(LookupPage::Last, QString());
            setRow(lastRow());
            m_lastKey = code(m_row);
            return true;
        case Qt::Key_PageUp:
            setRow(0);
            if (code(0) != m_firstKey) {
                fetch(LookupPage::UpTo, code(0));
                setRow(0);
            }
            return true;
        case Qt::Key_PageDown:
            setRow(lastRow());
            if (rowCount() > PageSize - 1 && code(m_row) != m_lastKey) {
                fetch(LookupPage::From, code(m_row));
                setRow(lastRow());
            }
            return true;
        case Qt::Key_Up:
            if (m_row == 0) {
                if (code(0) != m_firstKey) {
                    fetch(LookupPage::OneUp, code(0));
                    setRow(0);
                }
            } else {
                setRow(m_row - 1);
            }
            return true;
        case Qt::Key_Down:
            if (rowCount() > PageSize - 1 && m_row == lastRow()) {
                setRow(1);
                fetch(LookupPage::FromSecond, code(1));
                setRow(lastRow());
            } else if (m_row < lastRow()) {
                setRow(m_row + 1);
            }
            return true;
        default: return false;
    }
}
