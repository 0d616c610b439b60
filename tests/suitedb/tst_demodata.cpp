// The demo company as zqfu-setup leaves it, and the benchmark history: the asset register
// agrees with its own derived amounts, schedule and postings; the history's lines point at
// existing items, partners and documents and never divide by zero or NULL where the
// inquiry's statements divide; the large history is proportional, resumable and repeatable.
#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

#include "Clock.h"
#include "DemoFolder.h"
#include "EmbeddedDatabase.h"
#include "HistoryData.h"
#include "ItemCatalogue.h"
#include "SqliteConnection.h"
#include "SuiteSchema.h"
#include "Values.h"

namespace {
qint64 count(SqliteConnection& db, const QString& sql, const QVariantList& values = {}) {
    return db.scalar(sql, values).toLongLong();
}

// A fingerprint of a table's rows in key order.
QByteArray fingerprint(SqliteConnection& db, const QString& table, const QString& key) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QVariantList& row :
         db.query(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(table, key)).rows)
        for (const QVariant& value : row) hash.addData(value.toString().toUtf8() + '\x1f');
    return hash.result().toHex();
}

QString busyItem() {
    return QString::fromUtf8(ItemCatalogue::items()[ItemCatalogue::BusyItem].code);
}
}  // namespace

class DemoDataTest : public QObject {
    Q_OBJECT

    DemoFolder m_folder;
    std::unique_ptr<SqliteConnection> m_db;

    qint64 count(const QString& sql) { return ::count(*m_db, sql); }

private slots:
    void initTestCase() {
        m_db = std::make_unique<SqliteConnection>(m_folder.database(),
                                                  SqliteConnection::OpenMode::Existing);
    }

