#include "TsqlBinder.h"

#include <algorithm>
#include <functional>

#include "SqlErrors.h"
#include "TsqlCatalogue.h"

using namespace Tsql;
using Kind = Expr::Kind;

namespace {
DbError syntax(const QString& text) { return DbError(DbErrorNumber::Syntax, text); }

DbError unknownColumn(const QString& name) {
    return syntax(QStringLiteral("無效的資料行名稱 '%1'。").arg(name));
}

// The built-in functions the front end knows: their arguments and what they yield. A
// result of Unknown means "as the first argument that is not NULL".
struct FunctionInfo {
    const char* name;
    int minArgs;
    int maxArgs;
    Type result;
    bool aggregate;
};

const FunctionInfo Functions[] = {
    {"ISNULL", 2, 2, Type::Unknown, false}, {"COALESCE", 2, 32, Type::Unknown, false},
    {"LEFT", 2, 2, Type::Text, false},      {"RIGHT", 2, 2, Type::Text, false},
    {"SUBSTRING", 3, 3, Type::Text, false}, {"LEN", 1, 1, Type::Number, false},
    {"LTRIM", 1, 1, Type::Text, false},     {"RTRIM", 1, 1, Type::Text, false},
    {"UPPER", 1, 1, Type::Text, false},     {"LOWER", 1, 1, Type::Text, false},
    {"ABS", 1, 1, Type::Number, false},     {"ROUND", 2, 2, Type::Number, false},
    {"COUNT", 1, 1, Type::Number, true},    {"SUM", 1, 1, Type::Number, true},
    {"MIN", 1, 1, Type::Unknown, true},     {"MAX", 1, 1, Type::Unknown, true},
};

const FunctionInfo* functionInfo(const QString& name) {
    for (const FunctionInfo& f : Functions)
        if (name == QLatin1String(f.name)) return &f;
    return nullptr;
}

Type firstKnown(const std::vector<ExprPtr>& args, size_t from, size_t step) {
    for (size_t i = from; i < args.size(); i += step)
        if (args[i]->type != Type::Null) return args[i]->type;
    return Type::Null;
}

// The result of a CASE: its THEN and ELSE values.
Type caseType(const Expr& e) {
    const size_t from = e.hasOperand ? 2 : 1;
    for (size_t i = from; i < e.args.size(); i += 2)
        if (e.args[i]->type != Type::Null) return e.args[i]->type;
    if (e.hasElse) return e.args.back()->type;
    return Type::Null;
}

bool hasAggregate(const Expr& e) {
    const Expr* p = &e;
    for (; p->kind == Kind::Binary; p = p->args[0].get())  // a chain, link by link
        if (hasAggregate(*p->args[1])) return true;
    if (p->kind == Kind::Function) {
        const FunctionInfo* f = functionInfo(p->op);
        if (f && f->aggregate) return true;
    }
    return std::any_of(p->args.begin(), p->args.end(),
                       [](const ExprPtr& arg) { return hasAggregate(*arg); });
}

// Whether one of the condition's ANDed terms sets a column of the table source that `wanted`
// takes to one value of the column's own kind: a literal, or a column of an enclosing query or
// of another source. A text column counts only in the server's collation, in which its
// comparisons run and its indexes order it.
template <class Wanted>
bool pinsColumn(const Expr& where, int source, Wanted wanted) {
    std::vector<const Expr*> terms = {&where};
    for (size_t i = 0; i < terms.size(); ++i) {
        const Expr& e = *terms[i];
        if (e.kind == Kind::And) {
            for (const ExprPtr& arg : e.args) terms.push_back(arg.get());
            continue;
        }
        if (e.kind != Kind::Compare || e.op != QLatin1String("=")) continue;
        for (size_t side = 0; side < 2; ++side) {
            const Expr& column = *e.args[side];
            const Expr& value = *e.args[1 - side];
            if (column.kind != Kind::Column || column.source != source || !wanted(column.column) ||
                !(column.type == Type::Number ||
                  (column.type == Type::Text && column.column.collated)))
                continue;
            const bool fixed = value.kind == Kind::Literal ||
                               (value.kind == Kind::Column && value.source != source);
            if (fixed && value.type == column.type) return true;
        }
    }
    return false;
}

// A unique column set to one value: the source gives one row at most.
bool pinsUniqueColumn(const Expr& where, int source) {
    return pinsColumn(where, source, [](const Column& c) { return c.unique; });
}

// + of two texts joins them; anything with a number adds.
Type plusType(Type a, Type b) {
    if (a == Type::Number || b == Type::Number) return Type::Number;
    if (a == Type::Text || b == Type::Text) return Type::Text;
    if (a == Type::Null) return b;
    return a;
}
}  // namespace

