#include "TsqlParser.h"

#include <algorithm>
#include <iterator>

#include "SqlErrors.h"

using namespace Tsql;
using Kind = Expr::Kind;
using TokenKind = TsqlToken::Kind;

namespace {
constexpr int MaxDepth = 200;

// Words that end an expression or a name where an alias could otherwise follow.
const char* const Reserved[] = {
    "ALL",    "AND",    "AS",     "ASC",      "BEGIN", "BETWEEN", "BY",  "CASE", "CREATE",
    "CROSS",  "DELETE", "DESC",   "DISTINCT", "DROP",  "ELSE",    "END", "EXEC", "EXECUTE",
    "EXISTS", "FOR",    "FROM",   "FULL",     "GROUP", "HAVING",  "IF",  "IN",   "INNER",
    "INSERT", "INTO",   "IS",     "JOIN",     "LEFT",  "LIKE",    "NOT", "NULL", "ON",
    "OPTION", "OR",     "ORDER",  "OUTER",    "RIGHT", "SELECT",  "SET", "THEN", "TOP",
    "UNION",  "UPDATE", "VALUES", "WHEN",     "WHERE", "WITH"};

bool isReserved(const TsqlToken& t) {
    if (t.kind != TokenKind::Word) return false;
    for (const char* word : Reserved)
        if (t.isWord(QLatin1String(word))) return true;
    return false;
}

const char* const ComparisonOperators[] = {"=", "<>", "!=", "<", ">", "<=", ">=", "!<", "!>"};

QString comparison(const QString& op) {
    if (op == QLatin1String("!=")) return QStringLiteral("<>");
    if (op == QLatin1String("!<")) return QStringLiteral(">=");
    if (op == QLatin1String("!>")) return QStringLiteral("<=");
    return op;
}

// The grammar reads conditions and values alike; the server keeps them apart: a condition
// (a comparison, LIKE, IN, EXISTS ... and their AND, OR, NOT) where a condition is expected,
// a value everywhere else. SQLite would take a value as true or false and a condition as 1
// or 0, so "DELETE ... WHERE LCODE" would delete every row.
class Roles {
public:
    explicit Roles(const TsqlTokens& tokens) : m_tokens(tokens) {}

    void statement(const Statement& s) {
        if (s.select) select(*s.select);
        for (const auto& row : s.rows)
            for (const ExprPtr& v : row) value(*v);
        for (const ExprPtr& v : s.values) value(*v);
        if (s.where) condition(*s.where);
    }

private:
    static bool isCondition(const Expr& e) {
        switch (e.kind) {
            case Kind::Compare:
            case Kind::And:
            case Kind::Or:
            case Kind::Not:
            case Kind::IsNull:
            case Kind::Like:
            case Kind::Between:
            case Kind::InList:
            case Kind::InSelect:
            case Kind::Exists:
                return true;
            default:
                return false;
        }
    }

    // The word that makes the condition, for the message.
    static QString word(const Expr& e) {
        switch (e.kind) {
            case Kind::Compare:
                return e.op;
            case Kind::And:
                return QStringLiteral("AND");
            case Kind::Or:
                return QStringLiteral("OR");
            case Kind::Not:
                return QStringLiteral("NOT");
            case Kind::IsNull:
                return QStringLiteral("IS");
            case Kind::Like:
                return QStringLiteral("LIKE");
            case Kind::Between:
                return QStringLiteral("BETWEEN");
            case Kind::Exists:
                return QStringLiteral("EXISTS");
            default:
                return QStringLiteral("IN");
        }
    }

    void condition(const Expr& e) {
        if (!isCondition(e))
            throw DbError(DbErrorNumber::Syntax,
                          QStringLiteral("在需要條件的內容中指定了非布林類型的運算式 (接近 '%1')。")
                              .arg(m_tokens[e.token].text));
        parts(e);
    }

