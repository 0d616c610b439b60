#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

// The value rules every window follows, without any widget: amounts, whole numbers, ROC
// dates, Big5 byte limits, LIKE prefixes, key filters.

// The largest cost the register takes; no amount of an asset (residual, per period, to date,
// remaining) is larger. Grids and printed columns of amounts are made to hold it.
constexpr double LargestAmount = 999999999999.0;

// The amount format picture for the session's decimals ("0".."8"; anything else counts as 2).
QString AmountFormatString(const QString& amountDecimals);
// A number in a picture such as "###,##0.00": '#' optional digit, '0' forced digit, ','
// grouping, '.' decimal point; rounding half away from zero at the last shown decimal.
QString FormatPicture(double value, const QString& picture);

// A value (number, numeric text, empty or null) in the session's amount format; "0.00" for an
// empty, blank or null value.
QString FormatAmount(const QVariant& value);
// A value in "###,###,###,###,###,##0"; "0" for an empty, blank or null value.
QString FormatWhole(const QVariant& value);
// A text as a number; 0 when it is empty or does not convert.
double ToNumber(const QString& text);

// The zero date (serial 0): 30 December 1899.
QDate ZeroDate();
QString DateToRoc(const QDate& date);
QDate RocToDate(const QString& text);
bool IsRocDate(const QString& text);

// The text cut to n bytes of the Big5 code page, never leaving half a character.
QString LimitBytes(const QString& text, int n);
// Number of Big5 bytes of a text.
int Big5Length(const QString& text);
// The text in the Big5 code page for an HTML page: a character the code page cannot hold is
// written as its numeric character reference ("&#128512;"), so that the page still shows it.
QByteArray Big5Html(const QString& text);
// Big5 bytes as text.
QString FromBig5(const QByteArray& bytes);

// A LIKE pattern matching values that begin with the text.
QString LikePrefix(const QString& text);

// Key filters: the typed character code in, the code or 0 (key swallowed) out.
int KeyDigitsOnly(int code);
int KeyDecimalOnly(int code);
int KeyNoQuote(int code);
