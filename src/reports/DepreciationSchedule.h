#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include "ResultSet.h"

// An asset's depreciation schedule as the detail report shows and prints it: a line for every
// month with depreciation still to post (the lines of the schedule without a voucher, summed
// per month), with what is depreciated up to and including that month (the lines posted with
// a voucher, summed over every month up to it) and what then remains of the asset's value to
// depreciate (cost less residual value less the amount amortised before the system).
//
// One statement reads the asset's value and its lines summed per month in month order; the
// running sums are added up in one pass over the months.
class DepreciationSchedule {
public:
    struct Line {
        QVariant date;
        QVariant amount;  // depreciation of the month still to post
        double done = 0;  // posted up to and including the month
    };

    // The statement reading an asset's schedule.
    static QString statement(const QString& code);

    DepreciationSchedule() = default;
    // The schedule from the statement's result sets.
    explicit DepreciationSchedule(const ResultSets& read);

    const QList<Line>& lines() const { return m_lines; }
    // What remains to depreciate after the line's month; null when the asset is no longer in
    // the register.
    QVariant left(const Line& line) const;
    // The lines as the grid shows them: columns ADATE, ATOTA, ATOT1 (depreciated up to the
    // month) and ATOT2 (what remains).
    ResultSet table() const;

private:
    QVariant m_value;  // the asset's value to depreciate
    QList<Line> m_lines;
};
