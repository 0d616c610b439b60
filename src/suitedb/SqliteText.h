#pragma once

#include <QString>

class TsqlBatch;

// Statements of a batch in the words SQLite understands: N'...' becomes '...', [name] becomes
// "name", comments become blanks. In statements that read or change rows, and in conditions,
// every text literal and every scalar subquery gets the server's collation, so that
// comparisons of constants order as the server orders them ("'a' = 'A '" holds).
namespace SqliteText {
QString statement(const TsqlBatch& batch, qsizetype first, qsizetype last);
// The query that evaluates an IF condition to 1 or 0.
QString condition(const TsqlBatch& batch, qsizetype first, qsizetype last);
// A result column's name as the statement was written, without the collations added above.
QString columnName(const QString& sqliteName);
}  // namespace SqliteText