    // Rows that must not exist, each counted by a statement.
    void nothingInconsistent_data() {
        QTest::addColumn<QString>("sql");
        const auto row = [](const char* name, const char* from) {
            QTest::newRow(name) << QStringLiteral("SELECT COUNT(*) FROM ") +
                                       QString::fromUtf8(from);
        };
        // Asset splits: every asset has one, its shares total 100, and the departments named
        // exist, once each.
        row("asset without split", "Asset WHERE ACODE NOT IN (SELECT ACODE FROM Assetd)");
        row("split not 100", "(SELECT ACODE FROM Assetd GROUP BY ACODE HAVING SUM(APERC) <> 100)");
        row("split department", "Assetd WHERE ADENO NOT IN (SELECT DEPARTNO FROM Depart25)");
        row("department twice", "(SELECT 1 FROM Assetd GROUP BY ACODE, ADENO HAVING COUNT(*) > 1)");
        row("asset accounts",
            "Asset WHERE ACOD1 NOT IN (SELECT ACODE FROM Acco) OR ACOD2 NOT IN (SELECT ACODE "
            "FROM Acco) OR ACOD3 NOT IN (SELECT ACODE FROM Acco)");
        // The scheduled amounts of an asset in use add up to the amount to depreciate, one line a
        // month, none below zero; a sold asset has nothing scheduled after its sale. Postings
        // repeat scheduled lines, none after the closing date or the sale, and add up to ATOT4.
        row("schedule",
            "Asset a WHERE ASELL = 0 AND (abs((SELECT SUM(ATOTA) FROM Assets s WHERE s.ACODE = "
            "a.ACODE AND ASOUR = '') - (ATOTA - ATOT1 - ATOT2)) > 0.001 OR (SELECT "
            "COUNT(DISTINCT ADATE) FROM Assets s WHERE s.ACODE = a.ACODE AND ASOUR = '') <> "
            "AYEAR)");
        row("schedule line",
            "Assets s JOIN Asset a USING (ACODE) WHERE s.ATOTA < 0 OR (a.ASELL = 1 AND s.ADATE > "
            "a.ADAT2)");
        row("posted total",
            "Asset a WHERE abs(ATOT4 - IFNULL((SELECT SUM(ATOTA) FROM Assets s WHERE s.ACODE = "
            "a.ACODE AND ASOUR <> ''), 0)) > 0.001");
        row("posting unscheduled",
            "Assets p WHERE ASOUR <> '' AND NOT EXISTS (SELECT 1 FROM Assets s WHERE s.ACODE = "
            "p.ACODE AND s.ASOUR = '' AND s.ADATE = p.ADATE AND s.ATOTA = p.ATOTA)");
        row("posting late",
            "Assets p JOIN Asset a USING (ACODE) WHERE ASOUR <> '' AND (p.ADATE > (SELECT JDATE "
            "FROM JE) OR (a.ASELL = 1 AND p.ADATE > a.ADAT2))");
        // Every line names an item, and every document line its document and partners.
        for (const char* pair :
             {"HISTIN.HICOD", "HISTOU.HICOD", "VISEIN.VICOD", "VISEOU.VICOD", "RETAILD.RICOD",
              "TRAN1.TICOD", "SISE.SICOD", "ORSUB.OICOD", "REBACKD.RICOD", "WORKER.WICOD",
              "SINOUT.SICODE", "SerialInOutTotal.ICODE", "STOC.SITEM", "ITEMP.ICODE",
              "ITEM1.ICODE1", "ITEM3.ICODE3"}) {
            const QStringList names = QString::fromLatin1(pair).split(u'.');
            row(pair,
                qPrintable(names[0] + " WHERE " + names[1] + " NOT IN (SELECT ICODE FROM ITEM)"));
        }
        for (const char* line :
             {"HISTIN HCOD1 POSEIN PCOD1", "VISEIN VCOD1 BUYSIN BCOD1", "TRAN1 TCCOD MTRAN MCODE",
              "SISE SCOD1 SBIN SCOD1", "ORSUB OCOD1 ORDET OCOD1", "REBACKD RCOD1 REBACKM RCOD1",
              "HISTIN HPCOD CUST CCODE", "VISEIN VPCOD PART PCODE", "HISTIN HSCOD SALE SCODE"}) {
            const QStringList n = QString::fromLatin1(line).split(u' ');
            row(line,
                qPrintable(
                    QString("%1 WHERE %2 NOT IN (SELECT %4 FROM %3)").arg(n[0], n[1], n[2], n[3])));
        }
        row("warehouses", "STOC WHERE STCOD NOT IN (SELECT ITCOD FROM ITYP WHERE ITYPE = '1')");
        row("lots where they lie",
            "VISEIN WHERE VCOD1NUM <> IFNULL((SELECT SUM(INUMB) FROM BUYSINCODE WHERE BCOD1SEQ = "
            "VCOD1SEQ), 0)");
        row("duplicate lines", "(SELECT 1 FROM HISTIN GROUP BY HCOD1, HSEQ HAVING COUNT(*) > 1)");
        row("document codes",
            "HISTIN WHERE length(HCOD1) <> 11 OR replace(HDAT1, '.', '') <> substr(HCOD1, 1, 7)");
        // Repair orders picked up point at a document whose code starts with the day of the
        // pick-up.
        row("repair pick-up",
            "WORKER WHERE WSTA6 = 1 AND (length(WCOD6) <> 11 OR WCOD6 < replace(WDAT1, '.', ''))");
        // ISNULL(HUNI3,(HTOTA / HINU3)) and (OINUM / OINU2) must never divide by 0 or NULL.
        row("sales price", "HISTIN WHERE HUNI3 IS NULL AND IFNULL(HINU3, 0) = 0");
        row("pos price", "RETAILD WHERE RUNI2 IS NULL AND IFNULL(RINU2, 0) = 0");
        row("order unit", "ORSUB WHERE OINU2 = 0");
        row("item stock",
            "ITEM WHERE INUMB <> IFNULL((SELECT SUM(SNUMB) FROM STOC WHERE SITEM = ICODE), 0)");
    }
    void nothingInconsistent() {
        QFETCH(QString, sql);
        QCOMPARE(count(sql), 0);
    }

