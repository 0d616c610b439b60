#pragma once

#include <QString>
#include <QVariantList>
#include <vector>

#include "TsqlLexer.h"

// One statement of a batch, as the front end runs it.
struct BatchStatement {
    enum class Kind {
        Sql,    // handed to SQLite: tokens [first, last)
        Call,   // a procedure call: procedure, arguments
        If,     // condition tokens [first, last); body[0] the branch when true, body[1] else
        Block,  // BEGIN ... END: body
    };

    Kind kind = Kind::Sql;
    qsizetype first = 0;
    qsizetype last = 0;
    QString procedure;
    QVariantList arguments;  // texts as QString, numbers as qlonglong or double, NULL invalid
    std::vector<BatchStatement> body;
};

// A command text split into statements. Statements end at a ';' outside parentheses and
// blocks, and before an IF, a BEGIN or an EXEC that follows without one (the T-SQL front end
// splits runs of other statements, written one after the other or separated by ';': such a
// run is one Sql range); IF <condition> BEGIN ... END [ELSE
// BEGIN ... END] (a branch may also be a single statement, and ELSE IF chains nest); a procedure
// call is EXEC or EXECUTE with a name, or a statement that begins with a name that is no statement
// keyword. Arguments are texts, numbers (with a sign), NULL, or bare words taken as texts.
class TsqlBatch {
public:
    // Throws DbError: EmptyCommand when the text holds no statement, Syntax for unclosed
    // quotes and comments and for malformed IF, BEGIN/END and calls.
    explicit TsqlBatch(const QString& text);

    const QString& text() const { return m_text; }
    const TsqlTokens& tokens() const { return m_tokens; }
    const std::vector<BatchStatement>& statements() const { return m_statements; }

    // The text of the tokens [first, last) as written (comments become blanks).
    QString slice(qsizetype first, qsizetype last) const;

private:
    QString m_text;
    TsqlTokens m_tokens;
    std::vector<BatchStatement> m_statements;
};
