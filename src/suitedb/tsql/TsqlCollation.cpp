#include "TsqlCollation.h"

#include <sqlite3.h>
#include <unicode/ucol.h>

#include <cstring>

namespace {
int trimmedLength(const char* text, int length) {
    while (length > 0 && text[length - 1] == ' ') --length;
    return length;
}

int compareCallback(void* collation, int aLength, const void* a, int bLength, const void* b) {
    return static_cast<const TsqlCollation*>(collation)->compare(
        static_cast<const char*>(a), aLength, static_cast<const char*>(b), bLength);
}

void destroyCallback(void* collation) { delete static_cast<TsqlCollation*>(collation); }
}  // namespace

TsqlCollation::TsqlCollation() : m_collator(openCollator()) {}

UCollator* TsqlCollation::openCollator() {
    // The Taiwan locale orders Han characters by strokes; ask for it by name in case the
    // installed data has another default.
    UCollator* collator = nullptr;
    for (const char* locale : {"zh_TW@collation=stroke", "zh_Hant_TW", "zh_TW", ""}) {
        UErrorCode status = U_ZERO_ERROR;
        collator = ucol_open(locale, &status);
        if (U_SUCCESS(status) && collator) break;
        if (collator) ucol_close(collator);
        collator = nullptr;
    }
    if (collator) {
        UErrorCode status = U_ZERO_ERROR;
        ucol_setStrength(collator, UCOL_SECONDARY);
        ucol_setAttribute(collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    }
    return collator;
}

TsqlCollation::~TsqlCollation() {
    if (m_collator) ucol_close(m_collator);
}

int TsqlCollation::compare(const char* a, int aLength, const char* b, int bLength) const {
    aLength = trimmedLength(a, aLength);
    bLength = trimmedLength(b, bLength);
    if (aLength == bLength && std::memcmp(a, b, size_t(aLength)) == 0) return 0;
    if (m_collator) {
        UErrorCode status = U_ZERO_ERROR;
        const UCollationResult r = ucol_strcollUTF8(m_collator, a, aLength, b, bLength, &status);
        if (U_SUCCESS(status)) return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
    }
    const int n = std::memcmp(a, b, size_t(qMin(aLength, bLength)));
    return n != 0 ? n : aLength - bLength;
}

int TsqlCollation::compare(const QString& a, const QString& b) const {
    const QByteArray x = a.toUtf8();
    const QByteArray y = b.toUtf8();
    return compare(x.constData(), int(x.size()), y.constData(), int(y.size()));
}

int TsqlCollation::install(sqlite3* db) {
    auto* collation = new TsqlCollation;
    // SQLite deletes the collation when the connection closes, but not when registration
    // fails.
    const int rc = sqlite3_create_collation_v2(db, Name, SQLITE_UTF8, collation, compareCallback,
                                               destroyCallback);
    if (rc != SQLITE_OK) delete collation;
    return rc;
}
