#include "TsqlEmitter.h"

#include <algorithm>

using namespace Tsql;
using Kind = Expr::Kind;
using Source = TsqlEmitter::Param::Source;

namespace {
// The head of the names of the functions that do an expression's arithmetic (TsqlFunctions):
// tsql_ for an int's, tsql_big for a bigint's, tsql_dec for a decimal's.
QString widthPrefix(const Expr& e) {
    return e.decimal ? QStringLiteral("tsql_dec")
           : e.bigint ? QStringLiteral("tsql_big")
                      : QStringLiteral("tsql_");
}

const QLatin1String Collate(" COLLATE TSQL");

QString quoted(const QString& name) {
    return u'"' + QString(name).replace(u'"', QLatin1String("\"\"")) + u'"';
}

QString alias(int id) { return QStringLiteral("t%1").arg(id); }

bool isCollatedColumn(const Expr& e) { return e.kind == Kind::Column && e.column.collated; }

// Texts compared with texts (or with NULL, or with values of no declared type) follow the
// server's collation.
bool textual(Type a, Type b) {
    const auto plain = [](Type t) { return t != Type::Number && t != Type::Date; };
    return (a == Type::Text && plain(b)) || (b == Type::Text && plain(a));
}

// A text and a number meet as numbers: the server converts the text, and refuses one that
// is no number, where SQLite would compare or add it as it is.
bool mixed(Type a, Type b) {
    return (a == Type::Text && b == Type::Number) || (a == Type::Number && b == Type::Text);
}

bool isCharJoin(const Expr& e);
}  // namespace

TsqlEmitter::TsqlEmitter(const std::vector<Site>& sites, const std::vector<int>& choices)
    : m_sites(sites), m_choices(choices) {}

QString TsqlEmitter::param(Source source, int slot, int detail, int offset) {
    m_params.push_back({source, slot, detail, offset});
    return u'?' + QString::number(m_params.size());
}

bool TsqlEmitter::enabled(const Expr& e) const {
    return e.site >= 0 && size_t(e.site) < m_choices.size() && m_choices[size_t(e.site)] > 0;
}

// The parameters are numbered as they are made, which is not always the order in which they
// stand in the text, and SQLite looks each ?N up in a list of all of them: a statement of many
// values would take quadratic time to prepare. Plain ? are counted as SQLite reads them, so the
// text gets those, and the parameters the order of their places in it. Only quoted names,
// besides parameters, can hold a '?'.
QString TsqlEmitter::statement(const Statement& s) {
    const QString numbered = numberedStatement(s);
    QString sql;
    sql.reserve(numbered.size());
    std::vector<Param> params;
    params.reserve(m_params.size());
    const qsizetype size = numbered.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = numbered[i];
        if (c == u'"') {
            // A doubled quote closes one part of the name and opens the next: the same text.
            qsizetype close = numbered.indexOf(u'"', i + 1);
            if (close < 0) close = size - 1;
            sql += QStringView(numbered).mid(i, close - i + 1);
            i = close;
        } else if (c == u'?') {
            qsizetype n = 0;
            while (i + 1 < size && numbered[i + 1].isDigit())
                n = n * 10 + numbered[++i].digitValue();
            params.push_back(m_params[size_t(n - 1)]);
            sql += u'?';
        } else {
            sql += c;
        }
    }
    m_params = std::move(params);
    return sql;
}

QString TsqlEmitter::numberedStatement(const Statement& s) {
    using SKind = Statement::Kind;
    switch (s.kind) {
        case SKind::Select:
            m_result = s.select->unions.empty() ? s.select.get() : nullptr;
            return select(*s.select, false);
        case SKind::Condition:
            return QStringLiteral("SELECT CASE WHEN %1 THEN 1 ELSE 0 END").arg(condition(*s.where));
        case SKind::Insert: {
            QString sql = QStringLiteral("INSERT INTO ") + table(s.table);
            if (!s.columns.isEmpty()) {
                QStringList names;
                for (const QString& c : s.columns) names.append(quoted(c));
                sql += QStringLiteral(" (") + names.join(QStringLiteral(", ")) + u')';
            }
            if (s.select) return sql + u' ' + select(*s.select, false);
            QStringList rows;
            for (const auto& row : s.rows) rows.append(u'(' + list(row) + u')');
            return sql + QStringLiteral(" VALUES ") + rows.join(QStringLiteral(", "));
        }
        case SKind::Update: {
            QStringList sets;
            for (qsizetype i = 0; i < s.columns.size(); ++i)
                sets.append(quoted(s.columns[i]) + QStringLiteral(" = ") +
                            expr(*s.values[size_t(i)]));
            QString sql =
                QStringLiteral("UPDATE %1 AS %2 SET %3")
                    .arg(table(s.table), alias(s.table.id), sets.join(QStringLiteral(", ")));
            if (s.where) sql += QStringLiteral(" WHERE ") + condition(*s.where);
            return sql;
        }
        case SKind::Delete: {
            QString sql =
                QStringLiteral("DELETE FROM %1 AS %2").arg(table(s.table), alias(s.table.id));
            if (s.where) sql += QStringLiteral(" WHERE ") + condition(*s.where);
            return sql;
        }
        case SKind::Definition:
            break;
    }
    return {};
}

