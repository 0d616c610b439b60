// The embedded database through SuiteDatabase::execute, as the module uses it.
#include <unicode/ucol.h>

#include <sys/stat.h>

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <thread>

#include "Backends.h"
#include "DbError.h"
#include "DemoFolder.h"
#include "EmbeddedDatabase.h"
#include "PrefetchingFiles.h"
#include "SessionProcedures.h"
#include "SqliteConnection.h"
#include "TsqlCollation.h"
#include "TsqlFixture.h"

namespace {
template <class Act>
quint32 errorOf(Act&& act, QString* description = nullptr) {
    try {
        act();
    } catch (const DbError& e) {
        if (description) *description = e.description();
        return e.number();
    }
    return 0;
}
quint32 errorNumber(SuiteDatabase& db, const QString& text, QString* description = nullptr) {
    return errorOf([&] { db.execute(text); }, description);
}
}  // namespace

class EmbeddedDatabaseTest : public QObject {
    Q_OBJECT

    DemoFolder m_folder;
    std::unique_ptr<EmbeddedDatabase> m_db;

    QString run(const QString& text) { return ShowResults(m_db->execute(text)); }

private slots:
    void init() { m_db = std::make_unique<EmbeddedDatabase>(m_folder.database()); }
    void cleanup() { m_db.reset(); }

    // Texts compare as the server's collation does, the ASCII table as ICU.
    void comparison() {
        // Blanks lead, digits are text, accents count, width does not.
        const QString greater = "IF (Select '%1') > (Select '%2') Begin Select 'T' End";
        QCOMPARE(run(greater.arg("a", " a")) + run(greater.arg("9", "10")), "TT");
        TsqlCollation c;
        QVERIFY(c.compare(QString("a"), QString("á")) != 0);
        QCOMPARE(c.compare(QString("Ａ"), QString("a")), 0);
        QCOMPARE(c.compare(QString(), QString(" ")), 0);
        // The ASCII table of places orders any two printable texts as ICU does.
        QVERIFY(TsqlCollation::asciiOrder().has_value());
        UCollator* icu = TsqlCollation::openCollator();
        const QByteArray alphabet = " !#$'()*+,-./09:;<=>?@AZ[\\]^_`az{|}~";
        QRandomGenerator random(13);
        const auto text = [&] {
            QByteArray t;
            for (int n = int(random.bounded(7)); n > 0; --n)
                t += alphabet[random.bounded(int(alphabet.size()))];
            return t;
        };
        for (int i = 0; i < 100000; ++i) {
            QByteArray a = text(), b = text();
            const int got = std::clamp(
                c.compare(a.constData(), int(a.size()), b.constData(), int(b.size())), -1, 1);
            while (a.endsWith(' ')) a.chop(1);
            while (b.endsWith(' ')) b.chop(1);
            UErrorCode status = U_ZERO_ERROR;
            const int expected = ucol_strcollUTF8(icu, a.constData(), int(a.size()), b.constData(),
                                                  int(b.size()), &status);
            QVERIFY2(got == expected, ("'" + a + "' against '" + b + "'").constData());
        }
        ucol_close(icu);
    }

