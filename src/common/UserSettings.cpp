#include "UserSettings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <memory>

namespace UserSettings {
namespace {
std::unique_ptr<QSettings> open(const QString& application, const QString& section) {
#ifdef Q_OS_WIN
    auto s = std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") +
            application,
        QSettings::NativeFormat);
#else
    // Registry key names ignore case; the file name of the application does the same here.
    auto s = std::make_unique<QSettings>(folder() + '/' + application.toLower() + ".ini",
                                         QSettings::IniFormat);
#endif
    s->beginGroup(section);
    return s;
}
}  // namespace

QString folder() {
    const QString fromEnvironment = qEnvironmentVariable("ZQFU_SETTINGS_DIR");
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/VB and VBA Program Settings");
}

void save(const QString& application, const QString& section, const QString& key,
          const QString& value) {
    QDir().mkpath(folder());
    auto s = open(application, section);
    s->setValue(key, value);
    s->sync();
}

QString get(const QString& application, const QString& section, const QString& key,
            const QString& defaultValue) {
    return open(application, section)->value(key, defaultValue).toString();
}
}  // namespace UserSettings