// ---- SELECT

QString TsqlEmitter::select(const Select& s, bool derived) {
    if (!s.unions.empty()) return united(s);
    if (const Expr* key = rangedKey(s)) return rangedSelect(s, *key);
    return selectOf(s, derived, false);
}

// A UNION: each SELECT as a derived table. The first one's text columns carry the collation
// TSQL, which SQLite applies to the whole, so that rows are told apart and ordered as the
// server does; the ORDER BY of the whole goes by position.
QString TsqlEmitter::united(const Select& s) {
    const auto part = [&](const QString& inner, int n) {
        QStringList items;
        for (qsizetype i = 0; i < s.names.size(); ++i) {
            QString item = QStringLiteral("u%1.c%2").arg(n).arg(i);
            if (n == 0) {
                if (s.types[size_t(i)] == Type::Text) item += Collate;
                item += QStringLiteral(" AS c%1").arg(i);
            }
            items.append(item);
        }
        return QStringLiteral("SELECT %1 FROM (%2) AS u%3")
            .arg(items.join(QStringLiteral(", ")), inner)
            .arg(n);
    };
    QString sql = part(selectOf(s, true, false, false), 0);
    int n = 0;
    for (const UnionPart& u : s.unions)
        sql += (u.all ? QStringLiteral(" UNION ALL ") : QStringLiteral(" UNION ")) +
               part(select(*u.select, true), ++n);
    QStringList order;
    for (const OrderItem& item : s.orderBy)
        order.append(QString::number(item.item + 1) +
                     (s.types[size_t(item.item)] == Type::Text ? QString(Collate) : QString()) +
                     (item.descending ? QStringLiteral(" DESC") : QString()));
    if (!order.isEmpty()) sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
    return sql;
}

// A range's part (see rangedSelect) names its columns c0, c1, ... and adds the terms of the
// ORDER BY as k0, k1, ...; the union of the parts is ordered and cut to TOP.
QString TsqlEmitter::selectOf(const Select& s, bool derived, bool range, bool ordered) {
    QString sql = QStringLiteral("SELECT ");
    if (s.distinct) sql += QStringLiteral("DISTINCT ");
    QStringList items;
    for (size_t i = 0; i < s.items.size(); ++i) {
        const Expr& e = *s.items[i].expr;
        // DISTINCT tells texts apart as the server's collation does.
        QString item = s.distinct && e.type == Type::Text ? collated(e)
                       : &s == m_result                   ? written(e, true)
                                                          : expr(e);
        // A derived table's columns are referred to by position.
        if (derived || range) item += QStringLiteral(" AS c%1").arg(i);
        items.append(item);
    }
    const std::vector<OrderTerm> terms = ordered ? orderTerms(s) : std::vector<OrderTerm>();
    if (range)
        for (size_t i = 0; i < terms.size(); ++i)
            items.append(terms[i].sql + QStringLiteral(" AS k%1").arg(i));
    sql += items.join(QStringLiteral(", "));
    if (!s.from.empty()) {
        sql += QStringLiteral(" FROM ");
        for (const TableRef& ref : s.from) sql += source(ref);
    }
    if (s.where) sql += QStringLiteral(" WHERE ") + condition(*s.where);
    if (!s.groupBy.empty()) {
        QStringList groups;
        for (const ExprPtr& e : s.groupBy)
            groups.append(e->type == Type::Text ? collated(*e) : expr(*e));
        sql += QStringLiteral(" GROUP BY ") + groups.join(QStringLiteral(", "));
    }
    if (s.having) sql += QStringLiteral(" HAVING ") + expr(*s.having);
    if (range) return sql;
    if (!terms.empty()) {
        QStringList order;
        for (const OrderTerm& t : terms) order.append(t.sql + t.direction);
        sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
    }
    if (s.top) sql += QStringLiteral(" LIMIT ") + expr(*s.top);
    return sql;
}

