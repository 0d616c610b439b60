#include "TsqlFunctions.h"

#include <sqlite3.h>

#include <QHash>
#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace {
// Bytes of a character in the suite's code page (Big5): ASCII one, everything else two.
int width(QChar c) { return c.unicode() < 0x80 ? 1 : 2; }

bool isNumber(sqlite3_value* v) {
    const int type = sqlite3_value_type(v);
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

QString text(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER:
            return QString::number(sqlite3_value_int64(v));
        case SQLITE_FLOAT:
            return TsqlFunctions::plainNumber(sqlite3_value_double(v));
        default:
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)),
                                     sqlite3_value_bytes(v));
    }
}

void result(sqlite3_context* context, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    sqlite3_result_text(context, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

bool anyNull(int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    return false;
}

// An argument that SQLite's arithmetic took beyond a float (where the server's overflows)
// fails the statement; true when it did.
bool overflowed(sqlite3_context* context, int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_FLOAT &&
            !std::isfinite(sqlite3_value_double(argv[i]))) {
            sqlite3_result_error(context, "將 expression 轉換為資料類型 float 時發生算術溢位錯誤。",
                                 -1);
            return true;
        }
    }
    return false;
}

// The longest start of the text that fits the bytes; sets the bytes it takes.
QString fitting(const QString& value, int bytes, int* used) {
    int total = 0;
    qsizetype i = 0;
    for (; i < value.size(); ++i) {
        const int w = width(value[i]);
        if (total + w > bytes) break;
        total += w;
    }
    *used = total;
    return value.left(i);
}

int textWidth(const QString& value) {
    int total = 0;
    for (const QChar c : value) total += width(c);
    return total;
}

// x as a text of at most n bytes; numbers that do not fit become "*".
QString converted(sqlite3_value* x, int n) {
    const QString value = text(x);
    if (isNumber(x) && textWidth(value) > n) return QStringLiteral("*");
    int used = 0;
    return fitting(value, n, &used);
}

// CONVERT(CHAR(n), x) of a text of ASCII characters other than NUL (a byte each in the code
// page too) or of a whole number, written straight from SQLite's bytes into out (n bytes): the
// history keys of every page's rows are made of these. False for anything else, which goes the
// general way.
bool plainChar(sqlite3_value* x, int n, char* out) {
    if (n < 1) return false;
    char digits[24];
    const char* data = digits;
    int length = 0;
    switch (sqlite3_value_type(x)) {
        case SQLITE_INTEGER:
            length = int(std::to_chars(digits, digits + sizeof digits, sqlite3_value_int64(x)).ptr -
                         digits);
            if (length > n) {
                data = "*";  // a number that does not fit
                length = 1;
            }
            break;
        case SQLITE_TEXT:
            data = reinterpret_cast<const char*>(sqlite3_value_text(x));
            length = sqlite3_value_bytes(x);
            for (int i = 0; i < length; ++i)
                if (static_cast<unsigned char>(data[i]) - 1u >= 0x7fu) return false;
            length = qMin(length, n);
            break;
        default:
            return false;
    }
    std::memcpy(out, data, size_t(length));
    std::memset(out + length, ' ', size_t(n - length));
    return true;
}

// CONVERT(CHAR(n), x) the general way: any text or number, widths in the code page's bytes.
QString charText(sqlite3_value* x, int n) {
    QString value = converted(x, n);
    return value + QString(n - textWidth(value), u' ');
}

