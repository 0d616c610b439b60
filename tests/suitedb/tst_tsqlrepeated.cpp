// Repeated statements: a text whose shape the front end has translated before runs without
// being split as a batch again. Whatever way it takes, it must give what a front end that
// never saw the shape gives: the same rows, columns and errors, also when the value decides
// the rewrite (LIKE prefixes, the split history key) or shapes the statement (CHAR(n)).
#include <QtTest>

#include "DbError.h"
#include "TsqlFixture.h"

namespace {
const char* const Setup =
    "CREATE TABLE T (CODE TEXT COLLATE TSQL, NAME TEXT COLLATE TSQL, N INTEGER, R REAL,"
    "  D DATETIME);"
    "INSERT INTO T VALUES ('a01', '王美華', 1, 1.5, '2024-03-15 09:30:05.250'),"
    "  ('A02', '李志明', 2, 2.5, NULL), ('b01 ', '陳建宏', 3, NULL, '2023-01-02'),"
    "  ('a_1', '林', 4, 0.25, NULL), ('[x]', '一', 5, 10, NULL);"
    "CREATE INDEX T_CODE ON T (CODE);"
    "CREATE TABLE K (ID INTEGER PRIMARY KEY, CODE TEXT COLLATE TSQL);"
    "INSERT INTO K VALUES (1, 'a');"
    "CREATE TABLE H (HCOD1 TEXT COLLATE TSQL NOT NULL, HSEQ INTEGER NOT NULL,"
    "  HICOD TEXT COLLATE TSQL NOT NULL);"
    "CREATE INDEX H_INX ON H (HICOD, HCOD1, HSEQ);"
    "INSERT INTO H VALUES ('A', 1, 'I1'), ('A', 2, 'I1'), ('AB', 1, 'I1'), ('a b', 2, 'I1'),"
    "  ('AB-1', 1, 'I1'), ('B', 10, 'I1'), ('11402160001', 1, 'I1'), ('', 5, 'I1');";

const QString Key = QStringLiteral("(CONVERT(CHAR(11),HCOD1) + CONVERT(CHAR(5),(10000 + HSEQ)))");

QString history(const QString& bound) {
    return QStringLiteral(
               "SELECT TOP 4 HCOD1,HSEQ,%1 AS HINX FROM H WITH (INDEX = H_INX) WHERE HICOD = "
               "'I1' AND %1 >= '%2' ORDER BY HCOD1,HSEQ")
        .arg(Key, bound);
}

// Rows with their column names and value types, or the error.
QString outcome(const std::function<ResultSets()>& work) {
    try {
        const ResultSets sets = work();
        QStringList out;
        for (const ResultSet& set : sets) {
            QStringList types;
            if (!set.rows.isEmpty())
                for (const QVariant& v : set.rows.first())
                    types.append(QString::number(v.typeId()));
            out.append(set.columns.join(u',') + u'[' + types.join(u',') + u']' +
                       ShowResults({set}));
        }
        return out.join(QStringLiteral(" // "));
    } catch (const DbError& e) {
        return QStringLiteral("error ") + e.hexNumber() + u' ' + e.description();
    }
}
}  // namespace