    // Rows the windows need to show something, each counted by a statement, at least so many:
    // assets in every state, items below their safety stock, out of stock, stopped and on
    // order, lots left, and picked-up repairs. The closing date is the end of the last month.
    void somethingToShow() {
        const std::pair<const char*, int> cases[] = {
            {"Asset WHERE AUSE3 <> ''", 1},
            {"Asset WHERE AUSE3 = '' AND ASELL = 0", 1},
            {"Asset WHERE ASELL = 1 AND ADAT2 > ADAT1", 1},
            {"Asset WHERE ATOT4 > 0", 1},
            {"Asset WHERE ATOT4 = 0", 1},
            {"Asset WHERE ATOT2 > 0", 1},  // brought in amortised
            {"ITEM WHERE INUMB < ISAVE", 10},
            {"ITEM WHERE INUMB = 0", 10},
            {"ITEM3 WHERE STOPSALE = 1", 10},
            {"ITEM WHERE ORSUB > 0", 10},
            {"VISEIN WHERE VCOD1SEQ <> '' AND VCOD1NUM > 0", 1},
            {"WORKER WHERE WSTA6 = 1 AND WCOD6 IS NOT NULL", 1},
            {"ITEM1 WHERE ENA13 LIKE '000%'", 1}};
        for (const auto& [from, least] : cases)
            QVERIFY2(count(QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(from)) >= least,
                     from);
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT JDATE FROM JE")).toString(),
                 DateToRoc(QDate(Clock::today().year(), Clock::today().month(), 1).addDays(-1)));
    }

    // Every mode of the inquiry shows lines of several items, and some items have none; the
    // busy item has something to show in every mode.
    void everyModeOfTheInquiry_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("from");  // with the mode's condition
        QTest::addColumn<bool>("several");  // lines of several items, not of all
        const auto row = [](const char* name, const char* column, const char* from,
                            bool several = true) {
            QTest::newRow(name) << QString::fromLatin1(column) << QString::fromLatin1(from)
                                << several;
        };
        row("sales", "HICOD", "HISTIN WHERE SystemVisible = 1");
        row("sales returns", "HICOD", "HISTOU WHERE 1 = 1");
        row("purchases", "VICOD", "VISEIN WHERE 1 = 1");
        row("lots", "VICOD", "VISEIN WHERE VCOD1SEQ <> '' AND VCOD1NUM <> 0");
        row("purchase returns", "VICOD", "VISEOU WHERE 1 = 1");
        row("pos sales", "RICOD", "RETAILD WHERE RIDT = '0'");
        row("pos returns", "RICOD", "RETAILD WHERE RIDT = '1'");
        row("transfers", "TICOD", "TRAN1 WHERE 1 = 1");
        row("open purchase orders", "SICOD", "SISE WHERE SINUM > SONUM AND SINYN = 'N'");
        row("open customer orders", "OICOD", "ORSUB WHERE OINYN = 'N' AND ONNO > 0");
        row("repair parts", "RICOD", "REBACKD WHERE 1 = 1");
        row("received", "SICODE", "SINOUT WHERE SINOU = 'C'");
        row("serials", "ICODE", "SerialInOutTotal WHERE SerialCode <> '' AND Quantity <> 0");
        row("stock", "SITEM", "STOC WHERE 1 = 1", false);
        row("locations", "ICODE", "ITEMP WHERE 1 = 1", false);
        row("vendor view", "VICOD", "VF8J WHERE 1 = 1", false);
    }
    void everyModeOfTheInquiry() {
        QFETCH(QString, column);
        QFETCH(QString, from);
        QFETCH(bool, several);
        QVERIFY(::count(*m_db, "SELECT COUNT(*) FROM " + from + " AND " + column + " = ?1",
                        {busyItem()}) > 0);
        if (!several) return;
        const qint64 shown = count("SELECT COUNT(DISTINCT " + column + ") FROM " + from);
        QVERIFY2(shown >= 5 && shown < count("SELECT COUNT(*) FROM ITEM"),
                 qPrintable(QString::number(shown)));
    }

    // The demo users show the inquiry's restrictions: LIN is a salesman without right 355
    // (her own lines), HUANG has 355 without 1306 (his department's lines, more than one
    // salesman's), CHOU sees no prices, TSAI only his warehouse.
    void inquiryUsers() {
        QVERIFY(count("SELECT COUNT(*) FROM HISTIN WHERE HSCOD = 'S005' AND HDENO = '02'") > 0);
        QCOMPARE(count("SELECT COUNT(DISTINCT HSCOD) FROM HISTIN WHERE HDENO = '02'"), 2);
        const auto holds = [&](const char* user, int right) {
            return count(QStringLiteral("SELECT (R%1 >> %2) & 1 FROM SALE WHERE SUSER = '%3'")
                             .arg(right / 32, 2, 10, QLatin1Char('0'))
                             .arg(right % 32)
                             .arg(QLatin1String(user))) == 1;
        };
        const QList<std::pair<const char*, QList<int>>> lacking = {{"ADM", {}},
                                                                   {"LIN", {355}},
                                                                   {"HUANG", {1306}},
                                                                   {"CHOU", {57, 645, 926}},
                                                                   {"TSAI", {934}}};
        for (const auto& [user, missing] : lacking)
            for (int right : {57, 355, 645, 926, 934, 1306})
                QVERIFY2(holds(user, right) != missing.contains(right),
                         qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(user)).arg(right)));
        QCOMPARE(count("SELECT COUNT(*) FROM SALE WHERE SUSER = 'TSAI' AND SSTOC = '03'"), 1);
        QVERIFY(!holds("LEE", 355) && !holds("CHEN", 355));
    }

    // The same call writes the same rows, and topping up a large history writes what one
    // call for the larger size would have written.
    void largeHistoryIsProportionalAndResumable() {
        QTemporaryDir dir;
        EmbeddedDatabase stepwise(dir.filePath(QStringLiteral("a.zqdb")),
                                  EmbeddedDatabase::OpenMode::Create);
        EmbeddedDatabase direct(dir.filePath(QStringLiteral("b.zqdb")),
                                EmbeddedDatabase::OpenMode::Create);
        FillLargeHistory(stepwise, 2000);
        SqliteConnection& a = stepwise.connection();
        const QString large = QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 < '100'");
        QCOMPARE(::count(a, large.arg("HISTIN", "HCOD1")), 2000);
        QCOMPARE(::count(a, large.arg("VISEIN", "VCOD1")), 500);
        QCOMPARE(::count(a, large.arg("RETAILD", "RCOD1")), 240);
        QCOMPARE(HistoryData::fillLarge(a, 2000), 0);

        FillLargeHistory(stepwise, 3001);
        FillLargeHistory(direct, 3001);
        SqliteConnection& b = direct.connection();
        QCOMPARE(::count(a, large.arg("HISTIN", "HCOD1")), 3001);
        for (const auto& [table, key] :
             {std::pair("HISTIN", "HCOD1 || HSEQ"), std::pair("POSEIN", "PCOD1"),
              std::pair("VISEIN", "VCOD1 || VSEQ"), std::pair("BUYSINCODE", "BCOD1SEQ || STCOD"),
              std::pair("WORKER", "WCOD2"),
              std::pair("SerialInOutTotal", "SerialCode, ICODE, STCOD")})
            QCOMPARE(fingerprint(a, QLatin1String(table), QLatin1String(key)),
                     fingerprint(b, QLatin1String(table), QLatin1String(key)));
        // The indexes are back, and so is the shared journal.
        for (const QString& index : SuiteSchema::indexNames())
            QVERIFY2(
                ::count(a, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = ?1"),
                        {index}) == 1,
                qPrintable(index));
        QCOMPARE(a.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
        const double share =
            a.scalar(QStringLiteral("SELECT AVG(HICOD = ?1) FROM HISTIN"), {busyItem()}).toDouble();
        QVERIFY2(share > 0.03 && share < 0.08, qPrintable(QString::number(share)));
        // It has open lots and locations enough to page through.
        QVERIFY(::count(b,
                        QStringLiteral("SELECT COUNT(*) FROM VISEIN WHERE VICOD = ?1 AND "
                                       "VCOD1NUM != 0 AND VCOD1SEQ != ''"),
                        {busyItem()}) > 15);
        QVERIFY(::count(b, QStringLiteral("SELECT COUNT(*) FROM ITEMP WHERE ICODE = ?1"),
                        {busyItem()}) >= 30);
    }
};

QTEST_GUILESS_MAIN(DemoDataTest)
#include "tst_demodata.moc"
