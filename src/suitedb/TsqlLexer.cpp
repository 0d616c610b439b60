#include "TsqlLexer.h"

namespace {
using Kind = TsqlToken::Kind;

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == u'\v';
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool isHexDigit(QChar c) {
    return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Letters of any script; surrogates belong to characters outside the basic plane, which the
// server also accepts in names.
bool isLetter(QChar c) {
    if (c.unicode() < 0x80)
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u'#';
    return c.isLetter() || c.isSurrogate() || c.isMark();
}

bool isNamePart(QChar c) { return isLetter(c) || isDigit(c) || c == u'$' || c == u'@'; }

class Scanner {
public:
    explicit Scanner(const QString& text) : m_text(text), m_size(text.size()) {}

    TsqlTokens run() {
        TsqlTokens tokens;
        while (skipBlanksAndComments(tokens)) tokens.append(next());
        return tokens;
    }

private:
    QChar at(qsizetype i) const { return i < m_size ? m_text.at(i) : QChar(); }

    // Moves past blanks and comments; false at the end of the text. An unclosed comment is
    // added as a token and ends the scan.
    bool skipBlanksAndComments(TsqlTokens& tokens) {
        while (m_pos < m_size) {
            const QChar c = m_text.at(m_pos);
            if (isBlank(c)) {
                ++m_pos;
            } else if (c == u'-' && at(m_pos + 1) == u'-') {
                while (m_pos < m_size && m_text.at(m_pos) != u'\n') ++m_pos;
            } else if (c == u'/' && at(m_pos + 1) == u'*') {
                const qsizetype start = m_pos;
                int depth = 0;
                while (m_pos < m_size) {
                    if (m_text.at(m_pos) == u'/' && at(m_pos + 1) == u'*') {
                        ++depth;
                        m_pos += 2;
                    } else if (m_text.at(m_pos) == u'*' && at(m_pos + 1) == u'/') {
                        m_pos += 2;
                        if (--depth == 0) break;
                    } else {
                        ++m_pos;
                    }
                }
                if (depth > 0) {
                    tokens.append(make(Kind::UnclosedComment, start));
                    return false;
                }
            } else {
                return true;
            }
        }
        return false;
    }

    TsqlToken make(Kind kind, qsizetype start) const {
        TsqlToken t;
        t.kind = kind;
        t.begin = start;
        t.length = m_pos - start;
        t.text = m_text.mid(start, t.length);
        return t;
    }

    // A quoted run from m_pos (the opening character) to its closing character, where a
    // doubled closing character stands for itself. False when the text ends first.
    bool quoted(QChar close) {
        ++m_pos;
        while (m_pos < m_size) {
            if (m_text.at(m_pos) == close) {
                if (at(m_pos + 1) == close) {
                    m_pos += 2;
                    continue;
                }
                ++m_pos;
                return true;
            }
            ++m_pos;
        }
        return false;
    }

    TsqlToken next() {
        const qsizetype start = m_pos;
        const QChar c = m_text.at(m_pos);

        if ((c == u'N' || c == u'n') && at(m_pos + 1) == u'\'') {
            ++m_pos;
            const bool closed = quoted(u'\'');
            TsqlToken t = make(closed ? Kind::String : Kind::UnclosedString, start);
            t.national = true;
            return t;
        }
        if (c == u'\'') return make(quoted(u'\'') ? Kind::String : Kind::UnclosedString, start);
        if (c == u'[') return make(quoted(u']') ? Kind::QuotedName : Kind::UnclosedName, start);
        if (c == u'"') return make(quoted(u'"') ? Kind::QuotedName : Kind::UnclosedName, start);

        if (isDigit(c) || (c == u'.' && isDigit(at(m_pos + 1)))) return number(start);

        if (c == u'@') {
            ++m_pos;
            while (m_pos < m_size && isNamePart(m_text.at(m_pos))) ++m_pos;
            return make(Kind::Variable, start);
        }
        if (isLetter(c)) {
            while (m_pos < m_size && isNamePart(m_text.at(m_pos))) ++m_pos;
            return make(Kind::Word, start);
        }

        static const char* const pairs[] = {"<=", ">=", "<>", "!=", "!<", "!>", "||", "::"};
        for (const char* p : pairs) {
            if (c == QLatin1Char(p[0]) && at(m_pos + 1) == QLatin1Char(p[1])) {
                m_pos += 2;
                return make(Kind::Symbol, start);
            }
        }
        m_pos += c.isHighSurrogate() && at(m_pos + 1).isLowSurrogate() ? 2 : 1;
        return make(Kind::Symbol, start);
    }

    TsqlToken number(qsizetype start) {
        if (m_text.at(m_pos) == u'0' && (at(m_pos + 1) == u'x' || at(m_pos + 1) == u'X')) {
            m_pos += 2;
            while (m_pos < m_size && isHexDigit(m_text.at(m_pos))) ++m_pos;
            return make(Kind::Number, start);
        }
        while (m_pos < m_size && isDigit(m_text.at(m_pos))) ++m_pos;
        if (at(m_pos) == u'.') {
            ++m_pos;
            while (m_pos < m_size && isDigit(m_text.at(m_pos))) ++m_pos;
        }
        const QChar e = at(m_pos);
        if (e == u'e' || e == u'E') {
            qsizetype p = m_pos + 1;
            if (at(p) == u'+' || at(p) == u'-') ++p;
            if (isDigit(at(p))) {
                m_pos = p;
                while (m_pos < m_size && isDigit(m_text.at(m_pos))) ++m_pos;
            }
        }
        return make(Kind::Number, start);
    }

    const QString& m_text;
    const qsizetype m_size;
    qsizetype m_pos = 0;
};
}  // namespace

QString TsqlToken::value() const {
    switch (kind) {
        case Kind::String: {
            QString inner = text.mid(national ? 2 : 1, text.size() - (national ? 3 : 2));
            return inner.replace(QLatin1String("''"), QLatin1String("'"));
        }
        case Kind::QuotedName: {
            QString inner = text.mid(1, text.size() - 2);
            return text.startsWith(u'[')
                       ? inner.replace(QLatin1String("]]"), QLatin1String("]"))
                       : inner.replace(QLatin1String("\"\""), QLatin1String("\""));
        }
        default:
            return text;
    }
}

bool TsqlToken::isWord(QLatin1String keyword) const {
    return kind == Kind::Word && text.compare(keyword, Qt::CaseInsensitive) == 0;
}

bool TsqlToken::isSymbol(QLatin1String symbol) const {
    return kind == Kind::Symbol && text == symbol;
}

TsqlTokens TsqlLexer::tokenize(const QString& text) { return Scanner(text).run(); }