bool Tsql::keptInline(QStringView literal) {
    return literal == QLatin1String("0") || literal == QLatin1String("''");
}

TsqlBinder::TsqlBinder(TsqlCatalogue& catalogue, const TsqlTokens& tokens)
    : m_catalogue(catalogue), m_tokens(tokens) {}

void TsqlBinder::bind(Statement& s) {
    using SKind = Statement::Kind;
    switch (s.kind) {
        case SKind::Select:
            bindSelect(*s.select, nullptr);
            return;
        case SKind::Definition:
            return;
        case SKind::Condition:
            bindExpr(*s.where, Scope());
            return;
        case SKind::Insert:
        case SKind::Update:
        case SKind::Delete:
            break;
    }
    bindTable(s.table);
    if (s.table.absent) throw SqlErrors::unknownTable(s.table.name);
    for (qsizetype i = 0; i < s.columns.size(); ++i) {
        const auto& columns = s.table.columns;
        const auto it = std::find_if(columns.begin(), columns.end(), [&](const Column& c) {
            return c.name.compare(s.columns[i], Qt::CaseInsensitive) == 0;
        });
        if (it == columns.end()) throw unknownColumn(s.columns[i]);
        s.columns[i] = it->name;
    }
    Scope scope;
    scope.sources.push_back(&s.table);
    const Scope none;
    if (s.select) bindSelect(*s.select, nullptr);
    for (auto& row : s.rows) {
        const qsizetype expected =
            s.columns.isEmpty() ? qsizetype(s.table.columns.size()) : s.columns.size();
        if (qsizetype(row.size()) != expected)
            throw syntax(QStringLiteral("INSERT 陳述式的資料行數目與 VALUES 子句中的值數目不符。"));
        for (ExprPtr& value : row) bindExpr(*value, none);
    }
    if (s.select && !s.columns.isEmpty() && s.select->names.size() != s.columns.size())
        throw syntax(QStringLiteral("INSERT 陳述式的資料行數目與選取清單中的值數目不符。"));
    for (ExprPtr& value : s.values) bindExpr(*value, scope);
    if (s.where) bindExpr(*s.where, scope);
}

// ---- tables

void TsqlBinder::bindTable(TableRef& ref) {
    ref.id = m_nextSource++;
    const std::optional<TsqlCatalogue::Table> table = m_catalogue.table(ref.database, ref.name);
    if (!table) throw SqlErrors::unknownTable(ref.name);
    ref.schema = table->schema;
    ref.absent = table->absent;
    ref.catalogueName = table->name;
    ref.columns = table->columns;
    // A table of a database that is not there is read as no rows, through no index.
    if (!ref.absent) ref.keyIndexes = table->keyIndexes;
    ref.read.assign(ref.columns.size(), false);
}

