#pragma once

#include <QString>

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

    // Gives the connection its own collation TSQL (an ICU collator is not shared between
    // threads). Returns SQLite's result code.
    static int install(sqlite3* db);

private:
    UCollator* m_collator = nullptr;
};