// tsql_char(x1, n1, x2, n2, ...): the values, each as CONVERT(CHAR(n), x), one after another,
// as the + of the server joins them; NULL when any of them is. One call for a whole key saves
// SQLite a call and a joined copy per piece on every row.
void charFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (argc < 2 || argc % 2 != 0)
        return sqlite3_result_error(context, "tsql_char takes pairs of a value and a length", -1);
    if (anyNull(argc, argv)) return sqlite3_result_null(context);
    if (overflowed(context, argc, argv)) return;
    char out[128];
    int used = 0;
    bool plain = true;
    for (int i = 0; i < argc && plain; i += 2) {
        const int n = qMax(0, sqlite3_value_int(argv[i + 1]));
        plain = n < int(sizeof out) - used && plainChar(argv[i], n, out + used);
        used += n;
    }
    // Given with its NUL (no NUL lies within), the result is kept as a C string: read as a
    // text it needs no copy of its own.
    if (plain) {
        out[used] = 0;
        return sqlite3_result_text(context, out, -1, SQLITE_TRANSIENT);
    }
    QString value;
    for (int i = 0; i < argc; i += 2)
        value += charText(argv[i], qMax(0, sqlite3_value_int(argv[i + 1])));
    result(context, value);
}

void varcharFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(context);
    if (overflowed(context, argc, argv)) return;
    result(context, converted(argv[0], qMax(0, sqlite3_value_int(argv[1]))));
}

void floatFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(context);
    if (overflowed(context, argc, argv)) return;
    result(context, TsqlFunctions::floatText(sqlite3_value_double(argv[0])));
}

void rightFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv) || sqlite3_value_int64(argv[1]) < 0)
        return sqlite3_result_null(context);
    const QString value = text(argv[0]);
    result(context,
           value.right(qsizetype(qMin<qint64>(sqlite3_value_int64(argv[1]), value.size()))));
}

void lenFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(context);
    if (overflowed(context, argc, argv)) return;
    QString value = text(argv[0]);
    qsizetype n = value.size();
    while (n > 0 && value[n - 1] == u' ') --n;
    sqlite3_result_int64(context, n);
}

// One element of a LIKE pattern: % (any run), _ (any one), a class of one, or a character.
struct PatternElement {
    enum class Kind { AnyRun, AnyOne, Class, Char } kind = Kind::Char;
    QString chars;  // Class: single characters and ranges "a-c" as three; Char: the one
    bool negated = false;

    // A long class remembers its answer for each character it was asked about, so that a
    // value costs its length, not its length times the class's.
    static constexpr qsizetype LongClass = 32;
    mutable QHash<char16_t, bool> known;

    bool matches(QChar c) const {
        if (kind == Kind::AnyOne) return true;
        if (kind == Kind::Class && chars.size() > LongClass) {
            const auto it = known.constFind(c.unicode());
            if (it != known.constEnd()) return *it;
            return known[c.unicode()] = classMatches(c);
        }
        return kind == Kind::Char ? chars[0].toCaseFolded() == c.toCaseFolded() : classMatches(c);
    }

    bool classMatches(QChar c) const {
        const QChar x = c.toCaseFolded();
        bool hit = false;
        for (qsizetype i = 0; i < chars.size() && !hit; ++i) {
            if (i + 2 < chars.size() && chars[i + 1] == u'-') {
                hit = x >= chars[i].toCaseFolded() && x <= chars[i + 2].toCaseFolded();
                i += 2;
            } else {
                hit = chars[i].toCaseFolded() == x;
            }
        }
        return hit != negated;
    }
};

using Pattern = std::vector<PatternElement>;

Pattern compile(const QString& pattern) {
    using Kind = PatternElement::Kind;
    // Where the first ']' at or after each position lies (-1: none), found in one pass from
    // the end, so that a pattern of many unclosed '[' costs its length.
    const qsizetype size = pattern.size();
    std::vector<qsizetype> close(size_t(size) + 1, -1);
    for (qsizetype i = size - 1; i >= 0; --i)
        close[size_t(i)] = pattern[i] == u']' ? i : close[size_t(i) + 1];
    Pattern out;
    for (qsizetype i = 0; i < size; ++i) {
        PatternElement e;
        const QChar c = pattern[i];
        const qsizetype closing = c == u'[' && i + 2 <= size ? close[size_t(i) + 2] : -1;
        if (c == u'%') {
            if (!out.empty() && out.back().kind == Kind::AnyRun) continue;  // %% is %
            e.kind = Kind::AnyRun;
        } else if (c == u'_') {
            e.kind = Kind::AnyOne;
        } else if (closing > 0) {  // a '[' that is never closed is a character
            e.kind = Kind::Class;
            e.negated = pattern[i + 1] == u'^' && closing > i + 2;
            const qsizetype from = i + (e.negated ? 2 : 1);
            e.chars = pattern.mid(from, closing - from);
            i = closing;
        } else {
            e.chars = c;
        }
        out.push_back(std::move(e));
    }
    return out;
}

