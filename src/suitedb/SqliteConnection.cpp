#include "SqliteConnection.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <utility>

#include <sqlite3.h>

#include <QDateTime>

#include "PrefetchingFiles.h"
#include "SqlErrors.h"
#include "TsqlCollation.h"
#include "TsqlFunctions.h"
#include "WorkSessions.h"

namespace {
constexpr qsizetype CacheLimit = 200;

// Reads the names and declared types of the statement's columns unless they are known for
// the statement as SQLite prepared it last. True when SQLite prepared it again since they
// were read.
bool describe(sqlite3_stmt* statement, int& prepared, QStringList& columns,
              std::vector<bool>& dateTimes) {
    const int now = sqlite3_stmt_status(statement, SQLITE_STMTSTATUS_REPREPARE, 0);
    if (now == prepared) return false;
    const bool again = prepared >= 0;
    prepared = now;
    const int count = sqlite3_column_count(statement);
    columns.clear();
    dateTimes.assign(size_t(count), false);
    for (int i = 0; i < count; ++i) {
        columns.append(QString::fromUtf8(sqlite3_column_name(statement, i)));
        const char* declared = sqlite3_column_decltype(statement, i);
        dateTimes[size_t(i)] = declared && qstricmp(declared, "DATETIME") == 0;
    }
    return again;
}

// Steps of SQLite's machine between two looks at the clock: some tens of microseconds.
constexpr int ProgressSteps = 4000;

qint64 monotonicMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QVariant dateTimeValue(const QString& text) {
    for (const char* format : {"yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd"}) {
        const QDateTime moment = QDateTime::fromString(text, QLatin1String(format));
        if (moment.isValid()) return moment;
    }
    return text;
}

QVariant columnValue(sqlite3_stmt* statement, int i, bool dateTime) {
    switch (sqlite3_column_type(statement, i)) {
        case SQLITE_NULL:
            return QVariant();
        case SQLITE_INTEGER:
            return qlonglong(sqlite3_column_int64(statement, i));
        case SQLITE_FLOAT: {
            const double number = sqlite3_column_double(statement, i);
            if (!std::isfinite(number)) throw SqlErrors::floatOverflow();
            return number;
        }
        case SQLITE_BLOB: {
            const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, i));
            return QByteArray(data, sqlite3_column_bytes(statement, i));
        }
        default: {
            const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
            QString text = QString::fromUtf8(data, sqlite3_column_bytes(statement, i));
            if (dateTime) return dateTimeValue(text);
            return text;
        }
    }
}

// Adds the value of the column to the row begun last, as it lies in SQLite's memory. The
// column's value is looked up once and read through it: the connection runs without SQLite's
// mutex, so the value needs no protection of its own.
void readValue(sqlite3_stmt* statement, int i, bool dateTime, ResultRows& rows) {
    sqlite3_value* const value = sqlite3_column_value(statement, i);
    switch (sqlite3_value_type(value)) {
        case SQLITE_NULL:
            return rows.addNull();
        case SQLITE_INTEGER:
            return rows.addInteger(sqlite3_value_int64(value));
        case SQLITE_FLOAT: {
            // SQLite's arithmetic goes on to infinity where the server's overflows.
            const double number = sqlite3_value_double(value);
            if (!std::isfinite(number)) throw SqlErrors::floatOverflow();
            return rows.addNumber(number);
        }
        case SQLITE_BLOB:
            return rows.addBytes(static_cast<const char*>(sqlite3_value_blob(value)),
                                 sqlite3_value_bytes(value));
        default:
            if (dateTime) return rows.addValue(columnValue(statement, i, true));
            return rows.addText(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                                sqlite3_value_bytes(value));
    }
}
}  // namespace

