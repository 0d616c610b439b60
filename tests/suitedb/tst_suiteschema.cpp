// The schema: every declared table and index, in new, sister and older files.
#include <QTemporaryDir>
#include <QtTest>

#include "SqliteConnection.h"
#include "SuiteSchema.h"

namespace {
QString definition(SqliteConnection& db, const QString& name, const QString& schema = "main") {
    return db.scalar("SELECT sql FROM " + schema + ".sqlite_master WHERE name = ?1", {name})
        .toString();
}
}  // namespace

class SuiteSchemaTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // New, sister and older files get every declared object, older rows kept.
    void createsAndUpdatesFiles() {
        // A new file and an attached sister get every declared object once, then nothing.
        SqliteConnection db(m_dir.filePath("s.zqdb"), SqliteConnection::OpenMode::Create);
        db.script("ATTACH DATABASE '" + m_dir.filePath("ZqPro3.zqdb") + "' AS ZqPro3");
        for (const QString schema : {"main", "ZqPro3"}) {
            const QString name = schema == "main" ? QString() : schema;
            QVERIFY(SuiteSchema::create(db, name) > 0);
            QCOMPARE(SuiteSchema::create(db, name), 0);
            for (const QString& object : SuiteSchema::tableNames() + SuiteSchema::indexNames())
                QVERIFY2(!definition(db, object, schema).isEmpty(),
                         qPrintable(schema + " " + object));
        }
        QCOMPARE(SuiteSchema::tablesMadeOtherwise(db), QStringList());
        // Older files get new columns with rows kept and indexes as declared now.
        SqliteConnection old(m_dir.filePath("old.zqdb"), SqliteConnection::OpenMode::Create);
        old.script(
            "CREATE TABLE ITEM (ICODE TEXT COLLATE TSQL NOT NULL DEFAULT '', INAME TEXT "
            "COLLATE TSQL NOT NULL DEFAULT '', PRIMARY KEY (ICODE)); INSERT INTO ITEM VALUES "
            "('A', 'x'); CREATE TABLE POSEIN (PCOD1 TEXT COLLATE TSQL NOT NULL DEFAULT '')");
        QVERIFY(SuiteSchema::create(old) > 0);
        QCOMPARE(old.query(QString("SELECT ICODE, ISPACE, ORSUB FROM ITEM")).rows,
                 QList<QVariantList>({{"A", QString(), 0.0}}));
        QCOMPARE(SuiteSchema::tablesMadeOtherwise(old), QStringList({"ITEM", "POSEIN"}));
        old.script(
            "DROP INDEX VISEIN_LOT; CREATE INDEX VISEIN_LOT ON VISEIN (VICOD, VCOD1, VCOD1SEQ);"
            "DROP INDEX SISE1_INX; CREATE INDEX SISE1_INX ON SISE (SICOD, SCOD1, SSEQ);");
        QCOMPARE(SuiteSchema::create(old), 2);
        for (const char* index : {"VISEIN_LOT", "SISE1_INX"})
            QCOMPARE(definition(old, index), definition(db, index));  // as declared now
        QCOMPARE(SuiteSchema::create(old), 0);
    }
};

QTEST_GUILESS_MAIN(SuiteSchemaTest)
#include "tst_suiteschema.moc"