    void value(const Expr& e) {
        if (e.kind == Kind::Binary) {
            // A chain, from its first operand on, without a call per link.
            std::vector<const Expr*> links;
            for (const Expr* link = &e; link->kind == Kind::Binary; link = link->args[0].get())
                links.push_back(link);
            value(*links.back()->args[0]);
            for (auto link = links.rbegin(); link != links.rend(); ++link)
                value(*(*link)->args[1]);
            return;
        }
        if (isCondition(e)) throw SqlErrors::syntaxNear(word(e));
        parts(e);
    }

    void parts(const Expr& e) {
        switch (e.kind) {
            case Kind::And:
            case Kind::Or:
            case Kind::Not:
                for (const ExprPtr& arg : e.args) condition(*arg);
                break;
            case Kind::Case: {
                // [operand] when, then, ... [else]: a searched CASE asks conditions.
                const size_t from = e.hasOperand ? 1 : 0;
                const size_t pairsEnd = e.args.size() - (e.hasElse ? 1 : 0);
                for (size_t i = 0; i < e.args.size(); ++i) {
                    const bool when = i >= from && i < pairsEnd && (i - from) % 2 == 0;
                    if (when && !e.hasOperand)
                        condition(*e.args[i]);
                    else
                        value(*e.args[i]);
                }
                break;
            }
            default:
                for (const ExprPtr& arg : e.args) value(*arg);
        }
        if (e.select) select(*e.select);
    }

    void select(const Select& s) {
        if (s.top) value(*s.top);
        for (const SelectItem& item : s.items)
            if (item.expr) value(*item.expr);
        for (const TableRef& ref : s.from) {
            if (ref.derived) select(*ref.derived);
            if (ref.on) condition(*ref.on);
        }
        if (s.where) condition(*s.where);
        for (const ExprPtr& e : s.groupBy) value(*e);
        if (s.having) condition(*s.having);
        for (const OrderItem& item : s.orderBy)
            if (item.expr) value(*item.expr);
    }

    const TsqlTokens& m_tokens;
};
}  // namespace

TsqlParser::TsqlParser(QStringView text, const TsqlTokens& tokens, qsizetype first, qsizetype last,
                       const std::vector<int>& slotOf)
    : m_text(text),
      m_tokens(tokens),
      m_first(first),
      m_last(last),
      m_slotOf(slotOf),
      m_pos(first) {}

TsqlParser::Depth::Depth(TsqlParser& parser) : m_parser(parser) {
    if (++m_parser.m_depth > MaxDepth) {
        --m_parser.m_depth;
        throw SqlErrors::nestedTooDeeply();
    }
}

// ---- tokens

const TsqlToken* TsqlParser::peek(qsizetype ahead) const {
    const qsizetype p = m_pos + ahead;
    return p < m_last ? &m_tokens[p] : nullptr;
}

bool TsqlParser::atWord(const char* word, qsizetype ahead) const {
    const TsqlToken* t = peek(ahead);
    return t && t->isWord(QLatin1String(word));
}

bool TsqlParser::atSymbol(const char* symbol, qsizetype ahead) const {
    const TsqlToken* t = peek(ahead);
    return t && t->isSymbol(QLatin1String(symbol));
}

bool TsqlParser::acceptWord(const char* word) {
    if (!atWord(word)) return false;
    ++m_pos;
    return true;
}

bool TsqlParser::acceptSymbol(const char* symbol) {
    if (!atSymbol(symbol)) return false;
    ++m_pos;
    return true;
}

void TsqlParser::expectWord(const char* word) {
    if (!acceptWord(word)) fail();
}

void TsqlParser::expectSymbol(const char* symbol) {
    if (!acceptSymbol(symbol)) fail();
}

// The server names the token where the text stopped making sense, or the last one when the
// text ended too early.
void TsqlParser::fail() const {
    const qsizetype p = m_pos < m_last ? m_pos : m_last - 1;
    throw SqlErrors::syntaxNear(p >= m_first ? m_tokens[p].text : QString());
}

bool TsqlParser::atStatementStart() const {
    for (const char* word : {"SELECT", "INSERT", "UPDATE", "DELETE", "CREATE", "DROP"})
        if (atWord(word)) return true;
    return false;
}

