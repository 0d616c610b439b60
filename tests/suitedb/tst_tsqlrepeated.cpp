// A text of a shape seen before runs as a repeat and gives what a fresh front end gives.
#include <QtTest>

#include "DbError.h"
#include "TsqlFixture.h"

namespace {
const char* const Setup =
    "CREATE TABLE T (CODE TEXT COLLATE TSQL, NAME TEXT COLLATE TSQL, N INTEGER, R REAL,"
    "  D DATETIME);"
    "INSERT INTO T VALUES ('a01', '王', 1, 1.5, '2024-03-15 09:30:05.250'), ('A02', '李', 2, 2.5,"
    "  NULL), ('b01 ', '陳', 3, NULL, '2023-01-02'), ('a_1', '林', 4, 0.25, NULL);"
    "CREATE INDEX T_CODE ON T (CODE);"
    "CREATE TABLE K (ID INTEGER PRIMARY KEY, CODE TEXT COLLATE TSQL);"
    "INSERT INTO K VALUES (1, 'a');"
    "CREATE TABLE H (HCOD1 TEXT COLLATE TSQL NOT NULL, HSEQ INTEGER NOT NULL,"
    "  HICOD TEXT COLLATE TSQL NOT NULL);"
    "CREATE INDEX H_INX ON H (HICOD, HCOD1, HSEQ);"
    "INSERT INTO H VALUES ('A', 1, 'I1'), ('A', 2, 'I1'), ('AB', 1, 'I1'), ('a b', 2, 'I1'),"
    "  ('AB-1', 1, 'I1'), ('B', 10, 'I1'), ('', 5, 'I1');";

// A history grid's page from the bound on, by its padded key.
QString history(const char* bound) {
    return QStringLiteral(
               "SELECT TOP 4 HCOD1,HSEQ,%1 AS HINX FROM H WITH (INDEX = H_INX) WHERE HICOD = "
               "'I1' AND %1 >= '%2' ORDER BY HCOD1,HSEQ")
        .arg("(CONVERT(CHAR(11),HCOD1) + CONVERT(CHAR(5),(10000 + HSEQ)))", bound);
}

// Rows with their column names and value types, or the error.
QString outcome(const std::function<ResultSets()>& work) {
    try {
        QStringList out;
        for (const ResultSet& set : work()) {
            QStringList types;
            for (const QVariant& v : set.rows.value(0)) types.append(QString::number(v.typeId()));
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

    // A change of another workstation's process to the file.
    static void changeFile(const TsqlFixture& fixture, const QString& change) {
        SqliteConnection(fixture.path(QStringLiteral("MAIN")), SqliteConnection::OpenMode::Existing)
            .script(change);
    }

private slots:
    // After `earlier` and `change`, `text` as fresh; `repeated`: must (1), must not (0), may (-1).
    void sameAsAFreshFrontEnd_data() {
        QTest::addColumn<QString>("earlier");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("repeated");
        QTest::addColumn<QString>("change");
        const auto row = [](const char* name, const QString& earlier, const QString& text,
                            int repeated, const char* change = "") {
            QTest::newRow(name) << earlier << text << repeated << QString::fromUtf8(change);
        };
        const QString byCode = "SELECT CODE,N,R,D FROM T WHERE CODE = '%1'";
        row("doubled quotes", byCode.arg("a01"), byCode.arg("x'' OR ''1''=''1"), 1);
        row("decimal, hexadecimal and exponent", "SELECT CODE FROM T WHERE N IN (1, 2, 3)",
            "SELECT CODE FROM T WHERE N IN (2.0, 0x3, 4e0)", 1);
        row("prefix appears", "SELECT CODE FROM T WHERE CODE LIKE '%1' ORDER BY N",
            "SELECT CODE FROM T WHERE CODE LIKE 'a[_]%' ORDER BY N", 1);
        row("key that splits to one that does not", history("A          10002"),
            history("A\t         10001"), 1);
        row("other CHAR length", "SELECT CONVERT(CHAR(5),CODE) + '|' FROM T WHERE N = 1",
            "SELECT CONVERT(CHAR(2),CODE) + '|' FROM T WHERE N = 1", 0);
        row("other ordinal in ORDER BY", "SELECT CODE, N FROM T ORDER BY 2 DESC",
            "SELECT CODE, N FROM T ORDER BY 1 DESC", 0);
        row("other TOP", "SELECT TOP 1 CODE FROM T ORDER BY N",
            "SELECT TOP 3 CODE FROM T ORDER BY N", -1);
        row("two statements", byCode.arg("a01"), byCode.arg("a01") + "; " + byCode.arg("A02"), 0);
        row("a condition is no statement",
            "IF EXISTS (SELECT * FROM T WHERE CODE = 'a01') SELECT 1",
            "EXISTS (SELECT * FROM T WHERE CODE = 'zz')", 0);
        row("duplicate key", "INSERT INTO K VALUES (2, 'b')", "INSERT INTO K VALUES (1, 'c')", 1);
        row("unclosed quote", byCode.arg("a01"), "SELECT CODE,N,R,D FROM T WHERE CODE = 'a01", 0);
        row("literal out of range", "SELECT N FROM T WHERE N < 1e1 AND N > 2",
            "SELECT N FROM T WHERE N < 1e999 AND N > 2", -1);
        // The schema changes between two runs of one shape.
        row("column dropped", "SELECT CODE, R FROM T WHERE N = 1",
            "SELECT CODE, R FROM T WHERE N = 2", -1, "ALTER TABLE T DROP COLUMN R");
        row("table renamed, then written", "UPDATE K SET CODE = 'x' WHERE ID = 1",
            "UPDATE K SET CODE = 'y' WHERE ID = 1", -1, "ALTER TABLE K RENAME TO K2");
        // The value picks a rewrite (the prefix gone) that the connection has not prepared yet.
        row("other rewrite after a column added", "SELECT * FROM T WHERE CODE LIKE 'a%' ORDER BY N",
            "SELECT * FROM T WHERE CODE LIKE '%1' ORDER BY N", -1,
            "ALTER TABLE T ADD COLUMN E TEXT COLLATE TSQL; UPDATE T SET E = 'e' || N;");
    }
    void sameAsAFreshFrontEnd() {
        QFETCH(QString, earlier);
        QFETCH(QString, text);
        QFETCH(int, repeated);
        QFETCH(QString, change);
        TsqlFixture warm(QString::fromUtf8(Setup)), cold(QString::fromUtf8(Setup));
        for (TsqlFixture* fixture : {&warm, &cold}) {
            outcome([&] { return fixture->db().execute(earlier); });
            if (!change.isEmpty()) changeFile(*fixture, change);
        }
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
        EmbeddedDatabase fresh(cold.path(QStringLiteral("MAIN")));
        QCOMPARE(got, outcome([&] { return fresh.execute(text); }));
        // The rows written, and the text once more now that both have seen it.
        for (const QString& again : {QStringLiteral("SELECT ID, CODE FROM K ORDER BY ID"), text})
            QCOMPARE(outcome([&] { return warm.db().execute(again); }),
                     outcome([&] { return fresh.execute(again); }));
    }

    // Statements in steady use outlive 1,500 other shapes (the caches drop the least recent); one
    // kept prepared reads the columns another process adds, DATETIME as moments.
    void preparedStatements() {
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
        const QString all = QStringLiteral("SELECT * FROM K ORDER BY ID");
        QCOMPARE(connection.query(all).columns, QStringList({"ID", "CODE"}));
        changeFile(fixture, QStringLiteral("ALTER TABLE K ADD COLUMN AT DATETIME;"
                                           "UPDATE K SET AT = '2024-03-15 09:30:05';"));
        const ResultSet set = connection.query(all);
        QCOMPARE(set.columns, QStringList({"ID", "CODE", "AT"}));
        QCOMPARE(set.rows[0].value(2).toDateTime(), QDateTime(QDate(2024, 3, 15), QTime(9, 30, 5)));
    }

    // A kept statement binds only the values that differ from its last run: each run still
    // reads exactly its own values, of whatever type, also after a run that failed halfway
    // through binding and a run with fewer values.
    void valuesKeptBoundBetweenRuns() {
        TsqlFixture fixture(QString::fromUtf8(Setup));
        SqliteConnection& connection = fixture.db().connection();
        const QString sql = QStringLiteral("SELECT typeof(?1), ?1, typeof(?2), ?2, ?3");
        const auto run = [&](const QVariantList& values) {
            const ResultSet set = connection.query(sql, values);
            QStringList out;
            for (const QVariant& v : set.rows.value(0))
                out.append(v.isNull() ? QStringLiteral("null") : v.toString());
            return out.join(u' ');
        };
        const QVariantList big{QVariant(qlonglong(1) << 40), QString("王"), 3};
        QCOMPARE(run(big), QString("integer 1099511627776 text 王 3"));
        QCOMPARE(run(big), QString("integer 1099511627776 text 王 3"));
        QCOMPARE(run({QString("1099511627776"), QString("王 "), 3}),
                 QString("text 1099511627776 text 王  3"));
        QCOMPARE(run({1.5, QVariant(), 3}), QString("real 1.5 null null 3"));
        QCOMPARE(run({-0.0, QVariant(), 3}), QString("real 0 null null 3"));
        QCOMPARE(run({QVariant(), QVariant(), 3}), QString("null null null null 3"));
        QCOMPARE(run({QVariant(), QString(""), 3}), QString("null null text  3"));
        // A value beyond the statement's parameters: the run fails after binding the others,
        // and the next binds all of its own.
        QVERIFY_THROWS_EXCEPTION(DbError, connection.query(sql, {1, QString("x"), 3, 4}));
        QCOMPARE(run({QVariant(), QString(""), 3}), QString("null null text  3"));
        QCOMPARE(run({7}), QString("integer 7 null null null"));
        QCOMPARE(run({7, 8, 9}), QString("integer 7 integer 8 9"));
    }
};

QTEST_GUILESS_MAIN(TsqlRepeatedTest)
#include "tst_tsqlrepeated.moc"
