#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// One token of a T-SQL text. Token classes:
//   Word          identifier or keyword: a letter, '_' or '#' followed by letters, digits, '_',
//                 '#', '$' and '@' (any non-ASCII letter counts as a letter)
//   QuotedName    [bracketed] or "double-quoted" identifier; ]] and "" stand for one character
//   String        'text' or N'text'; '' stands for one apostrophe
//   Number        123, 1.5, .5, 1e3, 0x1F
//   Variable      @name or @@name
//   Symbol        operators and punctuation; the pairs <= >= <> != !< !> || :: count as one
//   UnclosedString, UnclosedName, UnclosedComment
//                 a quote, bracket or /* that the text never closes; the token runs to the end
// Blanks and comments (-- to the end of the line, /* ... */ with nesting) separate tokens and
// never become tokens themselves.
struct TsqlToken {
    enum class Kind {
        Word,
        QuotedName,
        String,
        Number,
        Variable,
        Symbol,
        UnclosedString,
        UnclosedName,
        UnclosedComment
    };

    // (national beside kind: a long batch holds many tokens)
    Kind kind = Kind::Symbol;
    bool national = false;  // N'...'
    qsizetype begin = 0;    // position in the source text
    qsizetype length = 0;   // characters in the source text
    QString text;           // the token exactly as written

    // The meaning of the token: the string without quotes (doubled quotes made single), the
    // name without brackets or quotes, otherwise the text itself.
    QString value() const;
    // True for a Word equal to the keyword, ignoring case.
    bool isWord(QLatin1String keyword) const;
    // True for a Symbol with exactly this text.
    bool isSymbol(QLatin1String symbol) const;
    bool isName() const { return kind == Kind::Word || kind == Kind::QuotedName; }
    bool isUnclosed() const {
        return kind == Kind::UnclosedString || kind == Kind::UnclosedName ||
               kind == Kind::UnclosedComment;
    }
    qsizetype end() const { return begin + length; }
};

// Moved in memory as they are: a long text's tokens grow their list without copying each.
Q_DECLARE_TYPEINFO(TsqlToken, Q_RELOCATABLE_TYPE);

using TsqlTokens = QList<TsqlToken>;

// The tokens of a text one at a time, without copying their texts: for callers that only
// look at a few of them (the front end's cache of repeated statements).
class TsqlScanner {
public:
    struct Piece {
        TsqlToken::Kind kind = TsqlToken::Kind::Symbol;
        qsizetype begin = 0;
        qsizetype length = 0;
        bool national = false;
    };

    // Whether a number token is a whole number beyond int's range, which the server takes for
    // a decimal (numeric(p, 0)) rather than an int: its arithmetic is held to no int's range.
    static bool beyondInt(QStringView number) {
        qsizetype digits = 0;
        for (const QChar c : number) {
            if (c < u'0' || c > u'9') return false;  // a fraction, an exponent, a hex number
            if (digits > 0 || c != u'0') ++digits;
        }
        return digits > 10 || (digits == 10 && number.right(10) > u"2147483647");
    }

    // What separates tokens besides comments.
    static bool isBlank(QChar c) {
        return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == u'\v';
    }

    explicit TsqlScanner(QStringView text) : m_data(text.data()), m_size(text.size()) {}
    // The next token; false at the end of the text. An Unclosed token is the last one.
    bool next(Piece& piece);
    // The next literal (a string or a number) or Unclosed token, passing over the tokens
    // between without making pieces of them; false at the end of the text, and when no
    // literal begins before `stop` (the text from there on is not read). The tokens are those
    // next would give.
    bool nextLiteral(Piece& piece, qsizetype stop);
    // The literal (or UnclosedString) that begins at pos, where an earlier token ended, as
    // next would give it; false when none begins there.
    bool literalAt(qsizetype pos, Piece& piece);

private:
    QChar at(qsizetype i) const { return i < m_size ? m_data[i] : QChar(); }
    bool skipBlanksAndComments(Piece& unclosed);
    bool quoted(QChar close);
    TsqlToken::Kind token(bool& national);
    bool literal(TsqlToken::Kind& kind, bool& national);
    TsqlToken::Kind number();

    const QChar* const m_data;  // the text's characters, read where they lie
    const qsizetype m_size;
    qsizetype m_pos = 0;
    bool m_done = false;
};

class TsqlLexer {
public:
    // Every token of the text in order. Never fails: a text that never closes a quote, a
    // bracket or a comment ends in an Unclosed token.
    static TsqlTokens tokenize(const QString& text);
};
