#include "LookupSource.h"

#include "SqlLiteral.h"

QString SqlLookupSource::pageCommand(LookupPage page, const QString& anchor,
                                     const QString& pattern) const {
    const QString like = SqlLiteral(pattern);
    const QString head = QStringLiteral("SELECT TOP 10 %1 AS A,%2 AS B FROM %3 WHERE %1 LIKE %4")
                             .arg(m_key, m_name, m_table, like);
    const QString order = QStringLiteral(" ORDER BY ") + m_key;
    // The rows from the smallest of the inner TOP n codes on, for the pages that end at or
    // before the anchor.
    const auto fromSmallestOf = [&](int n, const QString& bound) {
        return head +
               QStringLiteral(
                   " AND %1 >= (SELECT MIN(%1) FROM (SELECT TOP %2 %1 FROM %3 WHERE %1 "
                   "LIKE %4%5 ORDER BY %1 DESC) AS A)")
                   .arg(m_key, QString::number(n), m_table, like, bound) +
               order;
    };
    const QString upToAnchor = QStringLiteral(" AND %1 <= %2").arg(m_key, SqlLiteral(anchor));
    switch (page) {
        case LookupPage::First:
            return head + order;
        case LookupPage::Last:
            return fromSmallestOf(10, QString());
        case LookupPage::From:
        case LookupPage::FromSecond:
            return head + QStringLiteral(" AND %1 >= %2").arg(m_key, SqlLiteral(anchor)) + order;
        case LookupPage::UpTo:
            return fromSmallestOf(10, upToAnchor);
        case LookupPage::OneUp:
            return fromSmallestOf(2, upToAnchor);
    }
    return {};
}

QString ProcedureLookupSource::pageCommand(LookupPage page, const QString& anchor,
                                           const QString& pattern) const {
    return QStringLiteral("%1 %2,%3,%4")
        .arg(m_procedure, QString::number(int(page)), SqlLiteral(anchor), SqlLiteral(pattern));
}