SqliteConnection::SqliteConnection(const QString& path, OpenMode mode, int busyTimeout)
    : m_path(path), m_busyTimeout(busyTimeout) {
    // One thread at a time uses a connection (the database it belongs to locks around each
    // command), so SQLite's own lock on every call would only cost.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (mode == OpenMode::Create) flags |= SQLITE_OPEN_CREATE;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, PrefetchingFiles::name());
    if (rc == SQLITE_OK) rc = TsqlCollation::install(m_db);
    // The front end's functions, also for views that use them (VF8J's key) read directly.
    if (rc == SQLITE_OK) rc = TsqlFunctions::install(m_db);
    if (rc == SQLITE_OK) rc = WorkSessions::install(m_db, path);
    if (rc != SQLITE_OK) {
        const QString message =
            m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
        sqlite3_close(m_db);
        m_db = nullptr;
        throw SqlErrors::fromSqlite(SQLITE_CANTOPEN, message, QString(), path);
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, m_busyTimeout);
    sqlite3_progress_handler(m_db, ProgressSteps, &SqliteConnection::progress, this);
    try {
        // The first read also tells whether the file is a database at all. Reads go through a
        // memory map of the file (up to SQLite's limit), so that a page read at a new place of
        // a large file costs what it costs in a small one. The file lies on a local disk: a
        // database on a network share is not supported. SQLite maps at most the first 2 GB;
        // pages beyond come through the page cache, which may hold 64 MB of them (instead of
        // 2 MB), so that the indexes at the end of a larger file are read from the disk once.
        script(QStringLiteral(
            "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA mmap_size=2147418112; "
            "PRAGMA cache_size=-65536;"));
    } catch (...) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw;
    }
}

// Asked every ProgressSteps steps of SQLite's machine; true stops the statement, which then
// fails as interrupted: the time-out.
int SqliteConnection::progress(void* connection) {
    auto* self = static_cast<SqliteConnection*>(connection);
    const qint64 now = monotonicMilliseconds();
    if (self->m_timedStatement != self->m_statement) {
        self->m_timedStatement = self->m_statement;
        self->m_started = now;
        return 0;
    }
    return self->m_timeLimit > 0 && now - self->m_started > self->m_timeLimit ? 1 : 0;
}

SqliteConnection::~SqliteConnection() {
    clearCache();
    sqlite3_close(m_db);
}

void SqliteConnection::setBusyTimeout(int milliseconds) {
    m_busyTimeout = milliseconds;
    sqlite3_busy_timeout(m_db, milliseconds);
}

QString SqliteConnection::dateTimeText(const QDateTime& moment) {
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

void SqliteConnection::fail(int rc, const QString& sql) const {
    throw SqlErrors::fromSqlite(rc, QString::fromUtf8(sqlite3_errmsg(m_db)), sql, m_path);
}

void SqliteConnection::clearCache() {
    for (const Statement& statement : std::as_const(m_cache)) sqlite3_finalize(statement.handle);
    m_cache.clear();
}

SqliteConnection::Statement& SqliteConnection::cached(const SqlText& sql) {
    if (const auto it = m_cache.find(sql); it != m_cache.end()) {
        it->used = ++m_uses;
        return *it;
    }
    if (m_cache.size() >= CacheLimit) dropOldest();
    const QByteArray utf8 = sql.text().toUtf8();
    sqlite3_stmt* statement = nullptr;
    const int rc =
        sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &statement, nullptr);
    ++m_preparations;
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        fail(rc, sql.text());
    }
    if (!statement) throw SqlErrors::emptyCommand();
    Statement& kept = m_cache[sql];
    kept.handle = statement;
    kept.used = ++m_uses;
    return kept;
}

void SqliteConnection::dropOldest() {
    auto oldest = m_cache.begin();
    for (auto it = m_cache.begin(); it != m_cache.end(); ++it)
        if (it->used < oldest->used) oldest = it;
    if (oldest == m_cache.end()) return;
    sqlite3_finalize(oldest->handle);
    m_cache.erase(oldest);
}

namespace {
// What a value is bound as.
enum class Binding { Null, Integer, Real, Blob, Text, Written };
Binding bindingOf(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::UnknownType:
        case QMetaType::Nullptr:
            return Binding::Null;
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
            return Binding::Integer;
        case QMetaType::Double:
        case QMetaType::Float:
            return Binding::Real;
        case QMetaType::QByteArray:
            return Binding::Blob;
        case QMetaType::QString:
            return Binding::Text;
        default:
            return Binding::Written;  // a moment or another value, as its text
    }
}

// Whether a value binds as the one bound before it: of the same type and the same to the bit.
bool bindsAs(const QVariant& v, const QVariant& before) {
    if (v.typeId() != before.typeId()) return false;
    switch (bindingOf(v)) {
        case Binding::Null:
            return true;
        case Binding::Integer:
            return v.toLongLong() == before.toLongLong();
        case Binding::Real: {
            const double a = v.toDouble(), b = before.toDouble();
            return std::memcmp(&a, &b, sizeof a) == 0;
        }
        case Binding::Blob:
            return v.toByteArray() == before.toByteArray();
        case Binding::Text:
            return *static_cast<const QString*>(v.constData()) ==
                   *static_cast<const QString*>(before.constData());
        case Binding::Written:
            return false;
    }
    return false;
}
}  // namespace

