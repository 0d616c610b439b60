#include "Backends.h"

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
        return std::make_shared<EmbeddedDatabase>(
            EmbeddedDatabasePath(folder, catalogue.trimmed()));
    };
}