class TsqlRepeatedTest : public QObject {
    Q_OBJECT

private slots:
    // After `earlier`, `text` runs as a front end that never saw it runs it on the same data.
    // `repeated` tells whether the text is to be run as a repeat of the earlier shape (1), must
    // not be (0), or may be either (-1).
    void sameAsAFreshFrontEnd_data() {
        QTest::addColumn<QString>("earlier");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("repeated");
        const auto row = [](const char* name, const QString& earlier, const QString& text,
                            int repeated) { QTest::newRow(name) << earlier << text << repeated; };
        const QString byCode = QStringLiteral("SELECT CODE,N,R,D FROM T WHERE CODE = '%1'");
        row("other value", byCode.arg("a01"), byCode.arg("A02"), 1);
        row("national text", byCode.arg("a01"),
            QStringLiteral("SELECT CODE,N,R,D FROM T WHERE CODE = N'b01'"), 1);
        row("doubled quotes", byCode.arg("a01"), byCode.arg("x'' OR ''1''=''1"), 1);
        row("quote in a line comment", byCode.arg("a01") + QStringLiteral(" -- the code's row"),
            byCode.arg("A02") + QStringLiteral(" -- the code's row"), 1);
        row("quote in a block comment", byCode.arg("a01") + QStringLiteral(" /* it's */"),
            byCode.arg("[x]") + QStringLiteral(" /* it's */"), 1);
        row("other blanks", byCode.arg("a01"),
            QStringLiteral("SELECT  CODE,N,R,D\n FROM T WHERE CODE='a_1'"), -1);
        row("whole number to decimal", QStringLiteral("SELECT CODE FROM T WHERE N = 1"),
            QStringLiteral("SELECT CODE FROM T WHERE N = 2.0"), 1);
        row("hexadecimal and exponent", QStringLiteral("SELECT CODE FROM T WHERE N IN (1, 2)"),
            QStringLiteral("SELECT CODE FROM T WHERE N IN (0x3, 4e0)"), 1);
        row("number ending a name", QStringLiteral("SELECT N FROM T WHERE CODE = 'a01' AND N < 9"),
            QStringLiteral("SELECT N FROM T WHERE CODE = 'a01' AND N < 1"), 1);
        row("prefix gone", QStringLiteral("SELECT CODE FROM T WHERE CODE LIKE 'a%' ORDER BY CODE"),
            QStringLiteral("SELECT CODE FROM T WHERE CODE LIKE '%1' ORDER BY CODE"), 1);
        row("prefix appears", QStringLiteral("SELECT CODE FROM T WHERE CODE LIKE '%1' ORDER BY N"),
            QStringLiteral("SELECT CODE FROM T WHERE CODE LIKE 'a[_]%' ORDER BY N"), 1);
        row("other prefix", QStringLiteral("SELECT CODE FROM T WHERE CODE LIKE 'a%' ORDER BY N"),
            QStringLiteral("SELECT CODE FROM T WHERE CODE LIKE 'B%' ORDER BY N"), 1);
        row("key that splits to one that does not", history(QStringLiteral("A          10002")),
            history(QStringLiteral("A\t         10001")), 1);
        row("key that does not split to one that does", history(QStringLiteral("AB-1")),
            history(QStringLiteral("AB         10001")), 1);
        row("key of another length", history(QStringLiteral("A          10002")),
            history(QStringLiteral("a b        100020")), 1);
        row("other CHAR length",
            QStringLiteral("SELECT CONVERT(CHAR(5),CODE) + '|' FROM T WHERE N = 1"),
            QStringLiteral("SELECT CONVERT(CHAR(2),CODE) + '|' FROM T WHERE N = 1"), 0);
        row("other ordinal in ORDER BY", QStringLiteral("SELECT CODE, N FROM T ORDER BY 2 DESC"),
            QStringLiteral("SELECT CODE, N FROM T ORDER BY 1 DESC"), 0);
        row("other TOP", QStringLiteral("SELECT TOP 1 CODE FROM T ORDER BY N"),
            QStringLiteral("SELECT TOP 3 CODE FROM T ORDER BY N"), -1);
        row("two statements", byCode.arg("a01"),
            byCode.arg("a01") + QStringLiteral("; ") + byCode.arg("A02"), 0);
        row("two statements without a semicolon", byCode.arg("a01") + u' ' + byCode.arg("A02"),
            byCode.arg("b01") + u' ' + byCode.arg("a_1"), 1);
        row("a condition is no statement",
            QStringLiteral("IF EXISTS (SELECT * FROM T WHERE CODE = 'a01') SELECT 1"),
            QStringLiteral("EXISTS (SELECT * FROM T WHERE CODE = 'zz')"), 0);
        row("a branch on its own", QStringLiteral("IF 1 = 1 SELECT N FROM T WHERE CODE = 'a01'"),
            QStringLiteral("SELECT N FROM T WHERE CODE = 'A02'"), 1);
        row("duplicate key", QStringLiteral("INSERT INTO K VALUES (2, 'b')"),
            QStringLiteral("INSERT INTO K VALUES (1, 'c')"), 1);
        row("update then read", QStringLiteral("UPDATE K SET CODE = 'x' WHERE ID = 1"),
            QStringLiteral("UPDATE K SET CODE = 'y''s' WHERE ID = 1"), 1);
        row("unclosed quote", byCode.arg("a01"),
            QStringLiteral("SELECT CODE,N,R,D FROM T WHERE CODE = 'a01"), 0);
        row("unclosed comment", byCode.arg("a01"), byCode.arg("a01") + QStringLiteral(" /* "), 0);
        row("control character for a text", byCode.arg(""),
            QStringLiteral("SELECT CODE,N,R,D FROM T WHERE CODE = \x01"), 0);
        row("refused shape", QStringLiteral("SELECT FROM T WHERE N = 1"),
            QStringLiteral("SELECT FROM T WHERE N = 2"), 0);
        row("unknown column", QStringLiteral("SELECT CODEX FROM T WHERE N = 1"),
            QStringLiteral("SELECT CODEX FROM T WHERE N = 2"), 0);
    }
    void sameAsAFreshFrontEnd() {
        QFETCH(QString, earlier);
        QFETCH(QString, text);
        QFETCH(int, repeated);
        const auto readBack = QStringLiteral("SELECT ID, CODE FROM K ORDER BY ID");

        TsqlFixture warm(QString::fromUtf8(Setup));
        outcome([&] { return warm.db().execute(earlier); });
        bool taken = false;
        const QString got = outcome([&] {
            ResultSets out;
            try {
                taken = warm.db().translator().runRepeated(text, out);
            } catch (const DbError&) {
                taken = true;  // it ran the statement, which failed
                throw;
            }
            return taken ? out : warm.db().execute(text);
        });
        if (repeated >= 0) QCOMPARE(taken, repeated == 1);

        TsqlFixture cold(QString::fromUtf8(Setup));
        outcome([&] { return cold.db().execute(earlier); });
        EmbeddedDatabase fresh(cold.path(QStringLiteral("MAIN")));
        const QString expected = outcome([&] { return fresh.execute(text); });
        QCOMPARE(got, expected);
        QCOMPARE(outcome([&] { return warm.db().execute(readBack); }),
                 outcome([&] { return fresh.execute(readBack); }));
        // And once more, now that both have seen the text.
        QCOMPARE(outcome([&] { return warm.db().execute(text); }),
                 outcome([&] { return fresh.execute(text); }));
    }

