#include "Values.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "Clock.h"
#include "Session.h"

namespace {

// ---- numbers -------------------------------------------------------------------------------

// The layout a picture asks for.
struct Picture {
    int minIntDigits = 0;   // '0' placeholders before the point
    bool grouping = false;  // ',' among the integer placeholders
    bool hasPoint = false;
    int decimals = 0;        // placeholders after the point
    int forcedDecimals = 0;  // of which the leading '0' ones are always shown
};

Picture parsePicture(const QString& picture) {
    Picture p;
    const qsizetype point = picture.indexOf(QLatin1Char('.'));
    const QString intPart = point < 0 ? picture : picture.left(point);
    for (const QChar c : intPart) {
        if (c == QLatin1Char('0')) ++p.minIntDigits;
        if (c == QLatin1Char(',')) p.grouping = true;
    }
    if (point >= 0) {
        p.hasPoint = true;
        bool optionalSeen = false;
        for (const QChar c : picture.mid(point + 1)) {
            if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
                ++p.decimals;
                if (c == QLatin1Char('#')) optionalSeen = true;
                if (c == QLatin1Char('0') && !optionalSeen) ++p.forcedDecimals;
            }
        }
    }
    return p;
}

// Splits |value| into integer and fraction digits as the decimal text of 15 significant digits,
// the precision a double is shown with; this keeps 1.005 at 1.005 instead of 1.00499999...
void decimalDigits(double magnitude, QString& intDigits, QString& fracDigits) {
    intDigits.clear();
    fracDigits.clear();
    if (magnitude == 0.0) return;
    const QString text = QString::number(magnitude, 'e', 14);  // d.dddddddddddddde+XX
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    const QString digits = text.left(1) + text.mid(2, e - 2);
    const int pointPos = text.mid(e + 1).toInt() + 1;  // digits before the decimal point
    if (pointPos <= 0) {
        fracDigits = QString(-pointPos, QLatin1Char('0')) + digits;
    } else if (pointPos >= digits.size()) {
        intDigits = digits + QString(pointPos - digits.size(), QLatin1Char('0'));
    } else {
        intDigits = digits.left(pointPos);
        fracDigits = digits.mid(pointPos);
    }
}

// Adds one to a string of decimal digits.
QString incremented(QString digits) {
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] == QLatin1Char('9')) {
            digits[i] = QLatin1Char('0');
        } else {
            digits[i] = QChar(digits[i].unicode() + 1);
            return digits;
        }
    }
    return QLatin1Char('1') + digits;
}

QString grouped(const QString& digits) {
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += QLatin1Char(',');
        out += digits[i];
    }
    return out;
}

// A value of a grid cell or a field: text goes through ToNumber, anything else is a number.
bool isBlank(const QVariant& value) {
    if (value.isNull() || !value.isValid()) return true;
    const int type = value.typeId();
    if (type == QMetaType::QString || type == QMetaType::QByteArray || type == QMetaType::QChar)
        return value.toString().trimmed().isEmpty();
    return false;
}

double numberOf(const QVariant& value) {
    const int type = value.typeId();
    if (type == QMetaType::QString || type == QMetaType::QByteArray || type == QMetaType::QChar)
        return ToNumber(value.toString());
    bool ok = false;
    const double d = value.toDouble(&ok);
    return ok && std::isfinite(d) ? d : 0.0;
}

// ---- ROC dates -----------------------------------------------------------------------------

// The number a date part begins with: blanks, an optional sign, at least one digit; what follows
// the digits is ignored. False when there is no number.
bool leadingNumber(const QString& part, int& number) {
    qsizetype i = 0;
    while (i < part.size() && part[i] == QLatin1Char(' ')) ++i;
    bool negative = false;
    if (i < part.size() && (part[i] == QLatin1Char('-') || part[i] == QLatin1Char('+'))) {
        negative = part[i] == QLatin1Char('-');
        ++i;
    }
    const qsizetype start = i;
    long long value = 0;
    while (i < part.size() && part[i] >= QLatin1Char('0') && part[i] <= QLatin1Char('9')) {
        value = value * 10 + (part[i].unicode() - '0');
        if (value > 99999) return false;  // far beyond any date part
        ++i;
    }
    if (i == start) return false;
    number = int(negative ? -value : value);
    return true;
}

enum class RocShape { Empty, Other, Built, Unbuildable };