bool TsqlParser::atAliasName() const {
    const TsqlToken* t = peek();
    if (!t) return false;
    if (t->kind == TokenKind::QuotedName || t->kind == TokenKind::String) return true;
    return t->kind == TokenKind::Word && !isReserved(*t);
}

QString TsqlParser::name() {
    const TsqlToken* t = peek();
    if (!t || !t->isName() || isReserved(*t)) fail();
    ++m_pos;
    return t->value();
}

// A number that shapes the statement, such as the length in CHAR(11).
int TsqlParser::structuralNumber() {
    const TsqlToken* t = peek();
    if (!t || t->kind != TokenKind::Number) fail();
    bool ok = false;
    const int n = t->text.toInt(&ok);
    if (!ok || n < 0) fail();
    m_structural.push_back(m_slotOf[size_t(m_pos - m_first)]);
    ++m_pos;
    return n;
}

ExprPtr TsqlParser::make(Kind kind, qsizetype token) {
    if (++m_nodes > MaxNodes) throw SqlErrors::tooComplex();
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->token = token;
    return e;
}

ExprPtr TsqlParser::makeBinary(Kind kind, const QString& op, ExprPtr left, ExprPtr right) {
    ExprPtr e = make(kind, left->token);
    e->op = op;
    attach(*e, std::move(left));
    attach(*e, std::move(right));
    return e;
}

namespace {
void grow(int& height, int below) {
    height = std::max(height, below + 1);
    if (height > TsqlParser::MaxHeight) throw SqlErrors::nestedTooDeeply();
}
}  // namespace

void TsqlParser::attach(Expr& e, ExprPtr arg) {
    grow(e.height, arg->height);
    e.args.push_back(std::move(arg));
}

void TsqlParser::attach(Expr& e, SelectPtr select) {
    grow(e.height, select->height);
    e.select = std::move(select);
}

void TsqlParser::measure(Select& s) {
    const auto below = [&](const ExprPtr& e) {
        if (e) grow(s.height, e->height);
    };
    below(s.top);
    for (const SelectItem& item : s.items) below(item.expr);
    for (const TableRef& ref : s.from) {
        if (ref.derived) grow(s.height, ref.derived->height);
        below(ref.on);
    }
    below(s.where);
    for (const ExprPtr& e : s.groupBy) below(e);
    below(s.having);
    for (const OrderItem& item : s.orderBy) below(item.expr);
}

// ---- statements

std::vector<Statement> TsqlParser::statements() {
    std::vector<Statement> out;
    for (Statement s; next(s);) out.push_back(std::move(s));
    return out;
}

bool TsqlParser::next(Statement& out) {
    while (acceptSymbol(";")) {
    }
    if (m_pos >= m_last) return false;
    m_nodes = 0;
    out = statement();
    if (m_pos < m_last && !atSymbol(";") && !atStatementStart()) fail();
    Roles(m_tokens).statement(out);
    return true;
}

Statement TsqlParser::condition() {
    m_nodes = 0;
    Statement s;
    s.kind = Statement::Kind::Condition;
    s.token = m_pos;
    s.where = expr();
    if (m_pos < m_last) fail();
    Roles(m_tokens).statement(s);
    return s;
}

Statement TsqlParser::statement() {
    if (atWord("SELECT")) {
        Statement s;
        s.token = m_pos;
        s.select = select();
        if (atWord("UNION") || atWord("INTO") || atWord("FOR") || atWord("OPTION")) fail();
        return s;
    }
    if (atWord("INSERT")) return insert();
    if (atWord("UPDATE")) return update();
    if (atWord("DELETE")) return remove();
    if (atWord("CREATE") || atWord("DROP")) return definition();
    fail();
}

