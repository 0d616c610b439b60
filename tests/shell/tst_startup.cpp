// Start-up: every failure path with its message, the session row, the rights, the login, the version.
#include <sqlite3.h>

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "../common/FakeDatabase.h"
#include "DataSource.h"
#include "DbAccess.h"
#include "LocalSettings.h"
#include "ProgramExit.h"
#include "ScriptedDialogs.h"
#include "Session.h"
#include "Startup.h"

namespace {
const QString kFromSuite = "請從 Q.V.K.晟嘉通進銷存會計系統 主程式執行";

// The session call's answer: the named columns (a null MFOR), the 41 masks from position 14.
ResultSets sessionAnswer(int status, const QString& message, const QList<qint64>& masks = {}) {
    QVariantList row = {status, message,  "晟嘉通科技", "0099", QVariant(),
                        "S01",  "王大明", "A1",         "D2"};
    QStringList columns = {"STATUS", "MSG",   "COMNAM", "LCODE",   "MFOR",
                           "SCODE",  "SNAME", "SSTOC",  "DEPARTNO"};
    row.resize(14);  // nulls up to the masks
    for (int c = 0; c < 41; ++c) row << masks.value(c, 0);
    while (columns.size() < row.size()) columns << QString("X%1").arg(columns.size());
    return {ResultSet{columns, {row}}};
}
}  // namespace

class TestStartup : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_savedCwd;
    ScriptedDialogs* m_dialogs = nullptr;
    std::shared_ptr<FakeDatabase> m_db;
    QStringList m_setupCommands;
    bool m_otherCopy = false;

    // Runs start-up; true when it ended the program.
    bool ended(const QString& commandLine) {
        try {
            RunStartup({.commandLine = commandLine,
                        .programFolder = m_dir.path(),
                        .programFile = m_dir.filePath("zqfu"),
                        .place = "ZqMDI",
                        .anotherCopyRunning = [this] { return m_otherCopy; },
                        .startSetup = [this](const QString& c) { m_setupCommands << c; }});
            return false;
        } catch (const ProgramExit::ProgramEnded&) {
            return true;
        }
    }

    QString settingsFile() const { return m_dir.filePath("ZqSrvUse.dat"); }