// The key comparison that may become ranges: a conjunct of the WHERE of a plain SELECT of one
// table, whose code column it compares (see TsqlKeyRanges).
const Expr* TsqlEmitter::rangedKey(const Select& s) const {
    if (s.from.size() != 1 || s.from[0].derived || s.from[0].absent || s.distinct ||
        !s.groupBy.empty() || s.having || s.oneRow || !s.where)
        return nullptr;
    std::vector<const Expr*> conjuncts = {s.where.get()};
    for (size_t i = 0; i < conjuncts.size(); ++i) {
        const Expr& e = *conjuncts[i];
        if (e.kind == Kind::And) {
            for (const ExprPtr& arg : e.args) conjuncts.push_back(arg.get());
        } else if (e.kind == Kind::Compare && enabled(e) && e.args[0]->keyHead &&
                   m_sites[size_t(e.site)].kind == Site::Kind::KeyRanges &&
                   e.args[0]->keyHead->source == s.from[0].id) {
            return &e;
        }
    }
    return nullptr;
}

// The SELECT once for every range of the key, joined by UNION ALL (the ranges do not overlap,
// so no row comes twice), ordered and cut to TOP as a whole. SQLite merges the parts, each
// read in order from its index, and stops after TOP rows: no part reads further than that.
QString TsqlEmitter::rangedSelect(const Select& s, const Expr& key) {
    const Site& site = m_sites[size_t(key.site)];
    // With a column before the code, one part more: that column beyond the bound's.
    const int ranges = site.atLeast ? m_choices[size_t(key.site)] : (site.keyLength > 0 ? 3 : 2);
    const Range outer = m_range;  // a SELECT in a part may have ranges of its own
    QStringList parts;
    for (int range = 0; range < ranges; ++range) {
        m_range = {&key, range, ranges};
        parts.append(selectOf(s, false, true));
    }
    m_range = outer;
    QString sql = parts.join(QStringLiteral(" UNION ALL "));
    const std::vector<OrderTerm> terms = orderTerms(s);
    if (!terms.empty()) {
        QStringList order;
        for (size_t i = 0; i < terms.size(); ++i)
            order.append(QStringLiteral("k%1").arg(i) +
                         (terms[i].text ? QString(Collate) : QString()) + terms[i].direction);
        sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
    }
    if (s.top) sql += QStringLiteral(" LIMIT ") + expr(*s.top);
    QStringList items;
    for (size_t i = 0; i < s.items.size(); ++i) items.append(QStringLiteral("c%1").arg(i));
    return QStringLiteral("SELECT ") + items.join(QStringLiteral(", ")) +
           QStringLiteral(" FROM (") + sql + u')';
}

QString TsqlEmitter::table(const TableRef& ref) const {
    return quoted(ref.schema) + u'.' + quoted(ref.catalogueName);
}

QString TsqlEmitter::source(const TableRef& ref) {
    QString sql;
    switch (ref.join) {
        case TableRef::Join::First:
            break;
        case TableRef::Join::Comma:
            sql = QStringLiteral(", ");
            break;
        case TableRef::Join::Inner:
            sql = QStringLiteral(" JOIN ");
            break;
        case TableRef::Join::Left:
            sql = QStringLiteral(" LEFT JOIN ");
            break;
        case TableRef::Join::Cross:
            sql = QStringLiteral(" CROSS JOIN ");
            break;
    }
    if (ref.derived)
        sql += u'(' + select(*ref.derived, true) + u')';
    else if (ref.absent)
        sql += QStringLiteral("(SELECT * FROM %1 WHERE 0)").arg(table(ref));
    else
        sql += table(ref);
    sql += QStringLiteral(" AS ") + alias(ref.id);
    if (!ref.index.isEmpty()) sql += QStringLiteral(" INDEXED BY ") + quoted(ref.index);
    if (ref.on) sql += QStringLiteral(" ON ") + expr(*ref.on);
    return sql;
}

// The history key orders as its document code, then its line number.
std::vector<TsqlEmitter::OrderTerm> TsqlEmitter::orderTerms(const Select& s) {
    std::vector<OrderTerm> terms;
    for (const OrderItem& item : s.orderBy) {
        const Expr& e = item.item >= 0 ? *s.items[size_t(item.item)].expr : *item.expr;
        const QString direction = item.descending ? QStringLiteral(" DESC") : QString();
        if (e.keyCode) {
            terms.push_back({collated(*e.keyCode), direction, true});
            terms.push_back({expr(*e.keyLine), direction, false});
        } else if (e.type == Type::Text) {
            terms.push_back({collated(e), direction, true});
        } else {
            terms.push_back({expr(e), direction, false});
        }
    }
    return terms;
}

// ---- expressions

QString TsqlEmitter::list(const std::vector<ExprPtr>& args, size_t from) {
    QStringList out;
    for (size_t i = from; i < args.size(); ++i) out.append(expr(*args[i]));
    return out.join(QStringLiteral(", "));
}

QString TsqlEmitter::collated(const Expr& e) {
    return isCollatedColumn(e) ? expr(e) : expr(e) + Collate;
}

QString TsqlEmitter::number(const Expr& e) {
    return e.type == Type::Text ? QStringLiteral("tsql_number(") + expr(e) + u')' : expr(e);
}