Statement TsqlParser::insert() {
    Statement s;
    s.kind = Statement::Kind::Insert;
    s.token = m_pos++;
    acceptWord("INTO");
    table(s.table);
    if (acceptSymbol("(")) {
        do {
            s.columnTokens.push_back(m_pos);
            s.columns.append(name());
        } while (acceptSymbol(","));
        expectSymbol(")");
    }
    if (atWord("SELECT")) {
        s.select = select();
        return s;
    }
    expectWord("VALUES");
    do {
        expectSymbol("(");
        std::vector<ExprPtr> row;
        do row.push_back(expr());
        while (acceptSymbol(","));
        expectSymbol(")");
        s.rows.push_back(std::move(row));
    } while (acceptSymbol(","));
    return s;
}

Statement TsqlParser::update() {
    Statement s;
    s.kind = Statement::Kind::Update;
    s.token = m_pos++;
    table(s.table);
    if (atWord("WITH")) hints();
    expectWord("SET");
    do {
        s.columnTokens.push_back(m_pos);
        QString column = name();
        if (acceptSymbol(".")) column = name();  // table.column
        s.columns.append(column);
        expectSymbol("=");
        s.values.push_back(expr());
    } while (acceptSymbol(","));
    if (acceptWord("WHERE")) s.where = expr();
    return s;
}

Statement TsqlParser::remove() {
    Statement s;
    s.kind = Statement::Kind::Delete;
    s.token = m_pos++;
    acceptWord("FROM");
    table(s.table);
    if (acceptWord("WHERE")) s.where = expr();
    return s;
}

// Table definitions go to SQLite as they are written; they end where the next statement
// begins.
Statement TsqlParser::definition() {
    Statement s;
    s.kind = Statement::Kind::Definition;
    s.token = m_pos++;
    int parens = 0;
    while (m_pos < m_last) {
        if (atSymbol("(")) ++parens;
        if (atSymbol(")")) --parens;
        if (parens == 0 && (atSymbol(";") || atStatementStart())) break;
        ++m_pos;
    }
    s.last = m_pos;
    return s;
}

// ---- SELECT

// A SELECT, with the SELECTs united with it and the ORDER BY of the whole.
SelectPtr TsqlParser::select() {
    SelectPtr s = selectCore();
    while (acceptWord("UNION")) {
        UnionPart part;
        part.all = acceptWord("ALL");
        part.select = selectCore();
        grow(s->height, part.select->height);
        s->unions.push_back(std::move(part));
    }
    if (acceptWord("ORDER")) orderBy(*s);
    measure(*s);
    return s;
}

SelectPtr TsqlParser::selectCore() {
    const Depth depth(*this);
    auto s = std::make_unique<Select>();
    s->token = m_pos;
    expectWord("SELECT");
    if (acceptWord("DISTINCT"))
        s->distinct = true;
    else
        acceptWord("ALL");
    if (acceptWord("TOP")) top(*s);
    do selectItem(*s);
    while (acceptSymbol(","));
    if (acceptWord("FROM")) from(*s);
    if (acceptWord("WHERE")) s->where = expr();
    if (acceptWord("GROUP")) {
        expectWord("BY");
        do s->groupBy.push_back(expr());
        while (acceptSymbol(","));
    }
    if (acceptWord("HAVING")) s->having = expr();
    measure(*s);
    return s;
}

// TOP n or TOP (n): a whole number of rows within bigint. The count is part of the statement
// (the server reads it when compiling), so each one is checked once, not at every run.
void TsqlParser::top(Select& select) {
    const bool parens = acceptSymbol("(");
    const bool negative = parens && atSymbol("-");
    if (parens && (atSymbol("-") || atSymbol("+"))) ++m_pos;
    const TsqlToken* t = peek();
    if (!t || t->kind != TokenKind::Number) fail();
    const QString& text = t->text;
    const bool hex = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    const bool decimal =
        !hex && (text.contains(u'.') || text.contains(u'e') || text.contains(u'E'));
    bool fits = false;
    const qlonglong rows = hex ? text.mid(2).toLongLong(&fits, 16) : text.toLongLong(&fits);
    if (decimal || (negative && rows != 0))
        throw DbError(DbErrorNumber::Syntax, QStringLiteral("為 TOP 或 FETCH 子句資料列計數參數"
                                                            "提供的資料列數目必須是整數。"));
    if (!fits) throw SqlErrors::bigintOverflow();
    m_structural.push_back(m_slotOf[size_t(m_pos - m_first)]);
    select.top = primary();
    if (parens) expectSymbol(")");
    if (atWord("PERCENT") || atWord("WITH")) fail();
}

