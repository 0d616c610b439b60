// The local settings file: its row read back as written, and its protection, since it holds
// the database password in clear text.
#include <sqlite3.h>

#include <QTemporaryDir>
#include <QtTest>

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

// The loosest umask, so that a file created with the default mode would show group and other
// bits.
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

    // The installation switches beside the settings file: off when the file or a key is
    // missing, on only for 1, as written.
    void switchesBesideTheSettings() {
        QTemporaryDir folder;
        QVERIFY(!InstallationSwitches::read(folder.path()).taxIncludedLotPrices);
        QFile file(folder.filePath(QLatin1String(InstallationSwitches::FileName)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Switches]\nTaxIncludedLotPrices= 1 \nBranchStockVariant=yes\n");
        file.close();
        const InstallationSwitches read = InstallationSwitches::read(folder.path());
        QVERIFY(read.taxIncludedLotPrices && !read.branchStockVariant && !read.boardBroadcast);
        InstallationSwitches on;
        on.boardBroadcast = true;
        QVERIFY(InstallationSwitches::write(folder.path(), on));
        const InstallationSwitches back = InstallationSwitches::read(folder.path());
        QVERIFY(back.boardBroadcast && !back.taxIncludedLotPrices);
    }

    // The one row back whole, whatever it holds; reading a missing file creates nothing.
    void rowReadBackAsWritten() {
        const LocalSettings row{"10.0.0.5", "會計", "x;Data Source=evil}{'\" 密碼 ", "ZQ2K"};
        QVERIFY(LocalSettings::write(m_path, row));
        QVERIFY(LocalSettings::write(m_path, row));  // the only row, however often written
        const auto back = LocalSettings::read(m_path);
        QVERIFY(back);
        QCOMPARE(QStringList({back->sadd, back->unam, back->upas, back->dnam}),
                 QStringList({row.sadd, row.unam, row.upas, row.dnam}));
        QVERIFY(!back->embedded());
        QVERIFY(!LocalSettings::read(m_dir.filePath("missing.dat")));
        QVERIFY(!QFile::exists(m_dir.filePath("missing.dat")));  // reading creates nothing
    }

#ifdef Q_OS_UNIX
    // A new file is owner-only, with nothing left beside it; what SQLite creates beside it while
    // it is written (a rollback journal, or a WAL file and its index) is no looser.
    void sideFilesAreOwnerOnly_data() {
        QTest::addColumn<QString>("journalMode");
        QTest::addColumn<QStringList>("sideFiles");
        QTest::newRow("rollback journal") << "DELETE" << QStringList{"-journal"};
        QTest::newRow("write-ahead log") << "WAL" << QStringList{"-wal", "-shm"};
    }
    void sideFilesAreOwnerOnly() {
        QFETCH(QString, journalMode);
        QFETCH(QStringList, sideFiles);
        LooseUmask umask;
        QVERIFY(LocalSettings::write(m_path, {"10.0.0.5", "sa", "old", "ZQ2K"}));
        QCOMPARE(modeOf(m_path), 0600);
        for (const char* suffix : {"-journal", "-wal", "-shm"})
            QCOMPARE(modeOf(m_path + QLatin1String(suffix)), -1);
        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open(m_path.toUtf8().constData(), &other), SQLITE_OK);
        exec(other, ("PRAGMA journal_mode=" + journalMode).toUtf8().constData());
        // A write left open keeps the side files in place while they are looked at; in WAL
        // mode the settings are also written once more while this connection holds the file.
        exec(other, "BEGIN; UPDATE SrvDat SET UPAS = 'new';");
        if (journalMode == "WAL") {
            exec(other, "COMMIT");
            QVERIFY(LocalSettings::write(m_path, {"10.0.0.5", "sa", "newer", "ZQ2K"}));
        }
        for (const QString& suffix : sideFiles) QCOMPARE(modeOf(m_path + suffix), 0600);
        if (journalMode != "WAL") exec(other, "COMMIT");
        sqlite3_close(other);
        QCOMPARE(modeOf(m_path), 0600);
        QCOMPARE(LocalSettings::read(m_path)->upas,
                 journalMode == "WAL" ? QString("newer") : QString("new"));
    }

    // A file and the journal of a program stopped while writing, found open to others, are
    // tightened by protect, read and write; a file read-only for its owner stays so.
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
#endif
};

QTEST_GUILESS_MAIN(TestLocalSettings)
#include "tst_localsettings.moc"
