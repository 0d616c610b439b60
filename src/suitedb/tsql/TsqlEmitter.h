#pragma once

#include <vector>

#include "TsqlBinder.h"
#include "TsqlSyntax.h"

// Writes a bound statement as SQLite SQL with parameters (?) in place of its literals. The server's semantics are spelled out where SQLite's differ: + of texts
// becomes ||, text comparisons, orders, groups, DISTINCT, MIN and MAX get the collation TSQL
// (unless the column carries it already, so that its indexes serve), LIKE and CONVERT go to
// the functions of TsqlFunctions.
//
// Two rewrites keep the history pages on their indexes:
//   column LIKE 'prefix%'   -> column >= 'prefix' AND column < 'prefix' || U+FFFF AND LIKE
//   (CONVERT(CHAR(11),C) + CONVERT(CHAR(5),(10000 + S))) >= 'bound'
//                           -> (C, S) >= (code of the bound, line of the bound)
// Both hold only for some values of the literal; each is a Site that the caller enables or
// not for the values at hand. ORDER BY the history key always becomes ORDER BY C, S.
class TsqlEmitter {
public:
    // Where the value bound to a parameter comes from.
    struct Param {
        enum class Source { Literal, LikeLow, LikeHigh, KeyCode, KeyLine };
        Source source = Source::Literal;
        int slot = -1;
        int keyLength = 0;
    };

    TsqlEmitter(const std::vector<Tsql::Site>& sites, const std::vector<bool>& enabled);

    QString statement(const Tsql::Statement& s);
    const std::vector<Param>& params() const { return m_params; }

private:
    // The statement with the parameters numbered as they were made: ?1, ?2, ...
    QString numberedStatement(const Tsql::Statement& s);
    QString select(const Tsql::Select& s, bool derived);
    QString source(const Tsql::TableRef& ref);
    QString table(const Tsql::TableRef& ref) const;
    QString order(const Tsql::Select& s, const Tsql::OrderItem& item);
    QString expr(const Tsql::Expr& e);
    QString column(const Tsql::Expr& e) const;
    QString compare(const Tsql::Expr& e);
    QString like(const Tsql::Expr& e);
    QString function(const Tsql::Expr& e);
    QString convert(const Tsql::Expr& e);
    QString caseExpr(const Tsql::Expr& e);
    QString list(const std::vector<Tsql::ExprPtr>& args, size_t from = 0);
    // The expression in the collation TSQL (as is when it already orders so).
    QString collated(const Tsql::Expr& e);
    // The left side of a comparison with right: with COLLATE TSQL when the comparison is
    // between texts and SQLite would not take TSQL from a column.
    QString leftOperand(const Tsql::Expr& left, const Tsql::Expr& right);
    // The expression as a number: a text converted as the server converts it.
    QString number(const Tsql::Expr& e);
    QString param(Param::Source source, int slot, int keyLength = 0);
    bool enabled(const Tsql::Expr& e) const;

    const std::vector<Tsql::Site>& m_sites;
    const std::vector<bool>& m_enabled;
    std::vector<Param> m_params;
};
