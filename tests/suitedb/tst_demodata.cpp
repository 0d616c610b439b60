// The demo company as zqfu-setup leaves it, and the benchmark history.
#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

#include "DemoFolder.h"
#include "EmbeddedDatabase.h"
#include "HistoryData.h"
#include "ItemCatalogue.h"
#include "SqliteConnection.h"
#include "SuiteSchema.h"

namespace {
qint64 count(SqliteConnection& db, const QString& sql, const QVariantList& values = {}) {
    return db.scalar(sql, values).toLongLong();
}

// A fingerprint of a table's rows in key order.
QByteArray fingerprint(SqliteConnection& db, const QString& table, const QString& key) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QVariantList& row :
         db.query(QString("SELECT * FROM %1 ORDER BY %2").arg(table, key)).rows)
        for (const QVariant& value : row) hash.addData(value.toString().toUtf8() + '\x1f');
    return hash.result().toHex();
}
}  // namespace

class DemoDataTest : public QObject {
    Q_OBJECT

    DemoFolder m_folder;
    std::unique_ptr<SqliteConnection> m_db;

    qint64 count(const QString& sql, const QVariantList& values = {}) {
        return ::count(*m_db, sql, values);
    }

private slots:
    void initTestCase() {
        m_db = std::make_unique<SqliteConnection>(m_folder.database(),
                                                  SqliteConnection::OpenMode::Existing);
    }

    // Rows that must not exist, each counted by a statement.
    void nothingInconsistent() {
        QStringList from = {
            // Asset splits: one per asset, totalling 100, naming departments that exist, once.
            "Asset WHERE ACODE NOT IN (SELECT ACODE FROM Assetd)",
            "(SELECT ACODE FROM Assetd GROUP BY ACODE HAVING SUM(APERC) <> 100)",
            "Assetd WHERE ADENO NOT IN (SELECT DEPARTNO FROM Depart25)",
            "(SELECT 1 FROM Assetd GROUP BY ACODE, ADENO HAVING COUNT(*) > 1)",
            "Asset WHERE ACOD1 NOT IN (SELECT ACODE FROM Acco) OR ACOD2 NOT IN (SELECT ACODE FROM "
            "Acco) OR ACOD3 NOT IN (SELECT ACODE FROM Acco)",
            // Schedules and postings agree with the asset, its sale and the closing date.
            "Asset a WHERE ASELL = 0 AND (abs((SELECT SUM(ATOTA) FROM Assets s WHERE s.ACODE = "
            "a.ACODE AND ASOUR = '') - (ATOTA - ATOT1 - ATOT2)) > 0.001 OR (SELECT COUNT(DISTINCT "
            "ADATE) FROM Assets s WHERE s.ACODE = a.ACODE AND ASOUR = '') <> AYEAR)",
            "Assets s JOIN Asset a USING (ACODE) WHERE s.ATOTA < 0 OR (a.ASELL = 1 AND s.ADATE > "
            "a.ADAT2)",
            "Asset a WHERE abs(ATOT4 - IFNULL((SELECT SUM(ATOTA) FROM Assets s WHERE s.ACODE = "
            "a.ACODE AND ASOUR <> ''), 0)) > 0.001",
            "Assets p WHERE ASOUR <> '' AND NOT EXISTS (SELECT 1 FROM Assets s WHERE s.ACODE = "
            "p.ACODE AND s.ASOUR = '' AND s.ADATE = p.ADATE AND s.ATOTA = p.ATOTA)",
            "Assets p JOIN Asset a USING (ACODE) WHERE ASOUR <> '' AND (p.ADATE > (SELECT JDATE "
            "FROM JE) OR (a.ASELL = 1 AND p.ADATE > a.ADAT2))",
            "STOC WHERE STCOD NOT IN (SELECT ITCOD FROM ITYP WHERE ITYPE = '1')",
            "VISEIN WHERE VCOD1NUM <> IFNULL((SELECT SUM(INUMB) FROM BUYSINCODE WHERE BCOD1SEQ = "
            "VCOD1SEQ), 0)",
            "(SELECT 1 FROM HISTIN GROUP BY HCOD1, HSEQ HAVING COUNT(*) > 1)",
            "HISTIN WHERE length(HCOD1) <> 11 OR replace(HDAT1, '.', '') <> substr(HCOD1, 1, 7)",
            // Repairs picked up point at a document whose code starts with the pick-up's day.
            "WORKER WHERE WSTA6 = 1 AND (length(WCOD6) <> 11 OR WCOD6 < replace(WDAT1, '.', ''))",
            // ISNULL(HUNI3,(HTOTA / HINU3)) and (OINUM / OINU2) never divide by 0 or NULL.
            "HISTIN WHERE HUNI3 IS NULL AND IFNULL(HINU3, 0) = 0",
            "RETAILD WHERE RUNI2 IS NULL AND IFNULL(RINU2, 0) = 0",
            "ORSUB WHERE OINU2 = 0",
            "ITEM WHERE INUMB <> IFNULL((SELECT SUM(SNUMB) FROM STOC WHERE SITEM = ICODE), 0)",
        };
        // Every line names an item, and every document line its document and partners.
        for (const char* pair :
             {"HISTIN.HICOD", "HISTOU.HICOD", "VISEIN.VICOD", "VISEOU.VICOD", "RETAILD.RICOD",
              "TRAN1.TICOD", "SISE.SICOD", "ORSUB.OICOD", "REBACKD.RICOD", "WORKER.WICOD",
              "SINOUT.SICODE", "SerialInOutTotal.ICODE", "STOC.SITEM", "ITEMP.ICODE",
              "ITEM1.ICODE1", "ITEM3.ICODE3"})
            from << QString(pair).replace('.', " WHERE ") + " NOT IN (SELECT ICODE FROM ITEM)";
        for (const char* line :
             {"HISTIN HCOD1 POSEIN PCOD1", "VISEIN VCOD1 BUYSIN BCOD1", "TRAN1 TCCOD MTRAN MCODE",
              "SISE SCOD1 SBIN SCOD1", "ORSUB OCOD1 ORDET OCOD1", "REBACKD RCOD1 REBACKM RCOD1",
              "HISTIN HPCOD CUST CCODE", "VISEIN VPCOD PART PCODE", "HISTIN HSCOD SALE SCODE"}) {
            const QStringList n = QString(line).split(u' ');
            from << QString("%1 WHERE %2 NOT IN (SELECT %4 FROM %3)").arg(n[0], n[1], n[2], n[3]);
        }
        for (const QString& f : from)
            QVERIFY2(count("SELECT COUNT(*) FROM " + f) == 0, qPrintable(f));
    }

