// The schema: every declared table and index is there, creating it twice adds nothing, an
// older file gets the columns declared since and its indexes as declared now, and a sister
// company's database gets the same tables. (The module's statements run on this schema,
// with their index plans checked, in the statement corpus.)
#include <QTemporaryDir>
#include <QtTest>

#include "SqliteConnection.h"
#include "SuiteSchema.h"

class SuiteSchemaTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<SqliteConnection> m_db;

private slots:
    void initTestCase() {
        m_db = std::make_unique<SqliteConnection>(m_dir.filePath(QStringLiteral("s.zqdb")),
                                                  SqliteConnection::OpenMode::Create);
        QVERIFY(SuiteSchema::create(*m_db) > 0);
    }

    void createTwiceAddsNothing() { QCOMPARE(SuiteSchema::create(*m_db), 0); }

    void everyDeclaredObjectExists() {
        const QStringList names = SuiteSchema::tableNames() + SuiteSchema::indexNames();
        for (const QString& name : names)
            QVERIFY2(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = "
                                                 "?1"),
                                  {name})
                             .toInt() == 1,
                     qPrintable(name));
    }

    // A file made before a column was declared gets it, with its default, and keeps its rows;
    // a table made otherwise (here not yet kept in the order of its key) stays as it is, and
    // is told.
    void columnsDeclaredLaterAreAdded() {
        QCOMPARE(SuiteSchema::tablesMadeOtherwise(*m_db), QStringList());
        SqliteConnection old(m_dir.filePath(QStringLiteral("old.zqdb")),
                             SqliteConnection::OpenMode::Create);
        old.script(QStringLiteral(
            "CREATE TABLE ITEM (ICODE TEXT COLLATE TSQL NOT NULL DEFAULT '', INAME TEXT COLLATE "
            "TSQL NOT NULL DEFAULT '', PRIMARY KEY (ICODE)); INSERT INTO ITEM VALUES ('A', 'x');"
            "CREATE TABLE POSEIN (PCOD1 TEXT COLLATE TSQL NOT NULL DEFAULT '', PDAT1 TEXT COLLATE "
            "TSQL NOT NULL DEFAULT '', PPCOD TEXT COLLATE TSQL NOT NULL DEFAULT '', PPNAM TEXT "
            "COLLATE TSQL NOT NULL DEFAULT '', PSCOD TEXT COLLATE TSQL NOT NULL DEFAULT '', PTAXM "
            "INTEGER NOT NULL DEFAULT 0, PTOTA REAL NOT NULL DEFAULT 0)"));
        QVERIFY(SuiteSchema::create(old) > 0);
        QCOMPARE(old.query(QStringLiteral("SELECT ICODE, ISPACE, ORSUB FROM ITEM")).rows,
                 QList<QVariantList>({{QStringLiteral("A"), QString(), 0.0}}));
        QCOMPARE(SuiteSchema::create(old), 0);
        QCOMPARE(SuiteSchema::tablesMadeOtherwise(old),
                 QStringList({QStringLiteral("ITEM"), QStringLiteral("POSEIN")}));
    }

    // An index that a file holds as an earlier version declared it is made anew as declared
    // now: other columns, or a condition it did not have.
    void changedIndexesAreMadeAnew() {
        SqliteConnection old(m_dir.filePath(QStringLiteral("indexes.zqdb")),
                             SqliteConnection::OpenMode::Create);
        SuiteSchema::create(old);
        const auto definition = [&](const char* index) {
            return old
                .scalar(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = ?1"),
                        {QLatin1String(index)})
                .toString();
        };
        const QString lots = definition("VISEIN_LOT");
        const QString orders = definition("SISE1_INX");
        old.script(QStringLiteral(
            "DROP INDEX VISEIN_LOT; CREATE INDEX VISEIN_LOT ON VISEIN (VICOD, VCOD1, VCOD1SEQ);"
            "DROP INDEX SISE1_INX; CREATE INDEX SISE1_INX ON SISE (SICOD, SCOD1, SSEQ);"));
        QCOMPARE(SuiteSchema::create(old), 2);
        QCOMPARE(definition("VISEIN_LOT"), lots);
        QCOMPARE(definition("SISE1_INX"), orders);
        QCOMPARE(SuiteSchema::create(old), 0);
    }

    // The sister companies' databases are attached files with the same tables.
    void attachedDatabase() {
        m_db->script(QStringLiteral("ATTACH DATABASE '%1' AS ZqPro3")
                         .arg(m_dir.filePath(QStringLiteral("ZqPro3.zqdb"))));
        QVERIFY(SuiteSchema::create(*m_db, QStringLiteral("ZqPro3")) > 0);
        const QString sql = QStringLiteral(
            "SELECT IFNULL((SELECT CAST(Snumb AS TEXT) FROM ZqPro3.Stoc WHERE Stcod = '001' AND "
            "Sitem = ?1),'無此代號'),IFNULL((SELECT Sdat2 FROM ZqPro3.Sbin WHERE Sdat2 <> '' AND "
            "Sdat2 >= '099.11.01' AND Sinyn = 'N' AND Scod1 IN(SELECT Scod1 FROM ZqPro3.Sise AS "
            "a WHERE a.Sicod = ?1 AND Sinyn = 'N') ORDER BY Sdat2 LIMIT 1),'沒有採購')");
        const QVariantList row = m_db->query(sql, {QStringLiteral("X")}).rows.value(0);
        QCOMPARE(row, QVariantList({QStringLiteral("無此代號"), QStringLiteral("沒有採購")}));
        QCOMPARE(SuiteSchema::create(*m_db, QStringLiteral("ZqPro3")), 0);
        m_db->script(QStringLiteral("DETACH DATABASE ZqPro3"));
    }
};

QTEST_GUILESS_MAIN(SuiteSchemaTest)
#include "tst_suiteschema.moc"