// A run of elements without %, matched at one place of the value.
struct Segment {
    const PatternElement* begin;
    qsizetype size;

    bool at(const QString& value, qsizetype from) const {
        for (qsizetype j = 0; j < size; ++j)
            if (!begin[j].matches(value[from + j])) return false;
        return true;
    }
};

// Where the segment first matches wholly within value[from, to), or -1. A short segment is
// tried at every place; a longer one is found in one pass over the value, its places kept as
// bits (a bit per element: "the elements up to here match the characters up to here"), so
// that a search costs the value's length times the segment's length over 64.
qsizetype find(const QString& value, qsizetype from, qsizetype to, const Segment& segment) {
    const qsizetype k = segment.size;
    if (k == 0) return from;
    if (to - from < k) return -1;
    if (k <= 16) {
        for (qsizetype i = from; i + k <= to; ++i)
            if (segment.at(value, i)) return i;
        return -1;
    }
    const size_t words = size_t(k + 63) / 64;
    QHash<char16_t, std::vector<quint64>> masks;  // per character: the elements it matches
    std::vector<quint64> state(words, 0);
    const quint64 last = quint64(1) << ((k - 1) % 64);
    for (qsizetype i = from; i < to; ++i) {
        const QChar c = value[i];
        auto it = masks.find(c.unicode());
        if (it == masks.end()) {
            std::vector<quint64> mask(words, 0);
            for (qsizetype j = 0; j < k; ++j)
                if (segment.begin[j].matches(c)) mask[size_t(j) / 64] |= quint64(1) << (j % 64);
            it = masks.insert(c.unicode(), std::move(mask));
        }
        const std::vector<quint64>& mask = *it;
        quint64 carry = 1;  // a match may begin at every character
        for (size_t w = 0; w < words; ++w) {
            const quint64 next = state[w] >> 63;
            state[w] = ((state[w] << 1) | carry) & mask[w];
            carry = next;
        }
        if (state[words - 1] & last) return i - k + 1;
    }
    return -1;
}

// The value against the pattern: the part before the first % at the start of the value, the
// part after the last % at its end, and each part in between at the first place after the
// one before it (a later place could only leave less room for the rest).
bool like(const QString& value, const Pattern& elements) {
    using Kind = PatternElement::Kind;
    std::vector<Segment> segments;
    const PatternElement* const data = elements.data();
    qsizetype begin = 0;
    const qsizetype count = qsizetype(elements.size());
    for (qsizetype i = 0; i <= count; ++i) {
        if (i == count || elements[size_t(i)].kind == Kind::AnyRun) {
            segments.push_back({data + begin, i - begin});
            begin = i + 1;
        }
    }
    const qsizetype n = value.size();
    const Segment& first = segments.front();
    if (segments.size() == 1) return first.size == n && first.at(value, 0);
    const Segment& final = segments.back();
    if (first.size + final.size > n || !first.at(value, 0) ||
        !final.at(value, n - final.size))
        return false;
    qsizetype at = first.size;
    const qsizetype end = n - final.size;
    for (size_t s = 1; s + 1 < segments.size(); ++s) {
        const qsizetype found = find(value, at, end, segments[s]);
        if (found < 0) return false;
        at = found + segments[s].size;
    }
    return true;
}

// A pattern compiled once for a statement: SQLite keeps it with the argument as long as the
// argument stays the same.
struct KeptPattern {
    QByteArray text;
    Pattern elements;
};

void dropPattern(void* kept) { delete static_cast<KeptPattern*>(kept); }

// ---- arithmetic as the server's: + - * / % of numbers, where SQLite's would go on in a float

