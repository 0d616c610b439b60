#pragma once

#include <QMutex>
#include <memory>

#include "ProcedureRegistry.h"
#include "SqliteConnection.h"
#include "SuiteDatabase.h"
#include "TsqlTranslator.h"

class TsqlBatch;
struct BatchStatement;

// The embedded suite database: one SQLite file that every workstation process on the machine
// shares, behind a T-SQL front end. A command text is split into statements; procedure calls
// run registered C++ procedures, each in its own write transaction; IF ... BEGIN ... END
// evaluates its condition and runs one branch; every other statement is translated into
// SQLite's SQL (TsqlTranslator). Every failure is a DbError with the provider's number.
class EmbeddedDatabase : public SuiteDatabase {
public:
    using OpenMode = SqliteConnection::OpenMode;

    // Opens the file (Existing: it must be there); procedures default to the suite's; how long
    // it waits for another connection's lock (milliseconds). Throws DbError (NoConnection)
    // when it cannot.
    explicit EmbeddedDatabase(const QString& path, OpenMode mode = OpenMode::Existing,
                              std::shared_ptr<const ProcedureRegistry> procedures = {},
                              int busyTimeout = SqliteConnection::DefaultBusyTimeout);

    ResultSets execute(const QString& commandText) override;
    // The rows of every SELECT as SQLite steps to them, so that a result of any size takes the
    // memory of one row (a procedure's answer, a page, is handed over whole). A statement
    // that fails after some of its rows has handed those over. A SELECT keeps its snapshot of
    // the file until its last row is read: other workstations go on writing, but the journal
    // cannot be folded back into the file past it. The sink must not use this database.
    void stream(const QString& commandText, ResultSink& sink) override;
    // One read transaction around the reads: one snapshot, and the file's read lock taken
    // once instead of once per statement. A procedure that writes, called meanwhile, ends it
    // first, so that it takes the write lock as always; the reads after it read anew.
    void readTogether(const std::function<void()>& reads) override;

    // The connection below the front end (schema, demo data, tests). Not to be used while
    // another thread runs execute.
    SqliteConnection& connection() { return m_connection; }
    // The front end (tests and benchmarks look at its translations). Same caveat.
    TsqlTranslator& translator() { return m_translator; }
    void setBusyTimeout(int milliseconds);

private:
    void parse(const TsqlBatch& batch, const BatchStatement& statement);
    void run(const TsqlBatch& batch, const BatchStatement& statement, ResultSets& out);
    void stream(const TsqlBatch& batch, const BatchStatement& statement, ResultSink& sink);
    void call(const BatchStatement& statement, ResultSets& out);
    template <class Leaf>
    void walk(const TsqlBatch& batch, const BatchStatement& statement, Leaf&& leaf);
    bool holds(const TsqlBatch& batch, const BatchStatement& statement);
    void endTogether();

    QMutex m_mutex;
    SqliteConnection m_connection;
    TsqlTranslator m_translator;
    std::shared_ptr<const ProcedureRegistry> m_procedures;
    bool m_together = false;  // readTogether's transaction is open
};