// Where the table's primary key is set to one value, by the WHERE or the join's ON, the narrowest
// index that holds the key first and every column the statement reads of the table: it finds the
// row as the key does, from fewer pages, where SQLite would take the key, whose rows hold every
// column. Other reads are left to SQLite, which may know a better index for them.
void TsqlBinder::chooseIndex(TableRef& ref, const Expr* where) {
    if (ref.keyIndexes.empty()) return;
    const KeyIndex& any = ref.keyIndexes.front();
    for (qsizetype k = 0; k < any.keyColumns; ++k) {
        const auto named = [&](const Column& c) { return c.name == any.columns[k]; };
        if (!(where && pinsColumn(*where, ref.id, named)) &&
            !(ref.on && pinsColumn(*ref.on, ref.id, named)))
            return;
    }
    qsizetype narrowest = qsizetype(ref.columns.size());
    for (const KeyIndex& index : ref.keyIndexes) {
        if (index.columns.size() >= narrowest) continue;
        bool covers = true;
        for (size_t i = 0; i < ref.columns.size() && covers; ++i)
            covers = !ref.read[i] || index.columns.contains(ref.columns[i].name);
        if (!covers) continue;
        narrowest = index.columns.size();
        ref.index = index.name;
    }
}

void TsqlBinder::bindSource(TableRef& ref, const Scope* outer) {
    if (!ref.derived) {
        bindTable(ref);
        return;
    }
    bindNested(*ref.derived, outer);
    ref.id = m_nextSource++;
    const Select& derived = *ref.derived;
    for (qsizetype i = 0; i < derived.names.size(); ++i) {
        Column column;
        column.name = derived.names[i];
        column.type = derived.types[size_t(i)];
        column.derivedIndex = int(i);
        ref.columns.push_back(column);
    }
}

void TsqlBinder::bindSelect(Select& select, const Scope* outer) {
    Scope scope;
    scope.outer = outer;
    for (TableRef& ref : select.from) {
        bindSource(ref, outer);
        scope.sources.push_back(&ref);
        // ON sees the tables joined so far.
        if (ref.on) bindExpr(*ref.on, scope);
    }
    if (select.top) bindExpr(*select.top, scope);
    expandItems(select, scope);
    if (select.where) bindExpr(*select.where, scope);
    for (ExprPtr& e : select.groupBy) bindExpr(*e, scope);
    if (select.having) bindExpr(*select.having, scope);
    if (select.unions.empty())
        bindOrder(select, scope);
    else
        bindUnions(select, outer);
    const bool aggregates = std::any_of(
        select.items.begin(), select.items.end(),
        [](const SelectItem& item) { return item.expr && hasAggregate(*item.expr); });
    // Every column the statement reads of these tables is known once their SELECT is bound,
    // its subqueries included.
    for (TableRef& ref : select.from) chooseIndex(ref, select.where.get());
    select.oneRow = select.unions.empty() &&
                    (select.from.empty() || (select.groupBy.empty() && aggregates));
    select.atMostOneRow =
        select.oneRow ||
        (select.unions.empty() && select.from.size() == 1 && !select.from[0].derived &&
         select.groupBy.empty() && !select.having && select.where &&
         pinsUniqueColumn(*select.where, select.from[0].id));
}

// The SELECTs united with the first: as many columns, each of the first's type where that
// has none; the ORDER BY of the whole names result columns or their positions.
void TsqlBinder::bindUnions(Select& first, const Scope* outer) {
    for (UnionPart& part : first.unions) {
        Select& s = *part.select;
        bindSelect(s, outer);
        if (s.names.size() != first.names.size())
            throw syntax(QStringLiteral("使用 UNION、INTERSECT 或 EXCEPT 運算子合併的所有查詢，"
                                        "目標清單中的運算式數目必須相同。"));
        for (size_t i = 0; i < first.types.size(); ++i)
            if (first.types[i] == Type::Unknown || first.types[i] == Type::Null)
                first.types[i] = s.types[i];
    }
    for (OrderItem& order : first.orderBy) {
        if (order.item >= 0) continue;
        const Expr& e = *order.expr;
        if (e.kind == Kind::Column && e.qualifier.isEmpty())
            for (qsizetype i = 0; i < first.names.size() && order.item < 0; ++i)
                if (first.names[i].compare(e.name, Qt::CaseInsensitive) == 0) order.item = int(i);
        if (order.item < 0)
            throw syntax(QStringLiteral("如果陳述式包含 UNION、INTERSECT 或 EXCEPT 運算子，"
                                        "ORDER BY 項目就必須出現在選取清單中。"));
    }
}

