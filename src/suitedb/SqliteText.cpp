#include "SqliteText.h"

#include <QList>

#include "TsqlBatch.h"

namespace {
using Kind = TsqlToken::Kind;

const QLatin1String CollateSuffix(" COLLATE TSQL");

bool isOneOf(const TsqlToken& t, std::initializer_list<const char*> words) {
    if (t.kind != Kind::Word) return false;
    for (const char* w : words)
        if (t.isWord(QLatin1String(w))) return true;
    return false;
}

// Keywords after which an expression continues, so that a following text is a value.
bool expectsOperand(const TsqlToken& t) {
    return isOneOf(t, {"SELECT", "DISTINCT",  "ALL",     "TOP",     "WHERE", "AND",    "OR",
                       "NOT",    "LIKE",      "IN",      "IS",      "THEN",  "ELSE",   "WHEN",
                       "CASE",   "VALUES",    "SET",     "BETWEEN", "ON",    "BY",     "HAVING",
                       "ESCAPE", "RETURN",    "COLLATE", "GLOB",    "MATCH", "REGEXP", "UNION",
                       "EXCEPT", "INTERSECT", "LIMIT",   "OFFSET",  "IF",    "EXISTS"});
}

// Tokens that end an expression: a text right after one of them names a column ("Select
// Sum(x) 'Total'").
bool endsExpression(const TsqlToken& t) {
    switch (t.kind) {
        case Kind::Number:
        case Kind::String:
        case Kind::QuotedName:
            return true;
        case Kind::Word:
            return !expectsOperand(t);
        case Kind::Symbol:
            return t.isSymbol(QLatin1String(")"));
        default:
            return false;
    }
}

// Tokens before a parenthesis that make a following "(SELECT ...)" a scalar value.
bool startsOperand(const TsqlToken& t) {
    static const char* const ops[] = {
        "=", "<", ">", "<=", ">=", "<>", "!=", "+", "-", "*", "/", "%", "||", "("};
    if (t.kind == Kind::Symbol) {
        for (const char* op : ops)
            if (t.isSymbol(QLatin1String(op))) return true;
        return false;
    }
    return isOneOf(t, {"WHERE", "HAVING", "ON", "AND", "OR", "NOT", "WHEN", "THEN", "ELSE",
                       "SELECT", "CASE", "BETWEEN", "DISTINCT", "IS", "LIKE", "GLOB"});
}

class Writer {
public:
    Writer(const TsqlBatch& batch, qsizetype first, qsizetype last, bool collate)
        : m_text(batch.text()),
          m_tokens(batch.tokens()),
          m_first(first),
          m_last(last),
          m_collate(collate) {}

    QString run() {
        QList<qsizetype> open;     // positions of unmatched '('
        QList<bool> collateAfter;  // parallel: add the collation after its ')'
        QString out;
        for (qsizetype i = m_first; i < m_last; ++i) {
            const TsqlToken& t = m_tokens[i];
            if (i > m_first) out += gap(m_tokens[i - 1], t);
            switch (t.kind) {
                case Kind::String:
                    out += t.national ? t.text.mid(1) : t.text;
                    if (m_collate && !isColumnName(i)) out += CollateSuffix;
                    break;
                case Kind::QuotedName:
                    if (t.text.startsWith(u'['))
                        out += u'"' + t.value().replace(u'"', QLatin1String("\"\"")) + u'"';
                    else
                        out += t.text;
                    break;
                case Kind::Symbol:
                    out += t.text;
                    if (t.isSymbol(QLatin1String("("))) {
                        open.append(i);
                        collateAfter.append(m_collate && isScalarSubquery(i));
                    } else if (t.isSymbol(QLatin1String(")")) && !open.isEmpty()) {
                        open.removeLast();
                        if (collateAfter.takeLast()) out += CollateSuffix;
                    }
                    break;
                default:
                    out += t.text;
            }
        }
        return out;
    }

private:
    // The blanks between two tokens as written; a comment becomes one blank.
    QString gap(const TsqlToken& before, const TsqlToken& after) const {
        const QString between = m_text.mid(before.end(), after.begin - before.end());
        if (between.contains(QLatin1String("--")) || between.contains(QLatin1String("/*")))
            return QStringLiteral(" ");
        return between;
    }

    bool isColumnName(qsizetype i) const {
        if (i == m_first) return false;
        const TsqlToken& before = m_tokens[i - 1];
        if (before.isWord(QLatin1String("AS"))) return true;
        if (before.isWord(QLatin1String("DEFAULT"))) return true;
        if (!endsExpression(before)) return false;
        if (i + 1 >= m_last) return true;
        const TsqlToken& after = m_tokens[i + 1];
        return after.isSymbol(QLatin1String(",")) || after.isWord(QLatin1String("FROM")) ||
               after.isWord(QLatin1String("INTO"));
    }

    bool isScalarSubquery(qsizetype i) const {
        if (i + 1 >= m_last || !m_tokens[i + 1].isWord(QLatin1String("SELECT"))) return false;
        return i == m_first || startsOperand(m_tokens[i - 1]);
    }

    const QString& m_text;
    const TsqlTokens& m_tokens;
    const qsizetype m_first;
    const qsizetype m_last;
    const bool m_collate;
};

bool readsOrChangesRows(const TsqlToken& first) {
    return isOneOf(first, {"SELECT", "INSERT", "UPDATE", "DELETE", "WITH", "VALUES", "REPLACE"});
}
}  // namespace

namespace SqliteText {
QString statement(const TsqlBatch& batch, qsizetype first, qsizetype last) {
    const bool collate = first < last && readsOrChangesRows(batch.tokens()[first]);
    return Writer(batch, first, last, collate).run();
}

QString condition(const TsqlBatch& batch, qsizetype first, qsizetype last) {
    return QStringLiteral("SELECT CASE WHEN (") + Writer(batch, first, last, true).run() +
           QStringLiteral(") THEN 1 ELSE 0 END");
}

QString columnName(const QString& sqliteName) {
    if (!sqliteName.contains(CollateSuffix)) return sqliteName;
    QString name = sqliteName;
    return name.remove(CollateSuffix);
}
}  // namespace SqliteText
