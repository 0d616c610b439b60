#pragma once

#include <QString>
#include <QStringList>

class SqliteConnection;
struct sqlite3;

// Work rows (Asset_Temp, Assetd_Temp) belong to the session that wrote them, as on the suite's
// server they belong to one connection. Every connection to the embedded database is a session
// of its own, named by zq_session(); it holds a lock file beside the database for as long as it
// is open, so zq_alive(name) tells on any connection whether that session still runs, even after
// its process was killed. WorkSession records which session holds a workstation's work rows.
namespace WorkSessions {

// Gives the connection its session and the functions zq_session() and zq_alive(name).
// Returns SQLite's result code.
int install(sqlite3* db, const QString& databasePath);

// The triggers that let a session write work rows of a workstation only when no other open
// session holds them, and that throw away rows of a session that has ended.
QStringList schemaStatements(const QString& prefix);

enum class Owner { This, Ended, Other };
// Who holds the workstation's work rows: this session, none that still runs (the rows, if
// any, were abandoned), or another open session.
Owner ownerOf(SqliteConnection& db, const QString& workstation);
// Throws away the workstation's work rows when no open session holds them, and makes this
// session their holder. False (and nothing changed) when another open session holds them.
bool claim(SqliteConnection& db, const QString& workstation);
// Throws away the workstation's work rows of this session or of an ended one.
void release(SqliteConnection& db, const QString& workstation);
// Throws away the workstation's work rows when they belong to no open session.
void dropAbandoned(SqliteConnection& db, const QString& workstation);

// The refusal shown when another open session holds the workstation's work rows.
QString busyMessage(const QString& workstation);

}  // namespace WorkSessions
