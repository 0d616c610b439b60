#include "TsqlBatch.h"

#include "SqlErrors.h"

namespace {
using Kind = TsqlToken::Kind;

bool isOneOf(const TsqlToken& t, std::initializer_list<const char*> words) {
    if (t.kind != Kind::Word) return false;
    for (const char* w : words)
        if (t.isWord(QLatin1String(w))) return true;
    return false;
}

// Words that begin a statement that SQLite runs (or refuses); any other word at the start of
// a statement names a procedure.
bool beginsSqlStatement(const TsqlToken& t) {
    return isOneOf(
        t, {"SELECT",     "INSERT",    "UPDATE",  "DELETE",     "WITH",     "VALUES",    "REPLACE",
            "CREATE",     "DROP",      "ALTER",   "COMMIT",     "ROLLBACK", "SAVEPOINT", "RELEASE",
            "PRAGMA",     "VACUUM",    "ANALYZE", "ATTACH",     "DETACH",   "REINDEX",   "EXPLAIN",
            "DECLARE",    "SET",       "PRINT",   "RETURN",     "WHILE",    "TRUNCATE",  "USE",
            "GOTO",       "RAISERROR", "THROW",   "MERGE",      "GRANT",    "REVOKE",    "DENY",
            "OPEN",       "CLOSE",     "FETCH",   "DEALLOCATE", "BREAK",    "CONTINUE",  "WAITFOR",
            "CHECKPOINT", "DBCC",      "BULK",    "BACKUP",     "RESTORE",  "KILL",      "SHUTDOWN",
            "GO"});
}

// Words after which the condition of an IF has ended and its branch begins.
bool beginsBranch(const TsqlToken& t) {
    return isOneOf(t, {"BEGIN", "SELECT", "INSERT", "UPDATE", "DELETE", "EXEC", "EXECUTE", "IF",
                       "RETURN", "PRINT", "SET", "DECLARE", "WHILE", "WITH"});
}

// BEGIN TRANSACTION and its relatives start a transaction, not a block.
bool beginsTransaction(const TsqlTokens& tokens, qsizetype p) {
    return p + 1 < tokens.size() && isOneOf(tokens[p + 1], {"TRAN", "TRANSACTION", "DISTRIBUTED",
                                                            "IMMEDIATE", "DEFERRED", "EXCLUSIVE"});
}

class Parser {
public:
    explicit Parser(const TsqlTokens& tokens) : m_tokens(tokens), m_size(tokens.size()) {}

    std::vector<BatchStatement> run() {
        std::vector<BatchStatement> statements;
        qsizetype p = 0;
        while (p < m_size) {
            if (m_tokens[p].isSymbol(QLatin1String(";"))) {
                ++p;
                continue;
            }
            append(statements, statement(p));
        }
        return statements;
    }

private:
    const TsqlToken* at(qsizetype p) const { return p < m_size ? &m_tokens[p] : nullptr; }

    // A statement handed to SQLite right after another, with nothing but ';' between them,
    // joins its range: the translator reads a range's statements one after the other, as it
    // does those written without ';', and a long batch costs no entry per statement here.
    static void append(std::vector<BatchStatement>& list, BatchStatement s) {
        if (s.kind == BatchStatement::Kind::Sql && !list.empty() &&
            list.back().kind == BatchStatement::Kind::Sql)
            list.back().last = s.last;
        else
            list.push_back(std::move(s));
    }

    [[noreturn]] void failAt(qsizetype p) const {
        const qsizetype q = qMin(p, m_size - 1);
        throw SqlErrors::syntaxNear(q >= 0 ? m_tokens[q].text : QString());
    }

    // True at the end of a statement: the end of the text, ';', or the ELSE or END that
    // belongs to an enclosing IF or block.
    bool atStatementEnd(qsizetype p) const {
        const TsqlToken* t = at(p);
        return !t || t->isSymbol(QLatin1String(";")) || t->isWord(QLatin1String("ELSE")) ||
               t->isWord(QLatin1String("END"));
    }

    // Blocks and IFs nest by recursion; a limit keeps hostile texts from exhausting the stack.
    struct Nesting {
        explicit Nesting(int& depth) : m_depth(depth) {
            if (++m_depth > MaxNesting) throw SqlErrors::nestedTooDeeply();
        }
        ~Nesting() { --m_depth; }
        int& m_depth;
    };
    static constexpr int MaxNesting = 200;

    BatchStatement statement(qsizetype& p) {
        const Nesting nesting(m_depth);
        const TsqlToken& t = m_tokens[p];
        if (t.isWord(QLatin1String("IF"))) return ifStatement(p);
        if (t.isWord(QLatin1String("BEGIN")) && !beginsTransaction(m_tokens, p)) return block(p);
        if (t.isWord(QLatin1String("EXEC")) || t.isWord(QLatin1String("EXECUTE"))) {
            ++p;
            return call(p);
        }
        if (t.isWord(QLatin1String("ELSE")) || t.isWord(QLatin1String("END"))) failAt(p);
        if (t.isName() && !beginsSqlStatement(t) && !t.isWord(QLatin1String("BEGIN")))
            return call(p);
        return sql(p);
    }

    // The position of the first token at which stop() holds outside parentheses and
    // CASE ... END, or the end of the batch.
    template <typename Stop>
    qsizetype scanUntil(qsizetype p, Stop stop) const {
        int parens = 0;
        int cases = 0;
        for (; p < m_size; ++p) {
            const TsqlToken& t = m_tokens[p];
            if (t.isSymbol(QLatin1String("("))) {
                ++parens;
            } else if (t.isSymbol(QLatin1String(")"))) {
                if (parens > 0) --parens;
            } else if (t.isWord(QLatin1String("CASE"))) {
                ++cases;
            } else if (t.isWord(QLatin1String("END")) && cases > 0) {
                --cases;
            } else if (parens == 0 && cases == 0 && stop(p)) {
                break;
            }
        }
        return p;
    }