// A derived table or a subquery: its rows have no order unless TOP picks some of them.
void TsqlBinder::bindNested(Select& select, const Scope* outer) {
    if (!select.orderBy.empty() && !select.top)
        throw syntax(QStringLiteral(
            "除非同時指定了 TOP 或 FOR XML，否則 ORDER BY 子句在檢視、內嵌函數、衍生資料表、"
            "子查詢和通用資料表運算式中均是無效的。"));
    bindSelect(select, outer);
}

// Spells out * and alias.* as the columns of the tables, and names every result column as
// the server does: the alias, the column's name, or nothing for any other expression.
void TsqlBinder::expandItems(Select& select, const Scope& scope) {
    std::vector<SelectItem> items;
    for (SelectItem& item : select.items) {
        if (item.expr) {
            bindExpr(*item.expr, scope);
            select.names.append(item.hasAlias                     ? item.alias
                                : item.expr->kind == Kind::Column ? item.expr->name
                                                                  : QString());
            select.types.push_back(item.expr->type);
            items.push_back(std::move(item));
            continue;
        }
        bool found = false;
        for (TableRef* ref : scope.sources) {
            const QString refName = ref->alias.isEmpty() ? ref->name : ref->alias;
            if (!item.starQualifier.isEmpty() &&
                refName.compare(item.starQualifier, Qt::CaseInsensitive) != 0)
                continue;
            found = true;
            ref->read.assign(ref->read.size(), true);
            for (const Column& column : ref->columns) {
                SelectItem spelled;
                spelled.token = item.token;
                spelled.expr = std::make_unique<Expr>();
                Expr& e = *spelled.expr;
                e.kind = Kind::Column;
                e.token = item.token;
                e.name = column.name;
                e.source = ref->id;
                e.column = column;
                e.type = column.type;
                select.names.append(column.name);
                select.types.push_back(column.type);
                items.push_back(std::move(spelled));
            }
        }
        if (!found) {
            if (item.starQualifier.isEmpty())
                throw syntax(QStringLiteral("未指定任何資料表時，SELECT * 無效。"));
            throw syntax(
                QStringLiteral("無法繫結多重部分識別碼 \"%1.*\"。").arg(item.starQualifier));
        }
    }
    select.items = std::move(items);
}

// A bare name in ORDER BY names a result column when one is called so; otherwise it is a
// column of the tables.
void TsqlBinder::bindOrder(Select& select, const Scope& scope) {
    for (OrderItem& order : select.orderBy) {
        if (!order.expr) continue;
        Expr& e = *order.expr;
        if (e.kind == Kind::Column && e.qualifier.isEmpty()) {
            for (qsizetype i = 0; i < select.names.size(); ++i) {
                if (select.items[size_t(i)].hasAlias &&
                    select.names[i].compare(e.name, Qt::CaseInsensitive) == 0) {
                    order.item = int(i);
                    break;
                }
            }
            if (order.item >= 0) continue;
        }
        bindExpr(e, scope);
    }
}

// ---- expressions

