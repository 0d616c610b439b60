#pragma once

#include <QDate>
#include <QString>

class SqliteConnection;

// An asset's depreciation schedule in Assets: one line (ASOUR empty) at the end of every month
// of its useful life from the month of acquisition, the per-period amount each month and the
// last month absorbing the rounding, so that the lines total the amount to depreciate (cost
// less residual value less what was amortised before). Postings are the lines with a voucher
// in ASOUR.
namespace AssetSchedule {

struct Plan {
    QString code;
    QDate firstMonth;
    int months = 0;
    double total = 0;  // the amount to depreciate
    double perPeriod = 0;
};

// Writes the whole schedule of a new asset; returns the number of lines.
int write(SqliteConnection& db, const Plan& plan);
// Replaces the lines of the months not posted yet, so that they follow the plan and the
// schedule still totals its amount; the posted months stay as they were.
int rewriteUnposted(SqliteConnection& db, const Plan& plan);
// The line of month m (1-based) of a plan whose first `done` months hold `doneAmount`.
double lineAmount(const Plan& plan, int m, int done = 0, double doneAmount = 0);
QDate monthEnd(const QDate& firstMonth, int m);

}  // namespace AssetSchedule