    // Another workstation's process changes the schema between two runs of one shape: the
    // second run gives what a front end that never saw the shape gives, rows or error.
    void schemaChangeSeenByTheNextRun_data() {
        QTest::addColumn<QString>("earlier");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QString all = QStringLiteral("SELECT * FROM T WHERE N = %1");
        QTest::newRow("column renamed") << all.arg(1) << "ALTER TABLE T RENAME COLUMN R TO RR"
                                        << all.arg(2) << "CODE,NAME,N,RR,D";
        QTest::newRow("column dropped") << "SELECT CODE, R FROM T WHERE N = 1"
                                        << "ALTER TABLE T DROP COLUMN R"
                                        << "SELECT CODE, R FROM T WHERE N = 2"
                                        << "error 0x80040E14 無效的資料行名稱 'R'。";
        QTest::newRow("table dropped") << "SELECT ID FROM K WHERE ID = 1"
                                       << "DROP TABLE K"
                                       << "SELECT ID FROM K WHERE ID = 2"
                                       << "error 0x80040E37 無效的物件名稱 'K'。";
        QTest::newRow("table renamed, then written") << "UPDATE K SET CODE = 'x' WHERE ID = 1"
                                                     << "ALTER TABLE K RENAME TO K2"
                                                     << "UPDATE K SET CODE = 'y' WHERE ID = 1"
                                                     << "error 0x80040E37 無效的物件名稱 'K'。";
        // The value picks a rewrite that the connection has not prepared yet.
        QTest::newRow("other rewrite of the shape")
            << "SELECT * FROM T WHERE CODE LIKE 'a%' ORDER BY N"
            << "ALTER TABLE T ADD COLUMN E TEXT"
            << "SELECT * FROM T WHERE CODE LIKE '%1' ORDER BY N"
            << "CODE,NAME,N,R,D,E";
    }
    void schemaChangeSeenByTheNextRun() {
        QFETCH(QString, earlier);
        QFETCH(QString, change);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        TsqlFixture fixture(QString::fromUtf8(Setup));
        fixture.db().execute(earlier);
        SqliteConnection(fixture.path(QStringLiteral("MAIN")), SqliteConnection::OpenMode::Existing)
            .script(change);
        const QString got = outcome([&] { return fixture.db().execute(text); });
        QVERIFY2(got.startsWith(expected), qPrintable(got));
        EmbeddedDatabase fresh(fixture.path(QStringLiteral("MAIN")));
        QCOMPARE(got, outcome([&] { return fresh.execute(text); }));
    }