    // Rows the windows need in every state: LIN (without 355) has her own lines, HUAN (without
    // 1306) two salesmen, TSAI his own warehouse; every inquiry mode shows items.
    void somethingToShow() {
        QCOMPARE(count("SELECT COUNT(DISTINCT HSCOD) FROM HISTIN WHERE HDENO = '02'"), 2);
        QCOMPARE(count("SELECT COUNT(*) FROM SALE WHERE SUSER = 'TSAI' AND SSTOC = '03'"), 1);
        for (const char* from :
             {"HISTIN WHERE HSCOD = 'S005' AND HDENO = '02'", "Asset WHERE AUSE3 <> ''",
              "Asset WHERE AUSE3 = '' AND ASELL = 0", "Asset WHERE ASELL = 1 AND ADAT2 > ADAT1",
              "Asset WHERE ATOT4 > 0", "Asset WHERE ATOT4 = 0", "Asset WHERE ATOT2 > 0",
              "VISEIN WHERE VCOD1SEQ <> '' AND VCOD1NUM > 0",
              "WORKER WHERE WSTA6 = 1 AND WCOD6 IS NOT NULL", "ITEM1 WHERE ENA13 LIKE '000%'"})
            QVERIFY2(count(QString("SELECT COUNT(*) FROM ") + from) >= 1, from);
        for (const char* from : {"ITEM WHERE INUMB < ISAVE", "ITEM WHERE INUMB = 0",
                                 "ITEM3 WHERE STOPSALE = 1", "ITEM WHERE ORSUB > 0"})
            QVERIFY2(count(QString("SELECT COUNT(*) FROM ") + from) >= 10, from);
        // Every inquiry mode shows several items, not all, and the busy item.
        const QString busy =
            QString::fromUtf8(ItemCatalogue::items()[ItemCatalogue::BusyItem].code);
        const qint64 items = count("SELECT COUNT(*) FROM ITEM");
        const QStringList several =
            QString(
                "HICOD HISTIN WHERE SystemVisible = 1|HICOD HISTOU WHERE 1 = 1|VICOD VISEIN "
                "WHERE 1 = 1|VICOD VISEIN WHERE VCOD1SEQ <> '' AND VCOD1NUM <> 0|VICOD VISEOU "
                "WHERE 1 = 1|RICOD RETAILD WHERE RIDT = '0'|RICOD RETAILD WHERE RIDT = '1'|"
                "TICOD TRAN1 WHERE 1 = 1|SICOD SISE WHERE SINUM > SONUM AND SINYN = 'N'|OICOD "
                "ORSUB WHERE OINYN = 'N' AND ONNO > 0|RICOD REBACKD WHERE 1 = 1|SICODE SINOUT "
                "WHERE SINOU = 'C'|ICODE SerialInOutTotal WHERE SerialCode <> '' AND "
                "Quantity <> 0")
                .split(u'|');
        for (const QString& mode :
             several + QStringList{"SITEM STOC WHERE 1 = 1", "ICODE ITEMP WHERE 1 = 1",
                                   "VICOD VF8J WHERE 1 = 1"}) {
            const QString column = mode.section(u' ', 0, 0),
                          from = " FROM " + mode.section(u' ', 1);
            QVERIFY2(count("SELECT COUNT(*)" + from + " AND " + column + " = ?1", {busy}) > 0,
                     qPrintable(mode));
            const qint64 shown = count("SELECT COUNT(DISTINCT " + column + ")" + from);
            QVERIFY2(!several.contains(mode) || (shown >= 5 && shown < items), qPrintable(mode));
        }
    }