void SqliteConnection::bind(Statement& s, const QVariantList& values, const QString& sql) {
    sqlite3_stmt* const statement = s.handle;
    sqlite3_reset(statement);
    // SQLite keeps a statement's values from run to run; what is bound is forgotten first, so
    // that a failure halfway leaves nothing taken for bound.
    const QVariantList before = std::exchange(s.bound, QVariantList());
    // Parameters left without a value are NULL.
    const bool fewer = values.size() < sqlite3_bind_parameter_count(statement);
    if (fewer) sqlite3_clear_bindings(statement);
    const qsizetype kept = fewer ? 0 : std::min(before.size(), values.size());
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& v = values[i];
        if (i < kept && bindsAs(v, before[i])) continue;
        const int n = i + 1;
        int rc = SQLITE_OK;
        switch (bindingOf(v)) {
            case Binding::Null:
                rc = sqlite3_bind_null(statement, n);
                break;
            case Binding::Integer:
                rc = sqlite3_bind_int64(statement, n, v.toLongLong());
                break;
            case Binding::Real:
                rc = sqlite3_bind_double(statement, n, v.toDouble());
                break;
            case Binding::Blob: {
                const QByteArray data = v.toByteArray();
                rc = sqlite3_bind_blob(statement, n, data.constData(), int(data.size()),
                                       SQLITE_TRANSIENT);
                break;
            }
            case Binding::Text: {
                // Most values are short ASCII codes: written into a buffer on the stack
                // instead of a UTF-8 copy of their own, and given with their NUL, so that a
                // value the statement hands back in every row is read without a copy.
                const QString& text = *static_cast<const QString*>(v.constData());
                char ascii[128];
                const qsizetype size = text.size();
                qsizetype i = 0;
                if (size < qsizetype(sizeof ascii))
                    for (const QChar c : text) {
                        if (c.unicode() - 1u >= 0x7fu) break;  // NUL or beyond ASCII
                        ascii[i++] = char(c.unicode());
                    }
                if (i == size && size < qsizetype(sizeof ascii)) {
                    ascii[size] = 0;
                    rc = sqlite3_bind_text(statement, n, ascii, -1, SQLITE_TRANSIENT);
                } else {
                    const QByteArray utf8 = text.toUtf8();
                    rc = sqlite3_bind_text(statement, n, utf8.constData(), int(utf8.size()),
                                           SQLITE_TRANSIENT);
                }
                break;
            }
            case Binding::Written: {
                const QString text = v.typeId() == QMetaType::QDateTime
                                         ? dateTimeText(v.toDateTime())
                                     : v.typeId() == QMetaType::QDate
                                         ? v.toDate().toString(QStringLiteral("yyyy-MM-dd"))
                                         : v.toString();
                const QByteArray utf8 = text.toUtf8();
                rc = sqlite3_bind_text(statement, n, utf8.constData(), int(utf8.size()),
                                       SQLITE_TRANSIENT);
            }
        }
        if (rc != SQLITE_OK) fail(rc, sql);
    }
    s.bound = values;
}

ResultSet SqliteConnection::run(Statement& s, const QString& sql) {
    sqlite3_stmt* const statement = s.handle;
    ResultSet set;
    set.rows.reserve(s.read);
    int columns = -1;
    startStatement();
    while (true) {
        const int rc = sqlite3_step(statement);
        if (columns < 0) {
            // After the first step: SQLite may have prepared the statement again for a
            // changed schema.
            if (describe(statement, s.prepared, s.columns, s.dateTimes)) ++m_preparations;
            set.columns = s.columns;
            columns = int(s.columns.size());
        }
        if (rc == SQLITE_DONE) break;
        if (rc != SQLITE_ROW) {
            sqlite3_reset(statement);
            startStatement();
            fail(rc, sql);
        }
        set.rows.beginRow();
        try {
            for (int i = 0; i < columns; ++i)
                readValue(statement, i, s.dateTimes[size_t(i)], set.rows);
        } catch (...) {
            sqlite3_reset(statement);
            startStatement();
            throw;
        }
    }
    sqlite3_reset(statement);
    startStatement();  // what steps next has a time of its own
    // Room for as much as the statement read last, up to a page or two of a grid: a statement
    // run again mostly reads a page like the last one.
    const ResultRows::Extent read = set.rows.extent();
    s.read = read.rows > 64 ? ResultRows::Extent{} : read;
    return set;
}

