#include "TsqlLexer.h"

#include <array>

namespace {
using Kind = TsqlToken::Kind;

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool isHexDigit(QChar c) {
    return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// What an ASCII character may be in a name: its first character (Start), a later one (Part).
enum : unsigned char { Start = 1, Part = 2 };
constexpr std::array<unsigned char, 128> AsciiNameClasses = [] {
    std::array<unsigned char, 128> classes{};
    for (char c = 'a'; c <= 'z'; ++c)
        classes[size_t(c)] = classes[size_t(c - 'a' + 'A')] = Start | Part;
    classes['_'] = classes['#'] = Start | Part;
    for (char c = '0'; c <= '9'; ++c) classes[size_t(c)] = Part;
    classes['$'] = classes['@'] = Part;
    return classes;
}();

// Letters of any script; surrogates belong to characters outside the basic plane, which the
// server also accepts in names.
bool isLetter(QChar c) {
    if (c.unicode() < 0x80) return AsciiNameClasses[c.unicode()] & Start;
    return c.isLetter() || c.isSurrogate() || c.isMark();
}

bool isNamePart(QChar c) {
    if (c.unicode() < 0x80) return AsciiNameClasses[c.unicode()] & Part;
    return isLetter(c);
}

// How nextLiteral passes over an ASCII character: a blank, a symbol that is a token of its
// own or the first of a pair whose second is one too (Single), the first of a name that is
// not N' (Name), or anything that takes the scanner's whole rule (Whole: quotes, digits, a
// period, comments' first characters, variables, control characters).
enum Pass : unsigned char { Whole, Blank, Single, Name };
constexpr std::array<Pass, 128> AsciiPasses = [] {
    std::array<Pass, 128> passes{};
    for (const char c : {' ', '\t', '\r', '\n', '\f', '\v'}) passes[size_t(c)] = Blank;
    for (const char c : {'(', ')', ',', '=', '+', '*', '<', '>', '!', '|',  ':', ';',
                         '%', '&', '^', '~', '{', '}', ']', '$', '?', '\\', '`'})
        passes[size_t(c)] = Single;
    for (size_t c = 0; c < 128; ++c)
        if (AsciiNameClasses[c] & Start) passes[c] = Name;
    return passes;
}();

// The symbols of two characters that count as one.
bool isPair(QChar first, QChar second) {
    switch (first.unicode()) {
        case u'<':
            return second == u'=' || second == u'>';
        case u'>':
            return second == u'=';
        case u'!':
            return second == u'=' || second == u'<' || second == u'>';
        case u'|':
            return second == u'|';
        case u':':
            return second == u':';
        default:
            return false;
    }
}
}  // namespace

// Moves past blanks and comments; false at the end of the text or at an unclosed comment,
// which it gives as the last token.
bool TsqlScanner::skipBlanksAndComments(Piece& unclosed) {
    while (m_pos < m_size) {
        const QChar c = m_data[m_pos];
        if (TsqlScanner::isBlank(c)) {
            ++m_pos;
        } else if (c == u'-' && at(m_pos + 1) == u'-') {
            while (m_pos < m_size && m_data[m_pos] != u'\n') ++m_pos;
        } else if (c == u'/' && at(m_pos + 1) == u'*') {
            const qsizetype start = m_pos;
            int depth = 0;
            while (m_pos < m_size) {
                if (m_data[m_pos] == u'/' && at(m_pos + 1) == u'*') {
                    ++depth;
                    m_pos += 2;
                } else if (m_data[m_pos] == u'*' && at(m_pos + 1) == u'/') {
                    m_pos += 2;
                    if (--depth == 0) break;
                } else {
                    ++m_pos;
                }
            }
            if (depth > 0) {
                unclosed = {Kind::UnclosedComment, start, m_pos - start, false};
                return false;
            }
        } else {
            return true;
        }
    }
    return false;
}

bool TsqlScanner::next(Piece& piece) {
    if (m_done) return false;
    Piece unclosed;
    if (!skipBlanksAndComments(unclosed)) {
        m_done = true;
        if (unclosed.kind != Kind::UnclosedComment) return false;
        piece = unclosed;
        return true;
    }
    const qsizetype start = m_pos;
    bool national = false;
    const Kind kind = token(national);
    piece = {kind, start, m_pos - start, national};
    return true;
}

bool TsqlScanner::nextLiteral(Piece& piece, qsizetype stop) {
    // The position is kept in a local while passing over plain characters.
    const QChar* const data = m_data;
    qsizetype pos = m_pos;
    while (pos < m_size && pos < stop) {
        const char16_t c = data[pos].unicode();
        Pass pass = c < 0x80 ? AsciiPasses[c] : Whole;
        if (pass == Blank) {
            ++pos;
            continue;
        }
        if (pass == Name && (c == u'N' || c == u'n') && at(pos + 1) == u'\'') pass = Whole;
        if (pass == Whole) {
            // A minus, a slash or a period that begins no comment and no number.
            const QChar after = at(pos + 1);
            if ((c == u'-' && after != u'-') || (c == u'/' && after != u'*') ||
                (c == u'.' && !isDigit(after)))
                pass = Single;
        }
        if (pass != Whole) {
            ++pos;
            if (pass == Name)
                while (pos < m_size && isNamePart(data[pos])) ++pos;
            continue;
        }
        m_pos = pos;
        if (c == u'\'' || isDigit(QChar(c))) {
            // A literal straight away, by the scanner's own rules for it.
            const Kind kind =
                c == u'\'' ? (quoted(u'\'') ? Kind::String : Kind::UnclosedString) : number();
            piece = {kind, pos, m_pos - pos, false};
            if (kind == Kind::UnclosedString) m_done = true;
            return true;
        }
        if (!next(piece)) return false;
        pos = m_pos;
        if (piece.kind != Kind::Word && piece.kind != Kind::Symbol &&
            piece.kind != Kind::QuotedName && piece.kind != Kind::Variable)
            return true;
    }
    m_pos = pos;
    m_done = pos >= m_size;
    return false;
}

// A quoted run from m_pos (the opening character) to its closing character, where a doubled
// closing character stands for itself. False when the text ends first.
bool TsqlScanner::quoted(QChar close) {
    ++m_pos;
    while (m_pos < m_size) {
        if (m_data[m_pos] == close) {
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

TsqlToken::Kind TsqlScanner::token(bool& national) {
    const QChar c = m_data[m_pos];

    Kind kind;
    if (literal(kind, national)) return kind;
    if (c == u'[') return quoted(u']') ? Kind::QuotedName : Kind::UnclosedName;
    if (c == u'"') return quoted(u'"') ? Kind::QuotedName : Kind::UnclosedName;

    if (c == u'@') {
        ++m_pos;
        while (m_pos < m_size && isNamePart(m_data[m_pos])) ++m_pos;
        return Kind::Variable;
    }
    if (isLetter(c)) {
        while (m_pos < m_size && isNamePart(m_data[m_pos])) ++m_pos;
        return Kind::Word;
    }

    if (isPair(c, at(m_pos + 1))) {
        m_pos += 2;
        return Kind::Symbol;
    }
    m_pos += c.isHighSurrogate() && at(m_pos + 1).isLowSurrogate() ? 2 : 1;
    return Kind::Symbol;
}

// A string or a number from m_pos on, if one begins there.
bool TsqlScanner::literal(Kind& kind, bool& national) {
    const QChar c = m_data[m_pos];
    if ((c == u'N' || c == u'n') && at(m_pos + 1) == u'\'') {
        ++m_pos;
        national = true;
        kind = quoted(u'\'') ? Kind::String : Kind::UnclosedString;
    } else if (c == u'\'') {
        kind = quoted(u'\'') ? Kind::String : Kind::UnclosedString;
    } else if (isDigit(c) || (c == u'.' && isDigit(at(m_pos + 1)))) {
        kind = number();
    } else {
        return false;
    }
    return true;
}

bool TsqlScanner::literalAt(qsizetype pos, Piece& piece) {
    if (pos >= m_size) return false;
    m_pos = pos;
    bool national = false;
    Kind kind;
    if (!literal(kind, national)) return false;
    piece = {kind, pos, m_pos - pos, national};
    return true;
}

TsqlToken::Kind TsqlScanner::number() {
    if (m_data[m_pos] == u'0' && (at(m_pos + 1) == u'x' || at(m_pos + 1) == u'X')) {
        m_pos += 2;
        while (m_pos < m_size && isHexDigit(m_data[m_pos])) ++m_pos;
        return Kind::Number;
    }
    while (m_pos < m_size && isDigit(m_data[m_pos])) ++m_pos;
    if (at(m_pos) == u'.') {
        ++m_pos;
        while (m_pos < m_size && isDigit(m_data[m_pos])) ++m_pos;
    }
    const QChar e = at(m_pos);
    if (e == u'e' || e == u'E') {
        qsizetype p = m_pos + 1;
        if (at(p) == u'+' || at(p) == u'-') ++p;
        if (isDigit(at(p))) {
            m_pos = p;
            while (m_pos < m_size && isDigit(m_data[m_pos])) ++m_pos;
        }
    }
    return Kind::Number;
}

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

namespace {
// A token's text. Punctuation and the commonest keywords written in capitals share one
// string each: a long batch costs no allocation for them.
QString tokenText(const QString& text, const TsqlScanner::Piece& piece) {
    static const QString Shared[] = {
        QStringLiteral(";"),      QStringLiteral(","),      QStringLiteral("("),
        QStringLiteral(")"),      QStringLiteral("="),      QStringLiteral("."),
        QStringLiteral("+"),      QStringLiteral("-"),      QStringLiteral("*"),
        QStringLiteral("<"),      QStringLiteral(">"),      QStringLiteral("SELECT"),
        QStringLiteral("FROM"),   QStringLiteral("WHERE"),  QStringLiteral("AND"),
        QStringLiteral("OR"),     QStringLiteral("AS"),     QStringLiteral("ON"),
        QStringLiteral("NULL"),   QStringLiteral("INSERT"), QStringLiteral("INTO"),
        QStringLiteral("VALUES"), QStringLiteral("UPDATE"), QStringLiteral("SET"),
    };
    const QStringView written = QStringView(text).mid(piece.begin, piece.length);
    if ((piece.kind == TsqlToken::Kind::Symbol || piece.kind == TsqlToken::Kind::Word) &&
        piece.length <= 6)
        for (const QString& shared : Shared)
            if (shared == written) return shared;
    return written.toString();
}
}  // namespace

TsqlTokens TsqlLexer::tokenize(const QString& text) {
    TsqlTokens tokens;
    TsqlScanner scanner(text);
    TsqlScanner::Piece piece;
    while (scanner.next(piece)) {
        TsqlToken t;
        t.kind = piece.kind;
        t.begin = piece.begin;
        t.length = piece.length;
        t.text = tokenText(text, piece);
        t.national = piece.national;
        tokens.append(std::move(t));
    }
    return tokens;
}
