#include "TsqlFunctions.h"

#include <sqlite3.h>

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
    result(context, converted(argv[0], qMax(0, sqlite3_value_int(argv[1]))));
}

void floatFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(context);
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

    bool matches(QChar c) const {
        const QChar x = c.toCaseFolded();
        if (kind == Kind::AnyOne) return true;
        if (kind == Kind::Char) return chars[0].toCaseFolded() == x;
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

std::vector<PatternElement> compile(const QString& pattern) {
    using Kind = PatternElement::Kind;
    std::vector<PatternElement> out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        PatternElement e;
        const QChar c = pattern[i];
        const qsizetype close = c == u'[' ? pattern.indexOf(u']', i + 2) : -1;
        if (c == u'%') {
            e.kind = Kind::AnyRun;
        } else if (c == u'_') {
            e.kind = Kind::AnyOne;
        } else if (close > 0) {  // a '[' that is never closed is a character
            e.kind = Kind::Class;
            e.negated = pattern[i + 1] == u'^' && close > i + 2;
            const qsizetype from = i + (e.negated ? 2 : 1);
            e.chars = pattern.mid(from, close - from);
            i = close;
        } else {
            e.chars = c;
        }
        out.push_back(e);
    }
    return out;
}

// Matches from left to right, going back only to the last % (so never more than
// value length x pattern length steps).
bool like(const QString& value, const QString& pattern) {
    using Kind = PatternElement::Kind;
    const std::vector<PatternElement> elements = compile(pattern);
    const size_t n = elements.size();
    size_t p = 0;
    qsizetype v = 0;
    bool afterRun = false;  // a % was passed: a mismatch retries one character further on
    size_t runP = 0;
    qsizetype runV = 0;
    while (v < value.size()) {
        if (p < n && elements[p].kind == Kind::AnyRun) {
            afterRun = true;
            runP = ++p;
            runV = v;
        } else if (p < n && elements[p].matches(value[v])) {
            ++p;
            ++v;
        } else if (afterRun) {
            p = runP;
            v = ++runV;
        } else {
            return false;
        }
    }
    while (p < n && elements[p].kind == Kind::AnyRun) ++p;
    return p == n;
}

void divisorFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    sqlite3_value* x = argv[0];
    const int type = sqlite3_value_numeric_type(x);
    if ((type == SQLITE_INTEGER || type == SQLITE_FLOAT) && sqlite3_value_double(x) == 0.0)
        return sqlite3_result_error(context, "發現除以零的錯誤。", -1);
    sqlite3_result_value(context, x);
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

void likeFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(context);
    sqlite3_result_int(context, TsqlFunctions::like(text(argv[0]), text(argv[1])) ? 1 : 0);
}
}  // namespace

namespace TsqlFunctions {
bool like(QString value, const QString& pattern) {
    // The server ignores blanks at the end of the value (not of the pattern).
    if (::like(value, pattern)) return true;
    if (!value.endsWith(u' ')) return false;
    while (value.endsWith(u' ')) value.chop(1);
    return ::like(value, pattern);
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
        {"tsql_like", 2, likeFunction},   {"tsql_divisor", 1, divisorFunction},
        {"tsql_single", 2, singleFunction}, {"tsql_number", 1, numberFunction},
        {"tsql_float", 1, floatFunction},
    };
    for (const Function& f : functions) {
        const int rc =
            sqlite3_create_function_v2(db, f.name, f.arguments, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                       nullptr, f.body, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return rc;
    }
    return SQLITE_OK;
}
}  // namespace TsqlFunctions
