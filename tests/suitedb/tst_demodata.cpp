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
qint64 count(SqliteConnection& db, const QString& sql) { return db.scalar(sql).toLongLong(); }

// A fingerprint of a table's rows in key order.
QByteArray fingerprint(SqliteConnection& db, const QString& table, const QString& key) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QVariantList& row :
         db.query(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(table, key)).rows)
        for (const QVariant& value : row) hash.addData(value.toString().toUtf8() + '\x1f');
    return hash.result().toHex();
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

    // Shares total 100, each line's amount is its share of the per-period amount, and the
    // departments and accounts named exist.
    void assetSplitsAndAccounts() {
        QCOMPARE(count("SELECT COUNT(*) FROM Asset"), 120);
        QCOMPARE(count("SELECT COUNT(*) FROM Asset WHERE ACODE NOT IN (SELECT ACODE FROM "
                       "Assetd)"),
                 0);
        QCOMPARE(count("SELECT COUNT(*) FROM (SELECT ACODE FROM Assetd GROUP BY ACODE HAVING "
                       "SUM(APERC) <> 100)"),
                 0);
        QCOMPARE(count("SELECT COUNT(*) FROM Assetd d JOIN Asset a USING (ACODE) WHERE "
                       "abs(d.ATOTA - round(d.APERC * a.ATOT3 / 100, 2)) > 0.001"),
                 0);
        QCOMPARE(count("SELECT COUNT(*) FROM Assetd WHERE ADENO NOT IN (SELECT DEPARTNO FROM "
                       "Depart25)"),
                 0);
        QCOMPARE(count("SELECT COUNT(*) FROM (SELECT ACODE, ADENO FROM Assetd GROUP BY 1, 2 "
                       "HAVING COUNT(*) > 1)"),
                 0);
        for (const char* column : {"ACOD1", "ACOD2", "ACOD3"})
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM Asset WHERE %1 NOT IN (SELECT "
                                          "ACODE FROM Acco)")
                               .arg(QLatin1String(column))),
                     0);
        for (const char* code : {"1441", "1442", "6125"})
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM Acco WHERE ACODE = '%1'")
                               .arg(QLatin1String(code))),
                     1);
    }

    // The amounts the asset window derives, and the schedule and postings behind them.
    void assetAmountsAndSchedules() {
        QCOMPARE(count("SELECT COUNT(*) FROM Asset WHERE abs(ATOT3 - round((ATOTA - ATOT1 - "
                       "ATOT2) / AYEAR, 2)) > 0.001 OR ATOT5 <> ATOTA - ATOT1 - ATOT2"),
                 0);
        // The scheduled amounts of an asset in use add up to the amount to depreciate, one
        // line a month, none below zero; a sold asset has nothing scheduled after its sale.
        QCOMPARE(count("SELECT COUNT(*) FROM Asset a WHERE ASELL = 0 AND (abs((SELECT SUM(ATOTA) "
                       "FROM Assets s WHERE s.ACODE = a.ACODE AND ASOUR = '') - (ATOTA - ATOT1 - "
                       "ATOT2)) > 0.001 OR (SELECT COUNT(DISTINCT ADATE) FROM Assets s WHERE "
                       "s.ACODE = a.ACODE AND ASOUR = '') <> AYEAR)"),
                 0);
        QCOMPARE(count("SELECT COUNT(*) FROM Assets s JOIN Asset a USING (ACODE) WHERE s.ATOTA < 0 "
                       "OR (a.ASELL = 1 AND s.ADATE > a.ADAT2)"),
                 0);
        QVERIFY(count("SELECT COUNT(*) FROM Asset WHERE ASELL = 1") > 0);
        QCOMPARE(count("SELECT COUNT(*) FROM Asset a WHERE abs(ATOT4 - IFNULL((SELECT "
                       "SUM(ATOTA) FROM Assets s WHERE s.ACODE = a.ACODE AND ASOUR <> ''), 0)) "
                       "> 0.001"),
                 0);
        // Postings repeat scheduled lines, none after the closing date or the sale.
        QCOMPARE(count("SELECT COUNT(*) FROM Assets p WHERE ASOUR <> '' AND NOT EXISTS (SELECT 1 "
                       "FROM Assets s WHERE s.ACODE = p.ACODE AND s.ASOUR = '' AND s.ADATE = "
                       "p.ADATE AND s.ATOTA = p.ATOTA)"),
                 0);
        QCOMPARE(count("SELECT COUNT(*) FROM Assets p JOIN Asset a USING (ACODE) WHERE ASOUR "
                       "<> '' AND (p.ADATE > (SELECT JDATE FROM JE) OR (a.ASELL = 1 AND p.ADATE "
                       "> a.ADAT2))"),
                 0);
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT JDATE FROM JE")).toString(),
                 DateToRoc(QDate(Clock::today().year(), Clock::today().month(), 1).addDays(-1)));
    }

    void assetStates_data() {
        QTest::addColumn<QString>("condition");
        QTest::newRow("reviewed") << "AUSE3 <> ''";
        QTest::newRow("not reviewed") << "AUSE3 = '' AND ASELL = 0";
        QTest::newRow("sold") << "ASELL = 1 AND ADAT2 > ADAT1";
        QTest::newRow("with postings") << "ATOT4 > 0";
        QTest::newRow("without postings") << "ATOT4 = 0";
        QTest::newRow("brought in amortised") << "ATOT2 > 0";
    }
    void assetStates() {
        QFETCH(QString, condition);
        QVERIFY(count("SELECT COUNT(*) FROM Asset WHERE " + condition) > 0);
    }

    void noticesValidToday() {
        const QString today = DateToRoc(Clock::today());
        QVERIFY(count(QStringLiteral("SELECT COUNT(*) FROM F8DATA WHERE FBEGD <= '%1' AND FEND "
                                     ">= '%1'")
                          .arg(today)) > 0);
    }

    // Every line names an item, and every document line its document.
    void historyReferences_data() {
        QTest::addColumn<QString>("sql");
        for (const char* pair :
             {"HISTIN.HICOD", "HISTOU.HICOD", "VISEIN.VICOD", "VISEOU.VICOD", "RETAILD.RICOD",
              "TRAN1.TICOD", "SISE.SICOD", "ORSUB.OICOD", "REBACKD.RICOD", "WORKER.WICOD",
              "SINOUT.SICODE", "SerialInOutTotal.ICODE", "STOC.SITEM", "ITEMP.ICODE",
              "ITEM1.ICODE1", "ITEM3.ICODE3"}) {
            const QString table = QString::fromLatin1(pair).section(u'.', 0, 0);
            const QString column = QString::fromLatin1(pair).section(u'.', 1);
            QTest::newRow(pair) << QStringLiteral(
                                       "SELECT COUNT(*) FROM %1 WHERE %2 NOT IN "
                                       "(SELECT ICODE FROM ITEM)")
                                       .arg(table, column);
        }
        QTest::newRow("sales documents") << "SELECT COUNT(*) FROM HISTIN WHERE HCOD1 NOT IN "
                                            "(SELECT PCOD1 FROM POSEIN)";
        QTest::newRow("purchase documents") << "SELECT COUNT(*) FROM VISEIN WHERE VCOD1 NOT IN "
                                               "(SELECT BCOD1 FROM BUYSIN)";
        QTest::newRow("transfer documents") << "SELECT COUNT(*) FROM TRAN1 WHERE TCCOD NOT IN "
                                               "(SELECT MCODE FROM MTRAN)";
        QTest::newRow("order documents") << "SELECT COUNT(*) FROM SISE WHERE SCOD1 NOT IN "
                                            "(SELECT SCOD1 FROM SBIN)";
        QTest::newRow("customer order documents") << "SELECT COUNT(*) FROM ORSUB WHERE OCOD1 NOT "
                                                     "IN (SELECT OCOD1 FROM ORDET)";
        QTest::newRow("repair documents") << "SELECT COUNT(*) FROM REBACKD WHERE RCOD1 NOT IN "
                                             "(SELECT RCOD1 FROM REBACKM)";
        QTest::newRow("customers") << "SELECT COUNT(*) FROM HISTIN WHERE HPCOD NOT IN (SELECT "
                                      "CCODE FROM CUST)";
        QTest::newRow("vendors") << "SELECT COUNT(*) FROM VISEIN WHERE VPCOD NOT IN (SELECT "
                                    "PCODE FROM PART)";
        QTest::newRow("warehouses") << "SELECT COUNT(*) FROM STOC WHERE STCOD NOT IN (SELECT "
                                       "ITCOD FROM ITYP WHERE ITYPE = '1')";
        QTest::newRow("lots where they lie") << "SELECT COUNT(*) FROM VISEIN WHERE VCOD1NUM <> "
                                                "IFNULL((SELECT SUM(INUMB) FROM BUYSINCODE WHERE "
                                                "BCOD1SEQ = VCOD1SEQ), 0)";
        QTest::newRow("salesmen") << "SELECT COUNT(*) FROM HISTIN WHERE HSCOD NOT IN (SELECT "
                                     "SCODE FROM SALE)";
        QTest::newRow("duplicate lines") << "SELECT COUNT(*) FROM (SELECT 1 FROM HISTIN GROUP BY "
                                            "HCOD1, HSEQ HAVING COUNT(*) > 1)";
        QTest::newRow("document codes") << "SELECT COUNT(*) FROM HISTIN WHERE length(HCOD1) <> "
                                           "11 OR replace(HDAT1, '.', '') <> substr(HCOD1, 1, 7)";
        // ISNULL(HUNI3,(HTOTA / HINU3)) and (OINUM / OINU2) must never divide by 0 or NULL.
        QTest::newRow("sales price") << "SELECT COUNT(*) FROM HISTIN WHERE HUNI3 IS NULL AND "
                                        "IFNULL(HINU3, 0) = 0";
        QTest::newRow("pos price") << "SELECT COUNT(*) FROM RETAILD WHERE RUNI2 IS NULL AND "
                                      "IFNULL(RINU2, 0) = 0";
        QTest::newRow("order unit") << "SELECT COUNT(*) FROM ORSUB WHERE OINU2 = 0";
        QTest::newRow("item on order") << "SELECT COUNT(*) FROM ITEM WHERE ISISE <> IFNULL((SELECT "
                                          "SUM(SINUM - SONUM) FROM SISE WHERE SICOD = ICODE AND "
                                          "SINYN = 'N'), 0)";
        QTest::newRow("item on customer orders")
            << "SELECT COUNT(*) FROM ITEM WHERE abs(ORSUB - IFNULL((SELECT SUM(ONNO * OINUM / "
               "IFNULL(OINU2, OINUM)) FROM ORSUB WHERE OICOD = ICODE AND OINYN IN ('N', '') AND "
               "ONNO > 0), 0)) > 1e-9";
        QTest::newRow("item stock") << "SELECT COUNT(*) FROM ITEM WHERE INUMB <> IFNULL((SELECT "
                                       "SUM(SNUMB) FROM STOC WHERE SITEM = ICODE), 0)";
    }
    void historyReferences() {
        QFETCH(QString, sql);
        QCOMPARE(count(sql), 0);
    }

    // The busy item has something to show in every mode of the inquiry.
    void busyItemInEveryMode_data() {
        QTest::addColumn<QString>("where");
        QTest::newRow("sales") << "HISTIN WHERE SystemVisible = 1 AND HICOD = ?1";
        QTest::newRow("sales returns") << "HISTOU WHERE HICOD = ?1";
        QTest::newRow("purchases") << "VISEIN WHERE VICOD = ?1";
        QTest::newRow("purchase returns") << "VISEOU WHERE VICOD = ?1";
        QTest::newRow("pos sales") << "RETAILD WHERE RIDT = '0' AND RICOD = ?1";
        QTest::newRow("pos returns") << "RETAILD WHERE RIDT = '1' AND RICOD = ?1";
        QTest::newRow("transfers") << "TRAN1 WHERE TICOD = ?1";
        QTest::newRow("open purchase orders") << "SISE WHERE SICOD = ?1 AND SINUM > SONUM AND "
                                                 "SINYN = 'N'";
        QTest::newRow("open customer orders") << "ORSUB WHERE OICOD = ?1 AND OINYN IN ('N', '') "
                                                 "AND ONNO > 0";
        QTest::newRow("stock") << "STOC WHERE SITEM = ?1";
        QTest::newRow("locations") << "ITEMP WHERE ICODE = ?1";
        QTest::newRow("repair parts") << "REBACKD WHERE RICOD = ?1";
        QTest::newRow("received") << "SINOUT WHERE SINOU = 'C' AND SICODE = ?1";
        QTest::newRow("serials") << "SerialInOutTotal WHERE ICODE = ?1 AND SerialCode <> '' AND "
                                    "Quantity <> 0";
        QTest::newRow("vendor view") << "VF8J WHERE VICOD = ?1";
    }
    void busyItemInEveryMode() {
        QFETCH(QString, where);
        const QString busy =
            QString::fromUtf8(ItemCatalogue::items()[ItemCatalogue::BusyItem].code);
        QVERIFY(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM ") + where, {busy}).toInt() > 0);
    }

    // Every mode of the inquiry shows lines of several items, and some items have none.
    void severalItemsInEveryMode_data() {
        QTest::addColumn<QString>("items");
        QTest::newRow("sales") << "HICOD FROM HISTIN WHERE SystemVisible = 1";
        QTest::newRow("sales returns") << "HICOD FROM HISTOU";
        QTest::newRow("purchases") << "VICOD FROM VISEIN";
        QTest::newRow("lots") << "VICOD FROM VISEIN WHERE VCOD1SEQ <> '' AND VCOD1NUM <> 0";
        QTest::newRow("purchase returns") << "VICOD FROM VISEOU";
        QTest::newRow("pos sales") << "RICOD FROM RETAILD WHERE RIDT = '0'";
        QTest::newRow("pos returns") << "RICOD FROM RETAILD WHERE RIDT = '1'";
        QTest::newRow("transfers") << "TICOD FROM TRAN1";
        QTest::newRow("open purchase orders") << "SICOD FROM SISE WHERE SINUM > SONUM AND "
                                                 "SINYN = 'N'";
        QTest::newRow("open customer orders") << "OICOD FROM ORSUB WHERE OINYN = 'N' AND ONNO > 0";
        QTest::newRow("repair parts") << "RICOD FROM REBACKD";
        QTest::newRow("received") << "SICODE FROM SINOUT WHERE SINOU = 'C'";
        QTest::newRow("serials") << "ICODE FROM SerialInOutTotal WHERE SerialCode <> '' AND "
                                    "Quantity <> 0";
    }
    void severalItemsInEveryMode() {
        QFETCH(QString, items);
        const qint64 shown = count("SELECT COUNT(*) FROM (SELECT DISTINCT " + items + ")");
        QVERIFY2(shown >= 5 && shown < count("SELECT COUNT(*) FROM ITEM"),
                 qPrintable(QString::number(shown)));
    }

    // The item list has items below their safety stock, out of stock and stopped, and the
    // demo users show the inquiry's restrictions: LIN is a salesman without right 355 (her
    // own lines), HUANG has 355 without 1306 (his department's lines, more than one
    // salesman's), CHOU sees no prices, TSAI only his warehouse.
    void inquiryItemsAndUsers() {
        QVERIFY(count("SELECT COUNT(*) FROM ITEM WHERE INUMB < ISAVE") >= 10);
        QVERIFY(count("SELECT COUNT(*) FROM ITEM WHERE INUMB = 0") >= 10);
        QVERIFY(count("SELECT COUNT(*) FROM ITEM3 WHERE STOPSALE = 1") >= 10);
        QVERIFY(count("SELECT COUNT(*) FROM ITEM WHERE ORSUB > 0") >= 10);
        QVERIFY(count("SELECT COUNT(*) FROM HISTIN WHERE HSCOD = 'S005' AND HDENO = '02'") > 0);
        QCOMPARE(count("SELECT COUNT(DISTINCT HSCOD) FROM HISTIN WHERE HDENO = '02'"), 2);
        const auto holds = [&](const char* user, int right) {
            return count(QStringLiteral("SELECT (R%1 >> %2) & 1 FROM SALE WHERE SUSER = '%3'")
                             .arg(right / 32, 2, 10, QLatin1Char('0'))
                             .arg(right % 32)
                             .arg(QLatin1String(user))) == 1;
        };
        const QList<int> inquiry = {57, 355, 367, 645, 646, 647, 648, 926, 934, 1306};
        const QList<std::pair<const char*, QList<int>>> lacking = {
            {"ADM", {}},
            {"WANG", {}},
            {"LIN", {355}},
            {"HUANG", {1306}},
            {"CHOU", {57, 367, 645, 646, 647, 648, 926}},
            {"TSAI", {934}}};
        for (const auto& [user, missing] : lacking)
            for (int right : inquiry)
                QVERIFY2(holds(user, right) != missing.contains(right),
                         qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(user)).arg(right)));
        QCOMPARE(count("SELECT COUNT(*) FROM SALE WHERE SUSER = 'TSAI' AND SSTOC = '03'"), 1);
        QVERIFY(!holds("LEE", 355) && !holds("CHEN", 355));
    }

    // Lot and serial items have lots left, and repair orders picked up point at a document
    // whose code starts with the day of the pick-up.
    void lotsAndRepairs() {
        QVERIFY(count("SELECT COUNT(*) FROM VISEIN WHERE VCOD1SEQ <> '' AND VCOD1NUM > 0") > 0);
        QVERIFY(count("SELECT COUNT(*) FROM WORKER WHERE WSTA6 = 1 AND WCOD6 IS NOT NULL") > 0);
        QCOMPARE(count("SELECT COUNT(*) FROM WORKER WHERE WSTA6 = 1 AND (length(WCOD6) <> 11 OR "
                       "WCOD6 < replace(WDAT1, '.', ''))"),
                 0);
        QVERIFY(count("SELECT COUNT(*) FROM ITEM1 WHERE ENA13 LIKE '000%'") > 0);
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
            QCOMPARE(::count(a, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = "
                                               "'%1'")
                                    .arg(index)),
                     1);
        QCOMPARE(a.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
        const QString busy =
            QString::fromUtf8(ItemCatalogue::items()[ItemCatalogue::BusyItem].code);
        const double share =
            a.scalar(QStringLiteral("SELECT AVG(HICOD = ?1) FROM HISTIN"), {busy}).toDouble();
        QVERIFY2(share > 0.03 && share < 0.08, qPrintable(QString::number(share)));
        // It has open lots and locations enough to page through.
        QVERIFY(::count(b, QStringLiteral("SELECT COUNT(*) FROM VISEIN WHERE VICOD = '%1' AND "
                                          "VCOD1NUM != 0 AND VCOD1SEQ != ''")
                               .arg(busy)) > 15);
        QVERIFY(
            ::count(b, QStringLiteral("SELECT COUNT(*) FROM ITEMP WHERE ICODE = '%1'").arg(busy)) >=
            30);
    }
};

QTEST_GUILESS_MAIN(DemoDataTest)
#include "tst_demodata.moc"
