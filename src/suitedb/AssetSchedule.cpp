#include "AssetSchedule.h"

#include <cmath>

#include "SqliteConnection.h"
#include "Values.h"

namespace AssetSchedule {
namespace {
const QString LineInsert =
    QStringLiteral("INSERT INTO Assets (ACODE, ADATE, ATOTA, ASOUR) VALUES (?1, ?2, ?3, '')");

int writeMonths(SqliteConnection& db, const QString& code, const QDate& firstMonth, int from,
                int to, double amount) {
    const QList<double> amounts = spread(amount, to - from + 1);
    for (int m = from; m <= to; ++m)
        db.exec(LineInsert,
                {code, DateToRoc(monthEnd(firstMonth, m)), amounts[qsizetype(m - from)]});
    return to - from + 1;
}
}  // namespace

QList<double> spread(double amount, int n) {
    QList<double> out;
    if (n <= 0) return out;
    const qint64 total = std::llround(amount * 100);
    qint64 each = std::llround(double(total) / n);
    if (each * (n - 1) > total) each = total / n;
    for (int m = 1; m < n; ++m) out.append(double(each) / 100);
    out.append(double(total - each * (n - 1)) / 100);
    return out;
}

QDate monthEnd(const QDate& firstMonth, int m) {
    const QDate month = QDate(firstMonth.year(), firstMonth.month(), 1).addMonths(m - 1);
    return QDate(month.year(), month.month(), month.daysInMonth());
}

int write(SqliteConnection& db, const QString& code, const QDate& firstMonth, int months,
          double total) {
    return writeMonths(db, code, firstMonth, 1, months, total);
}

Revision revise(SqliteConnection& db, const QString& code, const QDate& firstMonth, int months,
                double total, const QString& closing) {
    Revision r;
    r.firstMonth = firstMonth;
    r.months = months;
    const QString lastPosting =
        db.scalar(QStringLiteral("SELECT IFNULL(MAX(ADATE), '') FROM Assets WHERE ACODE = ?1 AND "
                                 "ASOUR <> ''"),
                  {code})
            .toString();
    r.closedUpTo = std::max(closing.trimmed(), lastPosting);
    const double kept =
        db.scalar(QStringLiteral("SELECT IFNULL(SUM(ATOTA), 0) FROM Assets WHERE ACODE = ?1 AND "
                                 "ASOUR = '' AND ADATE <= ?2"),
                  {code, r.closedUpTo})
            .toDouble();
    // The months of the schedule that lie in the closed period.
    int closedMonths = 0;
    while (closedMonths < MaxMonths &&
           DateToRoc(monthEnd(firstMonth, closedMonths + 1)) <= r.closedUpTo)
        ++closedMonths;
    r.firstOpen = closedMonths + 1;
    r.remaining = std::round((total - kept) * 100) / 100;
    if (months < closedMonths)
        r.refusal = QStringLiteral("耐用月數不可小於已關帳或已提列折舊的 %1 期!").arg(closedMonths);
    else if (r.remaining < 0)
        r.refusal = QStringLiteral("已關帳或已提列的折舊 %1 已超過折舊總額,不可修改!")
                        .arg(QString::number(kept, 'f', 2));
    else if (months == closedMonths && r.remaining > 0)
        r.refusal = QStringLiteral("耐用月數已全部關帳或提列,不可再變更折舊總額!");
    return r;
}

int apply(SqliteConnection& db, const QString& code, const Revision& revision) {
    db.exec(QStringLiteral("DELETE FROM Assets WHERE ACODE = ?1 AND ASOUR = '' AND ADATE > ?2"),
            {code, revision.closedUpTo});
    if (revision.firstOpen > revision.months) return 0;
    return writeMonths(db, code, revision.firstMonth, revision.firstOpen, revision.months,
                       revision.remaining);
}
}  // namespace AssetSchedule
