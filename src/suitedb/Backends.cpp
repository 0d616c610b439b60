#include "Backends.h"

#include "DbError.h"
#include "EmbeddedDatabase.h"
#include "OdbcDatabase.h"

QString EmbeddedDatabasePath(const QString& folder, const QString& catalogue) {
    return folder + u'/' + catalogue + QStringLiteral(".zqdb");
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
        // A catalogue names a file beside the settings file, never one elsewhere.
        if (catalogue.contains(u'/') || catalogue.contains(u'\\') ||
            catalogue.trimmed().startsWith(u'.'))
            throw DbError(DbErrorNumber::NoConnection,
                          QStringLiteral("無法開啟資料庫 '%1'。").arg(catalogue));
        return std::make_shared<EmbeddedDatabase>(
            EmbeddedDatabasePath(folder, catalogue.trimmed()));
    };
}
