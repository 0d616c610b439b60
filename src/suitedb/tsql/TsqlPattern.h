#pragma once

#include <QString>
#include <QStringView>
#include <QVarLengthArray>
#include <vector>

// A statement's text with a hole for each of its literals: it matches the texts whose tokens
// are the statement's own but for the values of those literals, found where they lie without
// reading the text token by token. The front end keeps its translations by these.
class TsqlPattern {
public:
    // A literal token of a text; positions count from the text's first token.
    struct Literal {
        qsizetype begin = 0;
        qsizetype length = 0;
        bool number = false;
        bool national = false;  // N'...'
        bool fixed = false;     // must recur as written: no hole
        bool beyondInt = false;  // a whole number beyond int (TsqlScanner::beyondInt)
    };
    // Room on the stack for the literals of the longest statements the windows send (a page
    // of repair orders carries some eighty).
    using Literals = QVarLengthArray<Literal, 128>;

    TsqlPattern() = default;
    // The text from its first token to the end of its last, with its literal tokens in order.
    TsqlPattern(QStringView text, const Literals& literals);

    // Whether the text (again from its first token to its last) is the pattern's statement:
    // the same characters between the literals, a literal of the same kind in each hole. Its
    // literals go to `found` (which holds no meaning when the text does not match).
    bool match(QStringView text, Literals& found) const;

    // A hash of the text's beginning with a mark for each literal: equal for the texts that
    // one pattern matches.
    static size_t head(QStringView text);
    size_t head() const { return m_head; }

private:
    QString m_text;
    std::vector<Literal> m_literals;
    size_t m_head = 0;
};
