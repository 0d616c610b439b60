#include "WorkSessions.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QRegularExpression>
#include <QUuid>

#include "SqlLiteral.h"
#include "SqliteConnection.h"

namespace WorkSessions {
namespace {

// A session of one connection: its name and the lock file it holds while the connection is
// open. The kernel drops the lock when the process ends in whatever way, so a lock that can
// be taken names a session that has ended.
struct Session {
    QString name;
    QByteArray folder;  // empty for a database without a file
    QByteArray file;
    int fd = -1;

    ~Session() {
        if (fd < 0) return;
        ::unlink(file.constData());
        ::close(fd);
    }

    bool alive(const QString& other) const {
        if (other == name) return true;
        static const QRegularExpression shape(QStringLiteral("\\A[0-9a-f-]{36}\\z"));
        if (folder.isEmpty() || !shape.match(other).hasMatch()) return false;
        const QByteArray path = folder + '/' + other.toLatin1();
        const int probe = ::open(path.constData(), O_RDWR | O_CLOEXEC);
        if (probe < 0) return false;
        const bool held = ::flock(probe, LOCK_EX | LOCK_NB) != 0;
        if (!held) ::unlink(path.constData());
        ::close(probe);
        return held;
    }
};

void sessionName(sqlite3_context* context, int, sqlite3_value**) {
    const auto* session = static_cast<const Session*>(sqlite3_user_data(context));
    const QByteArray name = session->name.toLatin1();
    sqlite3_result_text(context, name.constData(), int(name.size()), SQLITE_TRANSIENT);
}

void sessionAlive(sqlite3_context* context, int, sqlite3_value** argv) {
    const auto* session = static_cast<const Session*>(sqlite3_user_data(context));
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    sqlite3_result_int(context, text && session->alive(QString::fromUtf8(text)) ? 1 : 0);
}

std::unique_ptr<Session> openSession(const QString& databasePath) {
    auto session = std::make_unique<Session>();
    session->name = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (databasePath.isEmpty() || databasePath == QLatin1String(":memory:")) return session;
    const QString folder = databasePath + QStringLiteral("-sessions");
    if (!QDir().mkpath(folder)) return session;
    // Every user of the installation's group who may open the database keeps a lock here; as
    // in /tmp, only a lock's own user can remove it while it is held (the owner of the folder
    // sets this; others cannot). Users outside the group cannot write here.
    ::chmod(QFile::encodeName(folder).constData(), 01770);
    session->folder = QFile::encodeName(folder);
    session->file = session->folder + '/' + session->name.toLatin1();
    session->fd = ::open(session->file.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (session->fd >= 0 && ::flock(session->fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(session->fd);
        session->fd = -1;
    }
    return session;
}

const QString OwnerQuery = QStringLiteral("SELECT SESS FROM WorkSession WHERE LCODE = ?1");
}  // namespace

int install(sqlite3* db, const QString& databasePath) {
    Session* session = openSession(databasePath).release();
    const auto destroy = [](void* p) { delete static_cast<Session*>(p); };
    // zq_alive is registered first and owns the session: the connection destroys it on close.
    int rc = sqlite3_create_function_v2(db, "zq_alive", 1, SQLITE_UTF8, session, sessionAlive,
                                        nullptr, nullptr, destroy);
    if (rc != SQLITE_OK) return rc;
    return sqlite3_create_function_v2(db, "zq_session", 0, SQLITE_UTF8, session, sessionName,
                                      nullptr, nullptr, nullptr);
}

QStringList schemaStatements(const QString& prefix) {
    QStringList out;
    const QString mine = QStringLiteral(
        "EXISTS (SELECT 1 FROM WorkSession W WHERE W.LCODE = NEW.LCODE AND "
        "W.SESS = zq_session())");
    for (const char* table : {"Asset_Temp", "Assetd_Temp"}) {
        out.append(
            QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1%2_Claim BEFORE INSERT ON %2 BEGIN "
                           "SELECT RAISE(ABORT, %3) FROM WorkSession W WHERE W.LCODE = NEW.LCODE "
                           "AND W.SESS <> zq_session() AND zq_alive(W.SESS); "
                           "DELETE FROM Asset_Temp WHERE LCODE = NEW.LCODE AND NOT %4; "
                           "DELETE FROM Assetd_Temp WHERE LCODE = NEW.LCODE AND NOT %4; "
                           "INSERT OR REPLACE INTO WorkSession (LCODE, SESS) "
                           "SELECT NEW.LCODE, zq_session() WHERE NOT %4; END")
                .arg(prefix, QLatin1String(table), SqlLiteral(busyMessage(QString())), mine));
    }
    return out;
}

Owner ownerOf(SqliteConnection& db, const QString& workstation) {
    const QVariant owner = db.scalar(OwnerQuery, {workstation});
    if (!owner.isValid()) return Owner::Ended;
    if (owner.toString() == db.scalar(QStringLiteral("SELECT zq_session()")).toString())
        return Owner::This;
    return db.scalar(QStringLiteral("SELECT zq_alive(?1)"), {owner}).toInt() == 1 ? Owner::Other
                                                                                  : Owner::Ended;
}

bool claim(SqliteConnection& db, const QString& workstation) {
    switch (ownerOf(db, workstation)) {
        case Owner::This:
            return true;
        case Owner::Other:
            return false;
        case Owner::Ended:
            break;
    }
    release(db, workstation);
    db.exec(QStringLiteral("INSERT INTO WorkSession (LCODE, SESS) VALUES (?1, zq_session())"),
            {workstation});
    return true;
}

void release(SqliteConnection& db, const QString& workstation) {
    if (ownerOf(db, workstation) == Owner::Other) return;
    for (const char* table : {"Asset_Temp", "Assetd_Temp", "WorkSession"})
        db.exec(QStringLiteral("DELETE FROM %1 WHERE LCODE = ?1").arg(QLatin1String(table)),
                {workstation});
}

void dropAbandoned(SqliteConnection& db, const QString& workstation) {
    if (ownerOf(db, workstation) == Owner::Ended) release(db, workstation);
}

QString busyMessage(const QString& workstation) {
    return QStringLiteral("工作站%1的財產暫存資料正由另一個作業使用中,請稍後再試!")
        .arg(workstation.isEmpty() ? QString() : QStringLiteral("[ %1 ]").arg(workstation));
}

}  // namespace WorkSessions