void TsqlBinder::bindColumn(Expr& e, const Scope& scope) {
    for (const Scope* s = &scope; s; s = s->outer) {
        const Column* found = nullptr;
        TableRef* foundIn = nullptr;
        size_t foundAt = 0;
        bool qualifierSeen = false;
        for (TableRef* ref : s->sources) {
            if (!e.qualifier.isEmpty()) {
                const QString refName = ref->alias.isEmpty() ? ref->name : ref->alias;
                if (refName.compare(e.qualifier, Qt::CaseInsensitive) != 0) continue;
                qualifierSeen = true;
            }
            for (const Column& column : ref->columns) {
                if (column.name.compare(e.name, Qt::CaseInsensitive) != 0) continue;
                if (found) throw syntax(QStringLiteral("模稜兩可的資料行名稱 '%1'。").arg(e.name));
                found = &column;
                foundIn = ref;
                foundAt = size_t(&column - ref->columns.data());
            }
        }
        if (found) {
            if (foundAt < foundIn->read.size()) foundIn->read[foundAt] = true;
            e.source = foundIn->id;
            e.column = *found;
            e.type = found->type;
            e.decimal = found->decimal;
            return;
        }
        if (qualifierSeen) throw unknownColumn(e.name);
    }
    if (!e.qualifier.isEmpty())
        throw syntax(QStringLiteral("無法繫結多重部分識別碼 \"%1.%2\"。").arg(e.qualifier, e.name));
    throw unknownColumn(e.name);
}

void TsqlBinder::bindFunction(Expr& e) {
    const FunctionInfo* f = functionInfo(e.op);
    if (!f) throw syntax(QStringLiteral("'%1' 不是可辨認的內建函數名稱。").arg(e.op));
    const int count = e.star ? 1 : int(e.args.size());
    if (count < f->minArgs || count > f->maxArgs || (e.star && e.op != QLatin1String("COUNT")))
        throw syntax(QStringLiteral("%1 函數的引數數目不正確。").arg(e.op));
    if (e.distinct && !f->aggregate) throw SqlErrors::syntaxNear(QStringLiteral("DISTINCT"));
    e.type = f->result != Type::Unknown ? f->result
             : e.op == QLatin1String("ISNULL") && !e.args.empty() && e.args[0]->type != Type::Null
                 ? e.args[0]->type
                 : firstKnown(e.args, 0, 1);
}

Type TsqlBinder::convertedType(const TypeName& target) const {
    static const char* const texts[] = {"CHAR", "VARCHAR", "NCHAR", "NVARCHAR", "TEXT", "NTEXT"};
    static const char* const numbers[] = {"INT",     "INTEGER", "BIGINT", "SMALLINT",
                                          "TINYINT", "BIT",     "FLOAT",  "REAL",
                                          "DECIMAL", "NUMERIC", "MONEY",  "SMALLMONEY"};
    for (const char* t : texts)
        if (target.name == QLatin1String(t)) return Type::Text;
    for (const char* t : numbers)
        if (target.name == QLatin1String(t)) return Type::Number;
    if (target.name == QLatin1String("DATETIME") || target.name == QLatin1String("DATE"))
        return Type::Date;
    throw syntax(QStringLiteral("型別 '%1' 不是已定義的系統型別。").arg(target.name));
}