void TsqlParser::selectItem(Select& select) {
    SelectItem item;
    item.token = m_pos;
    if (acceptSymbol("*")) {
        select.items.push_back(std::move(item));
        return;
    }
    const TsqlToken* t = peek();
    if (t && t->isName() && atSymbol(".", 1) && atSymbol("*", 2)) {
        item.starQualifier = t->value();
        m_pos += 3;
        select.items.push_back(std::move(item));
        return;
    }
    // alias = expression
    if (t && (t->isName() || t->kind == TokenKind::String) && !isReserved(*t) && atSymbol("=", 1)) {
        item.alias = t->value();
        item.hasAlias = true;
        m_pos += 2;
        item.expr = expr();
        select.items.push_back(std::move(item));
        return;
    }
    item.expr = expr();
    const bool as = acceptWord("AS");
    if (as || atAliasName()) {
        if (!atAliasName()) fail();
        item.alias = peek()->value();
        item.hasAlias = true;
        ++m_pos;
    }
    select.items.push_back(std::move(item));
}

void TsqlParser::from(Select& select) {
    select.from.push_back(source(TableRef::Join::First));
    while (true) {
        if (acceptSymbol(",")) {
            select.from.push_back(source(TableRef::Join::Comma));
        } else if (atWord("JOIN") || (atWord("INNER") && atWord("JOIN", 1))) {
            acceptWord("INNER");
            expectWord("JOIN");
            select.from.push_back(source(TableRef::Join::Inner));
        } else if (atWord("LEFT")) {
            ++m_pos;
            acceptWord("OUTER");
            expectWord("JOIN");
            select.from.push_back(source(TableRef::Join::Left));
        } else if (atWord("CROSS")) {
            ++m_pos;
            expectWord("JOIN");
            select.from.push_back(source(TableRef::Join::Cross));
        } else {
            break;
        }
        TableRef& joined = select.from.back();
        if (joined.join == TableRef::Join::Inner || joined.join == TableRef::Join::Left) {
            expectWord("ON");
            joined.on = expr();
        }
    }
}

TableRef TsqlParser::source(TableRef::Join join) {
    TableRef ref;
    ref.join = join;
    ref.token = m_pos;
    if (atSymbol("(")) {
        ++m_pos;
        if (!atWord("SELECT")) fail();
        ref.derived = select();
        expectSymbol(")");
        acceptWord("AS");
        ref.alias = name();  // the server wants every derived table named
        return ref;
    }
    table(ref);
    if (atWord("WITH")) hints();
    if (acceptWord("AS") || atAliasName()) {
        const TsqlToken* t = peek();
        if (!t || !t->isName() || isReserved(*t)) fail();
        ref.alias = t->value();
        ++m_pos;
    }
    if (atWord("WITH")) hints();
    return ref;
}

// [database.[owner].|database..|owner.]name
void TsqlParser::table(TableRef& ref) {
    ref.token = m_pos;
    QStringList parts;
    parts.append(name());
    while (acceptSymbol(".")) {
        if (atSymbol("."))
            parts.append(QString());  // database..name
        else
            parts.append(name());
    }
    if (parts.size() > 3) fail();
    ref.name = parts.last();
    if (parts.size() == 3) ref.database = parts.first();
}

