// The embedded database through SuiteDatabase::execute, as the module uses it: the server's
// text comparison, result sets and values, error numbers, procedure transactions, and two
// connections writing one file at the same time.
#include <unicode/ucol.h>

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>
#include <thread>

#include "DbError.h"
#include "DemoFolder.h"
#include "EmbeddedDatabase.h"
#include "SessionProcedures.h"
#include "SqliteConnection.h"
#include "TsqlCollation.h"

namespace {
quint32 errorNumber(SuiteDatabase& db, const QString& text, QString* description = nullptr) {
    try {
        db.execute(text);
    } catch (const DbError& e) {
        if (description) *description = e.description();
        return e.number();
    }
    return 0;
}
}  // namespace

class EmbeddedDatabaseTest : public QObject {
    Q_OBJECT

    DemoFolder m_folder;
    std::unique_ptr<EmbeddedDatabase> m_db;

private slots:
    void init() { m_db = std::make_unique<EmbeddedDatabase>(m_folder.database()); }
    void cleanup() { m_db.reset(); }

    // CompStr's batch: one result set, one row, 'T' exactly when the server orders a after b.
    // Stroke order: 王 (4 strokes) before 李 (7), although 李 comes first by code point and
    // by pinyin; 林 (8) before 陳 (11). Accents count, width does not, NULL equals a blank.
    void comparison() {
        const char* const cases[][3] = {
            {"b", "a", "T"},   {"a", "A", "F"},   {"b", "A", "T"},
            {"a  ", "a", "F"}, {"a", " a", "T"},  {"10", "9", "F"},  // trailing, leading, digits
            {"李", "王", "T"}, {"陳", "林", "T"}, {"一", "丁", "F"},
        };
        for (const auto& [a, b, answer] : cases) {
            const ResultSets sets = m_db->execute(
                QString::fromUtf8("IF (Select '%1') > (Select '%2') Begin Select 'T' End Else "
                                  "Begin Select 'F' End")
                    .arg(QString::fromUtf8(a), QString::fromUtf8(b)));
            QCOMPARE(sets.size(), 1);
            QCOMPARE(sets[0].rows.size(), 1);
            QVERIFY2(sets[0].rows[0].value(0).toString() == QLatin1String(answer), a);
        }
        TsqlCollation c;
        QVERIFY(c.compare(QStringLiteral("a"), QStringLiteral("á")) != 0);
        QCOMPARE(c.compare(QStringLiteral("Ａ"), QStringLiteral("a")), 0);
        QVERIFY(c.compare(QString(), QStringLiteral(" ")) == 0);
    }

    // Texts of printable ASCII characters go by a table of places instead of ICU: any two must
    // still compare as ICU compares them (blanks at the end ignored).
    void asciiTextsCompareAsIcu() {
        QVERIFY(TsqlCollation::asciiOrder().has_value());
        TsqlCollation c;
        UCollator* icu = TsqlCollation::openCollator();
        const QByteArray alphabet = " !#$'()*+,-./09:;<=>?@AZ[\\]^_`az{|}~";
        QRandomGenerator random(13);
        const auto text = [&] {
            QByteArray t;
            for (int n = int(random.bounded(7)); n > 0; --n)
                t += alphabet[random.bounded(int(alphabet.size()))];
            return t;
        };
        const auto sign = [](int n) { return n < 0 ? -1 : n > 0 ? 1 : 0; };
        for (int i = 0; i < 100000; ++i) {
            QByteArray a = text(), b = text();
            const int got =
                sign(c.compare(a.constData(), int(a.size()), b.constData(), int(b.size())));
            while (a.endsWith(' ')) a.chop(1);
            while (b.endsWith(' ')) b.chop(1);
            UErrorCode status = U_ZERO_ERROR;
            const int expected = sign(ucol_strcollUTF8(icu, a.constData(), int(a.size()),
                                                       b.constData(), int(b.size()), &status));
            QVERIFY2(got == expected, ("'" + a + "' against '" + b + "'").constData());
        }
        ucol_close(icu);
    }

    // Stored columns order by the same collation, so ORDER BY and = agree with CompStr.
    void tableColumnsUseTheCollation() {
        const ResultSets sets = m_db->execute(QStringLiteral(
            "Select SNAME From SALE Where SUSER In ('ADM', 'LEE', 'WANG', 'CHEN') Order By SNAME;"
            "Select SCODE From SALE Where SUSER = 'lee  ' And SNAME >= N'李'"));
        QStringList names;
        for (const QVariantList& row : sets[0].rows) names.append(row[0].toString());
        QCOMPARE(names, QStringList({"王美華", "李志明", "系統管理員", "陳建宏"}));
        QCOMPARE(sets[1].rows, QList<QVariantList>({{QStringLiteral("S002")}}));
    }

