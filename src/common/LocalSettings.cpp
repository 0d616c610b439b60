#include "LocalSettings.h"

#include <sqlite3.h>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {
QString columnText(sqlite3_stmt* st, int i) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
    return text ? QString::fromUtf8(text) : QString();
}

struct Db {
    sqlite3* handle = nullptr;
    ~Db() { sqlite3_close(handle); }
};

#ifdef Q_OS_UNIX
constexpr mode_t OwnerOnly = S_IRUSR | S_IWUSR;

bool tighten(const QByteArray& path) {
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) return errno == ENOENT;
    if ((st.st_mode & (S_IRWXG | S_IRWXO)) == 0) return true;
    return ::chmod(path.constData(), OwnerOnly) == 0;
}
#endif
}  // namespace

bool LocalSettings::embedded() const {
    const QString s = sadd.trimmed();
    return s.isEmpty() || s.compare(QLatin1String("embedded"), Qt::CaseInsensitive) == 0;
}

bool LocalSettings::protect(const QString& path) {
#ifdef Q_OS_UNIX
    const QByteArray file = path.toUtf8();
    bool ok = tighten(file);
    for (const char* side : {"-journal", "-wal", "-shm"}) ok = tighten(file + side) && ok;
    return ok;
#else
    Q_UNUSED(path);
    return true;
#endif
}

std::optional<LocalSettings> LocalSettings::read(const QString& path) {
    protect(path);
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
#ifdef Q_OS_UNIX
    // SQLite would create the file 0644 less the umask; made here first, it is owner-only
    // from the start, and SQLite gives its journal and WAL files the mode of the file.
    const int fd = ::open(path.toUtf8().constData(), O_WRONLY | O_CREAT | O_CLOEXEC, OwnerOnly);
    if (fd < 0) return false;
    ::close(fd);
#endif
    protect(path);
    Db db;
    if (sqlite3_open(path.toUtf8().constData(), &db.handle) != SQLITE_OK) return false;
    // One transaction: a reader never finds the table without its row.
    const char* schema =
        "BEGIN;"
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
    return ok && sqlite3_exec(db.handle, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
}