const char* const IntOverflow = "將 expression 轉換為資料類型 int 時發生算術溢位錯誤。";
const char* const BigintOverflow = "將 expression 轉換為資料類型 bigint 時發生算術溢位錯誤。";
const char* const FloatOverflow = "將 expression 轉換為資料類型 float 時發生算術溢位錯誤。";
const char* const DivideByZero = "發現除以零的錯誤。";

// An operand as SQLite's arithmetic reads it: a text or blob as the number it starts with.
struct Operand {
    bool null = false;
    bool integer = false;
    qint64 whole = 0;
    double real = 0;
};

Operand operand(sqlite3_value* v) {
    Operand o;
    switch (sqlite3_value_numeric_type(v)) {
        case SQLITE_NULL:
            o.null = true;
            break;
        case SQLITE_INTEGER:
            o.integer = true;
            o.whole = sqlite3_value_int64(v);
            break;
        default:
            o.real = sqlite3_value_double(v);
    }
    return o;
}

bool isInt(qint64 v) { return v >= INT32_MIN && v <= INT32_MAX; }

// The result of one link, or the message that refuses it.
struct Outcome {
    Operand value;
    const char* error = nullptr;
};

// The server's type of a link's whole numbers: int (the two within int stay within it),
// bigint, or a decimal (a decimal or money column, a whole literal beyond int), which neither
// range bounds: beyond bigint's it goes on in a float, and a division that leaves a
// remainder gives the fraction.
enum class Width { Int, Bigint, Decimal };

Outcome apply(char op, const Operand& a, const Operand& b, Width width);

// A link of whole numbers as floats: a decimal's beyond bigint's range, or its quotient.
Outcome inFloats(char op, const Operand& a, const Operand& b) {
    Operand x = a, y = b;
    x.integer = y.integer = false;
    x.real = double(a.whole);
    y.real = double(b.whole);
    return apply(op, x, y, Width::Decimal);
}

// Whole numbers of a link as its width bounds them (above); a float that goes beyond eight
// bytes, and a division by zero, are refused.
Outcome apply(char op, const Operand& a, const Operand& b, Width width) {
    Outcome out;
    if (a.null || b.null) {
        out.value.null = true;
        return out;
    }
    if (a.integer && b.integer) {
        if (width == Width::Decimal && op == '/' && b.whole != 0 && b.whole != -1 &&
            a.whole % b.whole != 0)
            return inFloats(op, a, b);
        qint64 r = 0;
        bool overflow = false;
        switch (op) {
            case '+':
                overflow = __builtin_add_overflow(a.whole, b.whole, &r);
                break;
            case '-':
                overflow = __builtin_sub_overflow(a.whole, b.whole, &r);
                break;
            case '*':
                overflow = __builtin_mul_overflow(a.whole, b.whole, &r);
                break;
            default:  // '/' and '%'
                if (b.whole == 0) {
                    out.error = DivideByZero;
                    return out;
                }
                // The least bigint has no opposite; a remainder of -1 is 0 for every number.
                overflow = op == '/' && a.whole == INT64_MIN && b.whole == -1;
                if (op == '/')
                    r = overflow ? 0 : a.whole / b.whole;
                else
                    r = b.whole == -1 ? 0 : a.whole % b.whole;
        }
        if (overflow && width == Width::Decimal) return inFloats(op, a, b);
        if (overflow)
            out.error = BigintOverflow;
        else if (width == Width::Int && isInt(a.whole) && isInt(b.whole) && !isInt(r))
            out.error = IntOverflow;
        out.value.integer = true;
        out.value.whole = r;
        return out;
    }
    const double x = a.integer ? double(a.whole) : a.real;
    const double y = b.integer ? double(b.whole) : b.real;
    double r = 0;
    switch (op) {
        case '+':
            r = x + y;
            break;
        case '-':
            r = x - y;
            break;
        case '*':
            r = x * y;
            break;
        default:
            if (y == 0) {
                out.error = DivideByZero;
                return out;
            }
            r = op == '/' ? x / y : std::fmod(x, y);
    }
    if (!std::isfinite(r)) out.error = FloatOverflow;
    out.value.real = r;
    return out;
}