QString TsqlEmitter::number(const Expr& e, const QString& written) {
    return e.type == Type::Text ? QStringLiteral("tsql_number(") + written + u')' : written;
}

QString TsqlEmitter::leftOperand(const Expr& left, const Expr& right) {
    if (!textual(left.type, right.type) || isCollatedColumn(left)) return expr(left);
    // SQLite takes the collation of the right side's column when the left is no column.
    if (left.kind != Kind::Column && isCollatedColumn(right)) return expr(left);
    return expr(left) + Collate;
}

QString TsqlEmitter::condition(const Expr& where) {
    // One row of the subquery with c = a tells as much as all of them where the condition
    // must hold (NULL and false alike leave the row out), and nowhere else.
    const auto fits = [](const Expr& e) {
        if (e.kind != Kind::InSelect || e.negated || e.args[0]->kind != Kind::Column) return false;
        const Select& s = *e.select;
        if (!s.unions.empty() || s.distinct || s.top || s.having || !s.orderBy.empty() ||
            s.items.size() != 1 || s.from.size() != 1 || s.from[0].derived ||
            s.from[0].id < 0)
            return false;
        const Expr& c = *s.items[0].expr;
        const auto isC = [&](const Expr& g) {
            return g.kind == Kind::Column && g.source == c.source &&
                   g.column.name == c.column.name && g.column.derivedIndex < 0;
        };
        return isC(c) && c.source == s.from[0].id && c.type == e.args[0]->type &&
               (s.groupBy.empty() || (s.groupBy.size() == 1 && isC(*s.groupBy[0])));
    };
    if (fits(where)) m_probes.insert(&where);
    if (where.kind == Kind::And)
        for (const ExprPtr& term : where.args)
            if (fits(*term)) m_probes.insert(term.get());
    return expr(where);
}

// `a IN (SELECT c FROM t WHERE w)` as `EXISTS (SELECT 1 FROM t WHERE w AND c = a)`: SQLite
// reads every row of an IN's subquery before the first row of the statement (a busy
// customer's quarter of a million lines, to page fifteen of his items), where the probe looks
// each candidate up by t's index of c and stops with the page.
QString TsqlEmitter::probe(const Expr& in) {
    const Select& s = *in.select;
    const Expr& c = *s.items[0].expr;
    QString sql = QStringLiteral("EXISTS (SELECT 1 FROM ") + source(s.from[0]) +
                  QStringLiteral(" WHERE ");
    if (s.where) sql += expr(*s.where) + QStringLiteral(" AND ");
    return sql + leftOperand(c, *in.args[0]) + QStringLiteral(" = ") + expr(*in.args[0]) + u')';
}

QString TsqlEmitter::column(const Expr& e) const {
    if (e.column.derivedIndex >= 0)
        return alias(e.source) + QStringLiteral(".c") + QString::number(e.column.derivedIndex);
    return alias(e.source) + u'.' + quoted(e.column.name);
}

QString TsqlEmitter::expr(const Expr& e) {
    const QString negation = e.negated ? QStringLiteral(" NOT") : QString();
    switch (e.kind) {
        case Kind::Literal:
            return e.inlined.isEmpty() ? param(Source::Literal, e.slot) : e.inlined;
        case Kind::Null:
            return QStringLiteral("NULL");
        case Kind::Column:
            return column(e);
        case Kind::Unary:
            // The opposite of a value that may be the least int goes through tsql_neg; a
            // literal's is no int's least (2147483648 is a decimal of the server's).
            if (e.op == QLatin1String("-") && e.args[0]->kind != Kind::Literal)
                return widthPrefix(e) + QStringLiteral("neg(") + number(*e.args[0]) + u')';
            return u'(' + e.op + expr(*e.args[0]) + u')';
        case Kind::Binary:
            return binary(e);
        case Kind::Compare:
            return compare(e);
        case Kind::And:
        case Kind::Or: {
            if (e.kind == Kind::And) noteLikeBounds(e);
            QStringList terms;
            for (const ExprPtr& arg : e.args)
                if (!m_folded.contains(arg.get())) terms.append(expr(*arg));
            return u'(' +
                   terms.join(e.kind == Kind::And ? QStringLiteral(" AND ")
                                                  : QStringLiteral(" OR ")) +
                   u')';
        }
        case Kind::Not:
            return QStringLiteral("(NOT ") + expr(*e.args[0]) + u')';
        case Kind::IsNull:
            return u'(' + expr(*e.args[0]) + QStringLiteral(" IS") + negation +
                   QStringLiteral(" NULL)");
        case Kind::Like:
            return like(e);
        case Kind::Between:
            return u'(' + leftOperand(*e.args[0], *e.args[1]) + negation +
                   QStringLiteral(" BETWEEN ") + expr(*e.args[1]) + QStringLiteral(" AND ") +
                   expr(*e.args[2]) + u')';
        case Kind::InList:
            return u'(' + leftOperand(*e.args[0], *e.args[1]) + negation + QStringLiteral(" IN (") +
                   list(e.args, 1) + QStringLiteral("))");
        case Kind::InSelect: {
            if (m_probes.count(&e)) return probe(e);
            Expr result;  // stands for the subquery's column when choosing the collation
            result.kind = Kind::Subquery;
            result.type = e.select->types[0];
            return u'(' + leftOperand(*e.args[0], result) + negation + QStringLiteral(" IN (") +
                   select(*e.select, false) + QStringLiteral("))");
        }
        case Kind::Exists:
            return QStringLiteral("EXISTS (") + select(*e.select, false) + u')';
        case Kind::Subquery: {
            // One row at most (a unique column's row, an aggregate) reads as it stands. Of
            // several, SQLite would take the first; the server refuses them. Two are enough to
            // tell.
            if (e.select->atMostOneRow) return u'(' + select(*e.select, false) + u')';
            QString rows = select(*e.select, true);
            if (!e.select->top) rows += QStringLiteral(" LIMIT 2");
            return QStringLiteral("(SELECT tsql_single(count(*), min(c0)) FROM (") + rows +
                   QStringLiteral("))");
        }
        case Kind::Function:
            return function(e);
        case Kind::Convert:
            return convert(e);
        case Kind::Case:
            return caseExpr(e);
    }
    return {};
}

