#include "AssetSchedule.h"

#include <cmath>

#include "SqliteConnection.h"
#include "ValueHelpers.h"

namespace AssetSchedule {
namespace {
double cents(double v) { return std::round(v * 100) / 100; }

int writeMonths(SqliteConnection& db, const Plan& plan, int from, int done, double doneAmount) {
    int lines = 0;
    for (int m = from; m <= plan.months; ++m, ++lines)
        db.exec(QStringLiteral(
                    "INSERT INTO Assets (ACODE, ADATE, ATOTA, ASOUR) VALUES (?1, ?2, ?3, '')"),
                {plan.code, DateToRoc(monthEnd(plan.firstMonth, m)),
                 lineAmount(plan, m, done, doneAmount)});
    return lines;
}
}  // namespace

QDate monthEnd(const QDate& firstMonth, int m) {
    const QDate month = QDate(firstMonth.year(), firstMonth.month(), 1).addMonths(m - 1);
    return QDate(month.year(), month.month(), month.daysInMonth());
}

double lineAmount(const Plan& plan, int m, int done, double doneAmount) {
    if (m < plan.months) return cents(plan.perPeriod);
    return cents(plan.total - doneAmount - cents(plan.perPeriod) * (plan.months - done - 1));
}

int write(SqliteConnection& db, const Plan& plan) { return writeMonths(db, plan, 1, 0, 0); }

int rewriteUnposted(SqliteConnection& db, const Plan& plan) {
    const QString posted =
        QStringLiteral("SELECT ADATE FROM Assets WHERE ACODE = ?1 AND ASOUR <> ''");
    db.exec(
        QStringLiteral("DELETE FROM Assets WHERE ACODE = ?1 AND ASOUR = '' AND ADATE NOT IN (") +
            posted + ')',
        {plan.code});
    const ResultSet done = db.query(
        QStringLiteral("SELECT COUNT(*), IFNULL(SUM(ATOTA), 0) FROM Assets WHERE ACODE = ?1 AND "
                       "ASOUR = ''"),
        {plan.code});
    const int months = done.rows.first()[0].toInt();
    return writeMonths(db, plan, months + 1, months, done.rows.first()[1].toDouble());
}
}  // namespace AssetSchedule