// Reads a ROC date text; |yearPart| is the year as written (before adding 1911).
RocShape readRoc(QString s, QDate& date, int& yearPart) {
    if (s.size() == 6) s.prepend(QLatin1Char('0'));
    if (s.isEmpty()) return RocShape::Empty;
    const qsizetype p1 = s.indexOf(QLatin1Char('.'));
    const qsizetype p2 = p1 < 0 ? -1 : s.indexOf(QLatin1Char('.'), p1 + 1);
    QString y, m, d;
    if (p1 >= 0 && p2 >= 0) {
        y = s.left(p1);
        m = s.mid(p1 + 1, p2 - p1 - 1);
        d = s.mid(p2 + 1);
    } else if (p1 < 0 && s.size() == 7) {
        y = s.left(3);
        m = s.mid(3, 2);
        d = s.mid(5, 2);
    } else {
        return RocShape::Other;
    }
    int year = 0, month = 0, day = 0;
    if (!leadingNumber(y, year) || !leadingNumber(m, month) || !leadingNumber(d, day))
        return RocShape::Unbuildable;
    yearPart = year;
    year += 1911;
    if (year < 100 || year > 9999) return RocShape::Unbuildable;  // the range of a date value
    date = QDate(year, month, day);
    return date.isValid() ? RocShape::Built : RocShape::Unbuildable;
}

// ---- Big5 ----------------------------------------------------------------------------------

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};

// The Traditional Chinese ANSI code page (950), or plain Big5 where ICU lacks it.
UConverter* openCodePage950() {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* c = ucnv_open("windows-950", &status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        c = ucnv_open("Big5", &status);
    }
    return c;
}

// The converter of code page 950; characters it cannot map become "?", as the system's own
// conversion does.
UConverter* big5Converter() {
    thread_local std::unique_ptr<UConverter, ConverterCloser> converter = [] {
        UConverter* c = openCodePage950();
        if (c) {
            UErrorCode status = U_ZERO_ERROR;
            ucnv_setSubstChars(c, "?", 1, &status);
        }
        return std::unique_ptr<UConverter, ConverterCloser>(c);
    }();
    return converter.get();
}

// Code page 950 the other way round, and from text with every character it cannot hold
// written as a decimal character reference.
UConverter* big5Html() {
    thread_local std::unique_ptr<UConverter, ConverterCloser> converter = [] {
        UConverter* c = openCodePage950();
        if (c) {
            UErrorCode status = U_ZERO_ERROR;
            ucnv_setFromUCallBack(c, UCNV_FROM_U_CALLBACK_ESCAPE, UCNV_ESCAPE_XML_DEC, nullptr,
                                  nullptr, &status);
        }
        return std::unique_ptr<UConverter, ConverterCloser>(c);
    }();
    return converter.get();
}

// Bytes of one character (one or two UTF-16 units) in code page 950.
int charBytes(const QChar* units, int count) {
    UConverter* c = big5Converter();
    if (!c) return count;
    ucnv_resetFromUnicode(c);
    char buffer[16];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_fromUChars(c, buffer, sizeof buffer,
                                      reinterpret_cast<const UChar*>(units), count, &status);
    return U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING ? 1 : n;
}

// Length of the character starting at |i|: two units for a surrogate pair.
int charUnits(const QString& text, qsizetype i) {
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
}

}  // namespace

// ---- numbers -----------------------------------------------------------------------------------

QString AmountFormatString(const QString& amountDecimals) {
    const QString t = amountDecimals.trimmed();
    int decimals = 2;
    if (t.size() == 1 && t[0] >= QLatin1Char('0') && t[0] <= QLatin1Char('8'))
        decimals = t[0].unicode() - '0';
    QString picture = QStringLiteral("###,###,###,###,###,##0");
    if (decimals > 0) picture += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
    return picture;
}

QString FormatPicture(double value, const QString& picture) {
    if (!std::isfinite(value)) value = 0.0;
    const Picture p = parsePicture(picture);
    QString intDigits, fracDigits;
    decimalDigits(std::fabs(value), intDigits, fracDigits);

    // Round half away from zero at the last shown decimal; the sign is put back afterwards.
    if (fracDigits.size() > p.decimals) {
        const bool up = fracDigits[p.decimals] >= QLatin1Char('5');
        fracDigits.truncate(p.decimals);
        if (up) {
            const QString all = incremented(intDigits + fracDigits);
            intDigits = all.left(all.size() - p.decimals);
            fracDigits = all.right(p.decimals);
        }
    }
    fracDigits = fracDigits.leftJustified(p.decimals, QLatin1Char('0'));
    while (fracDigits.size() > p.forcedDecimals && fracDigits.endsWith(QLatin1Char('0')))
        fracDigits.chop(1);

    qsizetype lead = 0;
    while (lead < intDigits.size() && intDigits[lead] == QLatin1Char('0')) ++lead;
    intDigits = intDigits.mid(lead);
    const bool zero = intDigits.isEmpty() && std::all_of(fracDigits.cbegin(), fracDigits.cend(),
                                                         [](QChar c) { return c == u'0'; });
    if (intDigits.size() < p.minIntDigits)
        intDigits = intDigits.rightJustified(p.minIntDigits, QLatin1Char('0'));

    QString out = p.grouping ? grouped(intDigits) : intDigits;
    if (p.hasPoint) out += QLatin1Char('.') + fracDigits;
    if (value < 0 && !zero) out.prepend(QLatin1Char('-'));
    return out;
}

