// The item inquiry window's statements against the suite server's rows: grids, lots, customers.
#include <QtTest>

#include "SuiteSchema.h"
#include "TsqlCorpus.h"

namespace {
// The item is MS0451; 02 the user's department, C001 the customer typed.
const char* const Rows =
    "INSERT INTO ITEM (ICODE, INAME, ICONS, IPOIN, INUMB) VALUES ('MS0451', '滑鼠', '光學滑鼠',"
    "  '個', 12), ('MS0452', '滑鼠 ', '無線滑鼠', '個', 0);"
    "INSERT INTO ITYP (ITYPE, ITCOD, ITNAM) VALUES ('1', '001', '台北倉'), ('1', '002', '台中倉'),"
    "  ('2', '001', '其他類別');"
    "INSERT INTO STOC (SITEM, STCOD, STNAM, SNUMB) VALUES ('MS0451', '001', '台北倉', 7),"
    "  ('MS0451', '002', '台中倉', 3);"
    // Purchase orders: one line open, one fully received, one of a short code, one closed.
    "INSERT INTO SISE (SCOD1, SSEQ, SICOD, SPNAM, STCOD, SINUM, SONUM, SINYN, SPOIN) VALUES"
    "  ('11401050001', 1, 'MS0451', '聯強', '001', 10, 0, 'N', '個'),"
    "  ('11401050001', 2, 'MS0451', '聯強', '001', 10, 10, 'N', '個'),"
    "  ('1140301', 12, 'MS0451', '聯強', '001', 3, 0, 'N', '個'),"
    "  ('11312010001', 1, 'MS0451', '聯強', '002', 8, 0, 'Y', '個');"
    "INSERT INTO SBIN (SCOD1, SDAT2, SINYN) VALUES ('1140301', '114.03.09', 'N');"
    // Sales: in dozens without a price, in the base unit, of a short code untaxed, one hidden.
    "INSERT INTO HISTIN (HCOD1, HSEQ, HTCOD, HINUM, HTOTA, HINU3, HPOI3, HUNI3, SystemVisible,"
    "  HICOD, HINAM, HPCOD, HPNAM, HSNAM, HDENO) SELECT *, 'MS0451', '滑鼠', 'C001', '大同公司',"
    "  '王美華', '02' FROM (VALUES ('11401050001', 1, '001', 12, 1200, 1, '打', NULL, 1),"
    "  ('11401050001', 2, '001', 3, 300, NULL, '', NULL, 1), ('1140315', 1, '002', 2, 200, 2,"
    "  '個', 100, 1), ('11402200003', 1, '001', 1, 100, 1, '個', 100, 0));"
    "INSERT INTO POSEIN (PCOD1, PTAXM) VALUES ('11401050001', 1);"
    // Customer orders: in dozens, without an own unit, closed.
    "INSERT INTO ORDET (OCOD1, ODAT1) VALUES ('11403010001', '114.03.01');"
    "INSERT INTO ORSUB (OCOD1, OSEQ, OINUM, OINU2, OPOIN, ONNO, OINYN, OBACK, OICOD, OCNAM)"
    "  SELECT *, 'MS0451', '大同公司' FROM (VALUES ('11403010001', 1, 24, 2, '打', 3, 'N', ''),"
    "  ('11403010001', 2, 5, NULL, '個', 5, '', '急'), ('11403060003', 1, 1, 1, '個', 1, 'Y', ''));"
    // Storage locations: the west shelf (6 strokes) comes before the east one (8 strokes).
    "INSERT INTO ITEMP (ICODE, ITCOD, IICOD) VALUES ('MS0451', '001', '西01'),"
    "  ('MS0451', '001', '東01'), ('MS0451', '00', '2A');"
    "INSERT INTO PLACE (PTCOD, PICOD, PINAM) VALUES ('001', '西01', '西側貨架'),"
    "  ('001', '東01', '東側貨架');"
    // Purchases: lots L1, L10 taxed, L2 untaxed, L3 used up, a line without a lot.
    "INSERT INTO VISEIN (VCOD1, VSEQ, VPNAM, VINUM, VUNIT, VCOD1SEQ, VCOD1NUM, VICOD) SELECT *,"
    "  'MS0451' FROM (VALUES ('11401010001', 1, '聯強', 10, 80, 'L1', 5), ('11401010001', 2,"
    "  '聯強', 10, 82, 'L10', 10), ('11402150002', 1, '精技', 20, 90, 'L2', 20), ('11406010001',"
    "  1, '聯強', 5, 95, 'L3', 0), ('11405200002', 1, '聯強', 3, 88, '', 3));"
    "INSERT INTO BUYSIN (BCOD1, BTAXM) VALUES ('11401010001', 1), ('11402150002', 0);"
    "INSERT INTO SerialInOutTotal (SerialCode, ICODE, STCOD, Quantity) VALUES"
    "  ('SN0002', 'MS0451', '001', 1), ('sn0001', 'MS0451', '002', 1),"
    "  ('SN0003', 'MS0451', '001', 0), ('', 'MS0451', '001', 5);";

QString rows(const QStringList& list) { return list.join(u';'); }

// The composite key of a history grid: document code in CHAR(11), line number + 10000.
QString key(const char* code, const char* line) {
    return QStringLiteral("(CONVERT(CHAR(11),%1) + CONVERT(CHAR(5),(10000 + %2)))")
        .arg(QLatin1String(code), QLatin1String(line));
}
const QString Taxed =
    "CASE WHEN (SELECT PTAXM FROM POSEIN WHERE POSEIN.PCOD1 = HISTIN.HCOD1) > 0 THEN 'Y' ELSE "
    "'N' END AS TAXS";
// By customer: the item code in CHAR(17), the document code as it stands.
QString itemKey(const char* item, const char* rest) {
    return QString::fromLatin1(item).leftJustified(17) + QLatin1String(rest);
}
}  // namespace

class TsqlHistoryTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TsqlFixture> m_fixture;

private slots:
    void initTestCase() {
        m_fixture = std::make_unique<TsqlFixture>(QString());
        SuiteSchema::create(m_fixture->db().connection());
        m_fixture->db().connection().script(QString::fromUtf8(Rows));
    }
    void cleanupTestCase() { m_fixture.reset(); }

    void statements_data() {
        TsqlCorpus::addCases({
            // Open purchase orders: a short code padded in the key.
            {"SELECT SCOD1,SPNAM,SINUM,SPOIN,(SINUM-SONUM) AS SSNUM,ISNULL((SELECT SDAT2 FROM SBIN "
             "WHERE SBIN.SCOD1 = SISE.SCOD1),'') AS SDAT2,SBACK," +
                 key("SCOD1", "SSEQ") +
                 " AS HINX FROM SISE WITH (INDEX = SISE1_INX) WHERE SICOD = 'MS0451' AND "
                 "(SINUM-SONUM) > 0 AND SINYN = 'N' AND " +
                 key("SCOD1", "SSEQ") + " >= '1140105000110001' ORDER BY SCOD1,SSEQ",
             "SCOD1|SPNAM|SINUM|SPOIN|SSNUM|SDAT2|SBACK|HINX",
             rows({"11401050001|聯強|10|個|10|||1140105000110001",
                   "1140301|聯強|3|個|3|114.03.09||1140301    10012"})},
            // Sales: visible lines of the department, taxed or not; no unit price gives NULL.
            {"SELECT TOP 15 HCOD1,HPNAM,HSNAM,HTCOD,ISNULL(HINU3,HINUM) AS HINUM,HPOI3 AS "
             "'HPOIN',ISNULL(HUNI3,(HTOTA / HINU3)) AS HUNIT," +
                 key("HCOD1", "HSEQ") + " AS HINX,HCONS,HCOD1SEQ," + Taxed +
                 " FROM HISTIN WITH (INDEX = HISTIN_HICOD) WHERE SystemVisible = 1 AND HICOD = "
                 "'MS0451' AND HDENO = '02' AND " +
                 key("HCOD1", "HSEQ") + " >= '1140105000110002' ORDER BY HCOD1,HSEQ",
             "HCOD1|HPNAM|HSNAM|HTCOD|HINUM|HPOIN|HUNIT|HINX|HCONS|HCOD1SEQ|TAXS",
             rows({"11401050001|大同公司|王美華|001|3||NULL|1140105000110002|||Y",
                   "1140315|大同公司|王美華|002|2|個|100|1140315    10001|||N"})},
            // Customer orders: Home; the base units of an order in dozens.
            {"SELECT TOP 15 OCOD1,OCNAM,ISNULL(OINU2,OINUM) AS OINUM,OPOIN,ONNO,CASE WHEN OINUM != "
             "OINU2 THEN CONVERT(VARCHAR,((OINUM / OINU2) * ONNO)) + (SELECT IPOIN FROM ITEM WHERE "
             "ICODE = OICOD) ELSE '' END AS 'IPOIN', ISNULL((SELECT ODAT1 FROM ORDET WHERE "
             "ORDET.OCOD1 = ORSUB.OCOD1),'') AS ODAT1,OBACK,OCOD1SEQ," +
                 key("OCOD1", "OSEQ") +
                 " AS HINX FROM ORSUB WHERE OICOD = 'MS0451' AND OINYN IN('N','') AND ONNO > 0 "
                 "ORDER BY OCOD1,OSEQ",
             "OCOD1|OCNAM|OINUM|OPOIN|ONNO|IPOIN|ODAT1|OBACK|OCOD1SEQ|HINX",
             "11403010001|大同公司|2|打|3|36個|114.03.01|||1140301000110001;"
             "11403010001|大同公司|5|個|5||114.03.01|急||1140301000110002"},
            // Storage locations: codes of different lengths interleave; west shelf before east.
            {"SELECT TOP 15 ITCOD,IICOD,(SELECT PINAM FROM PLACE WHERE PTCOD = ITCOD AND PICOD = "
             "IICOD) AS IINAM,(ITCOD + IICOD) AS HINX FROM ITEMP WITH (INDEX = KITEMP) WHERE ICODE "
             "= 'MS0451' AND (ITCOD + IICOD) >= '001東01' ORDER BY ITCOD,IICOD",
             "ITCOD|IICOD|IINAM|HINX", "00|2A|NULL|002A;001|東01|東側貨架|001東01"},
            // Stock lots priced with tax at 1.03; stock per warehouse; serial holdings.
            {"SELECT * FROM (SELECT TOP 15 VCOD1SEQ,VCOD1,VPNAM,VUNIT = CASE WHEN (SELECT BTAXM "
             "FROM BUYSIN WHERE BCOD1 = VCOD1) > 0 THEN VUNIT * 1.03 ELSE VUNIT END,VINUM,VCOD1NUM "
             "FROM VISEIN WHERE VICOD = 'MS0451' AND VCOD1NUM != 0 AND VCOD1SEQ != '' ORDER BY "
             "VCOD1,VCOD1SEQ DESC) AS TABTEMP ORDER BY VCOD1,VCOD1SEQ + ' ' ",
             "VCOD1SEQ|VCOD1|VPNAM|VUNIT|VINUM|VCOD1NUM",
             "L1|11401010001|聯強|82.4|10|5;L10|11401010001|聯強|84.46|10|10;"
             "L2|11402150002|精技|90|20|20"},
            {"SELECT STCOD,STNAM,SNUMB,ISNULL((SELECT SUM(SINUM - SONUM) FROM SISE WHERE SINYN = "
             "'N' AND SISE.STCOD = STOC.STCOD AND SISE.SICOD = 'MS0451'),0) AS SNUM2 FROM STOC "
             "WHERE SITEM = 'MS0451' ORDER BY STCOD",
             "STCOD|STNAM|SNUMB|SNUM2", "001|台北倉|7|13;002|台中倉|3|0"},
            {"SELECT s.SerialCode,s.STCOD,(SELECT ITNAM FROM ITYP WHERE ITCOD = s.STCOD AND ITYPE "
             "= 1) AS STNAM,s.Quantity FROM SerialInOutTotal AS s WHERE s.ICODE = 'MS0451' AND "
             "s.SerialCode != '' AND S.Quantity != 0 ORDER BY s.SerialCode",
             "SerialCode|STCOD|STNAM|Quantity", "sn0001|002|台中倉|1;SN0002|001|台北倉|1"},
            // A customer's sales by the longer key; the items bought.
            {"SELECT TOP 15 HCOD1,HPNAM,HSNAM,HICOD,HINAM,HTCOD,ISNULL(HINU3,HINUM) AS HINUM,HPOI3 "
             "AS 'HPOIN',ISNULL(HUNI3,(HTOTA / HINU3)) AS HUNIT,(CONVERT(CHAR(17),HICOD) + HCOD1 + "
             "CONVERT(CHAR(5),(10000 + HSEQ)))," +
                 Taxed +
                 " FROM HISTIN WITH (INDEX = HISTIN_HPCOD) WHERE SystemVisible = 1 AND HPCOD = "
                 "'C001' AND HICOD Like '%' ORDER BY HICOD,HCOD1,HSEQ",
             "HCOD1|HPNAM|HSNAM|HICOD|HINAM|HTCOD|HINUM|HPOIN|HUNIT||TAXS",
             rows({"11401050001|大同公司|王美華|MS0451|滑鼠|001|1|打|1200|" +
                       itemKey("MS0451", "1140105000110001") + "|Y",
                   "11401050001|大同公司|王美華|MS0451|滑鼠|001|3||NULL|" +
                       itemKey("MS0451", "1140105000110002") + "|Y",
                   "1140315|大同公司|王美華|MS0451|滑鼠|002|2|個|100|" +
                       itemKey("MS0451", "114031510001") + "|N"})},
            {"SELECT TOP 15 ICODE,INAME,INUMB,ICONS FROM ITEM WHERE ICODE >='MS0451' AND ICODE "
             "Like '%' AND ICODE IN(SELECT HICOD FROM HISTIN WITH (INDEX = HISTIN_HPCOD) WHERE "
             "HPCOD = 'C001' GROUP BY HICOD) ORDER BY ICODE",
             "ICODE|INAME|INUMB|ICONS", "MS0451|滑鼠|12|光學滑鼠"},
        });
    }
    // The rows; a statement naming its index reads it without a sort, other tables by their keys.
    void statements() {
        TsqlCorpus::check(m_fixture->db());
        QFETCH(QString, text);
        static const QRegularExpression hint(QStringLiteral("WITH \\(INDEX = (\\w+)\\)"),
                                             QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch named = hint.match(text);
        if (!named.hasMatch()) return;
        const QString plan = m_fixture->plan(text).join(u';');
        static const QRegularExpression otherScan(QStringLiteral("SCAN (?!t0\\b|\\(subquery-)"));
        QVERIFY2(plan.contains(QLatin1String("INDEX ") + named.captured(1).toUpper()) &&
                     !plan.contains(QLatin1String("TEMP B-TREE")) && !plan.contains(otherScan),
                 qPrintable(plan));
    }
};

QTEST_GUILESS_MAIN(TsqlHistoryTest)
#include "tst_tsqlhistory.moc"
