#pragma once

#include <QString>

class ProcedureRegistry;
class SqliteConnection;

// The procedures of the session: SF_ZQ2K_SALE (start-up row) and SP_TIME_UPDATE (heartbeat).
//
// SF_ZQ2K_SALE 'workstation','user',1 answers one row of 55 columns:
//   0 STAT      0 accepted, 1 refused
//   1 SMSG      empty when accepted, otherwise why not
//   2 COMNAM    company name             8 DEPARTNO  the user's department
//   3 LCODE     workstation code         9 DENAME    its name
//   4 MFOR      amount decimals or NULL  10 SUSER    user code as the staff table holds it
//   5 SCODE     staff code               11 LNAME    workstation name
//   6 SNAME     staff name               12 COMUNI   company's unified business number
//   7 SSTOC     default warehouse        13 SDATE    the server's date as ROC text
//   14..54 R00..R40: the user's right masks, bit b of mask c being right 32 * c + b.
// A refused row holds NULL in 2 to 13 and 0 in every mask.
//
// SP_TIME_UPDATE 'workstation' records the workstation's heartbeat and answers one row with
// the server's date and time in DTIME.
namespace SessionProcedures {
constexpr int SaleColumnCount = 55;
constexpr int FirstRightMask = 14;
constexpr int RightMaskCount = 41;

void addTo(ProcedureRegistry& registry);
// True when the staff member with the user code holds the right (the bit of its mask).
bool holdsRight(SqliteConnection& db, const QString& userCode, int right);
}  // namespace SessionProcedures
