#include "TsqlCollation.h"

#include <sqlite3.h>
#include <unicode/ucol.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

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

TsqlCollation::TsqlCollation() : m_collator(openCollator()), m_ascii(asciiOrder()) {}

namespace {
constexpr unsigned char FirstPrintable = 0x20, LastPrintable = 0x7E;

bool printable(const char* text, int length) {
    for (int i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < FirstPrintable || c > LastPrintable) return false;
    }
    return true;
}

std::string sortKey(const UCollator* collator, const char* text, int length) {
    UChar chars[4];
    for (int i = 0; i < length; ++i) chars[i] = UChar(static_cast<unsigned char>(text[i]));
    std::string key(64, '\0');
    int size = ucol_getSortKey(collator, chars, length, reinterpret_cast<uint8_t*>(key.data()),
                               int(key.size()));
    if (size > int(key.size())) {  // a longer key than the room given: ask again with room
        key.resize(size_t(size));
        size = ucol_getSortKey(collator, chars, length, reinterpret_cast<uint8_t*>(key.data()),
                               int(key.size()));
    }
    key.resize(size_t(std::max(0, size)));
    return key;
}
}  // namespace

// The places come from the collator's own keys of each character. They hold for whole texts
// only when no two characters sort as a unit or otherwise than one by one: that is checked on
// every text of two characters, whose keys must order them as their places do.
const std::optional<TsqlCollation::AsciiOrder>& TsqlCollation::asciiOrder() {
    static const std::optional<AsciiOrder> order = []() -> std::optional<AsciiOrder> {
        UCollator* collator = openCollator();
        if (!collator) return std::nullopt;
        std::vector<std::pair<std::string, char>> single;
        for (int c = FirstPrintable; c <= LastPrintable; ++c) {
            const char text = char(c);
            single.emplace_back(sortKey(collator, &text, 1), text);
        }
        std::sort(single.begin(), single.end());
        AsciiOrder places{};
        unsigned char place = 0;
        for (size_t i = 0; i < single.size(); ++i) {
            if (i > 0 && single[i].first != single[i - 1].first) ++place;
            places[size_t(static_cast<unsigned char>(single[i].second))] = place;
        }
        std::vector<std::pair<std::string, int>> pairs;
        for (int a = FirstPrintable; a <= LastPrintable; ++a)
            for (int b = FirstPrintable; b <= LastPrintable; ++b) {
                const char text[2] = {char(a), char(b)};
                pairs.emplace_back(sortKey(collator, text, 2), places[size_t(a)] * 256 + places[size_t(b)]);
            }
        ucol_close(collator);
        std::sort(pairs.begin(), pairs.end());
        for (size_t i = 1; i < pairs.size(); ++i) {
            const bool sameKey = pairs[i].first == pairs[i - 1].first;
            const bool samePlaces = pairs[i].second == pairs[i - 1].second;
            if (sameKey != samePlaces || pairs[i].second < pairs[i - 1].second)
                return std::nullopt;
        }
        return places;
    }();
    return order;
}

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
    // Texts of printable ASCII characters alone (most codes) by the collator's places of
    // their characters, without asking ICU.
    if (m_ascii && printable(a, aLength) && printable(b, bLength)) {
        const AsciiOrder& places = *m_ascii;
        const int n = std::min(aLength, bLength);
        for (int i = 0; i < n; ++i) {
            const unsigned char x = places[static_cast<unsigned char>(a[i])];
            const unsigned char y = places[static_cast<unsigned char>(b[i])];
            if (x != y) return x < y ? -1 : 1;
        }
        return aLength == bLength ? 0 : aLength < bLength ? -1 : 1;
    }
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
