#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>

#include "ResultSet.h"

class SqliteConnection;

// The arguments of one procedure call, read as the server converts them.
class ProcedureCall {
public:
    ProcedureCall(QString name, QVariantList arguments)
        : m_name(std::move(name)), m_arguments(std::move(arguments)) {}

    const QString& name() const { return m_name; }
    const QVariantList& arguments() const { return m_arguments; }
    qsizetype count() const { return m_arguments.size(); }
    // The argument as text; empty when missing or NULL. Numbers give their digits.
    QString text(qsizetype i) const;
    // The argument as a whole number; the fallback when missing, NULL or not a number.
    qlonglong integer(qsizetype i, qlonglong fallback = 0) const;
    bool isNull(qsizetype i) const;

private:
    QString m_name;
    QVariantList m_arguments;
};

// A stored procedure of the embedded database: runs inside its own transaction on the
// connection and returns its result sets; throws DbError to fail (the transaction is undone).
using Procedure = std::function<ResultSets(SqliteConnection& db, const ProcedureCall& call)>;

// What a procedure does to the database: a change runs in a write transaction, a read in a
// read transaction that never waits for a writer.
enum class ProcedureAccess { Changes, Reads };

struct ProcedureDefinition {
    QString name;
    QStringList parameters;  // "@LCODE", ... in call order
    QList<bool> integers;    // per parameter: declared INT
    int required = 0;        // how many of them a call must give
    Procedure body;
    ProcedureAccess access = ProcedureAccess::Changes;
};

// Procedures by name, ignoring case as the server does.
class ProcedureRegistry {
public:
    // Parameters are declared in call order as the server's CREATE PROCEDURE declares them: a
    // name ("@LCODE"), or a name and INT ("@MODE INT") for one whose arguments the server
    // converts to int. Any other argument reaches the procedure as it was written.
    void add(const QString& name, const QStringList& parameters, int required, Procedure body,
             ProcedureAccess access = ProcedureAccess::Changes);
    const ProcedureDefinition* find(const QString& name) const;
    QStringList names() const;

    // Checks the arguments as the server does; throws DbError (Syntax) when there are too
    // many, a required one is missing, or an INT parameter gets what is no int: a number
    // beyond int or a text that is no whole number.
    static void checkArguments(const ProcedureDefinition& procedure, const ProcedureCall& call);

private:
    QHash<QString, ProcedureDefinition> m_procedures;  // by upper-case name
};

// Every procedure of the suite's database that the embedded database offers.
std::shared_ptr<const ProcedureRegistry> SuiteProcedures();