void result(sqlite3_context* context, const Outcome& o) {
    if (o.error) return sqlite3_result_error(context, o.error, -1);
    if (o.value.null) return sqlite3_result_null(context);
    if (o.value.integer) return sqlite3_result_int64(context, o.value.whole);
    sqlite3_result_double(context, o.value.real);
}

template <char Op, Width W>
void arithmeticFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    result(context, apply(Op, operand(argv[0]), operand(argv[1]), W));
}

// -x: the least int (or bigint) has no opposite within its type; a decimal's has.
template <Width W>
void negateFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    const Operand x = operand(argv[0]);
    Outcome o;
    o.value = x;
    if (x.integer) {
        if (x.whole == INT64_MIN && W == Width::Decimal) {
            o.value.integer = false;
            o.value.real = -double(x.whole);
        } else if (x.whole == INT64_MIN)
            o.error = BigintOverflow;
        else if (W == Width::Int && x.whole == INT32_MIN)
            o.error = IntOverflow;
        else
            o.value.whole = -x.whole;
    } else {
        o.value.real = -x.real;
    }
    result(context, o);
}

// tsql_sum(x), tsql_bigsum(x) and tsql_decsum(x): SUM as the server's: the total of whole
// numbers that are all within int must be within int too (the server's SUM of an int is an
// int), unless the values are a bigint's or a decimal's; beyond bigint (but for a decimal's,
// which goes on in a float), or a float beyond eight bytes, is refused. Added as + adds, in
// bigint's range, so that only the total is held to int.
// SQLite hands the state over zeroed, never constructed: every member starts at zero.
struct SumState {
    Operand total;
    bool any;
    bool notAllInt;  // a value that is no whole number within int came
    const char* error;
};

template <Width W>
void sumStep(sqlite3_context* context, int, sqlite3_value** argv) {
    auto* state = static_cast<SumState*>(sqlite3_aggregate_context(context, sizeof(SumState)));
    if (!state) return sqlite3_result_error_nomem(context);
    const Operand x = operand(argv[0]);
    if (x.null || state->error) return;
    state->notAllInt = state->notAllInt || !x.integer || !isInt(x.whole);
    if (!state->any) {
        state->total = x;
        state->any = true;
        return;
    }
    const Outcome o = apply('+', state->total, x, W == Width::Decimal ? W : Width::Bigint);
    state->error = o.error;
    state->total = o.value;
}

template <Width W>
void sumFinal(sqlite3_context* context) {
    auto* state = static_cast<SumState*>(sqlite3_aggregate_context(context, 0));
    if (!state || !state->any) return sqlite3_result_null(context);
    Outcome o{state->total, state->error};
    if (!o.error && W == Width::Int && !state->notAllInt && !isInt(o.value.whole))
        o.error = IntOverflow;
    result(context, o);
}

// tsql_pack(x1, x2, ...): the operands of a part of a long chain as tsql_fold reads them, a
// tag and eight bytes each.
void packFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    std::vector<char> packed(size_t(argc) * 9);
    for (int i = 0; i < argc; ++i) {
        const Operand o = operand(argv[i]);
        char* at = packed.data() + size_t(i) * 9;
        at[0] = o.null ? 'n' : o.integer ? 'i' : 'r';
        if (o.integer)
            std::memcpy(at + 1, &o.whole, 8);
        else
            std::memcpy(at + 1, &o.real, 8);
    }
    sqlite3_result_blob(context, packed.data(), int(packed.size()), SQLITE_TRANSIENT);
}