void TsqlBinder::bindExpr(Expr& e, const Scope& scope) {
    if (e.kind == Kind::Binary && e.args[0]->kind == Kind::Binary) {
        // A chain, from its first operand up, without a call per link.
        std::vector<Expr*> links;
        for (Expr* link = &e; link->kind == Kind::Binary; link = link->args[0].get())
            links.push_back(link);
        bindExpr(*links.back()->args[0], scope);
        for (auto link = links.rbegin(); link != links.rend(); ++link) {
            Expr& l = **link;
            bindExpr(*l.args[1], scope);
            l.type = l.op == QLatin1String("+") ? plusType(l.args[0]->type, l.args[1]->type)
                                                : Type::Number;
            l.bigint = l.args[0]->bigint || l.args[1]->bigint;
            l.decimal = l.args[0]->decimal || l.args[1]->decimal;
            findSites(l);
        }
        return;
    }
    for (ExprPtr& arg : e.args) bindExpr(*arg, scope);
    if (e.select) bindNested(*e.select, &scope);
    switch (e.kind) {
        case Kind::Literal:
            e.type = e.literalType;
            e.decimal = e.type == Type::Number && TsqlScanner::beyondInt(m_tokens[e.token].text);
            break;
        case Kind::Null:
            e.type = Type::Null;
            break;
        case Kind::Column:
            bindColumn(e, scope);
            break;
        case Kind::Unary:
            e.type = Type::Number;
            break;
        case Kind::Binary:
            e.type = e.op == QLatin1String("+") ? plusType(e.args[0]->type, e.args[1]->type)
                                                : Type::Number;
            break;
        case Kind::Subquery:
            if (e.select->items.size() != 1)
                throw syntax(
                    QStringLiteral("當子查詢不是以 EXISTS 引入時，選取清單中只能指定一個運算式。"));
            e.type = e.select->types[0];
            break;
        case Kind::InSelect:
            if (e.select->items.size() != 1)
                throw syntax(
                    QStringLiteral("當子查詢不是以 EXISTS 引入時，選取清單中只能指定一個運算式。"));
            e.type = Type::Number;
            break;
        case Kind::Function:
            bindFunction(e);
            break;
        case Kind::Convert:
            e.type = convertedType(e.target);
            e.bigint = e.target.name == QLatin1String("BIGINT");
            e.decimal = e.target.name == QLatin1String("DECIMAL") ||
                        e.target.name == QLatin1String("NUMERIC") ||
                        e.target.name.endsWith(QLatin1String("MONEY"));
            break;
        case Kind::Case:
            e.type = caseType(e);
            break;
        case Kind::Compare:
            for (ExprPtr& arg : e.args) keepInline(*arg);
            e.type = Type::Number;
            break;
        default:
            e.type = Type::Number;  // conditions
    }
    // A value made of a bigint (a decimal) is one, but for the counts and lengths of functions.
    if (e.kind == Kind::Unary || e.kind == Kind::Binary || e.kind == Kind::Case ||
        (e.kind == Kind::Function && e.op != QLatin1String("COUNT") &&
         e.op != QLatin1String("LEN"))) {
        e.bigint = std::any_of(e.args.begin(), e.args.end(),
                               [](const ExprPtr& arg) { return arg->bigint; });
        e.decimal = std::any_of(e.args.begin(), e.args.end(),
                                [](const ExprPtr& arg) { return arg->decimal; });
    }
    if (e.kind == Kind::Subquery && e.select->items[0].expr) {
        e.bigint = e.select->items[0].expr->bigint;
        e.decimal = e.select->items[0].expr->decimal;
    }
    findSites(e);
}

// ---- rewrites that depend on values

void TsqlBinder::keepInline(Expr& e) const {
    if (e.kind == Kind::Literal && keptInline(m_tokens[e.token].text))
        e.inlined = m_tokens[e.token].text;
}

int TsqlBinder::literalSlot(const Expr& e, Type type) const {
    return e.kind == Kind::Literal && e.literalType == type ? e.slot : -1;
}

// (CONVERT(CHAR(n),code) + CONVERT(CHAR(5),(10000 + line))): the history key, the document
// code padded to n and the line number offset to five digits.
bool TsqlBinder::isHistoryKey(Expr& e) {
    if (e.kind != Kind::Binary || e.op != QLatin1String("+") || e.type != Type::Text) return false;
    const Expr& left = *e.args[0];
    const Expr& right = *e.args[1];
    if (left.kind != Kind::Convert || left.target.name != QLatin1String("CHAR") ||
        left.target.length <= 0 || right.kind != Kind::Convert ||
        right.target.name != QLatin1String("CHAR") || right.target.length != 5)
        return false;
    Expr& code = *left.args[0];
    Expr& offset = *right.args[0];
    if (code.kind != Kind::Column || code.type != Type::Text || offset.kind != Kind::Binary ||
        offset.op != QLatin1String("+"))
        return false;
    Expr* number = offset.args[0].get();
    Expr* line = offset.args[1].get();
    if (line->kind == Kind::Literal) std::swap(number, line);
    if (literalSlot(*number, Type::Number) < 0 ||
        m_tokens[number->token].text != QLatin1String("10000") || line->kind != Kind::Column ||
        line->type != Type::Number || line->source != code.source)
        return false;
    m_structural.push_back(number->slot);
    e.keyLength = left.target.length;
    e.keyCode = &code;
    e.keyLine = line;
    return true;
}