    // Topping up a large history equals one larger fill, indexes and journal kept.
    void largeHistoryIsResumable() {
        QTemporaryDir dir;
        EmbeddedDatabase stepwise(dir.filePath("a.zqdb"), EmbeddedDatabase::OpenMode::Create);
        EmbeddedDatabase direct(dir.filePath("b.zqdb"), EmbeddedDatabase::OpenMode::Create);
        FillLargeHistory(stepwise, 2000);
        SqliteConnection &a = stepwise.connection(), &b = direct.connection();
        const QString large = "SELECT COUNT(*) FROM HISTIN WHERE HCOD1 < '100'";
        QCOMPARE(::count(a, large), 2000);
        QCOMPARE(HistoryData::fillLarge(a, 2000), 0);
        FillLargeHistory(stepwise, 3001);
        FillLargeHistory(direct, 3001);
        QCOMPARE(::count(a, large), 3001);
        for (const auto& [table, key] :
             {std::pair("HISTIN", "HCOD1 || HSEQ"), std::pair("POSEIN", "PCOD1"),
              std::pair("VISEIN", "VCOD1 || VSEQ"), std::pair("BUYSINCODE", "BCOD1SEQ || STCOD"),
              std::pair("WORKER", "WCOD2"),
              std::pair("SerialInOutTotal", "SerialCode, ICODE, STCOD")})
            QCOMPARE(fingerprint(a, table, key), fingerprint(b, table, key));
        for (const QString& index : SuiteSchema::indexNames())
            QVERIFY2(::count(a, "SELECT COUNT(*) FROM sqlite_master WHERE name = ?1", {index}) == 1,
                     qPrintable(index));
        QCOMPARE(a.scalar("PRAGMA journal_mode").toString(), QString("wal"));
    }
};

QTEST_GUILESS_MAIN(DemoDataTest)
#include "tst_demodata.moc"
