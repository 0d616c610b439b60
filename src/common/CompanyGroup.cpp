#include "CompanyGroup.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QSet>

#include "LocalSettings.h"

namespace {
const QString CentralSection = QStringLiteral("Central");
constexpr int MaxConnectTimeout = 300;  // seconds

// The file's sections in their order, each with its keys: a value is the whole rest of its line
// after the first "=", as written (no list, quote or comment syntax), a key the text before it
// without the blanks around it. Lines starting with ";" or "#" are comments.
struct Section {
    QString name;
    QHash<QString, QString> values;
};
QList<Section> parse(const QByteArray& bytes) {
    QList<Section> sections;
    for (QByteArray raw : bytes.split('\n')) {
        if (raw.endsWith('\r')) raw.chop(1);
        const QString line = QString::fromUtf8(raw);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#')) continue;
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            sections.append({trimmed.mid(1, trimmed.size() - 2).trimmed(), {}});
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0 || sections.isEmpty()) continue;
        sections.last().values.insert(line.left(eq).trimmed().toLower(), line.mid(eq + 1));
    }
    return sections;
}

CompanyGroup::Company readCompany(const Section& s, QStringList& problems) {
    const auto value = [&s](const char* key, const QString& fallback = QString()) {
        return s.values.value(QString::fromLatin1(key).toLower(), fallback);
    };
    CompanyGroup::Company c;
    c.key = s.name;
    c.name = value("Name", s.name);
    c.shortName = value("ShortName", c.name);
    c.provider = value("Provider", QStringLiteral("SQLOLEDB.1"));
    c.server = value("Server");
    c.user = value("User");
    c.password = value("Password");
    c.database = value("Database", s.name).trimmed();
    const QString timeout = value("ConnectTimeout").trimmed();
    if (!timeout.isEmpty()) {
        bool ok = false;
        const qlonglong seconds = timeout.toLongLong(&ok);
        if (ok && seconds >= 1 && seconds <= MaxConnectTimeout)
            c.connectTimeout = int(seconds);
        else
            problems << QStringLiteral("%1 [%2] ConnectTimeout=%3 超出範圍 1 到 %4 秒,以 %5 秒計")
                            .arg(QLatin1String(CompanyGroup::FileName), s.name, timeout)
                            .arg(MaxConnectTimeout)
                            .arg(c.connectTimeout);
    }
    return c;
}

// A value is the rest of its line: one that holds a line break cannot be written.
bool oneLine(const QString& value) {
    return !value.contains(u'\n') && !value.contains(u'\r');
}

bool writeCompany(QByteArray& out, const CompanyGroup::Company& c) {
    out += '[' + c.key.toUtf8() + "]\n";
    const std::pair<const char*, QString> values[] = {
        {"Name", c.name},         {"ShortName", c.shortName}, {"Provider", c.provider},
        {"Server", c.server},     {"User", c.user},           {"Password", c.password},
        {"Database", c.database}, {"ConnectTimeout", QString::number(c.connectTimeout)}};
    for (const auto& [key, value] : values) {
        if (!oneLine(value)) return false;
        out += key + ('=' + value.toUtf8()) + '\n';
    }
    return oneLine(c.key);
}
}  // namespace

CompanyGroup CompanyGroup::read(const QString& folder) {
    CompanyGroup group;
    const QString path = QDir(folder).filePath(QLatin1String(FileName));
    // It holds passwords: only its owner may read it, as the settings file.
    LocalSettings::protect(path);
    QFile text(path);
    if (!text.open(QIODevice::ReadOnly)) return group;
    QSet<QString> seen;
    for (const Section& section : parse(text.read(1024 * 1024))) {
        if (section.name == CentralSection) {
            group.central = readCompany(section, group.problems);
            group.centralAccount = section.values.value(QStringLiteral("account")).trimmed();
        } else if (!seen.contains(section.name)) {
            seen.insert(section.name);
            group.companies << readCompany(section, group.problems);
        }
    }
    return group;
}

bool CompanyGroup::write(const QString& folder, const CompanyGroup& group) {
    QByteArray out;
    for (const Company& c : group.companies)
        if (!writeCompany(out, c)) return false;
    if (!group.central.key.isEmpty()) {
        if (!writeCompany(out, group.central) || !oneLine(group.centralAccount)) return false;
        out += "Account=" + group.centralAccount.toUtf8() + '\n';
    }
    QSaveFile file(QDir(folder).filePath(QLatin1String(FileName)));
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return file.write(out) == out.size() && file.commit();
}
