#include "LocalSettings.h"

#include <sqlite3.h>

namespace {
QString columnText(sqlite3_stmt* st, int i) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
    return text ? QString::fromUtf8(text) : QString();
}

struct Db {
    sqlite3* handle = nullptr;
    ~Db() { sqlite3_close(handle); }
};
}  // namespace

bool LocalSettings::embedded() const {
    const QString s = sadd.trimmed();
    return s.isEmpty() || s.compare(QLatin1String("embedded"), Qt::CaseInsensitive) == 0;
}

std::optional<LocalSettings> LocalSettings::read(const QString& path) {
    Db db;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db.handle, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK)
        return std::nullopt;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db.handle, "Select SADD, UNAM, UPAS, DNAM From SrvDat", -1, &st,
                           nullptr) != SQLITE_OK)
        return std::nullopt;
    std::optional<LocalSettings> row;
    if (sqlite3_step(st) == SQLITE_ROW)
        row = LocalSettings{columnText(st, 0), columnText(st, 1), columnText(st, 2),
                            columnText(st, 3)};
    sqlite3_finalize(st);
    return row;
}

bool LocalSettings::write(const QString& path, const LocalSettings& row) {
    Db db;
    if (sqlite3_open(path.toUtf8().constData(), &db.handle) != SQLITE_OK) return false;
    const char* schema =
        "CREATE TABLE IF NOT EXISTS SrvDat (SADD TEXT, UNAM TEXT, UPAS TEXT, DNAM TEXT);"
        "DELETE FROM SrvDat;";
    if (sqlite3_exec(db.handle, schema, nullptr, nullptr, nullptr) != SQLITE_OK) return false;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db.handle, "INSERT INTO SrvDat VALUES (?, ?, ?, ?)", -1, &st,
                           nullptr) != SQLITE_OK)
        return false;
    int i = 1;
    for (const QString* v : {&row.sadd, &row.unam, &row.upas, &row.dnam}) {
        const QByteArray utf8 = v->toUtf8();
        sqlite3_bind_text(st, i++, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    const bool ok = sqlite3_step(st) == SQLITE_DONE;
    sqlite3_finalize(st);
    return ok;
}
