#pragma once

#include <QString>
#include <optional>

// The history keys that are not padded to a width: a code column joined with a text of its
// row, C + T (VCOD1 + VCOD1SEQ, ITCOD + IICOD, VCOD1 + CONVERT(CHAR(5),(10000 + VOSEQ))).
// Compared with a bound b as one text, the key must be computed for every row of the item;
// split on the code column it becomes a few ranges of the item's index.
//
// The collation orders texts by their collation elements: primary weights first, then
// secondary ones (accents), case ignored, blanks at the end ignored. Let b be the bound
// without its trailing blanks, of n characters, each of them "plain": one collation element
// of a primary weight no lower than a blank's (printable ASCII, the unified Han characters up
// to U+9FA5), so that its first k characters p(k) have the first k primary weights of b, and a
// tab orders below every plain character. least(x) is the text with the primary weights
// of x: x with every character that has a variant of a lower secondary weight (the Chinese
// collation puts the pinyin tones before a, e, i, m, n, o, u) replaced by the least one.
// For a row, with c = C without its trailing blanks (the text the index orders):
//   C + T >= b holds only if c >= least(b), or c has the primary weights of some p(k), k < n,
//              and T >= least(b[k..]) (blanks at the end of C only lower the joined text: b[k]
//              is no blank, or they take the place of b's own blanks, whose rest is lower
//              still); all rows with c >= b hold.
//   C + T <= b holds only if c < b, or c = b and T is empty or blank.
// The codes with the weights of p(k) lie between least(p(k)) and p(k) + tab; where p(k) ends in
// a blank it compares as the shorter text, and its range starts at p(k-1) + tab instead, so
// that the ranges stay apart. So  >=  is a union of n + 1 ranges (ranges of prefixes, each
// with its least rest, then c >= least(b)) and  <=  of two (c < b; c = b with T <= ''), each
// answered from an index on (..., C, T); the text comparison stays as a residual check, so
// that nothing the ranges let through too much reaches the result. The argument takes the
// collation elements of a joined text to be those of its parts one after the other (no
// contraction across the join), as they are for the codes of this system.
namespace TsqlKeyRanges {
// The bound without its trailing blanks when every character of it is plain; nothing otherwise.
std::optional<QString> plainBound(const QString& bound);

// The least text with the primary weights of a plain text.
QString least(const QString& plain);

// For the k-th prefix of the plain bound (k < its length): the range of the code, [low, high),
// and the least rest of the key there.
QString low(const QString& plain, int k);
QString high(const QString& plain, int k);
QString rest(const QString& plain, int k);
}  // namespace TsqlKeyRanges
