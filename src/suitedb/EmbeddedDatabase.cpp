#include "EmbeddedDatabase.h"

#include <sqlite3.h>

#include <utility>

#include "SqlErrors.h"
#include "TsqlBatch.h"

EmbeddedDatabase::EmbeddedDatabase(const QString& path, OpenMode mode,
                                   std::shared_ptr<const ProcedureRegistry> procedures,
                                   int busyTimeout)
    : m_connection(path, mode, busyTimeout),
      m_translator(m_connection),
      m_procedures(procedures ? std::move(procedures) : SuiteProcedures()) {}

void EmbeddedDatabase::setBusyTimeout(int milliseconds) {
    QMutexLocker lock(&m_mutex);
    m_connection.setBusyTimeout(milliseconds);
}

ResultSets EmbeddedDatabase::execute(const QString& commandText) {
    QMutexLocker lock(&m_mutex);
    ResultSets out;
    if (m_translator.runRepeated(commandText, out)) return out;
    const TsqlBatch batch(commandText);
    // Like the server, refuse a batch with a syntax error anywhere before running any of it,
    // also in a branch that would not run. A single statement is parsed when it runs.
    const std::vector<BatchStatement>& statements = batch.statements();
    if (statements.size() > 1 || statements.front().kind != BatchStatement::Kind::Sql)
        for (const BatchStatement& statement : statements) parse(batch, statement);
    for (const BatchStatement& statement : statements) run(batch, statement, out);
    return out;
}

void EmbeddedDatabase::stream(const QString& commandText, ResultSink& sink) {
    QMutexLocker lock(&m_mutex);
    const TsqlBatch batch(commandText);
    const std::vector<BatchStatement>& statements = batch.statements();
    if (statements.size() > 1 || statements.front().kind != BatchStatement::Kind::Sql)
        for (const BatchStatement& statement : statements) parse(batch, statement);
    for (const BatchStatement& statement : statements) stream(batch, statement, sink);
}

void EmbeddedDatabase::readTogether(const std::function<void()>& reads) {
    {
        QMutexLocker lock(&m_mutex);
        // Inside an open transaction the reads share it already.
        if (m_together || !sqlite3_get_autocommit(m_connection.handle())) {
            lock.unlock();
            return reads();
        }
        m_connection.exec(QStringLiteral("BEGIN DEFERRED"));
        m_together = true;
    }
    try {
        reads();
    } catch (...) {
        QMutexLocker lock(&m_mutex);
        endTogether();
        throw;
    }
    QMutexLocker lock(&m_mutex);
    endTogether();
}

// Closes readTogether's transaction (the mutex held). It only read, so it cannot fail to
// end; should it fail all the same, it is rolled back.
void EmbeddedDatabase::endTogether() {
    if (!std::exchange(m_together, false)) return;
    sqlite3* db = m_connection.handle();
    if (sqlite3_get_autocommit(db)) return;
    try {
        m_connection.exec(QStringLiteral("COMMIT"));
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void EmbeddedDatabase::parse(const TsqlBatch& batch, const BatchStatement& statement) {
    switch (statement.kind) {
        case BatchStatement::Kind::Sql:
        case BatchStatement::Kind::If:
            m_translator.parse(batch, statement.first, statement.last,
                               statement.kind == BatchStatement::Kind::If);
            break;
        case BatchStatement::Kind::Call:
        case BatchStatement::Kind::Block:
            break;
    }
    for (const BatchStatement& inner : statement.body) parse(batch, inner);
}

// Calls leaf for each SQL statement and procedure call that the statement runs, in order:
// the statements of a block, the branch of an IF that its condition picks.
template <class Leaf>
void EmbeddedDatabase::walk(const TsqlBatch& batch, const BatchStatement& statement, Leaf&& leaf) {
    switch (statement.kind) {
        case BatchStatement::Kind::Sql:
        case BatchStatement::Kind::Call:
            leaf(statement);
            break;
        case BatchStatement::Kind::Block:
            for (const BatchStatement& inner : statement.body) walk(batch, inner, leaf);
            break;
        case BatchStatement::Kind::If:
            if (holds(batch, statement))
                walk(batch, statement.body[0], leaf);
            else if (statement.body.size() > 1)
                walk(batch, statement.body[1], leaf);
            break;
    }
}

void EmbeddedDatabase::run(const TsqlBatch& batch, const BatchStatement& statement,
                           ResultSets& out) {
    walk(batch, statement, [&](const BatchStatement& s) {
        if (s.kind == BatchStatement::Kind::Call)
            call(s, out);
        else
            m_translator.run(batch, s.first, s.last, out);
    });
}

void EmbeddedDatabase::stream(const TsqlBatch& batch, const BatchStatement& statement,
                              ResultSink& sink) {
    walk(batch, statement, [&](const BatchStatement& s) {
        if (s.kind != BatchStatement::Kind::Call)
            return m_translator.stream(batch, s.first, s.last, sink);
        // A procedure answers whole: its result sets are pages.
        ResultSets answer;
        call(s, answer);
        sink.take(answer);
    });
}

bool EmbeddedDatabase::holds(const TsqlBatch& batch, const BatchStatement& statement) {
    return m_translator.holds(batch, statement.first, statement.last);
}

void EmbeddedDatabase::call(const BatchStatement& statement, ResultSets& out) {
    const ProcedureDefinition* procedure = m_procedures->find(statement.procedure);
    if (!procedure) throw SqlErrors::unknownProcedure(statement.procedure);
    const ProcedureCall call(procedure->name, statement.arguments);
    ProcedureRegistry::checkArguments(*procedure, call);
    if (procedure->access != ProcedureAccess::Reads) endTogether();
    ResultSets sets;
    m_connection.transaction([&] { sets = procedure->body(m_connection, call); },
                             procedure->access == ProcedureAccess::Reads
                                 ? SqliteConnection::Lock::Read
                                 : SqliteConnection::Lock::Write);
    out.append(sets);
}