// WITH (INDEX = X), WITH (NOLOCK), ...: accepted and left to SQLite's planner.
// Table hints are the server's business: read as the server reads them, then left aside.
void TsqlParser::hints() {
    static const char* const Plain[] = {
        "NOLOCK",       "READUNCOMMITTED", "READCOMMITTED", "REPEATABLEREAD", "SERIALIZABLE",
        "HOLDLOCK",     "UPDLOCK",         "XLOCK",         "ROWLOCK",        "PAGLOCK",
        "TABLOCK",      "TABLOCKX",        "NOWAIT",        "READPAST",       "FASTFIRSTROW",
        "NOEXPAND"};
    const auto indexName = [&] {
        const TsqlToken* t = peek();
        if (!t || (!t->isName() && t->kind != TokenKind::Number)) fail();
        ++m_pos;
    };
    expectWord("WITH");
    expectSymbol("(");
    do {
        if (acceptWord("INDEX")) {
            if (acceptSymbol("=")) {
                indexName();
            } else {
                expectSymbol("(");
                do indexName();
                while (acceptSymbol(","));
                expectSymbol(")");
            }
            continue;
        }
        const bool known = std::any_of(std::begin(Plain), std::end(Plain),
                                       [&](const char* word) { return atWord(word); });
        if (!known) fail();
        ++m_pos;
    } while (acceptSymbol(","));
    expectSymbol(")");
}

void TsqlParser::orderBy(Select& select) {
    expectWord("BY");
    do {
        OrderItem item;
        const TsqlToken* t = peek();
        if (t && t->kind == TokenKind::Number) {
            // ORDER BY 2: the second result column
            const qsizetype at = m_pos;
            const int n = structuralNumber();
            if (n < 1 || n > int(select.items.size())) {
                m_pos = at;
                fail();
            }
            item.item = n - 1;
        } else {
            item.expr = expr();
        }
        if (acceptWord("DESC"))
            item.descending = true;
        else
            acceptWord("ASC");
        select.orderBy.push_back(std::move(item));
    } while (acceptSymbol(","));
}

// ---- expressions

ExprPtr TsqlParser::expr() {
    const Depth depth(*this);
    ExprPtr left = conjunction();
    if (!atWord("OR")) return left;
    ExprPtr e = make(Kind::Or, left->token);
    attach(*e, std::move(left));
    while (acceptWord("OR")) attach(*e, conjunction());
    return e;
}

ExprPtr TsqlParser::conjunction() {
    ExprPtr left = negation();
    if (!atWord("AND")) return left;
    ExprPtr e = make(Kind::And, left->token);
    attach(*e, std::move(left));
    while (acceptWord("AND")) attach(*e, negation());
    return e;
}

ExprPtr TsqlParser::negation() {
    if (!atWord("NOT")) return predicate();
    const Depth depth(*this);
    ExprPtr e = make(Kind::Not, m_pos++);
    attach(*e, negation());
    return e;
}

ExprPtr TsqlParser::predicate() {
    if (atWord("EXISTS")) {
        ExprPtr e = make(Kind::Exists, m_pos++);
        expectSymbol("(");
        if (!atWord("SELECT")) fail();
        attach(*e, select());
        expectSymbol(")");
        return e;
    }
    ExprPtr left = sum();
    for (const char* op : ComparisonOperators) {
        if (acceptSymbol(op))
            return makeBinary(Kind::Compare, comparison(op), std::move(left), sum());
    }
    if (acceptWord("IS")) {
        ExprPtr e = make(Kind::IsNull, left->token);
        e->negated = acceptWord("NOT");
        expectWord("NULL");
        attach(*e, std::move(left));
        return e;
    }
    const bool negated =
        atWord("NOT") && (atWord("LIKE", 1) || atWord("BETWEEN", 1) || atWord("IN", 1));
    if (negated) ++m_pos;
    if (acceptWord("LIKE")) {
        ExprPtr e = makeBinary(Kind::Like, QString(), std::move(left), sum());
        if (atWord("ESCAPE")) fail();
        e->negated = negated;
        return e;
    }
    if (acceptWord("BETWEEN")) {
        ExprPtr e = make(Kind::Between, left->token);
        e->negated = negated;
        attach(*e, std::move(left));
        attach(*e, sum());
        expectWord("AND");
        attach(*e, sum());
        return e;
    }
    if (acceptWord("IN")) {
        expectSymbol("(");
        ExprPtr e = make(atWord("SELECT") ? Kind::InSelect : Kind::InList, left->token);
        e->negated = negated;
        attach(*e, std::move(left));
        if (e->kind == Kind::InSelect) {
            attach(*e, select());
        } else {
            do attach(*e, expr());
            while (acceptSymbol(","));
        }
        expectSymbol(")");
        return e;
    }
    if (negated) fail();
    return left;
}