// tsql_fold(ops, x0, tsql_pack(x1, ...), tsql_pack(...), ...): x0 op1 x1 op2 x2 ..., from
// the left, each link as arithmeticFunction does it; ops holds two characters a link, its
// operator and 'b' for a bigint's link ('i' for any other). A long chain is one call over
// calls side by side, where a call per link (or one nested in the next) would go deeper than
// SQLite's parser and expression trees allow.
void foldFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    const char* ops = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int links = sqlite3_value_bytes(argv[0]) / 2;
    Outcome o{operand(argv[1])};
    int link = 0;
    for (int i = 2; i < argc && !o.error; ++i) {
        const auto* packed = static_cast<const char*>(sqlite3_value_blob(argv[i]));
        const int count = sqlite3_value_bytes(argv[i]) / 9;
        for (int k = 0; k < count && !o.error; ++k, ++link) {
            if (!ops || link >= links)
                return sqlite3_result_error(context, "tsql_fold takes an operator per link", -1);
            const char* at = packed + size_t(k) * 9;
            Operand x;
            x.null = at[0] == 'n';
            x.integer = at[0] == 'i';
            if (x.integer)
                std::memcpy(&x.whole, at + 1, 8);
            else
                std::memcpy(&x.real, at + 1, 8);
            const char width = ops[2 * link + 1];
            o = apply(ops[2 * link], o.value, x,
                      width == 'b'   ? Width::Bigint
                      : width == 'd' ? Width::Decimal
                                     : Width::Int);
        }
    }
    result(context, o);
}

void numberFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    sqlite3_value* x = argv[0];
    if (sqlite3_value_type(x) != SQLITE_TEXT) return sqlite3_result_value(context, x);
    const QString written = text(x);
    const QString trimmed = written.trimmed();
    if (trimmed.isEmpty()) return sqlite3_result_int(context, 0);
    static const QRegularExpression Number(
        QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    bool ok = Number.match(trimmed).hasMatch();
    if (ok) {
        const qlonglong whole = trimmed.toLongLong(&ok);
        if (ok) return sqlite3_result_int64(context, whole);
        return sqlite3_result_double(context, trimmed.toDouble());
    }
    const QByteArray message = QStringLiteral("轉換 varchar 值 '%1' 為資料類型 int 時，轉換失敗。")
                                   .arg(written)
                                   .toUtf8();
    sqlite3_result_error(context, message.constData(), int(message.size()));
}

void singleFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_int64(argv[0]) > 1)
        return sqlite3_result_error(context,
                                    "子查詢傳回超過 1 個值。當子查詢跟隨在 =、!=、<、<=、>、>= "
                                    "之後，或是子查詢當做運算式使用時，不允許這種情況。",
                                    -1);
    sqlite3_result_value(context, argv[1]);
}

// The server ignores blanks at the end of the value (not of the pattern).
bool likeIgnoringBlanks(QString value, const Pattern& pattern) {
    if (::like(value, pattern)) return true;
    if (!value.endsWith(u' ')) return false;
    while (value.endsWith(u' ')) value.chop(1);
    return ::like(value, pattern);
}

void likeFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(context);
    const char* written = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const QByteArrayView patternText(written, sqlite3_value_bytes(argv[1]));
    const auto* kept = static_cast<const KeptPattern*>(sqlite3_get_auxdata(context, 1));
    if (kept && kept->text == patternText)
        return sqlite3_result_int(context, likeIgnoringBlanks(text(argv[0]), kept->elements));
    auto* fresh =
        new KeptPattern{patternText.toByteArray(), compile(QString::fromUtf8(patternText))};
    sqlite3_result_int(context, likeIgnoringBlanks(text(argv[0]), fresh->elements));
    sqlite3_set_auxdata(context, 1, fresh, dropPattern);  // may drop it at once
}
}  // namespace

namespace TsqlFunctions {
bool like(QString value, const QString& pattern) {
    return likeIgnoringBlanks(std::move(value), compile(pattern));
}

QString prefixEnd(const QString& prefix) { return prefix + QChar(0xFFFF); }

QString likePrefix(const QString& pattern) {
    QString prefix;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'%' || c == u'_') break;
        if (c == u'[') {
            if (i + 2 < pattern.size() && pattern[i + 2] == u']' && pattern[i + 1] != u'^') {
                prefix += pattern[i + 1];
                i += 2;
                continue;
            }
            break;
        }
        prefix += c;
    }
    return prefix;
}

