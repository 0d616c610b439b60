#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include "Values.h"

class SqliteConnection;

// An asset's depreciation schedule in Assets: one line (ASOUR empty) at the end of every month
// of its useful life, each month the same amount and the last month the rest, so that the lines
// total the amount to depreciate (cost less residual value less what was amortised before).
// Postings are the lines with a voucher in ASOUR.
namespace AssetSchedule {

// Bounds that no register entry may pass: the useful life in months and the cost.
constexpr int MaxMonths = 1200;
constexpr double MaxCost = LargestAmount;

// The amounts of n months that total the amount exactly: each month the amount divided by n,
// rounded to the cent, and the last month the rest; when rounding up would leave the last
// month below zero, each month is rounded down instead. No amount is below zero when the
// amount is not.
QList<double> spread(double amount, int n);
// The last day of month m (1-based) counted from the month of firstMonth.
QDate monthEnd(const QDate& firstMonth, int m);

// Writes the whole schedule of a new asset; returns the number of lines.
int write(SqliteConnection& db, const QString& code, const QDate& firstMonth, int months,
          double total);

// The new schedule of an edited asset. The lines up to the closed date (the later of the
// closing date and the asset's last posting) stay as they are; the months after it carry what
// remains of the total, spread evenly.
struct Revision {
    QString refusal;  // why the edit cannot be taken; empty when it can
    QDate firstMonth;
    int months = 0;
    int firstOpen = 1;  // the first month after the closed date
    double remaining = 0;
    QString closedUpTo;
};
// Decides the revision without writing anything. firstMonth is the month the schedule counts
// from; closing the closing date of the books (may be empty).
Revision revise(SqliteConnection& db, const QString& code, const QDate& firstMonth, int months,
                double total, const QString& closing);
// Replaces the lines after the closed date by the revision's; returns the number written.
int apply(SqliteConnection& db, const QString& code, const Revision& revision);

}  // namespace AssetSchedule
