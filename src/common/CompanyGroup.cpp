#include "CompanyGroup.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSettings>

namespace {
const QString CentralSection = QStringLiteral("Central");

CompanyGroup::Company readCompany(QSettings& file, const QString& section) {
    file.beginGroup(section);
    CompanyGroup::Company c;
    c.key = section;
    c.name = file.value(QStringLiteral("Name"), section).toString();
    c.shortName = file.value(QStringLiteral("ShortName"), c.name).toString();
    c.provider = file.value(QStringLiteral("Provider"), QStringLiteral("SQLOLEDB.1")).toString();
    c.server = file.value(QStringLiteral("Server")).toString();
    c.user = file.value(QStringLiteral("User")).toString();
    c.password = file.value(QStringLiteral("Password")).toString();
    c.database = file.value(QStringLiteral("Database"), section).toString().trimmed();
    bool ok = false;
    const int seconds = file.value(QStringLiteral("ConnectTimeout")).toInt(&ok);
    if (ok && seconds > 0) c.connectTimeout = seconds;
    file.endGroup();
    return c;
}

void writeCompany(QSettings& file, const CompanyGroup::Company& c) {
    file.beginGroup(c.key);
    file.setValue(QStringLiteral("Name"), c.name);
    file.setValue(QStringLiteral("ShortName"), c.shortName);
    file.setValue(QStringLiteral("Provider"), c.provider);
    file.setValue(QStringLiteral("Server"), c.server);
    file.setValue(QStringLiteral("User"), c.user);
    file.setValue(QStringLiteral("Password"), c.password);
    file.setValue(QStringLiteral("Database"), c.database);
    file.setValue(QStringLiteral("ConnectTimeout"), c.connectTimeout);
    file.endGroup();
}
}  // namespace

CompanyGroup CompanyGroup::read(const QString& folder) {
    CompanyGroup group;
    QSettings file(QDir(folder).filePath(QLatin1String(FileName)), QSettings::IniFormat);
    // QSettings gives the sections sorted; the file's order is the order of service.
    QFile text(file.fileName());
    QStringList sections;
    if (text.open(QIODevice::ReadOnly)) {
        for (const QByteArray& raw : text.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.startsWith(u'[') && line.endsWith(u']')) sections << line.mid(1, line.size() - 2);
        }
    }
    QSet<QString> seen;
    for (const QString& section : sections) {
        if (section == CentralSection) {
            group.central = readCompany(file, section);
            group.centralAccount =
                file.value(section + QStringLiteral("/Account")).toString().trimmed();
        } else if (!seen.contains(section)) {
            seen.insert(section);
            group.companies << readCompany(file, section);
        }
    }
    return group;
}

bool CompanyGroup::write(const QString& folder, const CompanyGroup& group) {
    QSettings file(QDir(folder).filePath(QLatin1String(FileName)), QSettings::IniFormat);
    file.clear();
    for (const Company& c : group.companies) writeCompany(file, c);
    if (!group.central.key.isEmpty()) {
        writeCompany(file, group.central);
        file.setValue(group.central.key + QStringLiteral("/Account"), group.centralAccount);
    }
    file.sync();
    return file.status() == QSettings::NoError;
}