    // Results typed and named as the server's; errors numbered, odd inputs refused.
    void resultsAndErrors() {
        // Values typed and named as the server does; a set without rows keeps its columns.
        const ResultSets sets = m_db->execute(
            "Select 1 As n, 2.5 As r, 'x' As t, NULL As z, 1 + 1; Insert Into Depart25 (DEPARTNO, "
            "DENAME) Values ('99', N'測試部'); Update Depart25 Set DENAME = 'x' Where DEPARTNO = "
            "'99'; Select DENAME From Depart25 Where DEPARTNO >= '99'; Delete From Depart25 Where "
            "DEPARTNO = '99'; Select * From Depart25 Where DEPARTNO >= '99'");
        QCOMPARE(ShowResults(sets), "1|2.5|x|NULL|2 // x // ");
        QCOMPARE(sets[0].columns, QStringList({"n", "r", "t", "z", ""}));
        QVERIFY(sets[0].rows[0][0].typeId() == QMetaType::LongLong &&
                sets[0].rows[0][1].typeId() == QMetaType::Double);
        QVERIFY(sets[2].columns.contains("DENAME"));
        // A text parameter is bound whole, a NUL within it too.
        const QString nul = QString::fromLatin1("a\0b", 3);
        const ResultSet bound =
            m_db->connection().query(QString("SELECT ?1, length(CAST(?1 AS BLOB))"), {nul});
        QCOMPARE(bound.rows[0], (QVariantList{nul, 3}));
        // Provider numbers and server messages; odd inputs and unopenable files refused, no crash.
        const std::tuple<const char*, quint32, const char*> cases[] = {
            {"IF EXISTS (Select * From NOPE) Begin Select 1 End", 0x80040E37,
             "無效的物件名稱 'NOPE'。"},
            {"SF_ZQ2K_NOTHING 'a'", 0x80040E14, "找不到預存程序 'SF_ZQ2K_NOTHING'。"},
            {"EXEC SP_TIME_UPDATE", 0x80040E14,
             "程序或函數 'SP_TIME_UPDATE' 需要參數 '@LCODE'，但未提供。"},
            {"Insert Into Depart25 (DEPARTNO) Values ('01')", 0x80040E2F, nullptr}};
        for (const auto& [text, number, description] : cases) {
            QString got;
            QCOMPARE(errorNumber(*m_db, QString::fromUtf8(text), &got), number);
            if (description) QCOMPARE(got, QString::fromUtf8(description));
        }
        for (const QString& text :
             QString::fromUtf8("' | [ | /* | N' | ((( | ))) | IF | IF 1 BEGIN | ELSE | EXEC | EXEC "
                               ", | P 'a', | \xF0\x9F\x98\x80 | Select 1; Select | BEGIN END END | "
                               "IF (Select 'a') > | Select 1 Where 'a' In")
                 .split(" | "))
            QVERIFY2(errorNumber(*m_db, text) != 0, qPrintable(text));
        errorNumber(*m_db, QString("Select '") + QChar(0) + "'");
        QCOMPARE(run("Select 1"), "1");  // still usable
        QFile junk(m_folder.path() + "/junk.zqdb");
        QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write(QByteArray(4096, 'x')) == 4096);
        junk.close();
        for (const QString& path : {m_folder.path() + "/missing.zqdb", junk.fileName()})
            QCOMPARE(errorOf([&] { EmbeddedDatabase db(path); }), quint32(0x80004005));
    }

    // Procedures' changes are whole, with two workstations writing at once too.
    void proceduresKeepTheirChanges() {
        // A procedure that fails leaves nothing behind; one that returns keeps its changes.
        auto registry = std::make_shared<ProcedureRegistry>();
        SessionProcedures::addTo(*registry);
        registry->add("TST_ADD", {"@CODE", "@FAIL"}, 2,
                      [](SqliteConnection& db, const ProcedureCall& call) -> ResultSets {
                          db.exec("INSERT INTO Depart25 (DEPARTNO) VALUES (?1)", {call.text(0)});
                          if (call.integer(1) != 0) throw DbError(DbErrorNumber::Syntax, "refused");
                          return {};
                      });
        registry->add("TST_BUMP", {}, 0, [](SqliteConnection& db, const ProcedureCall&) {
            const qlonglong n = db.scalar("SELECT N FROM TST_COUNT").toLongLong();
            QThread::usleep(100);  // a procedure's work between read and write
            db.exec("UPDATE TST_COUNT SET N = ?1", {n + 1});
            return ResultSets();
        });
        m_db->execute(
            "Create Table TST_COUNT (N Integer); Insert Into TST_COUNT Values (0); "
            "Create Table TST_ROWS (W Text, I Integer)");
        // Both workstations open before either starts writing.
        EmbeddedDatabase one(m_folder.database(), EmbeddedDatabase::OpenMode::Existing, registry);
        EmbeddedDatabase two(m_folder.database(), EmbeddedDatabase::OpenMode::Existing, registry);
        QCOMPARE(errorNumber(one, "tst_add 'T1', 1"), quint32(0x80040E14));
        QVERIFY(one.execute("Exec TST_ADD 'T2', 0").isEmpty());
        QCOMPARE(ShowResults(one.execute("Select DEPARTNO From Depart25 Where DEPARTNO In ('T1', "
                                         "'T2'); Delete From Depart25 Where DEPARTNO = 'T2'")),
                 "T2");
        QString failed[2];
        const auto work = [&](EmbeddedDatabase* db, int n) {
            const QString station = QString("000%1").arg(n + 1);
            try {
                for (int i = 0; i < 200; ++i) {
                    db->execute(
                        QString("Insert Into TST_ROWS Values ('%1', %2)").arg(station).arg(i));
                    db->execute("TST_BUMP");
                    if (i % 10 == 0) db->execute("EXEC SP_TIME_UPDATE '" + station + "'");
                }
            } catch (const DbError& e) {
                failed[n] = e.hexNumber() + u' ' + e.description();
            }
        };
        std::thread first(work, &one, 0), second(work, &two, 1);
        first.join();
        second.join();
        QVERIFY2(failed[0].isEmpty() && failed[1].isEmpty(), qPrintable(failed[0] + failed[1]));
        QCOMPARE(run("Select N From TST_COUNT; Select W, Count(Distinct I) From TST_ROWS Group By "
                     "W Order By W; Drop Table TST_COUNT; Drop Table TST_ROWS"),
                 "400 // 0001|200;0002|200");
    }

    // A write held past the time-out gives writes 0x80040E31; reads go on.
    void busyBeyondTimeout() {
        SqliteConnection holder(m_folder.database(), SqliteConnection::OpenMode::Existing);
        holder.script("BEGIN IMMEDIATE; UPDATE JE SET JDATE = JDATE;");
        m_db->setBusyTimeout(200);
        for (const char* text : {"EXEC SP_TIME_UPDATE '0016'", "Update LSTA Set LNAME = LNAME"})
            QCOMPARE(errorNumber(*m_db, text), quint32(0x80040E31));
        for (const char* call :
             {"SF_ZQ2K_ASSET_BROW 33,'B001'", "SF_ZQ2K_ASSET_F2 36,'','%'",
              "SF_ZQ2K_DEPART25_F2 35,'','%'", "EXEC SP_F8 'DG1','True',99,'01','','','',0,1,''",
              "SF_ZQ2K_ITYP_F2 36,'','%','1','I01'"})
            QVERIFY2(!m_db->execute(call).isEmpty(), call);
        QCOMPARE(run("Select Count(*) From LSTA"), "20");
        holder.exec("ROLLBACK");
        QCOMPARE(m_db->execute("EXEC SP_TIME_UPDATE '0016'").size(), 1);
    }

    // Only existing database files of the folder open, by the connection factory and by
    // database..table: nothing is created, converted, or followed out of the folder; a company
    // whose file another writer holds fails within its connection time-out.
    void onlyDatabaseFilesOfTheFolder() {
        const QString folder = m_folder.path();
        const auto file = [&](const QString& name) { return folder + '/' + name + ".zqdb"; };
        QTemporaryDir outside;
        const QString victim = outside.filePath("victim.zqdb");
        QVERIFY(QFile::copy(m_folder.database(), victim));
        QVERIFY(QFile(file("Empty")).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(victim, file("LinkOut")));
        QVERIFY(QFile::link(m_folder.database(), file("LinkIn")));
        QCOMPARE(::mkfifo(file("Fifo").toUtf8().constData(), 0600), 0);
        QVERIFY(QDir(folder).mkdir("Folder.zqdb"));
        QVERIFY(QFile::copy(m_folder.database(), file("Busy")));
        const QString up = QDir(folder).relativeFilePath(outside.path()) + "/victim";
        const struct {
            QString name;
            bool opens;
        } cases[] = {{"ZQDEMO", true}, {" LinkIn ", true}, {"Busy", true}, {"Empty", false},
                     {"LinkOut", false}, {"Fifo", false}, {"Folder", false}, {"Missing", false},
                     {up, false}, {victim.chopped(5), false}, {".hidden", false}};
        const auto factory = MakeConnectionFactory(folder, LocalSettings{{}, {}, {}, "ZQDEMO"});
        for (const auto& c : cases) {
            QCOMPARE(!ExistingDatabaseFile(folder, c.name).isEmpty(), c.opens);
            const quint32 error = errorOf([&] { factory("Initial Catalog=" + c.name); });
            QCOMPARE(error, c.opens ? 0u : DbErrorNumber::NoConnection);
            // database..table: a refused name reads as an absent database, writes fail.
            if (c.opens || c.name == ".hidden") continue;
            const QString table = "[" + c.name + "]..F8DATA";
            QCOMPARE(run("SELECT COUNT(*) FROM " + table), QString("0"));
            QVERIFY(errorNumber(*m_db, "DELETE FROM " + table) != 0);
        }
        QCOMPARE(QFileInfo(file("Empty")).size(), 0);
        for (const char* side : {"-wal", "-shm", "-sessions"})
            QVERIFY2(!QFile::exists(file("Empty") + side), side);
        QVERIFY(QFileInfo(file("LinkOut")).isSymLink());
        EmbeddedDatabase outsider(victim);
        QVERIFY(outsider.execute("SELECT COUNT(*) FROM F8DATA")[0].rows[0][0].toInt() > 0);
        // The session folder beside a database is not writable by others.
        QCOMPARE(QFile::permissions(m_folder.database() + "-sessions") & QFile::WriteOther,
                 QFile::Permissions());

        SqliteConnection holder(file("Busy"), SqliteConnection::OpenMode::Existing);
        holder.script("BEGIN IMMEDIATE; UPDATE JE SET JDATE = JDATE;");
        QElapsedTimer waited;
        waited.start();
        const auto busy = factory("Initial Catalog=Busy;Connect Timeout=1");
        QCOMPARE(errorNumber(*busy, "EXEC  SP_TIME_UPDATE '0016'"), DbErrorNumber::Timeout);
        QVERIFY2(waited.elapsed() < 10000, qPrintable(QString::number(waited.elapsed())));
        holder.exec("ROLLBACK");
    }

    // A file growing (journal folded back) under a mapped reader reads back every row: each
    // batch adds 1500 texts of 100 to 399 characters, 374250 in all.
    void growingFileReadsBackThroughTheMap() {
        const QString path = m_folder.path() + "/GROWING.zqdb";
        SqliteConnection writer(path, SqliteConnection::OpenMode::Create);
        SqliteConnection reader(path, SqliteConnection::OpenMode::Existing);
        writer.exec("CREATE TABLE T (N INTEGER PRIMARY KEY, V TEXT)");
        for (int batch = 1; batch <= 6; ++batch) {
            writer.transaction([&] {
                for (int i = 0; i < 1500; ++i)
                    writer.exec("INSERT INTO T (V) VALUES (printf('%0*d', ?1, ?2))",
                                {100 + i % 300, batch});
            });
            if (batch % 2 == 0) writer.exec("PRAGMA wal_checkpoint(TRUNCATE)");
            const ResultSet sums =
                reader.query(QString("SELECT COUNT(*), SUM(LENGTH(V)), COUNT(DISTINCT V) FROM T"));
            QCOMPARE(ShowResults({sums}),
                     QString("%1|%2|%3").arg(1500 * batch).arg(374250 * batch).arg(300 * batch));
        }
    }

    // Past the part of the file the system maps (here cut to 64 KB, as SQLite's own limit cuts
    // a large file at 2 GB), pages come from the layer's own map: a reader reads no page with a
    // call, and reads every row back while another connection grows the file and shrinks it.
    void pagesBeyondTheSystemsMap() {
        const QString path = m_folder.path() + "/BEYOND.zqdb";
        SqliteConnection writer(path, SqliteConnection::OpenMode::Create);
        writer.exec("CREATE TABLE T (N INTEGER PRIMARY KEY, V TEXT)");
        const auto add = [&](int rows, int batch) {
            writer.transaction([&] {
                for (int i = 0; i < rows; ++i)
                    writer.exec("INSERT INTO T (V) VALUES (printf('%0*d', 500, ?1))", {batch});
            });
            writer.exec("PRAGMA wal_checkpoint(TRUNCATE)");
        };
        add(2000, 1);
        const auto readsOf = [&](SqliteConnection& reader, const QString& expected) {
            const long long before = PrefetchingFiles::databaseReads();
            const ResultSet sums = reader.query(QString("SELECT COUNT(*), SUM(LENGTH(V)) FROM T"));
            if (ShowResults({sums}) != expected) qWarning("read back %s", qPrintable(ShowResults({sums})));
            return ShowResults({sums}) == expected ? PrefetchingFiles::databaseReads() - before : -1;
        };
        SqliteConnection reader(path, SqliteConnection::OpenMode::Existing);
        reader.exec("PRAGMA mmap_size = 65536");
        SqliteConnection unmapped(path, SqliteConnection::OpenMode::Existing);
        unmapped.exec("PRAGMA mmap_size = 0");
        QVERIFY(readsOf(reader, "2000|1000000") >= 0);  // the page cache filled once
        // The file's first page, which SQLite never maps, at most.
        reader.exec("PRAGMA cache_size = 0");
        const auto fewReads = [&](const QString& expected) {
            const long long reads = readsOf(reader, expected);
            return reads >= 0 && reads <= 1;
        };
        QVERIFY(fewReads("2000|1000000"));
        QVERIFY(readsOf(unmapped, "2000|1000000") > 200);  // 1 MB in pages of 4 KB
        add(3000, 2);  // grown
        QVERIFY(fewReads("5000|2500000"));
        writer.exec("DELETE FROM T WHERE N > 100");
        writer.exec("VACUUM");  // shrunk to a tenth
        writer.exec("PRAGMA wal_checkpoint(TRUNCATE)");
        QVERIFY(QFileInfo(path).size() < 200000);
        QVERIFY(readsOf(reader, "100|50000") >= 0);
        add(1000, 3);
        QVERIFY(fewReads("1100|550000"));
    }

    // Reads run together see one snapshot until a writing procedure; errors end it.
    void readsTogetherSeeOneState() {
        EmbeddedDatabase other(m_folder.database());
        const auto rows = [&] { return run("Select Count(*) From LSTA").toInt(); };
        const int before = rows();
        const auto insert = [&](const char* code) {
            other.execute(QString("Insert Into LSTA (LCODE, LNAME) Values ('%1', 'x')").arg(code));
        };
        QList<int> seen;
        m_db->readTogether([&] {
            seen << rows();
            insert("T1");
            seen << rows();
            m_db->execute("EXEC SP_TIME_UPDATE '0016'");
            insert("T2");
            seen << rows();
        });
        QCOMPARE(seen, QList<int>({before, before, before + 2}));
        QVERIFY_THROWS_EXCEPTION(DbError, m_db->readTogether([&] {
            rows();
            m_db->execute("Select Nothing From LSTA");
        }));
        insert("T3");
        QCOMPARE(rows(), before + 3);
        other.execute("Delete From LSTA Where LCODE In ('T1', 'T2', 'T3')");
    }
};

QTEST_GUILESS_MAIN(EmbeddedDatabaseTest)
#include "tst_embeddeddb.moc"
