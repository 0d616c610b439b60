#pragma once

#include <QString>
#include <array>
#include <optional>

struct sqlite3;
struct UCollator;

// The server's order of texts: case-insensitive, accent-sensitive, blanks at the end ignored,
// Chinese in the stroke order of Taiwan (fewer strokes first), by ICU.
class TsqlCollation {
public:
    static constexpr const char* Name = "TSQL";

    TsqlCollation();
    ~TsqlCollation();
    TsqlCollation(const TsqlCollation&) = delete;
    TsqlCollation& operator=(const TsqlCollation&) = delete;

    // Negative, 0 or positive as a orders before, with or after b (UTF-8 texts).
    int compare(const char* a, int aLength, const char* b, int bLength) const;
    int compare(const QString& a, const QString& b) const;

    // A collator of the server's order (null where ICU has none), for the caller to close.
    static UCollator* openCollator();

    // Per printable ASCII character (blank to tilde) its place in the collator's order, the
    // same for a letter in either case; empty where the collator does not order texts of
    // these characters one character after another (then every comparison asks ICU).
    using AsciiOrder = std::array<unsigned char, 128>;
    static const std::optional<AsciiOrder>& asciiOrder();

    // Gives the connection its own collation TSQL (an ICU collator is not shared between
    // threads). Returns SQLite's result code.
    static int install(sqlite3* db);

private:
    UCollator* m_collator = nullptr;
    const std::optional<AsciiOrder>& m_ascii;
};
