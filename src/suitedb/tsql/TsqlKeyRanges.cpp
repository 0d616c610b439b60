#include "TsqlKeyRanges.h"

#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>

#include <QHash>

#include "TsqlCollation.h"

namespace {
const QChar Tab(u'\t');

// The first collation element of a character alone, when it has exactly one that is not
// ignorable.
struct Element {
    quint32 primary = 0;
    quint32 secondary = 0;
};

std::optional<Element> elementOf(UCollator* collator, char16_t c) {
    UErrorCode status = U_ZERO_ERROR;
    const UChar text[1] = {c};
    UCollationElements* elements = ucol_openElements(collator, text, 1, &status);
    if (U_FAILURE(status)) return std::nullopt;
    std::optional<Element> found;
    int count = 0;
    for (int32_t e = ucol_next(elements, &status); e != UCOL_NULLORDER && U_SUCCESS(status);
         e = ucol_next(elements, &status)) {
        if (ucol_primaryOrder(e) == 0) continue;
        if (++count == 1)
            found = Element{quint32(ucol_primaryOrder(e)), quint32(ucol_secondaryOrder(e))};
    }
    ucol_closeElements(elements);
    return count == 1 ? found : std::nullopt;
}

// For each character of the basic plane whose primary weight some other character shares with
// a lower secondary weight: the character of that weight with the lowest one. Read once from
// the collation's own collator.
const QHash<char16_t, char16_t>& leastVariants() {
    static const QHash<char16_t, char16_t> table = [] {
        QHash<char16_t, char16_t> out;
        UCollator* collator = TsqlCollation::openCollator();
        if (!collator) return out;
        QHash<quint32, QPair<quint32, char16_t>> lowest;  // primary -> secondary, character
        QList<QPair<char16_t, Element>> all;
        for (char32_t u = 1; u < 0x10000; ++u) {
            if (u >= 0xd800 && u < 0xe000) continue;
            const std::optional<Element> e = elementOf(collator, char16_t(u));
            if (!e) continue;
            all.append({char16_t(u), *e});
            const auto it = lowest.find(e->primary);
            if (it == lowest.end() || e->secondary < it->first)
                lowest.insert(e->primary, {e->secondary, char16_t(u)});
        }
        ucol_close(collator);
        for (const auto& [c, e] : all) {
            const auto& [secondary, least] = lowest.value(e.primary);
            if (secondary < e.secondary) out.insert(c, least);
        }
        return out;
    }();
    return table;
}

bool plain(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x20 && u <= 0x7e) || (u >= 0x4e00 && u <= 0x9fa5);
}
}  // namespace

namespace TsqlKeyRanges {
std::optional<QString> plainBound(const QString& bound) {
    qsizetype n = bound.size();
    while (n > 0 && bound[n - 1] == u' ') --n;
    for (qsizetype i = 0; i < n; ++i)
        if (!plain(bound[i])) return std::nullopt;
    return bound.left(n);
}

QString least(const QString& plain) {
    const QHash<char16_t, char16_t>& variants = leastVariants();
    QString out = plain;
    for (QChar& c : out) c = QChar(variants.value(c.unicode(), c.unicode()));
    return out;
}

QString low(const QString& plain, int k) {
    if (k > 0 && plain[k - 1] == u' ') return plain.left(k - 1) + Tab;
    return least(plain.left(k));
}

QString high(const QString& plain, int k) { return plain.left(k) + Tab; }

QString rest(const QString& plain, int k) { return least(plain.mid(k)); }
}  // namespace TsqlKeyRanges