    // Values as the server types them; changes in between give no result set; a set without
    // rows keeps its columns.
    void resultSetsAndValues() {
        const ResultSets sets = m_db->execute(QStringLiteral(
            "Select 1 As n, 2.5 As r, 'x' As t, NULL As z; Insert Into Depart25 (DEPARTNO, DENAME) "
            "Values ('99', N'測試部'); Update Depart25 Set DENAME = 'x' Where DEPARTNO = '99'; "
            "Select DENAME From Depart25 Where DEPARTNO >= '99'; Delete From Depart25 Where "
            "DEPARTNO = '99'; Select * From Depart25 Where DEPARTNO >= '99'"));
        QCOMPARE(sets.size(), 3);
        QCOMPARE(sets[0].columns, QStringList({"n", "r", "t", "z"}));
        const QVariantList& row = sets[0].rows[0];
        QCOMPARE(row[0].typeId(), QMetaType::LongLong);
        QCOMPARE(row[1].typeId(), QMetaType::Double);
        QCOMPARE(row[2].typeId(), QMetaType::QString);
        QVERIFY(!row[3].isValid());
        QCOMPARE(sets[1].rows, QList<QVariantList>({{QStringLiteral("x")}}));
        QCOMPARE(sets[2].rows.size(), 0);
        QVERIFY(sets[2].columns.contains(QStringLiteral("DENAME")));
        // As the server names them: an expression without alias has no name.
        QCOMPARE(
            m_db->execute(QStringLiteral("Select 'T', LCODE, 1 + 1 As two From LSTA"))[0].columns,
            QStringList({QString(), QStringLiteral("LCODE"), QStringLiteral("two")}));
        // Bytes, and a column declared DATETIME, as the file gives them.
        SqliteConnection& c = m_db->connection();
        c.script(
            QStringLiteral("CREATE TEMP TABLE kinds (d DATETIME, b BLOB); INSERT INTO kinds "
                           "VALUES ('2026-12-06 08:30:00.000', X'610062')"));
        QCOMPARE(
            c.query(QStringLiteral("SELECT d, b FROM kinds")).rows.value(0),
            (QVariantList{QDateTime(QDate(2026, 12, 6), QTime(8, 30)), QByteArray("a\0b", 3)}));
    }

    // The provider's error numbers, and the server's messages where the module shows them:
    // one of each kind.
    void errorNumbers() {
        const std::tuple<const char*, quint32, const char*> cases[] = {
            {"Select * From ASSETX", 0x80040E37, "無效的物件名稱 'ASSETX'。"},
            {"IF EXISTS (Select * From NOPE) Begin Select 1 End", 0x80040E37,
             "無效的物件名稱 'NOPE'。"},
            {"Select * From SALE Where", 0x80040E14, "接近 'Where' 之處的語法不正確。"},
            {"Select XX From SALE", 0x80040E14, "無效的資料行名稱 'XX'。"},
            {"SF_ZQ2K_NOTHING 'a'", 0x80040E14, "找不到預存程序 'SF_ZQ2K_NOTHING'。"},
            {"EXEC SP_TIME_UPDATE", 0x80040E14,
             "程序或函數 'SP_TIME_UPDATE' 需要參數 '@LCODE'，但未提供。"},
            {"   \r\n ", 0x80040E0C, nullptr},
            {"Insert Into Depart25 (DEPARTNO) Values ('01')", 0x80040E2F, nullptr},
        };
        for (const auto& [text, number, description] : cases) {
            QString got;
            QCOMPARE(errorNumber(*m_db, QString::fromUtf8(text), &got), number);
            if (description) QCOMPARE(got, QString::fromUtf8(description));
        }
    }

    // Odd inputs are refused with an error, never a crash.
    void oddInputs() {
        QStringList texts = QString::fromUtf8(
                                "' | [ | /* | N' | ((( | ))) | IF | IF 1 BEGIN | ELSE | "
                                "EXEC | EXEC , | P 'a', | \xF0\x9F\x98\x80 | "
                                "Select 1; Select | BEGIN END END | "
                                "IF (Select 'a') > | Select 1 Where 'a' In")
                                .split(QStringLiteral(" | "));
        texts.append(QStringLiteral("Select '") + QChar(0) + QStringLiteral("'"));
        for (const QString& text : texts) errorNumber(*m_db, text);
        QCOMPARE(m_db->execute(QStringLiteral("Select 1")).size(), 1);  // still usable
    }