// Each operator takes what the chain has so far as its left side. The chain is one level of
// the tree, above the tallest of its operands, however long it is: the passes after the parser
// walk it link by link.
template <class Operand>
ExprPtr TsqlParser::chain(std::initializer_list<const char*> ops, Operand operand) {
    ExprPtr left = operand();
    const auto atOp = [&] {
        return std::any_of(ops.begin(), ops.end(), [&](const char* op) { return atSymbol(op); });
    };
    for (int operands = 1; atOp(); ++operands) {
        if (operands == MaxChain) throw SqlErrors::stackLimit();
        const QString op = m_tokens[m_pos++].text;
        const bool linked = operands > 1;
        const int below = left->height;
        left = makeBinary(Kind::Binary, op, std::move(left), operand());
        if (linked) left->height = std::max(below, left->args[1]->height + 1);
    }
    return left;
}

ExprPtr TsqlParser::sum() {
    return chain({"+", "-"}, [this] { return product(); });
}

ExprPtr TsqlParser::product() {
    return chain({"*", "/", "%"}, [this] { return unary(); });
}

ExprPtr TsqlParser::unary() {
    if (atSymbol("-") || atSymbol("+")) {
        const Depth depth(*this);
        ExprPtr e = make(Kind::Unary, m_pos);
        e->op = m_tokens[m_pos++].text;
        attach(*e, unary());
        return e;
    }
    return primary();
}

ExprPtr TsqlParser::primary() {
    const TsqlToken* t = peek();
    if (!t) fail();
    switch (t->kind) {
        case TokenKind::String:
        case TokenKind::Number: {
            ExprPtr e = make(Kind::Literal, m_pos);
            e->slot = m_slotOf[size_t(m_pos - m_first)];
            e->literalType = t->kind == TokenKind::String ? Type::Text : Type::Number;
            ++m_pos;
            return e;
        }
        case TokenKind::Symbol:
            if (t->isSymbol(QLatin1String("("))) return parenthesised();
            fail();
        case TokenKind::QuotedName:
            return column();
        case TokenKind::Word:
            break;
        default:
            fail();
    }
    if (t->isWord(QLatin1String("NULL"))) return make(Kind::Null, m_pos++);
    if (t->isWord(QLatin1String("CASE"))) return caseExpr();
    if (atSymbol("(", 1)) {
        if (t->isWord(QLatin1String("CAST"))) return convert(true);
        if (t->isWord(QLatin1String("CONVERT"))) return convert(false);
        // LEFT and RIGHT are also join words; followed by '(' they are functions.
        if (!isReserved(*t) || t->isWord(QLatin1String("LEFT")) ||
            t->isWord(QLatin1String("RIGHT"))) {
            ++m_pos;
            return function(t->text.toUpper());
        }
    }
    if (isReserved(*t)) fail();
    return column();
}

ExprPtr TsqlParser::parenthesised() {
    const Depth depth(*this);
    const qsizetype at = m_pos++;
    if (atWord("SELECT")) {
        ExprPtr e = make(Kind::Subquery, at);
        attach(*e, select());
        expectSymbol(")");
        return e;
    }
    ExprPtr e = expr();
    expectSymbol(")");
    return e;
}

ExprPtr TsqlParser::caseExpr() {
    const Depth depth(*this);
    ExprPtr e = make(Kind::Case, m_pos++);
    if (!atWord("WHEN")) {
        e->hasOperand = true;
        attach(*e, expr());
    }
    if (!atWord("WHEN")) fail();
    while (acceptWord("WHEN")) {
        attach(*e, expr());
        expectWord("THEN");
        attach(*e, expr());
    }
    if (acceptWord("ELSE")) {
        e->hasElse = true;
        attach(*e, expr());
    }
    expectWord("END");
    return e;
}

