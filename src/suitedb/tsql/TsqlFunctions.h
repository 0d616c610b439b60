#pragma once

#include <QString>

struct sqlite3;

// The server's functions that SQLite lacks or has otherwise, registered on a connection:
//   tsql_char(x, n)     CONVERT(CHAR(n), x): x as text, cut or padded with blanks to n bytes
//                       of the suite's code page (Chinese characters take two); a number too
//                       long for n gives "*"; tsql_char(x1, n1, x2, n2, ...) joins the
//                       pieces as the server's + does (CONVERT(CHAR(11),a) + CONVERT(CHAR(5),b))
//   tsql_varchar(x, n)  CONVERT(VARCHAR(n), x): x as text, cut to n bytes; a number as its
//                       plain digits ("1500", "2.5")
//   tsql_right(x, n)    RIGHT(x, n)
//   tsql_len(x)         LEN(x): characters without the trailing blanks
//   tsql_like(x, p)     x LIKE p, with the server's % _ [a-c] [^a], letters without regard to
//                       case, blanks at the end of x ignored
//   tsql_add(x, y)      x + y, and tsql_sub, tsql_mul, tsql_div, tsql_mod for - * / %, as
//                       the server's: two whole numbers within int give one within int, any
//                       other two within bigint, or the statement fails with the server's
//                       overflow; a float beyond eight bytes and a division by zero fail it
//                       too (SQLite's would go on in a float, or give NULL); tsql_bigadd ...
//                       for a bigint's arithmetic, which int does not bound
//   tsql_neg(x)         -x, likewise (tsql_bigneg)
//   tsql_fold(ops, x0, tsql_pack(x1, ...), ...)  a long chain of these from the left, in one
//                       call: ops holds per link its operator and 'b' (bigint) or 'i'
//   tsql_number(x)      x as a number where the server converts a text to meet a number:
//                       blanks around it ignored, '' is 0; any other text that is no number
//                       fails the statement
//   tsql_single(n, x)   x, the value of a subquery that found n rows; more than one fails
//                       the statement as the server does for a subquery used as a value
// Each gives NULL for a NULL argument (tsql_single: for a NULL x).
namespace TsqlFunctions {
// Returns SQLite's result code.
int install(sqlite3* db);

// value LIKE pattern as tsql_like matches it.
bool like(QString value, const QString& pattern);

// The start that every match of a LIKE pattern begins with: plain characters and
// one-character classes such as [_] and [[], up to the first wildcard.
QString likePrefix(const QString& pattern);
// The end (exclusive) of the codes that begin with a prefix, in the collation TSQL: U+FFFF
// orders after every character in ICU.
QString prefixEnd(const QString& prefix);

// A number as CONVERT(VARCHAR, x) writes it: whole numbers without a decimal point.
QString plainNumber(double value);
// A float as the server's CONVERT(VARCHAR, ...) writes it: at most six significant digits, in
// scientific notation with a three-digit exponent where the digits do not fit (1.23457e+006).
QString floatText(double value);
}  // namespace TsqlFunctions
