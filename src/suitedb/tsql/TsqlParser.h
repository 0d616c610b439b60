#pragma once

#include <vector>

#include "TsqlLexer.h"
#include "TsqlSyntax.h"

// The grammar of the statements the front end runs, one function per rule. Tokens [first,
// last) of a batch hold one or more statements, separated by ';' or by nothing but blanks as
// the server allows. Anything outside the grammar throws DbError (Syntax) naming the token
// where it went wrong, as the server does.
//
// Trees taller than MaxHeight are refused (the server's "nested too deeply"), and so are
// statements of more than MaxNodes expressions (the server's "ran out of internal resources"):
// every later pass walks the tree by recursion, and the time and memory a text costs stay
// bounded however long it is.
//
//   statement   select | insert | update | delete | definition
//   select      SELECT [DISTINCT|ALL] [TOP n | TOP ([-]n)] item {, item} [FROM source {join}]
//               [WHERE expr] [GROUP BY expr {, expr}] [HAVING expr] [ORDER BY order {, order}]
//   item        * | name.* | alias = expr | expr [[AS] alias]      (alias: name or 'text')
//   source      table [[AS] alias] [WITH (hints)] | (select) [AS] alias
//   table       [database.[owner].|database..|owner.]name
//   join        , source | [INNER] JOIN source ON expr | LEFT [OUTER] JOIN source ON expr
//               | CROSS JOIN source
//   insert      INSERT [INTO] table [(name {, name})] (VALUES (expr {, expr}) {, (...)} | select)
//   update      UPDATE table [WITH (hints)] SET name = expr {, name = expr} [WHERE expr]
//   delete      DELETE [FROM] table [WHERE expr]
//   definition  CREATE ... | DROP ...   (handed to SQLite as written, for set-up and tests)
//   expr        or:  and {OR and};  and: not {AND not};  not: NOT not | predicate
//   predicate   EXISTS (select) | sum [cmp sum | [NOT] LIKE sum | [NOT] BETWEEN sum AND sum
//               | [NOT] IN ((select) | (expr {, expr})) | IS [NOT] NULL]
//   sum         product {(+|-) product};  product: unary {(*|/|%) unary}
//   unary       (-|+) unary | primary
//   primary     text | number | NULL | column | function (args) | CASE ... END
//               | CAST (expr AS type) | CONVERT (type, expr [, style]) | (select) | (expr)
class TsqlParser {
public:
    static constexpr int MaxHeight = 128;
    static constexpr int MaxNodes = 100000;
    // Operands of one chain of + and - (or of *, / and %): the server nests the chain two
    // terms at a time, and its stack gives out beyond some 3,400.
    static constexpr int MaxChain = 3400;

    // The tokens are those of text; slotOf[i - first] is the literal slot of token i, or -1
    // when it is no text or number.
    TsqlParser(QStringView text, const TsqlTokens& tokens, qsizetype first, qsizetype last,
               const std::vector<int>& slotOf);

    std::vector<Tsql::Statement> statements();
    // The next statement, one at a time; false at the end of the tokens.
    bool next(Tsql::Statement& out);
    // Where the statement read last ends (a ';' after it is not its own).
    qsizetype position() const { return m_pos; }
    // The condition of an IF, as a statement of kind Condition.
    Tsql::Statement condition();

    // Literal slotOf whose values shape the translation (type lengths, ORDER BY positions):
    // statements that differ in them do not share a translation.
    const std::vector<int>& structural() const { return m_structural; }

private:
    using ExprPtr = Tsql::ExprPtr;
    using SelectPtr = Tsql::SelectPtr;

    const TsqlToken* peek(qsizetype ahead = 0) const;
    bool atWord(const char* word, qsizetype ahead = 0) const;
    bool atSymbol(const char* symbol, qsizetype ahead = 0) const;
    bool acceptWord(const char* word);
    bool acceptSymbol(const char* symbol);
    void expectWord(const char* word);
    void expectSymbol(const char* symbol);
    [[noreturn]] void fail() const;
    bool atStatementStart() const;
    bool atAliasName() const;
    QString name();
    int structuralNumber();

    Tsql::Statement statement();
    Tsql::Statement insert();
    Tsql::Statement update();
    Tsql::Statement remove();
    Tsql::Statement definition();
    SelectPtr select();
    SelectPtr selectCore();
    void selectItem(Tsql::Select& select);
    void from(Tsql::Select& select);
    Tsql::TableRef source(Tsql::TableRef::Join join);
    void table(Tsql::TableRef& ref);
    void hints();
    void orderBy(Tsql::Select& select);

    ExprPtr expr();
    ExprPtr conjunction();
    ExprPtr negation();
    ExprPtr predicate();
    ExprPtr sum();
    ExprPtr product();
    ExprPtr unary();
    ExprPtr primary();
    ExprPtr parenthesised();
    ExprPtr caseExpr();
    ExprPtr convert(bool cast);
    ExprPtr function(const QString& name);
    ExprPtr column();
    Tsql::TypeName typeName();
    void top(Tsql::Select& select);

    ExprPtr make(Tsql::Expr::Kind kind, qsizetype token);
    ExprPtr makeBinary(Tsql::Expr::Kind kind, const QString& op, ExprPtr left, ExprPtr right);
    // The operands of + and - (product: of *, / and %) as a chain, the first one lowest.
    template <class Operand>
    ExprPtr chain(std::initializer_list<const char*> ops, Operand operand);
    // Hangs an argument or a SELECT under the expression, which grows to its height + 1.
    static void attach(Tsql::Expr& e, ExprPtr arg);
    static void attach(Tsql::Expr& e, SelectPtr select);
    static void measure(Tsql::Select& select);

    // The parser's own recursion, which parentheses deepen without making the tree taller.
    struct Depth {
        explicit Depth(TsqlParser& parser);
        ~Depth() { --m_parser.m_depth; }
        TsqlParser& m_parser;
    };

    const QStringView m_text;
    const TsqlTokens& m_tokens;
    const qsizetype m_first;
    const qsizetype m_last;
    const std::vector<int>& m_slotOf;
    qsizetype m_pos;
    int m_depth = 0;
    int m_nodes = 0;  // expressions of the statement being read
    std::vector<int> m_structural;
};
