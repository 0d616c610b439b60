#pragma once

#include <QHash>
#include <QString>
#include <QVariantList>
#include <functional>
#include <vector>

#include "ResultSet.h"

struct sqlite3;
struct sqlite3_stmt;

// A statement's text with its hash, worked out once: a caller that runs the same text again
// and again keeps one, and the connection finds its prepared statement without reading the
// whole text anew.
class SqlText {
public:
    SqlText() = default;
    SqlText(const QString& text) : m_text(text), m_hash(qHash(text)) {}  // NOLINT: implicit
    const QString& text() const { return m_text; }
    size_t hash() const { return m_hash; }
    bool operator==(const SqlText& other) const {
        return m_hash == other.m_hash && m_text == other.m_text;
    }

private:
    QString m_text;
    size_t m_hash = 0;
};
inline size_t qHash(const SqlText& sql, size_t seed = 0) { return sql.hash() ^ seed; }

// One connection to the embedded database file: WAL journal, a busy time-out, the collation
// TSQL. Statements here are SQLite's own; every failure becomes a DbError with the number and
// wording that the suite's SQL Server would give. Not for use by two threads at once.
class SqliteConnection {
public:
    enum class OpenMode { Existing, Create };

    // Throws DbError (NoConnection) when the file cannot be opened or is no database.
    // busyTimeout: how long the opening and every statement wait for another connection's
    // lock (milliseconds, see setBusyTimeout).
    static constexpr int DefaultBusyTimeout = 30000;
    SqliteConnection(const QString& path, OpenMode mode, int busyTimeout = DefaultBusyTimeout);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    const QString& path() const { return m_path; }
    sqlite3* handle() const { return m_db; }

    // How long a statement waits for another connection's write lock before it fails with
    // the time-out error: 30 seconds, as long as the server's client waits for a command.
    void setBusyTimeout(int milliseconds);
    int busyTimeout() const { return m_busyTimeout; }

    // How long one statement may run before it is stopped with the time-out error, as the
    // server's client gives up on a command: 30 seconds (0: no limit). Counted from when the
    // statement has run a while (not while it waits for a lock at its start), and for a
    // statement read row by row (each), from the last row handed over.
    static constexpr int DefaultStatementTimeLimit = 30000;
    void setStatementTimeLimit(int milliseconds) { m_timeLimit = milliseconds; }
    int statementTimeLimit() const { return m_timeLimit; }

    // Runs every statement of the text and returns the result sets of those with columns.
    // The statements are prepared for this one run.
    ResultSets script(const QString& sql);
    // Runs one statement with the values bound to ?1, ?2, ... The statement stays prepared
    // for the next call with the same text.
    ResultSet query(const SqlText& sql, const QVariantList& values = {});
    // As query, but hands each row to the function as SQLite steps to it and keeps none, so
    // that a result of any size takes the memory of one row. The function must not use this
    // connection.
    void each(const SqlText& sql, const QVariantList& values,
              const std::function<void(const QVariantList& row)>& take);
    // As query, for a statement without result; returns the number of rows changed.
    qlonglong exec(const QString& sql, const QVariantList& values = {});
    // The first value of the first row; invalid when there is no row.
    QVariant scalar(const QString& sql, const QVariantList& values = {});

    // Runs the work in one transaction: committed when it returns, rolled back when it
    // throws. A write transaction takes the write lock at once (BEGIN IMMEDIATE), so that it
    // waits for another writer instead of failing halfway; a read transaction reads one
    // snapshot and never takes the write lock. Inside an open transaction: a savepoint.
    enum class Lock { Write, Read };
    void transaction(const std::function<void()>& work, Lock lock = Lock::Write);

    // How many times SQLite has prepared a statement of query, exec or scalar: the first
    // time, and again when the schema changed since (another process may change it). A
    // caller that relies on the schema it read notices a change cheaply by this count.
    quint64 preparations() const { return m_preparations; }

    // Date-times are stored as texts in this form and read back as QDateTime from columns
    // declared DATETIME.
    static QString dateTimeText(const QDateTime& moment);

private:
    // A prepared statement with what its rows are read by, kept as long as SQLite has not
    // prepared it again (after a change of the schema).
    struct Statement {
        sqlite3_stmt* handle = nullptr;
        int prepared = -1;  // SQLite's count of re-preparations when the columns were read
        QStringList columns;
        std::vector<bool> dateTimes;  // per column: declared DATETIME
        quint64 used = 0;             // when last used: the least recently used goes first
        ResultRows::Extent read;      // what it read last (up to a page): room for the next
        // The values bound when it last ran, which SQLite keeps: a value that comes again (the
        // constants of a statement, mostly) is not bound again.
        QVariantList bound;
    };

    [[noreturn]] void fail(int rc, const QString& sql) const;
    Statement& cached(const SqlText& sql);
    void bind(Statement& statement, const QVariantList& values, const QString& sql);
    // Steps the statement to its end; the rows when it has columns.
    ResultSet run(Statement& statement, const QString& sql);
    void clearCache();
    void dropOldest();

    // Starts the time limit of the statement about to step. The clock is read only once the
    // statement has run a while: most statements end before SQLite asks.
    void startStatement() { ++m_statement; }
    static int progress(void* connection);

    QString m_path;
    sqlite3* m_db = nullptr;
    int m_timeLimit = DefaultStatementTimeLimit;
    quint64 m_statement = 0;       // counts the statements stepped
    quint64 m_timedStatement = 0;  // the one whose start m_started holds
    qint64 m_started = 0;          // milliseconds of a monotonic clock
    int m_busyTimeout = DefaultBusyTimeout;
    int m_savepoints = 0;
    quint64 m_preparations = 0;
    quint64 m_uses = 0;
    QHash<SqlText, Statement> m_cache;
};
