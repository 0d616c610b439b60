#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class DataSource;
class Recordset;

// The shared routines every window uses to reach the database.

// "Provider=MSDASQL.1;Password=...;Persist Security Info=...;User ID=...;Data Source=zqpro;..."
QString ConnectionText();
void SetConnection(DataSource& source);
// Runs the source's command under the busy pointer; a database error is reported and ends the
// program (place text + " 與資料庫連線取資料時").
void RefreshData(DataSource& source, const QString& place);
// Runs the reads (RefreshData calls on sources of the same connection) so that they see one
// state of the database, where the connection can (see SuiteDatabase::readTogether).
void ReadTogether(const DataSource& source, const std::function<void()>& reads);
// True when the source has at least one row. A source without a command text shows
// "Ado物件尚未指定任何查詢內容" and gives false.
bool HasRecords(DataSource& source);
bool HasCurrentRow(const Recordset& recordset);

// The one-row answer of a changing procedure: column 0 a message or a code, column 1 the
// status (0 done, 2 a question, 3 a notice, anything else refused); status -1 when the
// procedure answered no such row.
struct ProcedureAnswer {
    QString text;
    int status = -1;
};
ProcedureAnswer ReadAnswer(const Recordset& recordset);
void BusyCursorOn();
void BusyCursorOff();
// True when the server orders a after b. Neither text may hold an apostrophe.
bool CompStr(const QString& a, const QString& b);

// The central error report: shows the message, writes the OpenId setting, ends the program.
// The number and description are those of the last error (see SetLastError).
[[noreturn]] void ReportDbError(const QString& place);
void SetLastError(std::uint32_t number, const QString& description);
// The report's text for the place and the last error (tests read it).
QString DbErrorReportText(const QString& place);
// The description of the error table for a number; empty for any other number.
QString DbErrorMeaning(std::uint32_t number);

// The main window's shared data sources: general (start-up call, heartbeat), comparison
// (CompStr) and one more.
namespace SharedSources {
DataSource& general();
DataSource& comparison();
DataSource& spare();
}  // namespace SharedSources