namespace {
// The terms joined by the operator, two halves at a time: as deep as the logarithm of their
// number, where SQLite takes no expression deeper than 1000.
QString balanced(const QStringList& terms, qsizetype from, qsizetype to, const QString& op) {
    if (to - from == 1) return terms[from];
    const qsizetype middle = from + (to - from) / 2;
    return u'(' + balanced(terms, from, middle, op) + op + balanced(terms, middle, to, op) + u')';
}

// Links of a chain beyond which it is written in halves or folded (see TsqlEmitter::binary).
constexpr size_t LongChain = 64;

// Operands of one tsql_pack call: within the arguments SQLite takes for a function (127).
constexpr qsizetype PackWidth = 100;

// The function that does a link of arithmetic (see TsqlFunctions): tsql_add ..., or
// tsql_bigadd ... for a bigint's.
QString arithmetic(const Expr& link) {
    const QString& op = link.op;
    const QString name = op == QLatin1String("+")   ? QStringLiteral("add")
                         : op == QLatin1String("-") ? QStringLiteral("sub")
                         : op == QLatin1String("*") ? QStringLiteral("mul")
                         : op == QLatin1String("/") ? QStringLiteral("div")
                                                    : QStringLiteral("mod");
    return widthPrefix(link) + name;
}

// The operands joined by the operators from the left (ops: two characters a link, as
// tsql_fold reads them): one tsql_fold over the operands after the first, PackWidth in each
// tsql_pack.
QString folded(const QString& ops, const QStringList& terms) {
    QString sql = QStringLiteral("tsql_fold('") + ops + QStringLiteral("', ") + terms[0];
    for (qsizetype i = 1; i < terms.size(); i += PackWidth)
        sql += QStringLiteral(", tsql_pack(") +
               terms.mid(i, PackWidth).join(QStringLiteral(", ")) + u')';
    return sql + u')';
}
}  // namespace

// A chain of + and - or of *, / and % (a left spine of Binary links), written from its first
// operand up without a call per link. A text joined by + goes to ||; a key of fixed-length
// pieces at the chain's start is made by one tsql_char call rather than a join per piece.
// Arithmetic goes to the functions that refuse an overflow as the server does (SQLite's
// would go on in a float). A long chain's runs of joined texts are written in halves (the
// join comes out the same), its runs of arithmetic folded from the left by tsql_fold: SQLite
// takes no expression deeper than 1000.
QString TsqlEmitter::binary(const Expr& e) {
    std::vector<const Expr*> links;  // from e down
    for (const Expr* link = &e; link->kind == Kind::Binary; link = link->args[0].get())
        links.push_back(link);
    // The lowest links that make a key of fixed-length pieces, whole.
    size_t keyed = 0;  // of the links from below
    {
        const Expr& first = *links.back()->args[0];
        bool joined = first.kind == Kind::Convert && isCharJoin(first);
        for (auto link = links.rbegin(); joined && link != links.rend(); ++link) {
            const Expr& l = **link;
            joined = l.type == Type::Text && l.op == QLatin1String("+") && isCharJoin(*l.args[1]);
            if (joined) ++keyed;
        }
    }
    QString sql;
    size_t next = links.size();  // the next link up is links[next - 1]
    if (keyed > 0) {
        next -= keyed;
        sql = QStringLiteral("tsql_char(") + charPieces(*links[next]) + u')';
    } else {
        sql = expr(*links.back()->args[0]);
    }
    const bool halves = links.size() > LongChain;
    const Expr* below = next < links.size() ? links[next] : links.back()->args[0].get();
    while (next > 0) {
        const Expr& l = *links[--next];
        const Expr& right = *l.args[1];
        const bool text = l.type == Type::Text;
        if (halves) {
            // The run of links of its kind (texts joined, or arithmetic), the chain so far
            // first.
            QStringList terms = {text ? sql : number(*below, sql)};
            QString ops;
            while (true) {
                const Expr& r = *links[next]->args[1];
                terms.append(text ? expr(r) : number(r));
                ops += links[next]->op + links[next]->width();
                below = links[next];
                if (next == 0 || (links[next - 1]->type == Type::Text) != text) break;
                --next;
            }
            sql = text ? balanced(terms, 0, terms.size(), QStringLiteral(" || "))
                       : folded(ops, terms);
            continue;
        }
        if (text)
            sql = u'(' + sql + QStringLiteral(" || ") + expr(right) + u')';
        else
            sql = arithmetic(l) + u'(' + number(*below, sql) + QStringLiteral(", ") +
                  number(right) + u')';
        below = &l;
    }
    return sql;
}

