#include "Startup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "DataSource.h"
#include "DbAccess.h"
#include "Dialogs.h"
#include "ModuleIcon.h"
#include "ProgramExit.h"
#include "Recordset.h"
#include "Session.h"
#include "SqlLiteral.h"

namespace {
const QString kFromSuite = QStringLiteral("請從 Q.V.K.晟嘉通進銷存會計系統 主程式執行");

[[noreturn]] void refuse(const QString& message) {
    Dialogs::showMessage(message);
    ProgramExit::end(1);
}

QString textOf(const Recordset& rs, const char* column) {
    const QVariant v = rs.field(QString::fromLatin1(column));
    return v.isValid() ? v.toString() : QString();
}
}  // namespace

CommandLine CommandLine::parse(const QString& text) {
    const QString line = text.trimmed().toUpper().trimmed();
    CommandLine c;
    c.hasMarker = line.left(3) == QLatin1String("/GO");
    c.workstation = line.mid(4, 4);
    c.user = line.mid(9, 4).trimmed();
    return c;
}

QString MissingSettingsMessage() {
    return QStringLiteral("因為尚未設定資料庫來源\r\r請按下確定後開始設定");
}

void RunStartup(const StartupEnvironment& env) {
    // Every window and message from here on carries the module's icon.
    InstallModuleIcon();
    Session& s = Session::current();
    if (env.anotherCopyRunning && env.anotherCopyRunning())
        refuse(QStringLiteral("程式不得重複執行"));

    s.workstationCode = QStringLiteral("0016");
    s.userCode = QStringLiteral("qvk");
    const CommandLine args = CommandLine::parse(env.commandLine);
    if (!args.hasMarker) refuse(kFromSuite);
    s.workstationCode = args.workstation;
    s.userCode = args.user;
    if (s.workstationCode.trimmed().isEmpty())
        refuse(QStringLiteral("沒有傳入工作站號,") + kFromSuite);
    if (s.userCode.trimmed().isEmpty()) refuse(QStringLiteral("沒有傳入使用者代號,") + kFromSuite);
    s.sessionOpen = true;

    const auto missingSettings = [&](const QString& setupCommand) {
        Dialogs::showMessage(MissingSettingsMessage());
        if (env.startSetup) env.startSetup(setupCommand);
        ProgramExit::end(1);
    };
    if (!QFileInfo::exists(QString::fromLatin1(LocalSettings::FileName)))
        missingSettings(QStringLiteral("ZQ2K /SALE"));
    const auto settings =
        LocalSettings::read(QDir(env.programFolder).filePath(LocalSettings::FileName));
    if (!settings) missingSettings(QStringLiteral("ZQ2K.EXE /SALE"));

    s.serverAddress = settings->sadd;
    s.dbUser = settings->unam;
    s.dbPassword = settings->upas;
    s.dbName = settings->dnam;
    s.switches = InstallationSwitches::read(env.programFolder);
    s.group = CompanyGroup::read(env.programFolder);
    for (const QString& problem : s.group.problems) Dialogs::showMessage(problem);
    s.persistSecurity = s.dbUser.isEmpty() ? QStringLiteral("False") : QStringLiteral("True");
    if (env.connect) env.connect(env.programFolder, *settings);

    DataSource& general = SharedSources::general();
    SetConnection(general);
    SetConnection(SharedSources::comparison());
    SetConnection(SharedSources::spare());
    general.commandText = QStringLiteral("SF_ZQ2K_SALE ") + SqlLiteral(s.workstationCode) + ',' +
                          SqlLiteral(s.userCode) + QStringLiteral(",1");
    RefreshData(general, env.place);

    const Recordset& rs = general.recordset();
    if (!HasCurrentRow(rs) || rs.fieldCount() < 2)
        refuse(QStringLiteral("伺服器沒有傳回工作階段資料"));
    if (rs.field(0).toString().trimmed() != QLatin1String("0")) refuse(rs.field(1).toString());

    s.versionText = FileVersionText(env.programFile);
    s.companyName = textOf(rs, "COMNAM");
    s.workstationCode = textOf(rs, "LCODE");
    const QVariant decimals = rs.field(QStringLiteral("MFOR"));
    s.amountDecimals = decimals.isValid() ? decimals.toString() : QStringLiteral("2");
    s.staffCode = textOf(rs, "SCODE");
    s.staffName = textOf(rs, "SNAME");
    s.defaultStore = textOf(rs, "SSTOC");
    s.departmentNo = textOf(rs, "DEPARTNO");
    LoadRights(rs.current().rows.value(rs.bookmark()));
}

void LoadRights(const QVariantList& row) {
    Session& s = Session::current();
    s.rightFlags.fill(false);
    for (int c = 0; c <= 40; ++c) {
        const auto mask = qint32(row.value(14 + c).toLongLong());
        for (int b = 0; b < 32; ++b) {
            const int n = 32 * c + b;
            if (n > 1311) break;
            s.rightFlags[n] = b < 31 ? (mask & (qint32(1) << b)) != 0 : mask < 0;
        }
    }
}

QString FileVersionText(const QString& programFile) {
    // The stamp is a marker of 16 bytes followed by the product and the file version as four
    // little-endian 16-bit numbers each. The marker is kept shifted by one here, so that this
    // reader's own program file does not seem to hold a stamp where there is none.
    static const QByteArray marker = [] {
        QByteArray m("[RGV.WFSTJPOTUNQ");
        for (char& c : m) c = char(c - 1);
        return m;
    }();
    QFile file(programFile);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray data = file.readAll();
    const qsizetype at = data.indexOf(marker);
    if (at < 0 || data.size() < at + marker.size() + 16) return {};
    const auto* p = reinterpret_cast<const uchar*>(data.constData() + at + marker.size());
    const auto part = [p](int i) { return int(p[2 * i]) | (int(p[2 * i + 1]) << 8); };
    return QStringLiteral("%1.%2.%3.%4").arg(part(0)).arg(part(1)).arg(part(6)).arg(part(7));
}
