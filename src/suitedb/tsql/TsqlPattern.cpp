#include "TsqlPattern.h"

#include <QHash>
#include <algorithm>
#include <cstring>

#include "TsqlLexer.h"

namespace {
// How many characters of a text, a literal counting as one, make its head.
constexpr qsizetype HeadLength = 32;

// What a literal's first character is. The token before a literal ends where it does by this
// character alone (a name goes on over a digit, not over a period; a period begins a number
// only before a digit), so a hole takes literals that begin alike.
int lead(QChar c) {
    if (c == u'\'') return 1;
    if (c == u'N' || c == u'n') return 2;
    if (c == u'.') return 3;
    if (c >= u'0' && c <= u'9') return 4;
    return 0;
}

// How many characters two texts begin with alike: compared a block at a time, then a word.
qsizetype commonPrefix(QStringView a, QStringView b) {
    const qsizetype size = std::min(a.size(), b.size());
    const char16_t* const p = a.utf16();
    const char16_t* const q = b.utf16();
    constexpr qsizetype Block = 32;
    qsizetype i = 0;
    while (i + Block <= size && std::memcmp(p + i, q + i, Block * sizeof(char16_t)) == 0)
        i += Block;
    while (i + 4 <= size && std::memcmp(p + i, q + i, 4 * sizeof(char16_t)) == 0) i += 4;
    while (i < size && p[i] == q[i]) ++i;
    return i;
}
}  // namespace

TsqlPattern::TsqlPattern(QStringView text, const Literals& literals)
    : m_text(text.toString()), m_literals(literals.begin(), literals.end()), m_head(head(text)) {}

bool TsqlPattern::match(QStringView text, Literals& found) const {
    found.clear();
    qsizetype at = 0;    // in text
    qsizetype from = 0;  // in the pattern's text
    // The pattern's characters up to `to` are the text's next ones.
    const auto same = [&](qsizetype to) {
        const qsizetype n = to - from;
        if (text.size() - at < n || QStringView(m_text).mid(from, n) != text.mid(at, n))
            return false;
        at += n;
        from = to;
        return true;
    };
    // Where the text first differs from the pattern's own: a literal that lies before, with the
    // two characters after it that the scanner may look at to end it, is the same literal.
    const qsizetype common = commonPrefix(text, m_text);
    qsizetype next = 0;
    for (; next < qsizetype(m_literals.size()); ++next) {
        const Literal& l = m_literals[size_t(next)];
        if (l.begin + l.length + 2 >= common) break;
        found.push_back(l);
    }
    if (next > 0) at = from = found.back().begin + found.back().length;
    TsqlScanner scanner(text);
    TsqlScanner::Piece piece;
    for (; next < qsizetype(m_literals.size()); ++next) {
        const Literal& l = m_literals[size_t(next)];
        if (!same(l.begin)) return false;
        const qsizetype begin = at;
        if (l.fixed) {
            if (!same(l.begin + l.length)) return false;
        } else {
            if (at == text.size() || lead(text[at]) != lead(m_text[l.begin])) return false;
            using Kind = TsqlToken::Kind;
            if (!scanner.literalAt(at, piece) ||
                piece.kind != (l.number ? Kind::Number : Kind::String) ||
                piece.national != l.national ||
                (l.number && TsqlScanner::beyondInt(text.mid(at, piece.length)) != l.beyondInt))
                return false;
            at += piece.length;
            from = l.begin + l.length;
        }
        found.push_back({begin, at - begin, l.number, l.national, l.fixed, l.beyondInt});
    }
    return same(m_text.size()) && at == text.size();
}

size_t TsqlPattern::head(QStringView text) {
    char16_t chars[HeadLength];
    qsizetype n = 0;
    const auto take = [&](QStringView part) {
        const qsizetype k = std::min(part.size(), HeadLength - n);
        std::copy_n(part.utf16(), k, chars + n);
        n += k;
    };
    TsqlScanner scanner(text);
    TsqlScanner::Piece piece;
    qsizetype plain = 0;
    while (n < HeadLength && scanner.nextLiteral(piece, plain + (HeadLength - n))) {
        take(text.mid(plain, piece.begin - plain));
        if (n < HeadLength) chars[n++] = u'\x01';
        plain = piece.begin + piece.length;
    }
    take(text.mid(plain));
    return qHash(QStringView(chars, n));
}
