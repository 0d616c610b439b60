// The schema: every declared table and index is there, and creating it twice adds nothing.
// The paging statements of the history grids, written in SQLite's own dialect as the front end
// emits them (row values for the composite key, LIMIT for TOP, INDEXED BY for the hints), are
// answered in key order from the hinted index, without a sort. (The module's statements
// themselves run on this schema in the statement corpus.)
#include <sqlite3.h>

#include <QTemporaryDir>
#include <QtTest>

#include "SqliteConnection.h"
#include "SuiteSchema.h"

namespace {
// The composite paging key of the history grids for a document code and a line number.
QString key(const char* code, const char* seq) {
    return QStringLiteral("(printf('%-11s',%1) || (10000 + %2))")
        .arg(QLatin1String(code), QLatin1String(seq));
}

QString prepareError(SqliteConnection& db, const QString& sql) {
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    const int rc =
        sqlite3_prepare_v2(db.handle(), text.constData(), int(text.size()), &statement, nullptr);
    sqlite3_finalize(statement);
    return rc == SQLITE_OK ? QString() : QString::fromUtf8(sqlite3_errmsg(db.handle()));
}

QString plan(SqliteConnection& db, const QString& sql) {
    QStringList lines;
    for (const QVariantList& row : db.query(QStringLiteral("EXPLAIN QUERY PLAN ") + sql).rows)
        lines.append(row.value(3).toString());
    return lines.join(u'\n');
}

const QString RepairState = QStringLiteral(
    "(SELECT CASE WHEN RSTAT = 0 THEN '待檢測' WHEN RSTAT = 10 THEN '轉銷貨退回' ELSE '' END "
    "FROM REBACKM WHERE REBACKM.RCOD1 = REBACKD.RCOD1) AS RSTATN, (SELECT CASE WHEN RSTA2 = 0 "
    "THEN '待後送' ELSE '' END FROM REBACKM WHERE REBACKM.RCOD1 = REBACKD.RCOD1) AS RSTA2N");
const QString SalesColumns = QStringLiteral(
    "HCOD1,HPNAM,HSNAM,HTCOD,IFNULL(HINU3,HINUM) AS HINUM,HPOI3 AS HPOIN,"
    "IFNULL(HUNI3,(HTOTA / HINU3)) AS HUNIT,%1 AS HINX,HCONS");
const QString TaxMarker = QStringLiteral(
    "CASE WHEN (SELECT PTAXM FROM POSEIN WHERE POSEIN.PCOD1 = HISTIN.HCOD1) > 0 THEN 'Y' ELSE "
    "'N' END AS TAXS");
}  // namespace

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

    // The paged history grids: the item's rows from the key on, read from the index in key
    // order (the row-value form of the composite text key).
    void historyPages_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("index");
        const auto sales = [](const char* table) {
            return QStringLiteral(
                       "SELECT %1 FROM %2 INDEXED BY %2_HICOD WHERE SystemVisible = 1 "
                       "AND HICOD = ? AND HSCOD = ? AND (HCOD1,HSEQ) >= (?,?) ORDER "
                       "BY HCOD1,HSEQ LIMIT 15")
                .arg(SalesColumns.arg(key("HCOD1", "HSEQ")), QLatin1String(table));
        };
        QTest::newRow("sales") << sales("HISTIN").replace(QStringLiteral("HCONS"),
                                                          QStringLiteral("HCONS,") + TaxMarker)
                               << "HISTIN_HICOD";
        QTest::newRow("sales returns") << sales("HISTOU") << "HISTOU_HICOD";
        QTest::newRow("sales, newest first")
            << "SELECT " + key("HCOD1", "HSEQ") +
                   " AS HINX FROM HISTIN INDEXED BY HISTIN_HICOD WHERE SystemVisible = 1 AND "
                   "HICOD = ? AND HDENO = ? ORDER BY HCOD1 DESC,HSEQ DESC LIMIT 15"
            << "HISTIN_HICOD";
        QTest::newRow("purchase returns")
            << "SELECT VCOD1,VPNAM,VTCOD,VINU2 AS VINUM,VPOIN,VUNI2 AS VUNIT,(VCOD1 || (10000 + "
               "VOSEQ)) AS VINX FROM VISEOU INDEXED BY VISEOU_VICOD WHERE SystemVisible = 1 AND "
               "VICOD = ? AND (VCOD1,VOSEQ) >= (?,?) ORDER BY VCOD1,VOSEQ LIMIT 15"
            << "VISEOU_VICOD";
        QTest::newRow("point of sale")
            << "SELECT RCOD1,RPNAM,RSNAM,RTCOD,IFNULL(RINU2,RINUM) AS RINUM,RPOIN,"
               "IFNULL(RUNI2,(RTOTA / RINU2)) AS RUNIT," +
                   key("RCOD1", "RSEQ") +
                   " AS HINX,RCONS,RCOD1SEQ FROM RETAILD INDEXED BY RETAILD2_INX WHERE RIDT = "
                   "'0' AND RICOD = ? AND RSCOD = ? AND (RCOD1,RSEQ) >= (?,?) ORDER BY RCOD1,"
                   "RSEQ LIMIT 15"
            << "RETAILD2_INX";
        QTest::newRow("transfers")
            << "SELECT TCCOD,(SELECT MUSER FROM MTRAN WHERE MTRAN.MCODE = TRAN1.TCCOD) AS MUSER,"
               "TSCO1,(SELECT ITNAM FROM ITYP WHERE ITYP.ITYPE = '1' AND ITYP.ITCOD = "
               "TRAN1.TSCO1) AS TSNA1,TSCO2,(SELECT ITNAM FROM ITYP WHERE ITYP.ITYPE = '1' AND "
               "ITYP.ITCOD = TRAN1.TSCO2) AS TSNA2,TNUMB,TPOIN," +
                   key("TCCOD", "TSEQ") +
                   " AS HINX,TCOD1SEQ FROM TRAN1 INDEXED BY TRAN1_INX WHERE TICOD = ? AND "
                   "(TCCOD,TSEQ) >= (?,?) ORDER BY TCCOD,TSEQ LIMIT 15"
            << "TRAN1_INX";
        QTest::newRow("open purchase orders")
            << "SELECT SCOD1,SPNAM,SINUM,SPOIN,(SINUM-SONUM) AS SSNUM,IFNULL((SELECT SDAT2 FROM "
               "SBIN WHERE SBIN.SCOD1 = SISE.SCOD1),'') AS SDAT2,SBACK," +
                   key("SCOD1", "SSEQ") +
                   " AS HINX FROM SISE INDEXED BY SISE1_INX WHERE SICOD = ? AND (SINUM-SONUM) > "
                   "0 AND SINYN = 'N' AND (SCOD1,SSEQ) >= (?,?) ORDER BY SCOD1,SSEQ LIMIT 15"
            << "SISE1_INX";
        QTest::newRow("open customer orders")
            << "SELECT OCOD1,OCNAM,ITCOD,IFNULL(OINU2,OINUM) AS OINUM,OPOIN,ONNO,CASE WHEN OINUM "
               "!= OINU2 THEN CAST(((OINUM / OINU2) * ONNO) AS TEXT) || (SELECT IPOIN FROM ITEM "
               "WHERE ICODE = OICOD) ELSE '' END AS IPOIN,IFNULL((SELECT ODAT1 FROM ORDET WHERE "
               "ORDET.OCOD1 = ORSUB.OCOD1),'') AS ODAT1,OBACK,OCOD1SEQ," +
                   key("OCOD1", "OSEQ") +
                   " AS HINX FROM ORSUB WHERE OICOD = ? AND OINYN IN('N','') AND ONNO > 0 AND "
                   "OSCOD = ? AND (OCOD1,OSEQ) >= (?,?) ORDER BY OCOD1,OSEQ LIMIT 15"
            << "ORSUB_OICOD";
        QTest::newRow("locations")
            << "SELECT ITCOD,IICOD,(SELECT PINAM FROM PLACE WHERE PTCOD = ITCOD AND PICOD = "
               "IICOD) AS IINAM,(ITCOD || IICOD) AS HINX FROM ITEMP INDEXED BY KITEMP WHERE "
               "ICODE = ? ORDER BY ITCOD,IICOD LIMIT 15"
            << "KITEMP";
        QTest::newRow("repair parts")
            << "SELECT RCOD1,RSEQ,RPNAM,RSTA1,RICOD,RINAM,RTCOD,RINU2,RPOIN," + RepairState + "," +
                   key("RCOD1", "RSEQ") +
                   " AS HINX FROM REBACKD INDEXED BY REBACKD_INX2 WHERE RICOD = ? AND "
                   "(RCOD1,RSEQ) >= (?,?) ORDER BY RCOD1,RSEQ LIMIT 15"
            << "REBACKD_INX2";
        QTest::newRow("stock lots")
            << "SELECT VCOD1SEQ,VCOD1,VPNAM,VUNIT,VINUM,VCOD1NUM FROM VISEIN WHERE VICOD = ? AND "
               "VCOD1NUM != 0 AND VCOD1SEQ != '' AND (VCOD1,VCOD1SEQ) >= (?,?) ORDER BY VCOD1,"
               "VCOD1SEQ LIMIT 15"
            << "VISEIN_LOT";
        QTest::newRow("customer history")
            << "SELECT HCOD1,HPNAM,HSNAM,HICOD,HINAM,HTCOD,HINUM,HPOI3,HUNI3," + TaxMarker +
                   " FROM HISTIN INDEXED BY HISTIN_HPCOD WHERE SystemVisible = 1 AND HPCOD = ? "
                   "AND HICOD LIKE ? AND HSCOD = ? AND (HICOD,HCOD1,HSEQ) >= (?,?,?) ORDER BY "
                   "HICOD,HCOD1,HSEQ LIMIT 15"
            << "HISTIN_HPCOD";
        QTest::newRow("customer repairs")
            << "SELECT WPNAM,WSN13,WCOD2,WICOD,WINAM,WTCOD,WINU2,WPOIN,CASE WHEN WSTA1 = 0 THEN "
               "'待收件' ELSE '' END AS WSTA1N,CASE WHEN WST12 = 0 THEN '待收件' ELSE '' END AS "
               "WST12N,CASE WHEN WSTA2 = 0 THEN '待檢測' ELSE '' END AS WSTA2N,CASE WHEN WSTA4 = "
               "0 THEN '待後送' ELSE '' END AS WSTA4N,CASE WHEN WSTA6 = 1 THEN "
               "substr(IFNULL(WCOD6,''),1,3) || '.' || substr(IFNULL(WCOD6,''),4,2) ELSE '' END "
               "AS WSTA6N,CASE WHEN IFNULL((SELECT RTAKE FROM REBACKM WHERE RCOD1 = WCOD6),0) = "
               "1 THEN 'Y' ELSE '' END AS RTAKE FROM WORKER INDEXED BY WORKER_WPCOD WHERE WPCOD "
               "= ? AND WICOD LIKE ? AND WSC13 = ? ORDER BY WICOD,WCOD2 LIMIT 15"
            << "WORKER_WPCOD";
    }
    void historyPages() {
        QFETCH(QString, sql);
        QFETCH(QString, index);
        const QString error = prepareError(*m_db, sql);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QString steps = plan(*m_db, sql);
        QVERIFY2(steps.contains(
                     QRegularExpression(QStringLiteral("USING (COVERING )?INDEX %1 ").arg(index))),
                 qPrintable(steps));
        QVERIFY2(!steps.contains(QStringLiteral("TEMP B-TREE")), qPrintable(steps));
        // Every lookup into a header or name table goes through its key.
        QVERIFY2(!steps.contains(QRegularExpression(QStringLiteral("SCAN (?!HISTIN|HISTOU|"
                                                                   "VISEOU|RETAILD|TRAN1|SISE|"
                                                                   "ORSUB|ITEMP|REBACKD|VISEIN|"
                                                                   "WORKER)"))),
                 qPrintable(steps));
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