QString TsqlEmitter::compare(const Expr& e) {
    const Expr& left = *e.args[0];
    // A part of a ranged SELECT: its range, and the comparison itself as the final word.
    if (m_range.key == &e)
        return u'(' + keyRange(e) + QStringLiteral(" AND ") + plainCompare(e) + u')';
    if (enabled(e) && left.keyCode) {
        const int slot = m_sites[size_t(e.site)].slot;
        const int length = m_sites[size_t(e.site)].keyLength;
        return QStringLiteral("((%1, %2) %3 (%4, %5))")
            .arg(collated(*left.keyCode), expr(*left.keyLine), e.op,
                 param(Source::KeyCode, slot, length), param(Source::KeyLine, slot, length));
    }
    return plainCompare(e);
}

QString TsqlEmitter::plainCompare(const Expr& e) {
    const Expr& left = *e.args[0];
    const Expr& right = *e.args[1];
    if (mixed(left.type, right.type))
        return u'(' + number(left) + u' ' + e.op + u' ' + number(right) + u')';
    return u'(' + leftOperand(left, right) + u' ' + e.op + u' ' + expr(right) + u')';
}

// The range of the code column that part m_range.range of a key comparison reads (see
// TsqlKeyRanges): for >=, the prefixes' ranges with the least rest, then the codes from the
// bound on; for <=, the code equal to the bound with nothing after it, then the codes below.
//   With a column A before the code, the bound's first n characters are A's value a and the
// rest is the bound of C + T: each range holds A = a, and the last part is A > a (A < a).
QString TsqlEmitter::keyRange(const Expr& e) {
    const Expr& key = *e.args[0];
    const Site& site = m_sites[size_t(e.site)];
    const int slot = site.slot;
    const int n = site.keyLength;
    const QString code = expr(*key.keyHead);
    const QString tail = collated(*key.keyTail);
    const int range = m_range.range;
    QString item;
    if (n > 0) {
        const QString column = expr(*key.keyItem);
        if (range == m_range.count - 1)
            return QStringLiteral("%1 %2 %3")
                .arg(column, site.atLeast ? QStringLiteral(">") : QStringLiteral("<"),
                     param(Source::KeyItem, slot, 0, n));
        item = QStringLiteral("%1 = %2 AND ").arg(column, param(Source::KeyItem, slot, 0, n));
    }
    const int last = n > 0 ? m_range.count - 2 : m_range.count - 1;
    if (site.atLeast) {
        if (range == last)
            return item + QStringLiteral("%1 >= %2").arg(code, param(Source::KeyLeast, slot, 0, n));
        return item + QStringLiteral("%1 >= %2 AND %1 < %3 AND %4 >= %5")
                          .arg(code, param(Source::KeyLow, slot, range, n),
                               param(Source::KeyHigh, slot, range, n), tail,
                               param(Source::KeyRest, slot, range, n));
    }
    if (range == 0)
        return item + QStringLiteral("%1 = %2 AND %3 <= ''")
                          .arg(code, param(Source::KeyBound, slot, 0, n), tail);
    return item + QStringLiteral("%1 < %2").arg(code, param(Source::KeyBound, slot, 0, n));
}

