#include "Backends.h"

#include <QFile>
#include <QFileInfo>

#include "DbError.h"
#include "EmbeddedDatabase.h"
#include "OdbcDatabase.h"

QString EmbeddedDatabasePath(const QString& folder, const QString& catalogue) {
    return folder + u'/' + catalogue + QStringLiteral(".zqdb");
}

QString ExistingDatabaseFile(const QString& folder, const QString& catalogue) {
    const QString name = catalogue.trimmed();
    if (name.isEmpty() || name.startsWith(u'.') || name.contains(u'/') || name.contains(u'\\') ||
        name.contains(u':') || name.contains(QChar(0)))
        return {};
    const QString inside = QFileInfo(folder).canonicalFilePath() + u'/';
    const QString target = QFileInfo(EmbeddedDatabasePath(folder, name)).canonicalFilePath();
    if (target.isEmpty() || !target.startsWith(inside) || !QFileInfo(target).isFile()) return {};
    // An empty file or any other would become a database when SQLite first writes it.
    QFile file(target);
    static const QByteArray header("SQLite format 3\0", 16);
    if (!file.open(QIODevice::ReadOnly) || file.read(header.size()) != header) return {};
    return target;
}

Connections::Factory MakeConnectionFactory(const QString& folder, const LocalSettings& settings) {
    if (!settings.embedded()) {
        return [](const QString& connectionText) -> std::shared_ptr<SuiteDatabase> {
            return std::make_shared<OdbcDatabase>(connectionText);
        };
    }
    return [folder, fallback = settings.dnam](
               const QString& connectionText) -> std::shared_ptr<SuiteDatabase> {
        QString catalogue = Connections::field(connectionText, QStringLiteral("Initial Catalog"));
        if (catalogue.trimmed().isEmpty()) catalogue = fallback;
        // A catalogue names an existing database file beside the settings file, never one
        // elsewhere.
        const QString file = ExistingDatabaseFile(folder, catalogue);
        if (file.isEmpty())
            throw DbError(DbErrorNumber::NoConnection,
                          QStringLiteral("無法開啟資料庫 '%1'。").arg(catalogue));
        // A company whose file another writer holds fails within its connection time-out.
        bool timed = false;
        const int seconds =
            Connections::field(connectionText, QStringLiteral("Connect Timeout")).toInt(&timed);
        return std::make_shared<EmbeddedDatabase>(
            file, EmbeddedDatabase::OpenMode::Existing, nullptr,
            timed && seconds > 0 ? seconds * 1000 : SqliteConnection::DefaultBusyTimeout);
    };
}