    // Tokens up to the end of the statement, or up to an IF, a block or a call that follows
    // it without a ';' (the front end splits the statements in between).
    BatchStatement sql(qsizetype& p) {
        BatchStatement s;
        s.kind = BatchStatement::Kind::Sql;
        s.first = p;
        p = scanUntil(p, [this, first = p](qsizetype at) {
            const TsqlToken& t = m_tokens[at];
            return atStatementEnd(at) ||
                   (at > first &&
                    (isOneOf(t, {"IF", "EXEC", "EXECUTE"}) ||
                     (t.isWord(QLatin1String("BEGIN")) && !beginsTransaction(m_tokens, at))));
        });
        s.last = p;
        return s;
    }

    BatchStatement block(qsizetype& p) {
        BatchStatement s;
        s.kind = BatchStatement::Kind::Block;
        s.first = p++;
        while (true) {
            const TsqlToken* t = at(p);
            if (!t) failAt(p);
            if (t->isWord(QLatin1String("END"))) break;
            if (t->isSymbol(QLatin1String(";"))) {
                ++p;
                continue;
            }
            append(s.body, statement(p));
        }
        s.last = ++p;
        return s;
    }

    BatchStatement ifStatement(qsizetype& p) {
        BatchStatement s;
        s.kind = BatchStatement::Kind::If;
        s.first = ++p;
        p = scanUntil(
            p, [this](qsizetype at) { return beginsBranch(m_tokens[at]) || atStatementEnd(at); });
        if (p == s.first || p >= m_size || !beginsBranch(m_tokens[p])) failAt(p);
        s.last = p;
        s.body.push_back(statement(p));
        if (const TsqlToken* t = at(p); t && t->isWord(QLatin1String("ELSE"))) {
            ++p;
            if (!at(p)) failAt(p);
            s.body.push_back(statement(p));
        }
        return s;
    }

    BatchStatement call(qsizetype& p) {
        BatchStatement s;
        s.kind = BatchStatement::Kind::Call;
        s.first = p;
        // [catalogue.][owner.]name, also catalogue..name
        while (true) {
            const TsqlToken* t = at(p);
            if (t && t->isName()) {
                s.procedure = t->value();
                ++p;
            } else if (!(t && t->isSymbol(QLatin1String(".")))) {
                failAt(p);
            }
            const TsqlToken* dot = at(p);
            if (!dot || !dot->isSymbol(QLatin1String("."))) break;
            ++p;
        }
        if (!atStatementEnd(p)) {
            while (true) {
                s.arguments.append(argument(p));
                const TsqlToken* t = at(p);
                if (!t || !t->isSymbol(QLatin1String(","))) break;
                ++p;
            }
        }
        if (!atStatementEnd(p)) failAt(p);
        s.last = p;
        return s;
    }

    QVariant argument(qsizetype& p) {
        const TsqlToken* t = at(p);
        if (!t) failAt(p);
        bool negative = false;
        if (t->isSymbol(QLatin1String("-")) || t->isSymbol(QLatin1String("+"))) {
            negative = t->text == QLatin1String("-");
            t = at(++p);
            if (!t || t->kind != Kind::Number) failAt(p);
        }
        ++p;
        switch (t->kind) {
            case Kind::String:
                return t->value();
            case Kind::Number:
                SqlErrors::checkNumber(t->text);
                return number(t->text, negative);
            case Kind::Word:
                if (t->isWord(QLatin1String("NULL")) || t->isWord(QLatin1String("DEFAULT")))
                    return QVariant();
                return t->text;
            default:
                failAt(p - 1);
        }
    }

    static QVariant number(const QString& text, bool negative) {
        bool ok = false;
        if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
            const qlonglong v = text.mid(2).toLongLong(&ok, 16);
            return ok ? QVariant(negative ? -v : v) : QVariant(0LL);
        }
        if (!text.contains(u'.') && !text.contains(u'e') && !text.contains(u'E')) {
            const qlonglong v = text.toLongLong(&ok);
            if (ok) return negative ? -v : v;
        }
        const double d = text.toDouble(&ok);
        return negative ? -d : d;
    }

    const TsqlTokens& m_tokens;
    const qsizetype m_size;
    int m_depth = 0;
};
}  // namespace

TsqlBatch::TsqlBatch(const QString& text) : m_text(text), m_tokens(TsqlLexer::tokenize(text)) {
    for (const TsqlToken& t : m_tokens) {
        if (t.kind == Kind::UnclosedString)
            throw SqlErrors::unclosedQuote(t.text.mid(t.national ? 2 : 1));
        if (t.isUnclosed()) throw SqlErrors::syntaxNear(t.text.left(20));
    }
    m_statements = Parser(m_tokens).run();
    if (m_statements.empty()) throw SqlErrors::emptyCommand();
}

QString TsqlBatch::slice(qsizetype first, qsizetype last) const {
    if (first >= last || first >= m_tokens.size()) return {};
    const qsizetype from = m_tokens[first].begin;
    const qsizetype to = m_tokens[last - 1].end();
    QString out;
    out.reserve(to - from);
    qsizetype pos = from;
    for (qsizetype i = first; i < last; ++i) {
        if (m_tokens[i].begin > pos) out += u' ';
        out += m_tokens[i].text;
        pos = m_tokens[i].end();
    }
    return out;
}