QString floatText(double value) {
    QString text = QString::number(value, 'g', 6);
    const qsizetype e = text.indexOf(u'e');
    if (e < 0) return text;
    // Qt writes at least two exponent digits, the server three.
    const QChar sign = text[e + 1];
    const QString digits = text.mid(e + 2);
    return text.left(e + 1) + sign + digits.rightJustified(3, u'0');
}

QString plainNumber(double value) {
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    const int decimals = qBound(0, 15 - int(std::floor(std::log10(std::fabs(value)))), 30);
    QString digits = QString::number(value, 'f', decimals);
    if (digits.contains(u'.')) {
        while (digits.endsWith(u'0')) digits.chop(1);
        if (digits.endsWith(u'.')) digits.chop(1);
    }
    return digits;
}

int install(sqlite3* db) {
    struct Function {
        const char* name;
        int arguments;
        void (*body)(sqlite3_context*, int, sqlite3_value**);
    };
    static const Function functions[] = {
        {"tsql_char", -1, charFunction},   {"tsql_varchar", 2, varcharFunction},
        {"tsql_right", 2, rightFunction}, {"tsql_len", 1, lenFunction},
        {"tsql_like", 2, likeFunction},   {"tsql_single", 2, singleFunction},
        {"tsql_number", 1, numberFunction},
        {"tsql_float", 1, floatFunction},
        {"tsql_add", 2, arithmeticFunction<'+', Width::Int>},
        {"tsql_sub", 2, arithmeticFunction<'-', Width::Int>},
        {"tsql_mul", 2, arithmeticFunction<'*', Width::Int>},
        {"tsql_div", 2, arithmeticFunction<'/', Width::Int>},
        {"tsql_mod", 2, arithmeticFunction<'%', Width::Int>},
        {"tsql_neg", 1, negateFunction<Width::Int>},
        {"tsql_bigadd", 2, arithmeticFunction<'+', Width::Bigint>},
        {"tsql_bigsub", 2, arithmeticFunction<'-', Width::Bigint>},
        {"tsql_bigmul", 2, arithmeticFunction<'*', Width::Bigint>},
        {"tsql_bigdiv", 2, arithmeticFunction<'/', Width::Bigint>},
        {"tsql_bigmod", 2, arithmeticFunction<'%', Width::Bigint>},
        {"tsql_bigneg", 1, negateFunction<Width::Bigint>},
        {"tsql_decadd", 2, arithmeticFunction<'+', Width::Decimal>},
        {"tsql_decsub", 2, arithmeticFunction<'-', Width::Decimal>},
        {"tsql_decmul", 2, arithmeticFunction<'*', Width::Decimal>},
        {"tsql_decdiv", 2, arithmeticFunction<'/', Width::Decimal>},
        {"tsql_decmod", 2, arithmeticFunction<'%', Width::Decimal>},
        {"tsql_decneg", 1, negateFunction<Width::Decimal>},
        {"tsql_fold", -1, foldFunction},
        {"tsql_pack", -1, packFunction},
    };
    for (const Function& f : functions) {
        const int rc =
            sqlite3_create_function_v2(db, f.name, f.arguments, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                       nullptr, f.body, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return rc;
    }
    struct Aggregate {
        const char* name;
        void (*step)(sqlite3_context*, int, sqlite3_value**);
        void (*final)(sqlite3_context*);
    };
    static const Aggregate aggregates[] = {
        {"tsql_sum", sumStep<Width::Int>, sumFinal<Width::Int>},
        {"tsql_bigsum", sumStep<Width::Bigint>, sumFinal<Width::Bigint>},
        {"tsql_decsum", sumStep<Width::Decimal>, sumFinal<Width::Decimal>}};
    for (const Aggregate& a : aggregates) {
        const int rc = sqlite3_create_function_v2(db, a.name, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                                  nullptr, nullptr, a.step, a.final, nullptr);
        if (rc != SQLITE_OK) return rc;
    }
    return SQLITE_OK;
}
}  // namespace TsqlFunctions