void TsqlEmitter::noteLikeBounds(const Expr& conjunction) {
    for (const ExprPtr& term : conjunction.args) {
        if (term->kind != Kind::Like || term->negated || !enabled(*term)) continue;
        const QString column = expr(*term->args[0]);
        LikeBounds bounds;
        for (const ExprPtr& other : conjunction.args) {
            if (other->kind != Kind::Compare || other->args[0]->kind != Kind::Column) continue;
            const Expr& bound = *other->args[1];
            if ((bound.kind != Kind::Literal && bound.kind != Kind::Subquery) ||
                bound.type != Type::Text || expr(*other->args[0]) != column)
                continue;
            if (other->op == QLatin1String(">="))
                bounds.lower.push_back(&bound);
            else if (other->op == QLatin1String("<="))
                bounds.upper.push_back(&bound);
            else
                continue;
            m_folded.insert(other.get());
        }
        if (!bounds.lower.empty() || !bounds.upper.empty()) m_likeBounds[term.get()] = bounds;
    }
}

// The range in the column's own collation lets SQLite use the column's index; tsql_like
// still decides.
QString TsqlEmitter::like(const Expr& e) {
    const QString value = expr(*e.args[0]);
    const QString test = QStringLiteral("tsql_like(%1, %2)").arg(value, expr(*e.args[1]));
    if (e.negated) return QStringLiteral("(NOT ") + test + u')';
    if (!enabled(e)) return test;
    const int slot = m_sites[size_t(e.site)].slot;
    QString low = param(Source::LikeLow, slot);
    QString high = param(Source::LikeHigh, slot);
    QString highOp = QStringLiteral("<");
    if (const auto it = m_likeBounds.find(&e); it != m_likeBounds.end()) {
        // max and min take TSQL from their first argument. The range now holds the folded
        // comparisons, which are not written again; the folded upper bound may admit the
        // range's end itself, which the LIKE test excludes.
        for (const Expr* b : it->second.lower)
            low = QStringLiteral("max(%1 COLLATE TSQL, %2)").arg(low, expr(*b));
        for (const Expr* b : it->second.upper) {
            high = QStringLiteral("min(%1 COLLATE TSQL, %2)").arg(high, expr(*b));
            highOp = QStringLiteral("<=");
        }
    }
    return QStringLiteral("(%1 >= %2 AND %1 %3 %4 AND %5)").arg(value, low, highOp, high, test);
}

namespace {
bool isOneOf(const QString& name, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(),
                       [&](const char* n) { return name == QLatin1String(n); });
}

// The decimals that the server writes when it makes a text of the value: those of a
// conversion to DECIMAL or NUMERIC (none when not given), two of MONEY; -1 for any other value.
int decimalsOf(const Expr& e) {
    if (e.kind != Expr::Kind::Convert) return -1;
    if (isOneOf(e.target.name, {"DECIMAL", "NUMERIC"})) return qMax(0, e.target.scale);
    if (isOneOf(e.target.name, {"MONEY", "SMALLMONEY"})) return 2;
    return -1;
}

bool isFloat(const Expr& e) {
    return e.kind == Expr::Kind::Convert && isOneOf(e.target.name, {"FLOAT", "REAL"});
}

// Whether e is CONVERT(CHAR(n), x), or such pieces joined by + (a chain, link by link).
bool isCharJoin(const Expr& e) {
    const Expr* p = &e;
    for (; p->kind == Expr::Kind::Binary; p = p->args[0].get())
        if (p->type != Type::Text || p->op != QLatin1String("+") || !isCharJoin(*p->args[1]))
            return false;
    return p->kind == Expr::Kind::Convert && isOneOf(p->target.name, {"CHAR", "NCHAR"});
}

// The length a text type gives: without one, CONVERT and CAST make texts of 30.
int textLength(const TypeName& type) { return type.length > 0 ? type.length : 30; }

// The text function that gives a value the length of a text type; empty for other types.
QString textFunctionOf(const TypeName& type) {
    if (isOneOf(type.name, {"CHAR", "NCHAR"})) return QStringLiteral("tsql_char");
    if (isOneOf(type.name, {"VARCHAR", "NVARCHAR"})) return QStringLiteral("tsql_varchar");
    return {};
}
}  // namespace

