#include "DepreciationSchedule.h"

#include "SqlLiteral.h"

QString DepreciationSchedule::statement(const QString& code) {
    const QString c = SqlLiteral(code);
    // Every month of the asset once, in month order, whether its lines are still to post, are
    // posted or both.
    return QStringLiteral("SELECT ATOTA - ATOT1 - ATOT2 AS AVALUE FROM ASSET WHERE ACODE = ") + c +
           QStringLiteral(
               ";SELECT ADATE,SUM(CASE WHEN ASOUR = '' THEN ATOTA ELSE 0 END) AS ATOTA,"
               "SUM(CASE WHEN ASOUR = '' THEN 1 ELSE 0 END) AS ALINES,"
               "SUM(CASE WHEN ASOUR != '' THEN ATOTA ELSE 0 END) AS APOSTED "
               "FROM ASSETS WHERE ACODE = ") +
           c + QStringLiteral(" GROUP BY ADATE ORDER BY ADATE");
}

DepreciationSchedule::DepreciationSchedule(const ResultSets& read) {
    const ResultSet value = read.value(0);
    if (!value.rows.isEmpty()) m_value = value.rows.first().value(0);
    const ResultSet months = read.value(1);
    const int date = months.columnIndex(QStringLiteral("ADATE"));
    const int amount = months.columnIndex(QStringLiteral("ATOTA"));
    const int toPost = months.columnIndex(QStringLiteral("ALINES"));
    const int posted = months.columnIndex(QStringLiteral("APOSTED"));
    m_lines.reserve(months.rows.size());
    double done = 0;
    for (const QVariantList& month : months.rows) {
        done += month.value(posted).toDouble();
        if (month.value(toPost).toLongLong() > 0)
            m_lines.append({month.value(date), month.value(amount), done});
    }
}

QVariant DepreciationSchedule::left(const Line& line) const {
    if (!m_value.isValid()) return {};
    return m_value.toDouble() - line.done;
}

ResultSet DepreciationSchedule::table() const {
    ResultSet set{{QStringLiteral("ADATE"), QStringLiteral("ATOTA"), QStringLiteral("ATOT1"),
                   QStringLiteral("ATOT2")},
                  {}};
    set.rows.reserve(m_lines.size());
    for (const Line& line : m_lines)
        set.rows.append({line.date, line.amount, line.done, left(line)});
    return set;
}
