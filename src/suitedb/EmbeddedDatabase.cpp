#include "EmbeddedDatabase.h"

#include "SqlErrors.h"
#include "TsqlBatch.h"

EmbeddedDatabase::EmbeddedDatabase(const QString& path, OpenMode mode,
                                   std::shared_ptr<const ProcedureRegistry> procedures)
    : m_connection(path, mode),
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

void EmbeddedDatabase::run(const TsqlBatch& batch, const BatchStatement& statement,
                           ResultSets& out) {
    switch (statement.kind) {
        case BatchStatement::Kind::Sql:
            m_translator.run(batch, statement.first, statement.last, out);
            break;
        case BatchStatement::Kind::Call:
            call(statement, out);
            break;
        case BatchStatement::Kind::Block:
            for (const BatchStatement& inner : statement.body) run(batch, inner, out);
            break;
        case BatchStatement::Kind::If:
            if (holds(batch, statement))
                run(batch, statement.body[0], out);
            else if (statement.body.size() > 1)
                run(batch, statement.body[1], out);
            break;
    }
}

void EmbeddedDatabase::stream(const TsqlBatch& batch, const BatchStatement& statement,
                              ResultSink& sink) {
    switch (statement.kind) {
        case BatchStatement::Kind::Sql:
            m_translator.stream(batch, statement.first, statement.last, sink);
            break;
        case BatchStatement::Kind::Call: {
            ResultSets answer;
            call(statement, answer);
            sink.take(answer);
            break;
        }
        case BatchStatement::Kind::Block:
            for (const BatchStatement& inner : statement.body) stream(batch, inner, sink);
            break;
        case BatchStatement::Kind::If:
            if (holds(batch, statement))
                stream(batch, statement.body[0], sink);
            else if (statement.body.size() > 1)
                stream(batch, statement.body[1], sink);
            break;
    }
}

bool EmbeddedDatabase::holds(const TsqlBatch& batch, const BatchStatement& statement) {
    return m_translator.holds(batch, statement.first, statement.last);
}

void EmbeddedDatabase::call(const BatchStatement& statement, ResultSets& out) {
    const ProcedureDefinition* procedure = m_procedures->find(statement.procedure);
    if (!procedure) throw SqlErrors::unknownProcedure(statement.procedure);
    const ProcedureCall call(procedure->name, statement.arguments);
    ProcedureRegistry::checkArguments(*procedure, call);
    ResultSets sets;
    m_connection.transaction([&] { sets = procedure->body(m_connection, call); },
                             procedure->access == ProcedureAccess::Reads
                                 ? SqliteConnection::Lock::Read
                                 : SqliteConnection::Lock::Write);
    out.append(sets);
}