// CAST(expr AS type) and CONVERT(type, expr [, style])
ExprPtr TsqlParser::convert(bool cast) {
    const Depth depth(*this);
    ExprPtr e = make(Kind::Convert, m_pos);
    m_pos += 2;
    if (cast) {
        attach(*e, expr());
        expectWord("AS");
        e->target = typeName();
    } else {
        e->target = typeName();
        expectSymbol(",");
        attach(*e, expr());
        if (acceptSymbol(",")) structuralNumber();  // a style: only dates have one
    }
    expectSymbol(")");
    return e;
}

// The server keeps texts of a fixed length to 8000 bytes (4000 national characters) and
// refuses a length of 0 as it reads the statement.
TypeName TsqlParser::typeName() {
    const TsqlToken* t = peek();
    if (!t || t->kind != TokenKind::Word) fail();
    TypeName type;
    type.name = t->text.toUpper();
    const QString written = t->text.toLower();
    ++m_pos;
    if (!acceptSymbol("(")) return type;
    const TsqlToken* length = peek();
    const auto digits = [](const QString& text) {
        return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    };
    if (length && length->kind == TokenKind::Number && digits(length->text)) {
        bool ok = false;
        const qlonglong n = length->text.toLongLong(&ok);
        const int most =
            type.name == QLatin1String("NCHAR") || type.name == QLatin1String("NVARCHAR") ? 4000
                                                                                          : 8000;
        const bool sized = type.name == QLatin1String("CHAR") ||
                           type.name == QLatin1String("VARCHAR") || most == 4000;
        if (ok && n == 0) {
            const qsizetype line = m_text.left(length->begin).count(u'\n') + 1;
            throw DbError(DbErrorNumber::Syntax,
                          QStringLiteral("第 %1 行: 長度或有效位數規格 0 無效。").arg(line));
        }
        if (sized && (!ok || n > most))
            throw DbError(
                DbErrorNumber::Syntax,
                QStringLiteral("指定給 '%1' 類型的大小 (%2) 超過任何資料類型所允許的最大值 (%3)。")
                    .arg(written, ok ? QString::number(n) : length->text)
                    .arg(most));
    }
    type.length = structuralNumber();
    if (acceptSymbol(",")) type.scale = structuralNumber();  // DECIMAL(p, s)
    expectSymbol(")");
    // A decimal holds 1 to 38 digits, its scale at most all of them.
    if (type.name == QLatin1String("DECIMAL") || type.name == QLatin1String("NUMERIC")) {
        if (type.length > 38)
            throw DbError(DbErrorNumber::Syntax,
                          QStringLiteral("資料行或參數 #0: 指定的資料行有效位數 %1 大於最大有效位數 38。")
                              .arg(type.length));
        if (type.scale > type.length)
            throw DbError(
                DbErrorNumber::Syntax,
                QStringLiteral("資料行或參數 #0: 指定的資料行小數位數 %1 大於指定的有效位數 %2。")
                    .arg(type.scale)
                    .arg(type.length));
    }
    return type;
}

ExprPtr TsqlParser::function(const QString& name) {
    const Depth depth(*this);
    ExprPtr e = make(Kind::Function, m_pos - 1);
    e->op = name;
    expectSymbol("(");
    if (acceptSymbol("*")) {
        e->star = true;
    } else if (!atSymbol(")")) {
        e->distinct = acceptWord("DISTINCT");
        do attach(*e, expr());
        while (acceptSymbol(","));
    }
    expectSymbol(")");
    return e;
}

// [[database.]owner.]table.column or column
ExprPtr TsqlParser::column() {
    ExprPtr e = make(Kind::Column, m_pos);
    QStringList parts;
    parts.append(name());
    while (atSymbol(".") && peek(1) && peek(1)->isName()) {
        ++m_pos;
        parts.append(name());
    }
    if (parts.size() > 4) fail();
    e->name = parts.takeLast();
    if (!parts.isEmpty()) e->qualifier = parts.last();
    return e;
}
