// The local settings file (the database password in clear text): its row and its protection.
#include <sqlite3.h>

#include <QTemporaryDir>
#include <QtTest>

#include "CompanyGroup.h"
#include "InstallationSwitches.h"
#include "LocalSettings.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
#ifdef Q_OS_UNIX
// The permission bits of a file; -1 when it does not exist.
int modeOf(const QString& path) {
    struct stat st {};
    if (::stat(path.toUtf8().constData(), &st) != 0) return -1;
    return int(st.st_mode & 07777);
}

void setMode(const QString& path, int mode) {
    QCOMPARE(::chmod(path.toUtf8().constData(), mode_t(mode)), 0);
}

// The loosest umask, so that a file created with the default mode shows group and other bits.
struct LooseUmask {
    mode_t saved = ::umask(0);
    ~LooseUmask() { ::umask(saved); }
};
#endif

void exec(sqlite3* db, const char* sql) {
    QCOMPARE(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
}
}  // namespace

class TestLocalSettings : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_path;

private slots:
    void init() {
        m_path = m_dir.filePath(QString::fromLatin1(LocalSettings::FileName));
        for (const char* suffix : {"", "-journal", "-wal", "-shm"})
            QFile::remove(m_path + QLatin1String(suffix));
    }

    // Installation switches: off when the file or key is missing, on only for 1, as written.
    void switchesBesideTheSettings() {
        const QString folder = m_dir.path();
        QVERIFY(!InstallationSwitches::read(folder).taxIncludedLotPrices);
        QFile file(m_dir.filePath(QLatin1String(InstallationSwitches::FileName)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Switches]\nTaxIncludedLotPrices= 1 \nBranchStockVariant=yes\n");
        file.close();
        auto read = InstallationSwitches::read(folder);
        QVERIFY(read.taxIncludedLotPrices && !read.branchStockVariant && !read.boardBroadcast);
        QVERIFY(InstallationSwitches::write(folder, {.boardBroadcast = true}));
        read = InstallationSwitches::read(folder);
        QVERIFY(read.boardBroadcast && !read.taxIncludedLotPrices);
    }

    // The one row back whole, whatever it holds; reading a missing file creates nothing.
    void rowReadBackAsWritten() {
        const LocalSettings row{"10.0.0.5", "會計", "x;Data Source=evil}{'\" 密碼 ", "ZQ2K"};
        QVERIFY(LocalSettings::write(m_path, row));
        QVERIFY(LocalSettings::write(m_path, row));  // the only row, however often written
        const auto back = LocalSettings::read(m_path);
        QVERIFY(back && !back->embedded());
        QCOMPARE(QStringList({back->sadd, back->unam, back->upas, back->dnam}),
                 QStringList({row.sadd, row.unam, row.upas, row.dnam}));
        QVERIFY(!LocalSettings::read(m_dir.filePath("missing.dat")));
        QVERIFY(!QFile::exists(m_dir.filePath("missing.dat")));
    }

#ifdef Q_OS_UNIX
    // A new file is owner-only, nothing left beside it; SQLite's side files are no looser.
    void sideFilesAreOwnerOnly() {
        LooseUmask umask;
        for (const bool wal : {false, true}) {
            init();
            QVERIFY(LocalSettings::write(m_path, {"10.0.0.5", "sa", "old", "ZQ2K"}));
            QCOMPARE(modeOf(m_path), 0600);
            for (const char* suffix : {"-journal", "-wal", "-shm"})
                QCOMPARE(modeOf(m_path + QLatin1String(suffix)), -1);
            sqlite3* other = nullptr;
            QCOMPARE(sqlite3_open(m_path.toUtf8().constData(), &other), SQLITE_OK);
            exec(other, wal ? "PRAGMA journal_mode=WAL" : "PRAGMA journal_mode=DELETE");
            // A write left open keeps the side files; in WAL mode the settings are written again.
            exec(other, "BEGIN; UPDATE SrvDat SET UPAS = 'new';");
            if (wal) exec(other, "COMMIT");
            QVERIFY(!wal || LocalSettings::write(m_path, {"10.0.0.5", "sa", "newer", "ZQ2K"}));
            for (const char* suffix : wal ? QList{"-wal", "-shm"} : QList{"-journal"})
                QCOMPARE(modeOf(m_path + QLatin1String(suffix)), 0600);
            if (!wal) exec(other, "COMMIT");
            sqlite3_close(other);
            QCOMPARE(modeOf(m_path), 0600);
            QCOMPARE(LocalSettings::read(m_path)->upas, QString(wal ? "newer" : "new"));
        }
    }

    // A loose file and journal are tightened by protect, read and write; a read-only one stays.
    void looseFileIsTightened() {
        QVERIFY(LocalSettings::write(m_path, {"10.0.0.5", "sa", "pw", "ZQ2K"}));
        QFile journal(m_path + "-journal");
        QVERIFY(journal.open(QIODevice::WriteOnly));
        journal.close();
        for (const auto& [found, left] : {std::pair(0400, 0400), std::pair(0755, 0600)}) {
            setMode(m_path, found);
            setMode(journal.fileName(), found);
            QVERIFY(LocalSettings::protect(m_path));
            QCOMPARE(modeOf(m_path), left);
            QCOMPARE(modeOf(journal.fileName()), left);
            setMode(m_path, found);
            QCOMPARE(LocalSettings::read(m_path)->upas, QString("pw"));
            QCOMPARE(modeOf(m_path), left);
        }
        setMode(m_path, 0755);
        QVERIFY(LocalSettings::write(m_path, {"10.0.0.5", "sa", "pw2", "ZQ2K"}));
        QCOMPARE(modeOf(m_path), 0600);
    }

    // The group file holds passwords: written 0600, a loose one tightened when read; values as
    // written, whatever they hold; a number out of range named, its default kept.
    void groupFileAsWritten() {
        LooseUmask loose;
        const QString folder = m_dir.path();
        const QString path = m_dir.filePath(QLatin1String(CompanyGroup::FileName));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[ZqPro2]\r\nPassword=a;b \"c\" #d\r\nUser=u,v\r\n ConnectTimeout = 99999999999\r\n"
                   "; a comment\n[ZqPro3]\nName=台中=分公司\nConnectTimeout=7\n");
        file.close();
        setMode(path, 0644);
        const CompanyGroup group = CompanyGroup::read(folder);
        QCOMPARE(modeOf(path), 0600);
        QCOMPARE(group.companies.size(), 2);
        const CompanyGroup::Company& two = group.companies[0];
        QCOMPARE(two.password, QString("a;b \"c\" #d"));
        QCOMPARE(two.user, QString("u,v"));
        QCOMPARE(two.connectTimeout, 5);
        QCOMPARE(group.problems,
                 QStringList{"ZqGroup.ini [ZqPro2] ConnectTimeout=99999999999 超出範圍 1 到 300 "
                             "秒,以 5 秒計"});
        QCOMPARE(group.companies[1].name, QString("台中=分公司"));
        QCOMPARE(group.companies[1].connectTimeout, 7);
        // Written back: owner only, read back the same; a line break cannot be written.
        QFile::remove(path);
        QVERIFY(CompanyGroup::write(folder, group));
        QCOMPARE(modeOf(path), 0600);
        QCOMPARE(CompanyGroup::read(folder).companies[0].password, two.password);
        CompanyGroup broken = group;
        broken.companies[0].password = "a\nServer=evil";
        QVERIFY(!CompanyGroup::write(folder, broken));
        QCOMPARE(CompanyGroup::read(folder).companies[0].server, QString());
    }
#endif
};

QTEST_GUILESS_MAIN(TestLocalSettings)
#include "tst_localsettings.moc"
