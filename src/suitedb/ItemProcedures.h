#pragma once

#include <QDate>
#include <QList>
#include <QString>

class ProcedureRegistry;

// The item procedures of the inquiry's entry, statistics and branch-stock views. All only read.
//
// SF_ZQ2K_ITEM_ALL 'text','',0
//   the item that the text names: its code, else the item whose EAN-13 bar code, CODE128 bar
//   code or external code (ICOD2) is the text, looked for in that order, each from its index;
//   one row ICODE, INAME, or none.
//
// SF_ZQ2K_ITEM_COUNTS 'item'
//   fifteen whole numbers of the item's history, counted to the server's date (weeks start
//   on Monday): sales all told, this month, last week, this week; returns this week and all
//   told; customer orders all told and in each of the last eight weeks (this week first).
//
// SF_ZQ2K_VNNET_STOC 'account','item'
//   on the group's central database: the item's stock in every branch of the account
//   (VBRNO, VBNAM, VSNUM, VDATE), by branch code.
namespace ItemProcedures {
void addTo(ProcedureRegistry& registry);

// A span of days, both ends included, as ROC date texts.
struct Span {
    QString from, to;
};
// The spans the counts add up for a day: this month, last week, this week, then the eight
// order weeks (this week first). No span reaches past the day.
struct CountSpans {
    Span month, lastWeek, thisWeek;
    QList<Span> orderWeeks;
};
CountSpans countSpans(const QDate& today);
}  // namespace ItemProcedures