    // Another workstation's process changes a table between two runs of the same shape: the
    // second run sees the table as it is now.
    void schemaChangedByAnotherProcess() {
        TsqlFixture fixture(QString::fromUtf8(Setup));
        const QString text = QStringLiteral("SELECT * FROM T WHERE N = %1");
        QCOMPARE(fixture.db().execute(text.arg(1))[0].columns,
                 QStringList({"CODE", "NAME", "N", "R", "D"}));
        {
            SqliteConnection other(fixture.path(QStringLiteral("MAIN")),
                                   SqliteConnection::OpenMode::Existing);
            other.script(
                QStringLiteral("ALTER TABLE T ADD COLUMN E TEXT COLLATE TSQL;"
                               "UPDATE T SET E = 'e' || N;"));
        }
        const ResultSets sets = fixture.db().execute(text.arg(2));
        QCOMPARE(sets[0].columns, QStringList({"CODE", "NAME", "N", "R", "D", "E"}));
        QCOMPARE(ShowResults(sets), QStringLiteral("A02|李志明|2|2.5|NULL|e2"));

        // A statement kept prepared on the connection reads the new columns too, and still
        // reads DATETIME columns as moments.
        SqliteConnection& connection = fixture.db().connection();
        const QString own = QStringLiteral("SELECT * FROM K ORDER BY ID");
        QCOMPARE(connection.query(own).columns, QStringList({"ID", "CODE"}));
        {
            SqliteConnection other(fixture.path(QStringLiteral("MAIN")),
                                   SqliteConnection::OpenMode::Existing);
            other.script(
                QStringLiteral("ALTER TABLE K ADD COLUMN AT DATETIME;"
                               "UPDATE K SET AT = '2024-03-15 09:30:05';"));
        }
        const ResultSet set = connection.query(own);
        QCOMPARE(set.columns, QStringList({"ID", "CODE", "AT"}));
        QCOMPARE(set.rows[0].size(), 3);
        QCOMPARE(set.rows[0][2].toDateTime(), QDateTime(QDate(2024, 3, 15), QTime(9, 30, 5)));
    }

    // A statement in steady use stays translated and prepared however many other shapes pass
    // through the caches: they drop their least recently used entries, not everything.
    void steadyStatementOutlivesManyShapes() {
        TsqlFixture fixture(QString::fromUtf8(Setup));
        EmbeddedDatabase& db = fixture.db();
        const QString steady = QStringLiteral("SELECT CODE FROM T WHERE N = %1");
        db.execute(steady.arg(1));
        SqliteConnection& connection = db.connection();
        const QString own = QStringLiteral("SELECT CODE FROM T WHERE N = ?1");
        connection.query(own, {1});
        const quint64 before = connection.preparations();
        const int shapes = 1500;
        for (int i = 0; i < shapes; ++i) {
            db.execute(QStringLiteral("SELECT CODE AS C%1 FROM T WHERE N = 1").arg(i));
            connection.query(QStringLiteral("SELECT %1 FROM T").arg(i));
            if (i % 50 != 0) continue;
            ResultSets out;
            // (not 0, which a comparison keeps in its shape)
            QVERIFY2(db.translator().runRepeated(steady.arg(1 + i % 3), out),
                     qPrintable(QString::number(i)));
            connection.query(own, {i});
        }
        QCOMPARE(connection.preparations() - before, quint64(shapes));
    }
};

QTEST_GUILESS_MAIN(TsqlRepeatedTest)
#include "tst_tsqlrepeated.moc"
