#pragma once

#include <map>
#include <set>
#include <vector>

#include "TsqlBinder.h"
#include "TsqlSyntax.h"

// Writes a bound statement as SQLite SQL with parameters (?) in place of its literals (but for a
// 0 or '' compared, written out: Tsql::keptInline). The server's semantics are spelled out
// where SQLite's differ: + of texts becomes ||, text comparisons, orders, groups, DISTINCT, MIN
// and MAX get the collation TSQL (unless the column carries it already, so that its indexes
// serve), LIKE and CONVERT go to the functions of TsqlFunctions.
//
// Three rewrites keep the history pages on their indexes:
//   column LIKE 'prefix%'   -> column >= 'prefix' AND column < 'prefix' || U+FFFF AND LIKE
//                              (with a further bound of the column in the same AND folded in:
//                              column >= max('prefix', bound) ...)
//   (CONVERT(CHAR(11),C) + CONVERT(CHAR(5),(10000 + S))) >= 'bound'
//                           -> (C, S) >= (code of the bound, line of the bound)
//   a SELECT of one table WHERE ... AND C + T >= 'bound' (or <=), C a code column and T a
//   text of its row   -> the SELECT once for each range of C that TsqlKeyRanges finds,
//                        each with the comparison as it was, the parts joined by UNION ALL;
//   the same with CONVERT(CHAR(n),A) + C + T, A a column of the row
//                     -> the ranges of C + T for the rest of the bound, each with A equal to
//                        the bound's first n characters, and one part with A beyond them
// Each holds only for some values of the literal; each is a Site that the caller chooses for
// the values at hand. ORDER BY the history key always becomes ORDER BY C, S.
class TsqlEmitter {
public:
    // Where the value bound to a parameter comes from.
    struct Param {
        enum class Source {
            Literal,
            LikeLow,
            LikeHigh,
            KeyCode,
            KeyLine,
            KeyBound,  // the bound of a key's ranges without its trailing blanks
            KeyLeast,  // the least text of that bound's primary weights
            KeyLow,    // the range of the code column for a prefix of that bound
            KeyHigh,
            KeyRest,  // the rest of the bound after that prefix
            KeyItem,  // the column before the code: the bound's first characters
            Written,  // a number literal where the statement gives it back as written: a
                      // decimal's digits (12.50, 38 digits) as a text, any other its value;
                      // detail 1: only digits that a float would not hold exactly; offset
                      // 1: with a minus before it
        };
        Source source = Source::Literal;
        int slot = -1;
        int detail = 0;  // KeyCode, KeyLine: the code's CHAR length; KeyLow, KeyHigh, KeyRest:
                         // the prefix's length
        int offset = 0;  // Key...: the characters of the bound that belong to the column
                         // before the code (KeyItem: all of them; the others: the rest)
    };

    // choices: per site, 0 where its rewrite does not hold for the values at hand, else 1; for
    // a key's ranges with >=, the number of ranges (1 + the length of the bound).
    TsqlEmitter(const std::vector<Tsql::Site>& sites, const std::vector<int>& choices);

    QString statement(const Tsql::Statement& s);
    const std::vector<Param>& params() const { return m_params; }

private:
    // The statement with the parameters numbered as they were made: ?1, ?2, ...
    QString numberedStatement(const Tsql::Statement& s);
    QString select(const Tsql::Select& s, bool derived);
    // ordered false: without the ORDER BY (that of a UNION's whole).
    QString selectOf(const Tsql::Select& s, bool derived, bool range, bool ordered = true);
    QString united(const Tsql::Select& s);
    const Tsql::Expr* rangedKey(const Tsql::Select& s) const;
    QString rangedSelect(const Tsql::Select& s, const Tsql::Expr& key);
    QString source(const Tsql::TableRef& ref);
    QString table(const Tsql::TableRef& ref) const;
    struct OrderTerm {
        QString sql;  // with its collation
        QString direction;
        bool text = false;
    };
    std::vector<OrderTerm> orderTerms(const Tsql::Select& s);
    QString expr(const Tsql::Expr& e);
    QString column(const Tsql::Expr& e) const;
    QString compare(const Tsql::Expr& e);
    QString plainCompare(const Tsql::Expr& e);
    QString keyRange(const Tsql::Expr& e);
    QString like(const Tsql::Expr& e);
    QString function(const Tsql::Expr& e);
    QString convert(const Tsql::Expr& e);
    // The converted value of a CONVERT or CAST to a text, before it is given its length.
    QString convertedValue(const Tsql::Expr& e);
    // CONVERT(CHAR(n), x) pieces joined by + as the arguments of one tsql_char call:
    // "x1, n1, x2, n2...".
    QString charPieces(const Tsql::Expr& e);
    QString caseExpr(const Tsql::Expr& e);
    QString list(const std::vector<Tsql::ExprPtr>& args, size_t from = 0);
    // The expression in the collation TSQL (as is when it already orders so).
    QString collated(const Tsql::Expr& e);
    // The left side of a comparison with right: with COLLATE TSQL when the comparison is
    // between texts and SQLite would not take TSQL from a column.
    QString leftOperand(const Tsql::Expr& left, const Tsql::Expr& right);
    // A WHERE (or an IF's condition): its conditions `a IN (SELECT c FROM t ...)` joined by AND
    // are written as probes of t for a (see probe).
    QString condition(const Tsql::Expr& where);
    QString probe(const Tsql::Expr& in);
    // The expression as a number: a text converted as the server converts it.
    QString number(const Tsql::Expr& e);
    // The same for e as already written.
    QString number(const Tsql::Expr& e, const QString& written);
    QString binary(const Tsql::Expr& e);
    QString param(Param::Source source, int slot, int detail = 0, int offset = 0);
    bool enabled(const Tsql::Expr& e) const;

    // The SELECT whose result columns are the statement's own: a number literal among them
    // is given back as written.
    const Tsql::Select* m_result = nullptr;
    // A literal number as written when it is (see Param::Written), else as expr writes it.
    QString written(const Tsql::Expr& e, bool exactOnly = false);

    const std::vector<Tsql::Site>& m_sites;
    const std::vector<int>& m_choices;
    std::vector<Param> m_params;
    // The key comparison whose range is being written: which one, of how many.
    struct Range {
        const Tsql::Expr* key = nullptr;
        int range = 0;
        int count = 0;
    };
    Range m_range;
    // For a LIKE range, the other bounds of its column in the same AND (>= or <= a literal
    // or a subquery): folded into the range's own bounds, so that SQLite's one index range
    // starts at the nearer of the two.
    struct LikeBounds {
        std::vector<const Tsql::Expr*> lower, upper;
    };
    std::map<const Tsql::Expr*, LikeBounds> m_likeBounds;
    std::set<const Tsql::Expr*> m_folded;  // the comparisons folded into a LIKE range
    std::set<const Tsql::Expr*> m_probes;  // the IN conditions written as probes
    void noteLikeBounds(const Tsql::Expr& conjunction);
};