    // A missing file and a file that is no database are refused with the provider's number.
    // (Catalogue names are checked with the connection factory in tst_sessionprocedures.)
    void openingFailures() {
        QTemporaryDir dir;
        QFile junk(dir.filePath(QStringLiteral("junk.zqdb")));
        QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write(QByteArray(4096, 'x')) == 4096);
        junk.close();
        for (const QString& path :
             {dir.filePath(QStringLiteral("missing.zqdb")), junk.fileName()}) {
            try {
                EmbeddedDatabase db(path);
                QFAIL(qPrintable(path));
            } catch (const DbError& e) {
                QCOMPARE(e.number(), quint32(0x80004005));
            }
        }
    }

    // A procedure that fails leaves nothing behind; one that returns keeps its changes.
    void procedureTransactions() {
        auto registry = std::make_shared<ProcedureRegistry>();
        registry->add(QStringLiteral("TST_ADD"), {QStringLiteral("@CODE"), QStringLiteral("@FAIL")},
                      2, [](SqliteConnection& db, const ProcedureCall& call) -> ResultSets {
                          db.exec(QStringLiteral("INSERT INTO Depart25 (DEPARTNO) VALUES (?1)"),
                                  {call.text(0)});
                          if (call.integer(1) != 0)
                              throw DbError(DbErrorNumber::Syntax, QStringLiteral("refused"));
                          return {};
                      });
        EmbeddedDatabase db(m_folder.database(), EmbeddedDatabase::OpenMode::Existing, registry);
        QCOMPARE(errorNumber(db, QStringLiteral("tst_add 'T1', 1")), quint32(0x80040E14));
        QVERIFY(db.execute(QStringLiteral("Exec TST_ADD 'T2', 0")).isEmpty());
        QCOMPARE(db.execute(QStringLiteral("Select DEPARTNO From Depart25 Where DEPARTNO In "
                                           "('T1', 'T2'); Delete From Depart25 Where DEPARTNO = "
                                           "'T2'"))[0]
                     .rows,
                 QList<QVariantList>({{QStringLiteral("T2")}}));
    }

    // Another connection holding the write lock beyond the busy time-out gives 0x80040E31 to
    // procedures and statements that write; reads go on.
    void busyBeyondTimeout() {
        SqliteConnection holder(m_folder.database(), SqliteConnection::OpenMode::Existing);
        holder.exec(QStringLiteral("BEGIN IMMEDIATE"));
        m_db->setBusyTimeout(200);
        for (const char* text : {"EXEC SP_TIME_UPDATE '0016'", "Update LSTA Set LNAME = LNAME"})
            QCOMPARE(errorNumber(*m_db, QLatin1String(text)), quint32(0x80040E31));
        QCOMPARE(m_db->execute(QStringLiteral("Select Count(*) From LSTA"))[0].rows[0][0].toInt(),
                 20);
        holder.exec(QStringLiteral("ROLLBACK"));
        QCOMPARE(m_db->execute(QStringLiteral("EXEC SP_TIME_UPDATE '0016'")).size(), 1);
    }

    // Pages come from the memory map through the program's own file layer: a file that grows
    // while another connection reads it, and whose journal is folded back and emptied between
    // the reads, reads back every row as written (a fetch or release passed on wrongly would
    // show old pages, or none).
    void growingFileReadsBackThroughTheMap() {
        const QString path = m_folder.path() + QStringLiteral("/GROWING.zqdb");
        SqliteConnection writer(path, SqliteConnection::OpenMode::Create);
        SqliteConnection reader(path, SqliteConnection::OpenMode::Existing);
        writer.exec(QStringLiteral("CREATE TABLE T (N INTEGER PRIMARY KEY, V TEXT)"));
        qlonglong expected = 0;
        for (int batch = 1; batch <= 6; ++batch) {
            writer.transaction([&] {
                for (int i = 0; i < 1500; ++i)
                    writer.exec(QStringLiteral("INSERT INTO T (V) VALUES (printf('%0*d', ?1, ?2))"),
                                {100 + i % 300, batch});
            });
            for (int i = 0; i < 1500; ++i) expected += 100 + i % 300;
            if (batch % 2 == 0) writer.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
            const ResultSet sums = reader.query(
                QStringLiteral("SELECT COUNT(*), SUM(LENGTH(V)), COUNT(DISTINCT V) FROM T"));
            QCOMPARE(sums.rows[0][0].toInt(), 1500 * batch);
            QCOMPARE(sums.rows[0][1].toLongLong(), expected);
            QCOMPARE(sums.rows[0][2].toInt(), 300 * batch);
        }
    }

    // Reads run together see one state: a line another workstation commits in between shows
    // in none of them. A procedure that writes, called among them, ends the snapshot first: it
    // succeeds although the snapshot is older than that line, and the reads after it see both.
    // An error inside leaves no transaction open behind it.
    void readsTogetherSeeOneState() {
        EmbeddedDatabase other(m_folder.database());
        const QString count = QStringLiteral("Select Count(*) From LSTA");
        const auto rows = [&] { return m_db->execute(count)[0].rows[0][0].toInt(); };
        const int before = rows();
        const auto insert = [&](const QString& code) {
            other.execute(QStringLiteral("Insert Into LSTA (LCODE, LNAME) Values ('%1', 'x')")
                              .arg(code));
        };
        int first = 0, second = 0, afterWrite = 0;
        m_db->readTogether([&] {
            first = rows();
            insert(QStringLiteral("T1"));
            second = rows();
            m_db->execute(QStringLiteral("EXEC SP_TIME_UPDATE '0016'"));
            insert(QStringLiteral("T2"));
            afterWrite = rows();
        });
        QCOMPARE(first, before);
        QCOMPARE(second, before);
        QCOMPARE(afterWrite, before + 2);
        QVERIFY_THROWS_EXCEPTION(DbError, m_db->readTogether([&] {
            rows();
            m_db->execute(QStringLiteral("Select Nothing From LSTA"));
        }));
        insert(QStringLiteral("T3"));
        QCOMPARE(rows(), before + 3);
        other.execute(QStringLiteral("Delete From LSTA Where LCODE In ('T1', 'T2', 'T3')"));
    }

    // Two workstations on one file: every insert arrives and no read-modify-write of a
    // procedure loses an update.
    void twoConnectionsWriteConcurrently() {
        auto registry = std::make_shared<ProcedureRegistry>();
        SessionProcedures::addTo(*registry);
        registry->add(QStringLiteral("TST_BUMP"), {}, 0,
                      [](SqliteConnection& db, const ProcedureCall&) -> ResultSets {
                          const qlonglong n =
                              db.scalar(QStringLiteral("SELECT N FROM TST_COUNT")).toLongLong();
                          QThread::usleep(100);  // a procedure's work between read and write
                          db.exec(QStringLiteral("UPDATE TST_COUNT SET N = ?1"), {n + 1});
                          return {};
                      });
        m_db->execute(
            QStringLiteral("Create Table TST_COUNT (N Integer); Insert Into TST_COUNT "
                           "Values (0); Create Table TST_ROWS (W Text, I Integer)"));
        constexpr int Rounds = 200;
        QStringList failures;
        std::mutex failuresLock;
        const auto work = [&](EmbeddedDatabase* db, const QString& station) {
            try {
                for (int i = 0; i < Rounds; ++i) {
                    db->execute(QStringLiteral("Insert Into TST_ROWS Values ('%1', %2)")
                                    .arg(station)
                                    .arg(i));
                    db->execute(QStringLiteral("TST_BUMP"));
                    if (i % 10 == 0)
                        db->execute(QStringLiteral("EXEC SP_TIME_UPDATE '%1'").arg(station));
                }
            } catch (const DbError& e) {
                std::lock_guard lock(failuresLock);
                failures.append(e.hexNumber() + u' ' + e.description());
            }
        };
        // Both open before either starts writing.
        EmbeddedDatabase one(m_folder.database(), EmbeddedDatabase::OpenMode::Existing, registry);
        EmbeddedDatabase two(m_folder.database(), EmbeddedDatabase::OpenMode::Existing, registry);
        std::thread first(work, &one, QStringLiteral("0001"));
        std::thread second(work, &two, QStringLiteral("0002"));
        first.join();
        second.join();
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u'\n')));
        const ResultSets sets = m_db->execute(QStringLiteral(
            "Select N From TST_COUNT; Select W, Count(Distinct I) From TST_ROWS Group By W Order "
            "By W; Drop Table TST_COUNT; Drop Table TST_ROWS"));
        QCOMPARE(sets[0].rows[0][0].toLongLong(), 2 * Rounds);
        QCOMPARE(sets[1].rows, QList<QVariantList>({{QStringLiteral("0001"), qlonglong(Rounds)},
                                                    {QStringLiteral("0002"), qlonglong(Rounds)}}));
    }
};

QTEST_GUILESS_MAIN(EmbeddedDatabaseTest)
#include "tst_embeddeddb.moc"