QString FormatAmount(const QVariant& value) {
    if (isBlank(value)) return QStringLiteral("0.00");
    return FormatPicture(numberOf(value), AmountFormatString(Session::current().amountDecimals));
}

QString FormatWhole(const QVariant& value) {
    if (isBlank(value)) return QStringLiteral("0");
    const QString text = FormatPicture(numberOf(value), QStringLiteral("###,###,###,###,###,##0"));
    return text.isEmpty() ? QStringLiteral("0") : text;
}

double ToNumber(const QString& text) {
    QString t = text.trimmed();
    t.remove(QLatin1Char(','));  // amounts come back as they are shown
    if (t.isEmpty()) return 0.0;
    bool ok = false;
    const double d = t.toDouble(&ok);
    return ok && std::isfinite(d) ? d : 0.0;
}

// ---- ROC dates ---------------------------------------------------------------------------------

QDate ZeroDate() { return QDate(1899, 12, 30); }

QString DateToRoc(const QDate& date) {
    if (!date.isValid()) return QString();
    const int roc = date.year() - 1911;
    QString year = QString::number(std::abs(roc)).rightJustified(3, QLatin1Char('0'));
    if (roc < 0) year.prepend(QLatin1Char('-'));
    return QStringLiteral("%1.%2.%3")
        .arg(year)
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

QDate RocToDate(const QString& text) {
    QDate date;
    int yearPart = 0;
    switch (readRoc(text, date, yearPart)) {
        case RocShape::Built:
            return date;
        case RocShape::Unbuildable:
            return ZeroDate();
        case RocShape::Empty:
        case RocShape::Other:
            break;
    }
    return Clock::today();
}

bool IsRocDate(const QString& text) {
    QDate date;
    int yearPart = 0;
    if (readRoc(text, date, yearPart) != RocShape::Built) return false;
    // Only the dotted form can carry a year part of more than three digits.
    return yearPart <= 999;
}

// ---- byte limits -------------------------------------------------------------------------------

int Big5Length(const QString& text) {
    int total = 0;
    for (qsizetype i = 0; i < text.size();) {
        const int units = charUnits(text, i);
        total += charBytes(text.constData() + i, units);
        i += units;
    }
    return total;
}

QString LimitBytes(const QString& text, int n) {
    if (n <= 0) return text;
    int total = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const int units = charUnits(text, i);
        const int bytes = charBytes(text.constData() + i, units);
        if (total + bytes > n) break;  // a double-byte character cut in half is dropped whole
        total += bytes;
        i += units;
    }
    return text.left(i);
}

// ---- patterns ----------------------------------------------------------------------------------

QString LikePrefix(const QString& text) {
    QString s = text;
    s.replace(QLatin1Char('['), QStringLiteral("[[]"));
    s.replace(QLatin1Char('_'), QStringLiteral("[_]"));
    s.replace(QLatin1Char(' '), QLatin1Char('_'));
    return s + QLatin1Char('%');
}

// ---- key filters -------------------------------------------------------------------------------

namespace {
bool alwaysPasses(int code) { return code == 27 || code == 13 || code == 8; }
}  // namespace

int KeyDigitsOnly(int code) {
    return alwaysPasses(code) || (code >= '0' && code <= '9') ? code : 0;
}

int KeyDecimalOnly(int code) {
    return alwaysPasses(code) || (code >= '0' && code <= '9') || code == '.' ? code : 0;
}

int KeyNoQuote(int code) { return code == '\'' ? 0 : code; }

QByteArray Big5Html(const QString& text) {
    UConverter* c = big5Html();
    if (!c || text.isEmpty()) return text.toUtf8();
    ucnv_resetFromUnicode(c);
    // A reference takes at most ten bytes ("&#1114111;") for one or two UTF-16 units.
    QByteArray out(int(text.size()) * 10 + 16, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n =
        ucnv_fromUChars(c, out.data(), int32_t(out.size()),
                        reinterpret_cast<const UChar*>(text.constData()), int32_t(text.size()),
                        &status);
    out.truncate(U_FAILURE(status) ? 0 : n);
    return out;
}

QString FromBig5(const QByteArray& bytes) {
    UConverter* c = big5Html();
    if (!c || bytes.isEmpty()) return QString::fromUtf8(bytes);
    ucnv_resetToUnicode(c);
    QString out(bytes.size() + 1, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_toUChars(c, reinterpret_cast<UChar*>(out.data()), int32_t(out.size()),
                                    bytes.constData(), int32_t(bytes.size()), &status);
    out.truncate(U_FAILURE(status) ? 0 : n);
    return out;
}