QString TsqlEmitter::function(const Expr& e) {
    const QString& f = e.op;
    if (f == QLatin1String("COUNT") && e.star) return QStringLiteral("count(*)");
    if (f == QLatin1String("COUNT") || f == QLatin1String("MIN") || f == QLatin1String("MAX") ||
        f == QLatin1String("SUM")) {
        // Aggregates of texts tell them apart and order them by the server's collation.
        const Expr& arg = *e.args[0];
        const QString value =
            arg.type == Type::Text && f != QLatin1String("SUM") ? collated(arg) : expr(arg);
        // A SUM adds as the server's does (an int's total stays within int).
        const QString name =
            f != QLatin1String("SUM") ? f.toLower() : widthPrefix(arg) + QStringLiteral("sum");
        return name + u'(' + (e.distinct ? QStringLiteral("DISTINCT ") : QString()) + value + u')';
    }
    if (f == QLatin1String("ISNULL")) {
        // The result has the type and length of the first argument.
        const QString value = QStringLiteral("ifnull(") + list(e.args) + u')';
        const Expr& first = *e.args[0];
        const QString fit = first.kind == Kind::Convert ? textFunctionOf(first.target) : QString();
        if (fit.isEmpty()) return value;
        return QStringLiteral("%1(%2, %3)").arg(fit, value).arg(textLength(first.target));
    }
    if (f == QLatin1String("LEFT"))
        return QStringLiteral("substr(%1, 1, %2)").arg(expr(*e.args[0]), expr(*e.args[1]));
    if (f == QLatin1String("SUBSTRING")) return QStringLiteral("substr(") + list(e.args) + u')';
    if (f == QLatin1String("RIGHT") || f == QLatin1String("LEN"))
        return QStringLiteral("tsql_") + f.toLower() + u'(' + list(e.args) + u')';
    // COALESCE, LTRIM, RTRIM (blanks only, as the server's), UPPER, LOWER, ABS, ROUND
    return f.toLower() + u'(' + list(e.args) + u')';
}

QString TsqlEmitter::charPieces(const Expr& e) {
    std::vector<const Expr*> links;  // a chain, link by link
    const Expr* p = &e;
    for (; p->kind == Kind::Binary; p = p->args[0].get()) links.push_back(p);
    QString pieces =
        convertedValue(*p) + QStringLiteral(", ") + QString::number(textLength(p->target));
    for (auto link = links.rbegin(); link != links.rend(); ++link)
        pieces += QStringLiteral(", ") + charPieces(*(*link)->args[1]);
    return pieces;
}

QString TsqlEmitter::written(const Expr& e, bool exactOnly) {
    const auto isNumber = [](const Expr& x) {
        return x.kind == Kind::Literal && x.literalType == Type::Number && x.inlined.isEmpty();
    };
    if (isNumber(e)) return param(Source::Written, e.slot, exactOnly ? 1 : 0);
    // -12.50 keeps its scale as 12.50 does.
    if (e.kind == Kind::Unary && e.op == QLatin1String("-") && isNumber(*e.args[0]))
        return param(Source::Written, e.args[0]->slot, exactOnly ? 1 : 0, 1);
    return expr(e);
}

QString TsqlEmitter::convertedValue(const Expr& e) {
    const Expr& arg = *e.args[0];
    const bool toText = e.type == Type::Text || !textFunctionOf(e.target).isEmpty();
    QString value = toText ? written(arg) : expr(arg);
    if (toText) {
        // A number becomes text as the server writes its type: a decimal with its scale, a
        // float in at most six digits.
        if (const int decimals = decimalsOf(arg); decimals >= 0)
            value = QStringLiteral("printf('%.%1f', %2)").arg(decimals).arg(value);
        else if (isFloat(arg))
            value = QStringLiteral("tsql_float(%1)").arg(value);
    }
    return value;
}

QString TsqlEmitter::convert(const Expr& e) {
    if (isCharJoin(e)) return QStringLiteral("tsql_char(") + charPieces(e) + u')';
    const QString value = convertedValue(e);
    const QString& type = e.target.name;
    const int length = textLength(e.target);
    switch (e.type) {
        case Type::Text:
            return QStringLiteral("tsql_varchar(%1, %2)").arg(value).arg(length);
        case Type::Number: {
            if (isOneOf(type, {"INT", "INTEGER", "BIGINT", "SMALLINT", "TINYINT", "BIT"}))
                return QStringLiteral("CAST(%1 AS INTEGER)").arg(value);
            if (isOneOf(type, {"DECIMAL", "NUMERIC", "MONEY", "SMALLMONEY"}))
                return QStringLiteral("round(CAST(%1 AS REAL), %2)")
                    .arg(value)
                    .arg(isOneOf(type, {"DECIMAL", "NUMERIC"}) ? qMax(0, e.target.scale) : 4);
            return QStringLiteral("CAST(%1 AS REAL)").arg(value);
        }
        default:
            return value;
    }
}

QString TsqlEmitter::caseExpr(const Expr& e) {
    QString sql = QStringLiteral("CASE");
    size_t i = 0;
    if (e.hasOperand) {
        const Expr& operand = *e.args[0];
        sql += u' ' + leftOperand(operand, *e.args[1]);
        i = 1;
    }
    const size_t pairsEnd = e.hasElse ? e.args.size() - 1 : e.args.size();
    for (; i < pairsEnd; i += 2)
        sql += QStringLiteral(" WHEN ") + expr(*e.args[i]) + QStringLiteral(" THEN ") +
               expr(*e.args[i + 1]);
    if (e.hasElse) sql += QStringLiteral(" ELSE ") + expr(*e.args.back());
    return sql + QStringLiteral(" END");
}