private slots:
    void initTestCase() {
        m_savedCwd = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        ProgramExit::throwOnEnd();
    }
    void cleanupTestCase() { QDir::setCurrent(m_savedCwd); }

    void init() {
        Session::reset();
        m_dialogs = ScriptedDialogs::install();
        m_db = FakeDatabase::install();
        m_setupCommands.clear();
        m_otherCopy = false;
        QFile::remove(settingsFile());
        QVERIFY(LocalSettings::write(settingsFile(), {"embedded", "", "", "ZQDEMO"}));
        m_db->answer = [](const QString&) { return sessionAnswer(0, ""); };
    }

    // Not from the suite, or a second copy (checked first): its message, nothing asked.
    void refusals() {
        const QString noStation = "沒有傳入工作站號," + kFromSuite,
                      noUser = "沒有傳入使用者代號," + kFromSuite;
        for (const auto& [commandLine, otherCopy, message] :
             {std::tuple("0016 ADM", false, kFromSuite),
              std::tuple("/GO      ADM", false, noStation),
              std::tuple("/GO 12", false, noUser),  // 7 letters
              std::tuple("nonsense", true, QString("程式不得重複執行"))}) {
            init();
            m_otherCopy = otherCopy;
            QVERIFY2(ended(commandLine), commandLine);
            QCOMPARE(m_dialogs->shown, QStringList{message});
            QVERIFY(m_db->sent.isEmpty());
        }
    }

    // Without the settings file (or its row: the other name) the setup is started.
    void missingSettingsStartTheSetup() {
        QFile::remove(settingsFile());
        QVERIFY(ended("/GO 0016 ADM"));
        QCOMPARE(m_dialogs->shown, QStringList{"因為尚未設定資料庫來源\r\r請按下確定後開始設定"});
        QCOMPARE(m_setupCommands, QStringList{"ZQ2K /SALE"});
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(settingsFile().toUtf8(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE SrvDat (SADD, UNAM, UPAS, DNAM)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        QVERIFY(ended("/GO 0016 ADM"));
        QCOMPARE(m_setupCommands.value(1), QString("ZQ2K.EXE /SALE"));
        QVERIFY(m_db->sent.isEmpty());
    }

    // A failed session call: the error report named ZqMDI; a refused session: the server's text.
    void sessionFailures() {
        m_db->answer = [](const QString&) -> ResultSets { throw DbError(0x80040E4D, "no"); };
        QVERIFY(ended("/GO 0016 ADM"));
        QVERIFY(m_dialogs->shown.size() == 1 &&
                m_dialogs->shown[0].startsWith("錯誤發生位置：ZqMDI 與資料庫連線取資料時\r\n\r\n"));
        m_dialogs->shown.clear();
        m_db->answer = [](const QString&) { return sessionAnswer(1, "使用者代號[ ZZZ ]不存在"); };
        QVERIFY(ended("/GO 0016 ZZZ"));
        QCOMPARE(m_dialogs->shown, QStringList{"使用者代號[ ZZZ ]不存在"});
    }

    // The session call's text (user cut to four, quotes doubled), its values; rights from masks.
    void acceptedSessionFillsTheValues() {
        QList<qint64> masks = {-1, 1, 0x7FFFFFFF};  // a positive mask leaves its sign bit clear
        masks.resize(41);
        masks[40] = -1;
        m_db->answer = [masks](const QString&) { return sessionAnswer(0, "", masks); };
        QVERIFY(!ended(" /go 0016 adm "));
        QCOMPARE(m_db->sent, QStringList{"SF_ZQ2K_SALE '0016','ADM',1"});
        const Session& s = Session::current();
        QVERIFY(s.sessionOpen && m_dialogs->shown.isEmpty());
        // The server's workstation wins; a null MFOR is two decimals; no user, no security.
        QCOMPARE(
            (QStringList{s.userCode, s.workstationCode, s.amountDecimals, s.companyName,
                         s.staffName, s.departmentNo, s.dbName, s.persistSecurity}),
            (QStringList{"ADM", "0099", "2", "晟嘉通科技", "王大明", "D2", "ZQDEMO", "False"}));
        for (int n = 0; n < Session::RightCount; ++n)
            QVERIFY2(s.rightFlags[n] == (n <= 32 || (n >= 64 && n < 95) || (n >= 1280 && n < 1312)),
                     qPrintable(QString::number(n)));

        m_db->sent.clear();
        // The password reaches the connection whole: it can neither end early nor name a source.
        const QString password = "x};Data Source=evil}{'\" 密碼 ";
        QVERIFY(LocalSettings::write(settingsFile(), {"10.0.0.5", "sa", password, "ZQ2K"}));
        QVERIFY(!ended("/GO 0016 A'BCDEF"));
        QCOMPARE(m_db->sent, QStringList{"SF_ZQ2K_SALE '0016','A''BC',1"});
        const QString text = SharedSources::general().connectionText;
        QCOMPARE((QStringList{Connections::field(text, "Password"),
                              Connections::field(text, "Data Source"),
                              Connections::field(text, "Initial Catalog")}),
                 (QStringList{password, "zqpro", "ZQ2K"}));
    }

    // The stamp's product numbers 1-2 and file numbers 3-4; none without a stamp or a file.
    void fileVersionText() {
        // Written with its last letter changed, so that this test program holds no stamp.
        QByteArray stamp = "ZQFU-VERSIONSTMQ";
        stamp[15] = 'P';
        stamp += QByteArray::fromHex("01000200090009000700070000007400");  // 1 2 9 9, 7 7 0 116
        QFile file(m_dir.filePath("stamped"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(1000, 'x') + stamp + QByteArray(10, '\0'));
        file.close();
        QCOMPARE((QStringList{FileVersionText(file.fileName()),
                              FileVersionText(m_dir.filePath("missing")),
                              FileVersionText(QCoreApplication::applicationFilePath())}),
                 (QStringList{"1.2.0.116", "", ""}));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
