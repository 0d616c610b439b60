// The embedded database through SuiteDatabase::execute, as the module uses it: the server's
// text comparison, result sets and values, error numbers, procedure transactions, and two
// connections writing one file at the same time.
#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>
#include <latch>
#include <thread>

#include "Backends.h"
#include "DbError.h"
#include "DemoFolder.h"
#include "EmbeddedDatabase.h"
#include "LocalSettings.h"
#include "SessionProcedures.h"
#include "SqliteConnection.h"
#include "TsqlCollation.h"

#include <unicode/ucol.h>

namespace {
QString compStrBatch(const QString& a, const QString& b) {
    return QStringLiteral("IF (Select '") + a + QStringLiteral("') > (Select '") + b +
           QStringLiteral("') Begin Select 'T' End Else Begin Select 'F' End");
}

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
    void comparisonBatch_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("answer");
        // Stroke order: 王 (4 strokes) before 李 (7), although 李 comes first by code point
        // and by pinyin; 林 (8) before 陳 (11), although chen comes before lin in pinyin.
        const char* const cases[][4] = {
            {"b after a", "b", "a", "T"},
            {"equal", "a", "a", "F"},
            {"a before b", "a", "b", "F"},
            {"case ignored: a vs A", "a", "A", "F"},
            {"case ignored: A vs a", "A", "a", "F"},
            {"case ignored: b vs A", "b", "A", "T"},
            {"trailing blanks ignored", "a  ", "a", "F"},
            {"leading blank counts", "a", " a", "T"},
            {"digits before letters", "A", "9", "T"},
            {"codes as texts", "10", "9", "F"},
            {"李 after 王", "李", "王", "T"},
            {"王 before 李", "王", "李", "F"},
            {"陳 after 林", "陳", "林", "T"},
            {"一 before 丁", "一", "丁", "F"},
            {"names by first character", "王美華", "李志明", "F"},
        };
        for (const auto& c : cases)
            QTest::newRow(c[0]) << QString::fromUtf8(c[1]) << QString::fromUtf8(c[2])
                                << QString::fromUtf8(c[3]);
    }
    void comparisonBatch() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, answer);
        const ResultSets sets = m_db->execute(compStrBatch(a, b));
        QCOMPARE(sets.size(), 1);
        QCOMPARE(sets[0].rows.size(), 1);
        QCOMPARE(sets[0].rows[0].value(0).toString(), answer);
    }

    void collationDirectly() {
        TsqlCollation c;
        QCOMPARE(c.compare(QStringLiteral("ADM"), QStringLiteral("adm  ")), 0);
        QVERIFY(c.compare(QStringLiteral("a"), QStringLiteral("á")) != 0);  // accents count
        QCOMPARE(c.compare(QStringLiteral("Ａ"), QStringLiteral("a")), 0);  // width does not
        QVERIFY(c.compare(QStringLiteral("王"), QStringLiteral("李")) < 0);
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
            const int got = sign(c.compare(a.constData(), int(a.size()), b.constData(),
                                           int(b.size())));
            while (a.endsWith(' ')) a.chop(1);
            while (b.endsWith(' ')) b.chop(1);
            UErrorCode status = U_ZERO_ERROR;
            const int expected = sign(ucol_strcollUTF8(icu, a.constData(), int(a.size()),
                                                       b.constData(), int(b.size()), &status));
            if (got != expected) QFAIL(qPrintable(QStringLiteral("'%1' against '%2': %3, ICU %4")
                                                      .arg(a, b).arg(got).arg(expected)));
        }
        ucol_close(icu);
    }

    // Stored columns order by the same collation, so ORDER BY and = agree with CompStr.
    void tableColumnsUseTheCollation() {
        const ResultSets byName =
            m_db->execute(QStringLiteral("Select SNAME From SALE Where SUSER In ('ADM', 'LEE', "
                                         "'WANG', 'CHEN') Order By SNAME"));
        QStringList names;
        for (const QVariantList& row : byName[0].rows) names.append(row[0].toString());
        QCOMPARE(names, QStringList({"王美華", "李志明", "系統管理員", "陳建宏"}));
        const ResultSets found = m_db->execute(
            QStringLiteral("Select SCODE From SALE Where SUSER = 'lee  ' And SNAME >= N'李'"));
        QCOMPARE(found[0].rows.size(), 1);
        QCOMPARE(found[0].rows[0][0].toString(), QStringLiteral("S002"));
    }

    void resultSetsAndValues() {
        const ResultSets sets = m_db->execute(QStringLiteral(
            "Select 1 As n, 2.5 As r, 'x' As t, NULL As z; Select LCODE From LSTA Where LCODE <= "
            "'0003' Order By LCODE; Select * From LSTA Where 1 = 0"));
        QCOMPARE(sets.size(), 3);
        QCOMPARE(sets[0].columns, QStringList({"n", "r", "t", "z"}));
        const QVariantList& row = sets[0].rows[0];
        QCOMPARE(row[0].typeId(), QMetaType::LongLong);
        QCOMPARE(row[1].typeId(), QMetaType::Double);
        QCOMPARE(row[2].typeId(), QMetaType::QString);
        QVERIFY(!row[3].isValid());
        // Bytes, and a column declared DATETIME, as the file gives them.
        SqliteConnection& c = m_db->connection();
        c.exec(QStringLiteral("CREATE TEMP TABLE kinds (d DATETIME, b BLOB)"));
        c.exec(QStringLiteral("INSERT INTO kinds VALUES ('2026-12-06 08:30:00.000', X'610062')"));
        const QVariantList kinds = c.query(QStringLiteral("SELECT d, b FROM kinds")).rows.value(0);
        QCOMPARE(kinds, (QVariantList{QDateTime(QDate(2026, 12, 6), QTime(8, 30)),
                                      QByteArray("a\0b", 3)}));
        QCOMPARE(sets[1].rows.size(), 3);
        QCOMPARE(sets[2].rows.size(), 0);  // no rows, but still a result set with its columns
        QVERIFY(sets[2].columns.contains(QStringLiteral("LTIME")));
        // As the server names them: an expression without alias has no name.
        QCOMPARE(
            m_db->execute(QStringLiteral("Select 'T', LCODE, 1 + 1 As two From LSTA"))[0].columns,
            QStringList({QString(), QStringLiteral("LCODE"), QStringLiteral("two")}));
    }

    void changesGiveNoResultSet() {
        QVERIFY(m_db->execute(QStringLiteral("Insert Into Depart25 (DEPARTNO, DENAME) Values "
                                             "('99', N'測試部'); Update Depart25 Set DENAME = "
                                             "'x' Where DEPARTNO = '99'; Delete From Depart25 "
                                             "Where DEPARTNO = '99'"))
                    .isEmpty());
        QCOMPARE(
            m_db->execute(QStringLiteral("Select Count(*) From Depart25 Where DEPARTNO = '99'"))[0]
                .rows[0][0]
                .toLongLong(),
            0);
    }

    void errorNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("number");
        QTest::addColumn<QString>("description");
        QTest::newRow("unknown table")
            << "Select * From ASSETX" << quint32(0x80040E37) << "無效的物件名稱 'ASSETX'。";
        QTest::newRow("unknown table in a join")
            << "Select * From SALE, NOPE" << quint32(0x80040E37) << "無效的物件名稱 'NOPE'。";
        QTest::newRow("syntax") << "Select * From SALE Where" << quint32(0x80040E14)
                                << "接近 'Where' 之處的語法不正確。";
        QTest::newRow("syntax in the middle")
            << "Select * From SALE Where Where" << quint32(0x80040E14)
            << "接近 'Where' 之處的語法不正確。";
        QTest::newRow("unknown column")
            << "Select XX From SALE" << quint32(0x80040E14) << "無效的資料行名稱 'XX'。";
        QTest::newRow("unknown procedure")
            << "SF_ZQ2K_NOTHING 'a'" << quint32(0x80040E14) << "找不到預存程序 'SF_ZQ2K_NOTHING'。";
        QTest::newRow("unknown procedure after EXEC")
            << "EXEC SP_NOTHING" << quint32(0x80040E14) << "找不到預存程序 'SP_NOTHING'。";
        QTest::newRow("missing argument")
            << "EXEC SP_TIME_UPDATE" << quint32(0x80040E14)
            << "程序或函數 'SP_TIME_UPDATE' 需要參數 '@LCODE'，但未提供。";
        QTest::newRow("empty command") << "" << quint32(0x80040E0C) << QString();
        QTest::newRow("blank command") << "   \r\n " << quint32(0x80040E0C) << QString();
        QTest::newRow("duplicate key")
            << "Insert Into Depart25 (DEPARTNO) Values ('01')" << quint32(0x80040E2F) << QString();
        QTest::newRow("unknown table in IF condition")
            << "IF EXISTS (Select * From NOPE) Begin Select 1 End" << quint32(0x80040E37)
            << "無效的物件名稱 'NOPE'。";
    }
    void errorNumbers() {
        QFETCH(QString, text);
        QFETCH(quint32, number);
        QFETCH(QString, description);
        QString got;
        QCOMPARE(errorNumber(*m_db, text, &got), number);
        if (!description.isEmpty()) QCOMPARE(got, description);
    }

    // Odd inputs are refused with an error, never a crash.
    void oddInputs() {
        QStringList texts = {"'",
                             "[",
                             "/*",
                             "N'",
                             "(((",
                             ")))",
                             "IF",
                             "IF 1 BEGIN",
                             "ELSE",
                             "EXEC",
                             "EXEC ,",
                             "P 'a',",
                             "\xF0\x9F\x98\x80",
                             "Select 1; Select",
                             "BEGIN END END",
                             "IF (Select 'a') >",
                             "Select 1 Where 'a' In"};
        texts.append(QStringLiteral("Select '") + QChar(0) + QStringLiteral("'"));
        for (const QString& text : texts) {
            try {
                m_db->execute(text);
            } catch (const DbError&) {
            }
        }
        QCOMPARE(m_db->execute(QStringLiteral("Select 1")).size(), 1);  // still usable
    }

    void openingFailures() {
        QTemporaryDir dir;
        try {
            EmbeddedDatabase missing(dir.filePath(QStringLiteral("missing.zqdb")));
            QFAIL("opened a missing file");
        } catch (const DbError& e) {
            QCOMPARE(e.number(), quint32(0x80004005));
        }
        QFile junk(dir.filePath(QStringLiteral("junk.zqdb")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        try {
            EmbeddedDatabase notADatabase(junk.fileName());
            QFAIL("opened a file that is no database");
        } catch (const DbError& e) {
            QCOMPARE(e.number(), quint32(0x80004005));
        }
        // A catalogue names a file beside the settings file and nothing elsewhere.
        const auto connect = MakeConnectionFactory(m_folder.path(), LocalSettings{});
        QVERIFY(connect("Initial Catalog=" + QFileInfo(m_folder.database()).completeBaseName()));
        for (const char* catalogue : {"../ZQDEMO", "/tmp/x", "sub\\x", ".."}) {
            try {
                connect(QString("Initial Catalog=") + catalogue);
                QFAIL(catalogue);
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
        const ResultSets sets = db.execute(QStringLiteral(
            "Select DEPARTNO From Depart25 Where DEPARTNO In ('T1', 'T2'); Delete From Depart25 "
            "Where DEPARTNO = 'T2'"));
        QCOMPARE(sets[0].rows.size(), 1);
        QCOMPARE(sets[0].rows[0][0].toString(), QStringLiteral("T2"));
    }

    // Another connection holding the write lock beyond the busy time-out gives 0x80040E31.
    void busyBeyondTimeout() {
        SqliteConnection holder(m_folder.database(), SqliteConnection::OpenMode::Existing);
        holder.exec(QStringLiteral("BEGIN IMMEDIATE"));
        m_db->setBusyTimeout(200);
        QCOMPARE(errorNumber(*m_db, QStringLiteral("EXEC SP_TIME_UPDATE '0016'")),
                 quint32(0x80040E31));
        QCOMPARE(errorNumber(*m_db, QStringLiteral("Update LSTA Set LNAME = LNAME")),
                 quint32(0x80040E31));
        // Readers are not blocked by a writer.
        QCOMPARE(m_db->execute(QStringLiteral("Select Count(*) From LSTA"))[0].rows[0][0].toInt(),
                 20);
        holder.exec(QStringLiteral("ROLLBACK"));
        QVERIFY(m_db->execute(QStringLiteral("EXEC SP_TIME_UPDATE '0016'")).size() == 1);
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
        std::latch bothOpen(2);
        const auto work = [&](const QString& station) {
            bool arrived = false;
            try {
                EmbeddedDatabase db(m_folder.database(), EmbeddedDatabase::OpenMode::Existing,
                                    registry);
                arrived = true;
                bothOpen.arrive_and_wait();
                for (int i = 0; i < Rounds; ++i) {
                    db.execute(QStringLiteral("Insert Into TST_ROWS Values ('%1', %2)")
                                   .arg(station)
                                   .arg(i));
                    db.execute(QStringLiteral("TST_BUMP"));
                    if (i % 10 == 0)
                        db.execute(QStringLiteral("EXEC SP_TIME_UPDATE '%1'").arg(station));
                }
            } catch (const DbError& e) {
                if (!arrived) bothOpen.count_down();  // the other one must not wait for us
                std::lock_guard lock(failuresLock);
                failures.append(e.hexNumber() + u' ' + e.description());
            }
        };
        std::thread first(work, QStringLiteral("0001"));
        std::thread second(work, QStringLiteral("0002"));
        first.join();
        second.join();
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u'\n')));
        const ResultSets sets = m_db->execute(QStringLiteral(
            "Select N From TST_COUNT; Select W, Count(Distinct I) From TST_ROWS Group By W Order "
            "By W; Drop Table TST_COUNT; Drop Table TST_ROWS"));
        QCOMPARE(sets[0].rows[0][0].toLongLong(), 2 * Rounds);
        QCOMPARE(sets[1].rows.size(), 2);
        QCOMPARE(sets[1].rows[0][1].toLongLong(), Rounds);
        QCOMPARE(sets[1].rows[1][1].toLongLong(), Rounds);
    }
};

QTEST_GUILESS_MAIN(EmbeddedDatabaseTest)
#include "tst_embeddeddb.moc"