// code + text: a code column joined with a text made of the same row's columns only.
bool TsqlBinder::isJoinedKey(Expr& e) {
    if (e.kind != Kind::Binary || e.op != QLatin1String("+") || e.type != Type::Text) return false;
    Expr& head = *e.args[0];
    Expr& tail = *e.args[1];
    if (head.kind != Kind::Column || head.type != Type::Text || !head.column.collated ||
        head.column.derivedIndex >= 0 || tail.type != Type::Text)
        return false;
    const std::function<bool(const Expr&)> ofTheRow = [&](const Expr& x) {
        if (x.select) return false;
        if (x.kind == Kind::Column && x.source != head.source) return false;
        return std::all_of(x.args.begin(), x.args.end(),
                           [&](const ExprPtr& arg) { return ofTheRow(*arg); });
    };
    if (!ofTheRow(tail)) return false;
    e.keyHead = &head;
    e.keyTail = &tail;
    return true;
}

// CONVERT(CHAR(n),A) + C + T: a column filled to n characters, then a joined key of the same
// row (the customer history's item, document and line).
bool TsqlBinder::isItemKey(Expr& e) {
    if (e.kind != Kind::Binary || e.op != QLatin1String("+") || e.type != Type::Text) return false;
    Expr& front = *e.args[0];
    if (front.kind != Kind::Binary || front.op != QLatin1String("+") || front.type != Type::Text)
        return false;
    Expr& padded = *front.args[0];
    if (padded.kind != Kind::Convert || padded.target.name != QLatin1String("CHAR") ||
        padded.target.length <= 0)
        return false;
    Expr& item = *padded.args[0];
    Expr joined;  // C + T, as isJoinedKey sees it
    joined.kind = Kind::Binary;
    joined.op = QStringLiteral("+");
    joined.type = Type::Text;
    joined.args.push_back(std::move(front.args[1]));
    joined.args.push_back(std::move(e.args[1]));
    const bool key = item.kind == Kind::Column && item.type == Type::Text &&
                     item.column.collated && item.column.derivedIndex < 0 &&
                     isJoinedKey(joined) && joined.keyHead->source == item.source;
    front.args[1] = std::move(joined.args[0]);
    e.args[1] = std::move(joined.args[1]);
    if (!key) return false;
    e.keyHead = front.args[1].get();
    e.keyTail = e.args[1].get();
    e.keyItem = &item;
    e.keyItemLength = padded.target.length;
    return true;
}

void TsqlBinder::findSites(Expr& e) {
    if (e.kind == Kind::Binary) {
        if (!isHistoryKey(e) && !isItemKey(e)) isJoinedKey(e);
        return;
    }
    if (e.args.size() < 2) return;
    const Expr& left = *e.args[0];
    const int slot = literalSlot(*e.args[1], Type::Text);
    if (slot < 0) return;
    if (e.kind == Kind::Like && !e.negated && left.kind == Kind::Column &&
        left.type == Type::Text && left.column.collated) {
        e.site = int(m_sites.size());
        m_sites.push_back({Site::Kind::LikePrefix, slot, 0});
    } else if (e.kind == Kind::Compare && left.keyCode) {
        e.site = int(m_sites.size());
        m_sites.push_back({Site::Kind::KeySplit, slot, left.keyLength});
    } else if (e.kind == Kind::Compare && left.keyHead &&
               (e.op == QLatin1String(">=") || e.op == QLatin1String("<="))) {
        e.site = int(m_sites.size());
        m_sites.push_back(
            {Site::Kind::KeyRanges, slot, left.keyItemLength, e.op == QLatin1String(">=")});
    }
}