ResultSets SqliteConnection::script(const QString& sql) {
    ResultSets sets;
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = utf8.constData();
    const char* const end = tail + utf8.size();
    while (tail < end) {
        // Prepared for this one run.
        struct Finalizer {
            Statement statement;
            ~Finalizer() { sqlite3_finalize(statement.handle); }
        } prepared;
        const char* next = nullptr;
        const int rc =
            sqlite3_prepare_v2(m_db, tail, int(end - tail), &prepared.statement.handle, &next);
        const QString text = QString::fromUtf8(tail, next ? int(next - tail) : int(end - tail));
        if (rc != SQLITE_OK) fail(rc, text);
        tail = next ? next : end;
        if (!prepared.statement.handle) continue;  // blanks or comments only
        ResultSet set = run(prepared.statement, text);
        if (!set.columns.isEmpty()) sets.append(std::move(set));
    }
    return sets;
}

ResultSet SqliteConnection::query(const SqlText& sql, const QVariantList& values) {
    Statement& statement = cached(sql);
    bind(statement, values, sql.text());
    return run(statement, sql.text());
}

void SqliteConnection::each(const SqlText& sql, const QVariantList& values,
                            const std::function<void(const QVariantList& row)>& take) {
    Statement& s = cached(sql);
    bind(s, values, sql.text());
    // Reset however the reading ends, also when the function throws.
    const struct Reset {
        SqliteConnection* connection;
        sqlite3_stmt* handle;
        ~Reset() {
            sqlite3_reset(handle);
            connection->startStatement();
        }
    } reset{this, s.handle};
    startStatement();
    // The reader may run statements of its own, which may move the kept statements: what
    // stepping needs is read after the first step (which may prepare the statement again),
    // before the first row is handed over.
    sqlite3_stmt* const handle = s.handle;
    std::vector<bool> dateTimes;
    QVariantList row;
    for (bool first = true;; first = false) {
        const int rc = sqlite3_step(handle);
        if (first) {
            if (describe(handle, s.prepared, s.columns, s.dateTimes)) ++m_preparations;
            dateTimes = s.dateTimes;
        }
        if (rc == SQLITE_DONE) return;
        if (rc != SQLITE_ROW) fail(rc, sql.text());
        row.clear();
        for (size_t i = 0; i < dateTimes.size(); ++i)
            row.append(columnValue(handle, int(i), dateTimes[i]));
        take(row);
        startStatement();  // the time the rows' reader takes is not the statement's
    }
}

qlonglong SqliteConnection::exec(const QString& sql, const QVariantList& values) {
    query(sql, values);
    return sqlite3_changes64(m_db);
}

QVariant SqliteConnection::scalar(const QString& sql, const QVariantList& values) {
    const ResultSet set = query(sql, values);
    return set.rows.isEmpty() || set.rows.first().isEmpty() ? QVariant() : set.rows.first().first();
}

void SqliteConnection::transaction(const std::function<void()>& work, Lock lock) {
    const bool outer = sqlite3_get_autocommit(m_db) != 0;
    const QString savepoint = QStringLiteral("zq_work_%1").arg(++m_savepoints);
    const auto undo = [&] {
        const QString sql = outer ? QStringLiteral("ROLLBACK")
                                  : QStringLiteral("ROLLBACK TO %1; RELEASE %1").arg(savepoint);
        sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    };
    try {
        const QString begin = lock == Lock::Write ? QStringLiteral("BEGIN IMMEDIATE")
                                                  : QStringLiteral("BEGIN DEFERRED");
        exec(outer ? begin : QStringLiteral("SAVEPOINT ") + savepoint);
    } catch (...) {
        --m_savepoints;
        throw;
    }
    try {
        work();
        exec(outer ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE ") + savepoint);
    } catch (...) {
        if (outer ? !sqlite3_get_autocommit(m_db) : true) undo();
        --m_savepoints;
        throw;
    }
    --m_savepoints;
}
