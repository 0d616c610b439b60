// Every statement text that the module sends, with values pasted in as it pastes them, on the
// suite's schema: a representative part checked row by row on a few hand-made rows, and all of
// them run on the demo company with the column names the module reads.
#include <QtTest>

#include "DbError.h"
#include "DemoFolder.h"
#include "SuiteSchema.h"
#include "TsqlFixture.h"

namespace {
const QString HistKey =
    QStringLiteral("(CONVERT(CHAR(11),SCOD1) + CONVERT(CHAR(5),(10000 + SSEQ)))");

// A few rows of the tables, in SQLite's words.
const char* const Rows =
    "INSERT INTO Acco (ACODE, ANOTE) VALUES ('1311', '機器設備'), ('1312', '運輸設備'),"
    "  ('1313', '辦公設備'), ('6125', '折舊');"
    "INSERT INTO Depart25 (DEPARTNO, DENAME) VALUES ('01', '管理部'), ('02', '業務部');"
    "INSERT INTO JE (JDATE) VALUES ('114.06.30');"
    "INSERT INTO Asset (ACODE, ANAME, ACOD1, ADAT1, ATOTA, ATOT1, AYEAR, ATOT3, ATOT4, ATOT5,"
    "  ASELL, ADAT2) VALUES ('BD0001', '廠房', '1311', '110.01.01', 1000, 100, 60, 15, 20, 70,"
    "  1, '113.02.25'), ('EQ0001', '電腦', '1312', '112.05.01', 500, 50, 36, 12.5, 10, 35, 0, ''),"
    "  ('EQ0002', '印表機', '1312', '113.07.01', 300, 0, 36, 8, 0, 300, 0, '');"
    "INSERT INTO Assets (ACODE, ADATE, ATOTA, ASOUR) VALUES ('EQ0001', '113.01.31', 12.5, ''),"
    "  ('EQ0001', '113.02.29', 12.5, ''), ('EQ0001', '113.01.31', 12.5, 'JV01');"
    "INSERT INTO Assetd_Temp (LCODE, ACODE, ASEQ, ADENO, APERC, ATOTA) VALUES"
    "  ('0016', 'EQ0001', 1, '01', 40, 5), ('0016', 'EQ0001', 3, '02', 60, 7.5),"
    "  ('0017', 'EQ0001', 2, '02', 100, 12.5);"
    "INSERT INTO F8DATA (FSEQ, FBEGD, FEND, FDEPNO, FDATA) VALUES"
    "  ('0001', '114.12.01', '114.12.31', '', '全體'), ('0002', '114.12.05', '114.12.05', '02',"
    "  '業務'), ('0003', '114.11.01', '114.11.30', '', '過期');"
    "INSERT INTO SISE (SCOD1, SSEQ, SICOD, SPNAM, SINUM, SONUM, SINYN, SPOIN) VALUES"
    "  ('11401050001', 1, 'MS0451', '甲', 10, 0, 'N', '個'),"
    "  ('11401050001', 2, 'MS0451', '甲', 10, 10, 'N', '個'),"
    "  ('11402010002', 1, 'MS0451', '乙', 5, 1, 'N', '個'),"
    "  ('1140301', 12, 'MS0451', '丙', 3, 0, 'N', '個'),"
    "  ('11401050001', 3, 'OTHER', '甲', 10, 0, 'N', '個');"
    "INSERT INTO SBIN (SCOD1, SDAT2, SINYN) VALUES ('11402010002', '114.02.20', 'N'),"
    "  ('1140301', '114.03.09', 'N');"
    "INSERT INTO ITEM (ICODE, INAME, ISOUR) VALUES ('MS0451', '滑鼠', 100), ('KB0001', '鍵盤', 0);"
    "INSERT INTO ITEM1 (ICODE1, ENA13, CO128, ISOUR2) VALUES ('MS0451', '0004719512345', 'C128',"
    "  90), ('KB0001', '4719512340000', '', 0);"
    "INSERT INTO VISEIN (VCOD1, VSEQ, VICOD, VUNIT, VCOD1SEQ, VCOD1NUM) VALUES"
    "  ('11401010001', 1, 'MS0451', 80, 'L1', 5), ('11406010001', 1, 'MS0451', 95, 'L2', 0);"
    "INSERT INTO STOC (SITEM, STCOD, SNUMB) VALUES ('MS0451', '001', 7);";

struct Case {
    const char* text;
    const char* columns;   // result column names, "|" between them, " // " between sets
    const char* expected;  // rows as ShowResults writes them; nullptr: only the columns count
};

QString columnsOf(const ResultSets& sets) {
    QStringList out;
    for (const ResultSet& set : sets) out.append(set.columns.join(u'|'));
    return out.join(QStringLiteral(" // "));
}

void addCases(std::initializer_list<Case> cases) {
    for (const Case& c : cases)
        QTest::newRow(c.text) << QString::fromUtf8(c.text) << QString::fromUtf8(c.columns)
                              << (c.expected ? QString::fromUtf8(c.expected) : QString(u'\x01'));
}
}  // namespace

class TsqlCorpusTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TsqlFixture> m_fixture;
    std::unique_ptr<DemoFolder> m_demo;
    std::unique_ptr<EmbeddedDatabase> m_demoDb;

    static void columns() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("expected");
    }

    static void check(EmbeddedDatabase& db) {
        QFETCH(QString, text);
        QFETCH(QString, names);
        QFETCH(QString, expected);
        ResultSets sets;
        try {
            sets = db.execute(text);
        } catch (const DbError& e) {
            QFAIL(qPrintable(e.hexNumber() + u' ' + e.description()));
        }
        QCOMPARE(columnsOf(sets), names);
        if (expected != QString(u'\x01')) QCOMPARE(ShowResults(sets), expected);
    }

private slots:
    void initTestCase() {
        m_fixture = std::make_unique<TsqlFixture>(QString());
        SuiteSchema::create(m_fixture->db().connection());
        m_fixture->db().connection().script(QString::fromUtf8(Rows));
        m_demo = std::make_unique<DemoFolder>();
        m_demoDb = std::make_unique<EmbeddedDatabase>(m_demo->database());
    }
    void cleanupTestCase() {
        m_demoDb.reset();
        m_fixture.reset();
    }

    // Hand-computed answers on the rows above.
    void checked_data() {
        columns();
        addCases({
            {"SELECT * FROM F8DATA WHERE FBEGD <= '114.12.05' AND FEND >= '114.12.05' AND (FDEPNO "
             "= '' OR FDEPNO = '01') ORDER BY FBEGD DESC,FSEQ DESC",
             "FSEQ|FDATE|FBEGD|FEND|FDEPNO|FDATA|FSNAM|FUSER", "0001||114.12.01|114.12.31||全體||"},
            {"Select *,Isnull((Select Dename From Depart25 Where Departno = Adeno),'') As Adena "
             "From Assetd_Temp Where Lcode = '0016'",
             "LCODE|ACODE|ASEQ|ADENO|APERC|ATOTA|ABACK|Adena",
             "0016|EQ0001|1|01|40|5||管理部;0016|EQ0001|3|02|60|7.5||業務部"},
            {"SELECT ISNULL((SELECT TOP 1 ASEQ FROM ASSETD_TEMP WHERE LCODE = '0016' AND ASEQ > 1),"
             "ISNULL((SELECT TOP 1 ASEQ FROM ASSETD_TEMP WHERE LCODE = '0016' AND ASEQ < 1 ORDER "
             "BY "
             "ASEQ DESC),0))",
             "", "3"},
            {"SELECT SUM(APERC),SUM(ATOTA) FROM ASSETD_TEMP WHERE LCODE = '0016'", "|", "100|12.5"},
            {"Select Count(*) From Assetd_Temp Where Lcode = '0016' And Adeno = '02' And Aseq != 3",
             "", "0"},
            {"Select Isnull(Max(aseq),0) From Assetd_Temp Where Lcode = '0099'", "", "0"},
            {"Select acode,anote From Acco Where Acode = '1312' Order By acode", "acode|anote",
             "1312|運輸設備"},
            {"SELECT TOP 10 ACODE AS A,ANOTE AS B FROM ACCO WHERE ACODE LIKE '131%' AND ACODE >= "
             "(SELECT MIN(ACODE) FROM (SELECT TOP 2 ACODE FROM ACCO WHERE ACODE LIKE '131%' AND "
             "ACODE "
             "<= '1313' ORDER BY ACODE DESC) AS A) ORDER BY ACODE",
             "A|B", "1312|運輸設備;1313|辦公設備"},
            {"SELECT TOP 2 ACODE,ANAME FROM Asset WHERE ACODE LIKE 'EQ%' ORDER BY ACODE",
             "ACODE|ANAME", "EQ0001|電腦;EQ0002|印表機"},
            {"Select Sum(Atot1),Sum(Atot3),Sum(Atot4),Sum(Atot5) From Asset  Where Acode Between "
             "'EQ0001' And 'EQ9999';Select Acode As '財產編號',Aname As '財產名稱',Acod1 As "
             "'會計科目',"
             "Case When Asell = 1 Then '是' Else '否' End As '售出',Adat2 As '售出日期' From Asset "
             " "
             "Where Acode Between 'EQ0001' And 'EQ9999' Order By Acode",
             "||| // 財產編號|財產名稱|會計科目|售出|售出日期",
             "50|20.5|10|335 // EQ0001|電腦|1312|否|;EQ0002|印表機|1312|否|"},
            {"Select Distinct Acod1 As '會計科目',Sum(Atot1) As '預留殘值',Sum(Atot5) As "
             "'剩餘使用價值' "
             "From Asset  Group By Acod1 Order By Acod1",
             "會計科目|預留殘值|剩餘使用價值", "1311|100|70;1312|50|335"},
            {"SELECT ACODE,ADATE,ATOTA,ISNULL((SELECT SUM(ATOTA) FROM ASSETS AS A WHERE A.ACODE = "
             "'EQ0001' AND ASOUR != '' AND A.ADATE <= ATEMP.ADATE),0) AS ATOT1,(SELECT ATOTA - "
             "ATOT1 "
             "- ATOT2 FROM ASSET AS A WHERE A.ACODE = ATEMP.ACODE) - ISNULL((SELECT SUM(ATOTA) "
             "FROM "
             "ASSETS AS A WHERE A.ACODE = 'EQ0001' AND ASOUR != '' AND A.ADATE <= ATEMP.ADATE),0) "
             "AS "
             "ATOT2 From (SELECT DISTINCT ACODE,ADATE,SUM(ATOTA) AS ATOTA FROM ASSETS WHERE ACODE "
             "= "
             "'EQ0001' AND ASOUR = '' GROUP BY ACODE,ADATE) AS ATEMP ORDER BY ADATE",
             "ACODE|ADATE|ATOTA|ATOT1|ATOT2",
             "EQ0001|113.01.31|12.5|12.5|437.5;EQ0001|113.02.29|12.5|12.5|437.5"},
            {"SELECT TOP 15 (CONVERT(CHAR(11),SCOD1) + CONVERT(CHAR(5),(10000 + SSEQ))) AS HINX "
             "FROM SISE WITH (INDEX = SISE1_INX) WHERE SICOD = 'MS0451' AND (SINUM-SONUM) > 0 AND "
             "SINYN = 'N' ORDER BY SCOD1 DESC,SSEQ DESC",
             "HINX", "1140301    10012;1140201000210001;1140105000110001"},
            {"SELECT SCOD1,SPNAM,SINUM,SPOIN,(SINUM-SONUM) AS SSNUM,ISNULL((SELECT SDAT2 FROM SBIN "
             "WHERE SBIN.SCOD1 = SISE.SCOD1),'') AS SDAT2,SBACK,(CONVERT(CHAR(11),SCOD1) + "
             "CONVERT(CHAR(5),(10000 + SSEQ))) AS HINX FROM SISE WITH (INDEX = SISE1_INX) WHERE "
             "SICOD = 'MS0451' AND (SINUM-SONUM) > 0 AND SINYN = 'N' AND (CONVERT(CHAR(11),SCOD1) "
             "+ "
             "CONVERT(CHAR(5),(10000 + SSEQ))) >= '1140201000210001' ORDER BY SCOD1,SSEQ",
             "SCOD1|SPNAM|SINUM|SPOIN|SSNUM|SDAT2|SBACK|HINX",
             "11402010002|乙|5|個|4|114.02.20||1140201000210001;1140301|丙|3|個|3|114.03.09||"
             "1140301    10012"},
            {"SELECT TOP 15 (CONVERT(CHAR(11),SCOD1) + CONVERT(CHAR(5),(10000 + SSEQ))) AS HINX "
             "FROM SISE WITH (INDEX = SISE1_INX) WHERE SICOD = 'MS0451' AND (SINUM-SONUM) > 0 AND "
             "SINYN = 'N' AND (CONVERT(CHAR(11),SCOD1) + CONVERT(CHAR(5),(10000 + SSEQ))) <= "
             "'1140201000210001' ORDER BY SCOD1 DESC,SSEQ DESC",
             "HINX", "1140201000210001;1140105000110001"},
            {"SELECT STCOD,STNAM,SNUMB,ISNULL((SELECT SUM(SINUM - SONUM) FROM SISE WHERE SINYN = "
             "'N' "
             "AND SISE.STCOD = STOC.STCOD AND SISE.SICOD = 'MS0451'),0) AS SNUM2 FROM STOC WHERE "
             "SITEM = 'MS0451' ORDER BY STCOD",
             "STCOD|STNAM|SNUMB|SNUM2", "001||7|0"},
            {"select vicod,vinam,vdat1,vinum,vunit,(select isour2 from item1 where icode1 = vicod) "
             "as isour2,vcod1num from visein where vcod1seq = 'L1'",
             "vicod|vinam|vdat1|vinum|vunit|isour2|vcod1num", "MS0451|||0|80|90|5"},
            {"Select Top 1 vunit From Visein where vicod = 'MS0451' order by vcod1 desc", "vunit",
             "95"},
            {"Select IsNull((Select Convert(VarChar,Snumb) From ZqPro4..Stoc Where Stcod = '001' "
             "And Sitem = 'MS0451'),'無此代號') as '台北庫存',IsNull((Select Top 1 Sdat2 From "
             "ZqPro3..Sbin Where Sdat2 <> '' And Sdat2 >= '099.11.01' And Sinyn = 'N' And Scod1 "
             "In(Select Scod1 From ZqPro3..Sise as a Where a.Sicod = 'MS0451' and Sinyn = 'N') "
             "Order By Sdat2 Asc),'沒有採購') as '採購預定日'",
             "台北庫存|採購預定日", "無此代號|沒有採購"},
            {"Select 'Exists'", "", "Exists"},
            {"IF (Select '1312') > (Select '1311') Begin Select 'T' End Else Begin Select 'F' End",
             "", "T"},
        });
    }
    void checked() { check(m_fixture->db()); }

    // An EAN-13 code typed with ten digits is padded with zeros in front.
    void barCodeLookup() {
        const ResultSet set = m_fixture->db().execute(QStringLiteral(
            "select * from item where icode = (select top 1 icode1 from item1 where ena13 = "
            "right('000' + '4719512345' ,13)order by icode1)"))[0];
        QCOMPARE(set.rows.size(), 1);
        QCOMPARE(set.rows[0][set.columnIndex(QStringLiteral("ICODE"))].toString(),
                 QStringLiteral("MS0451"));
    }

    // The rest of the texts, on the demo company: they run and name their columns as the
    // module reads them.
    void runs_data() {
        columns();
        addCases({
            {"SELECT * FROM F8DATA WHERE FBEGD <= '114.12.05' AND FEND >= '114.12.05' ORDER BY "
             "FBEGD DESC,FSEQ DESC",
             "FSEQ|FDATE|FBEGD|FEND|FDEPNO|FDATA|FSNAM|FUSER", nullptr},
            {"SELECT * FROM F8DATA WHERE FDEPNO = '' OR FDEPNO = '01' ORDER BY FBEGD DESC,FSEQ "
             "DESC",
             "FSEQ|FDATE|FBEGD|FEND|FDEPNO|FDATA|FSNAM|FUSER", nullptr},
            {"SELECT * FROM F8DATA WHERE FDATE = '114.12.05' AND FDEPNO = '01' AND FBEGD = "
             "'114.12.05' AND FDATA = 'x'",
             "FSEQ|FDATE|FBEGD|FEND|FDEPNO|FDATA|FSNAM|FUSER", nullptr},
            {"SELECT COUNT(*) FROM SALE WHERE SNAME = '王美華'", "", nullptr},
            {"SELECT DEPARTNO FROM DEPART25 WHERE DEPARTNO = '01'", "DEPARTNO", nullptr},
            {"Select * From Asset_Temp Where Lcode = '0016'",
             "LCODE|ACODE|ANAME|ACOD1|ACOD2|ACOD3|ADAT1|ATOTA|ATOT1|AYEAR|ATOT2|ATOT3|ATOT4|ATOT5|"
             "ASELL|ADAT2|AUSE1|AUSE2|AUSE3|ATIM2|AVERS",
             nullptr},
            {"Select JDATE From JE; SELECT jdate FROM JE", "JDATE // jdate", nullptr},
            {"Select Departno,Dename From Depart25 Where Departno = '01' Order By Departno",
             "Departno|Dename", nullptr},
            {"SELECT TOP 10 ACODE AS A,ANOTE AS B FROM ACCO WHERE ACODE LIKE '1[_]%' ORDER BY "
             "ACODE",
             "A|B", nullptr},
            {"SELECT TOP 10 ACODE AS A,ANOTE AS B FROM ACCO WHERE ACODE LIKE '1%' AND ACODE >= "
             "(SELECT MIN(ACODE) FROM (SELECT TOP 10 ACODE FROM ACCO WHERE ACODE LIKE '1%' ORDER "
             "BY "
             "ACODE DESC) AS A) ORDER BY ACODE",
             "A|B", nullptr},
            {"SELECT TOP 10 ACODE AS A,ANOTE AS B FROM ACCO WHERE ACODE LIKE '1%' AND ACODE >= "
             "'1311' ORDER BY ACODE",
             "A|B", nullptr},
            {"Select Acode As '財產編號',Aname As '財產名稱',Acod1 As '會計科目',Adat1 As "
             "'取得日期',"
             "Atota As '取得原價',Atot1 As '預留殘值',Ayear As '耐用月數',Atot3 As "
             "'每期攤提金額',Atot4 "
             "As '本期累計折舊金額',Atot5 As '剩餘使用價值',Case When Asell = 1 Then '是' Else "
             "'否' End "
             "As '售出',Adat2 As '售出日期' From Asset  Where Adat1 Between '110.01.01' And "
             "'114.12.31' Order By Acode",
             "財產編號|財產名稱|會計科目|取得日期|取得原價|預留殘值|耐用月數|每期攤提金額|"
             "本期累計折舊金額|剩餘使用價值|售出|售出日期",
             nullptr},
            {"SELECT TOP 15 HCOD1,HPNAM,HSNAM,HTCOD,ISNULL(HINU3,HINUM) AS HINUM,HPOI3 AS "
             "'HPOIN',ISNULL(HUNI3,(HTOTA / HINU3)) AS HUNIT,(CONVERT(CHAR(11),HCOD1) + "
             "CONVERT(CHAR(5),(10000 + HSEQ))) AS HINX,HCONS,HCOD1SEQ,CASE WHEN (SELECT PTAXM FROM "
             "POSEIN WHERE POSEIN.PCOD1 = HISTIN.HCOD1) > 0 THEN 'Y' ELSE 'N' END AS TAXS FROM "
             "HISTIN WITH (INDEX = HISTIN_HICOD) WHERE SystemVisible = 1 AND HICOD = 'MS0451' AND "
             "HDENO = '02' AND (CONVERT(CHAR(11),HCOD1) + CONVERT(CHAR(5),(10000 + HSEQ))) >= "
             "'1140105000110001' ORDER BY HCOD1,HSEQ",
             "HCOD1|HPNAM|HSNAM|HTCOD|HINUM|HPOIN|HUNIT|HINX|HCONS|HCOD1SEQ|TAXS", nullptr},
            {"SELECT TOP 15 HCOD1,HPNAM,HSNAM,HTCOD,ISNULL(HINU3,HINUM) AS HINUM,HPOI3 AS "
             "'HPOIN',ISNULL(HUNI3,(HTOTA / HINU3)) AS HUNIT,(CONVERT(CHAR(11),HCOD1) + "
             "CONVERT(CHAR(5),(10000 + HSEQ))) AS HINX,HCONS FROM HISTOU WITH (INDEX = "
             "HISTOU_HICOD) WHERE SystemVisible = 1 AND HICOD = 'MS0451' AND HSCOD = 'S001' ORDER "
             "BY HCOD1,HSEQ",
             "HCOD1|HPNAM|HSNAM|HTCOD|HINUM|HPOIN|HUNIT|HINX|HCONS", nullptr},
            {"SELECT TOP 15 (VCOD1 + CONVERT(CHAR(5),(10000 + VOSEQ))) FROM VISEOU WITH (INDEX = "
             "VISEOU_VICOD) WHERE SystemVisible = 1 AND VICOD = 'MS0451' AND (VCOD1 + "
             "CONVERT(CHAR(5),(10000 + VOSEQ))) <= '1140105000110001' ORDER BY VCOD1 DESC,VOSEQ "
             "DESC",
             "", nullptr},
            {"SELECT TOP 15 VCOD1,VPNAM,VTCOD,VINU2 AS VINUM,VPOIN,'***.**' AS VUNIT,(VCOD1 + "
             "CONVERT(CHAR(5),(10000 + VOSEQ))) AS VINX FROM VISEOU WITH (INDEX = VISEOU_VICOD) "
             "WHERE SystemVisible = 1 AND VICOD = 'MS0451' ORDER BY VCOD1,VOSEQ",
             "VCOD1|VPNAM|VTCOD|VINUM|VPOIN|VUNIT|VINX", nullptr},
            {"SELECT TOP 15 RCOD1,RPNAM,RSNAM,RTCOD,ISNULL(RINU2,RINUM) AS RINUM,RPOIN,"
             "ISNULL(RUNI2,(RTOTA / RINU2)) AS RUNIT,(CONVERT(CHAR(11),RCOD1) + "
             "CONVERT(CHAR(5),(10000 + RSEQ))) AS HINX,RCONS,RCOD1SEQ FROM RETAILD WITH (INDEX = "
             "RETAILD2_INX) WHERE RIDT = '0' AND RICOD = 'MS0451' AND RSCOD = 'S001' ORDER BY "
             "RCOD1,RSEQ",
             "RCOD1|RPNAM|RSNAM|RTCOD|RINUM|RPOIN|RUNIT|HINX|RCONS|RCOD1SEQ", nullptr},
            {"SELECT TOP 15 TCCOD,(SELECT MUSER FROM MTRAN WHERE MTRAN.MCODE = TRAN1.TCCOD) AS "
             "MUSER,TSCO1,(SELECT ITNAM FROM ITYP WHERE ITYP.ITYPE = '1' AND ITYP.ITCOD = "
             "TRAN1.TSCO1) AS TSNA1,TSCO2,(SELECT ITNAM FROM ITYP WHERE ITYP.ITYPE = '1' AND "
             "ITYP.ITCOD = TRAN1.TSCO2) AS TSNA2,TNUMB,TPOIN,(CONVERT(CHAR(11),TCCOD) + "
             "CONVERT(CHAR(5),(10000 + TSEQ))) AS HINX,TCOD1SEQ FROM TRAN1 WITH (INDEX = "
             "TRAN1_INX) "
             "WHERE TICOD = 'MS0451' ORDER BY TCCOD,TSEQ",
             "TCCOD|MUSER|TSCO1|TSNA1|TSCO2|TSNA2|TNUMB|TPOIN|HINX|TCOD1SEQ", nullptr},
            {"SELECT OCOD1,OCNAM,ITCOD,ISNULL(OINU2,OINUM) AS OINUM,OPOIN,ONNO,CASE WHEN OINUM != "
             "OINU2 THEN CONVERT(VARCHAR,((OINUM / OINU2) * ONNO)) + (SELECT IPOIN FROM ITEM WHERE "
             "ICODE = OICOD) ELSE '' END AS 'IPOIN', ISNULL((SELECT ODAT1 FROM ORDET WHERE "
             "ORDET.OCOD1 = ORSUB.OCOD1),'') AS ODAT1,OBACK,OCOD1SEQ,(CONVERT(CHAR(11),OCOD1) + "
             "CONVERT(CHAR(5),(10000 + OSEQ))) AS HINX FROM ORSUB WHERE OICOD = 'MS0451' AND OINYN "
             "IN('N','') AND ONNO > 0 AND OSCOD = 'S001' ORDER BY OCOD1,OSEQ",
             "OCOD1|OCNAM|ITCOD|OINUM|OPOIN|ONNO|IPOIN|ODAT1|OBACK|OCOD1SEQ|HINX", nullptr},
            {"SELECT TOP 15 ITCOD,IICOD,(SELECT PINAM FROM PLACE WHERE PTCOD = ITCOD AND PICOD = "
             "IICOD) AS IINAM,(ITCOD + IICOD) AS HINX FROM ITEMP WITH (INDEX = KITEMP) WHERE ICODE "
             "= 'MS0451' AND (ITCOD + IICOD) >= '001A' ORDER BY ITCOD,IICOD",
             "ITCOD|IICOD|IINAM|HINX", nullptr},
            {"SELECT TOP 15 RCOD1,RSEQ,RPNAM,RSTA1,RICOD,RINAM,RTCOD,RINU2,RPOIN,(SELECT CASE WHEN "
             "RSTAT = 0 THEN '待檢測' WHEN RSTAT = 10 THEN '轉銷貨退回' ElSE '' END FROM REBACKM "
             "WHERE "
             "REBACKM.RCOD1 = REBACKD.RCOD1) AS RSTATN,(SELECT CASE WHEN RSTA2 = 0 THEN '待後送' "
             "ElSE '' END FROM REBACKM WHERE REBACKM.RCOD1 = REBACKD.RCOD1) AS RSTA2N,"
             "(CONVERT(CHAR(11),RCOD1) + CONVERT(CHAR(5),(10000 + RSEQ))) AS HINX FROM REBACKD "
             "WITH "
             "(INDEX = REBACKD_INX2) WHERE RICOD = 'MS0451' ORDER BY RCOD1,RSEQ",
             "RCOD1|RSEQ|RPNAM|RSTA1|RICOD|RINAM|RTCOD|RINU2|RPOIN|RSTATN|RSTA2N|HINX", nullptr},
            {"SELECT * FROM (SELECT TOP 15 VCOD1SEQ,VCOD1,VPNAM,VUNIT = CASE WHEN (SELECT BTAXM "
             "FROM BUYSIN WHERE BCOD1 = VCOD1) > 0 THEN VUNIT * 1.03 ELSE VUNIT END,VINUM,VCOD1NUM "
             "FROM VISEIN WHERE VICOD = 'MS0451' AND VCOD1NUM != 0 AND VCOD1SEQ != '' ORDER BY "
             "VCOD1,VCOD1SEQ DESC) AS TABTEMP ORDER BY VCOD1,VCOD1SEQ + ' '",
             "VCOD1SEQ|VCOD1|VPNAM|VUNIT|VINUM|VCOD1NUM", nullptr},
            {"SELECT TOP 15 VCOD1SEQ,VCOD1,VPNAM,(select isour2 from item1 where icode1 = vicod) "
             "as "
             "VUNIT,VINUM,VCOD1NUM FROM VISEIN WHERE VICOD = 'MS0451' AND VCOD1NUM != 0 AND "
             "VCOD1SEQ != '' AND VCOD1 + VCOD1SEQ >= '11401010001L1' ORDER BY VCOD1,VCOD1SEQ",
             "VCOD1SEQ|VCOD1|VPNAM|VUNIT|VINUM|VCOD1NUM", nullptr},
            {"SELECT TOP 2 VCOD1SEQ,VCOD1,VPNAM,VUNIT,VINUM,VCOD1NUM FROM VISEIN WHERE VICOD = "
             "'MS0451' AND VCOD1NUM != 0 AND VCOD1SEQ != '' AND VCOD1 + VCOD1SEQ <= "
             "'11401010001L1' "
             "ORDER BY VCOD1 DESC,VCOD1SEQ DESC",
             "VCOD1SEQ|VCOD1|VPNAM|VUNIT|VINUM|VCOD1NUM", nullptr},
            {"SELECT STCOD,INUMB FROM BUYSINCODE WHERE BCOD1SEQ = 'L1' AND INUMB <> 0",
             "STCOD|INUMB", nullptr},
            {"SELECT SIONO,STTARG,ENUMB FROM SINOUT WHERE SINOU = 'C' AND SICODE = 'MS0451' ORDER "
             "BY SIONO DESC",
             "SIONO|STTARG|ENUMB", nullptr},
            {"SELECT s.SerialCode,s.STCOD,(SELECT ITNAM FROM ITYP WHERE ITCOD = s.STCOD AND ITYPE "
             "= "
             "1) AS STNAM,s.Quantity FROM SerialInOutTotal AS s WHERE s.ICODE = 'MS0451' AND "
             "s.SerialCode != '' AND S.Quantity != 0 ORDER BY s.SerialCode",
             "SerialCode|STCOD|STNAM|Quantity", nullptr},
            {"SELECT TOP 15 VCOD1,VPNAM,VICOD,VINAM,VTCOD,VINUM,VPOIN, '***.**' AS VUNIT,VINX FROM "
             "VF8J WHERE VPCOD ='P001' AND VICOD Like 'MS%' ORDER BY VINX",
             "VCOD1|VPNAM|VICOD|VINAM|VTCOD|VINUM|VPOIN|VUNIT|VINX", nullptr},
            {"SELECT TOP 15 HCOD1,HPNAM,HSNAM,HICOD,HINAM,HTCOD,ISNULL(HINU3,HINUM) AS HINUM,HPOI3 "
             "AS 'HPOIN',ISNULL(HUNI3,(HTOTA / HINU3)) AS HUNIT,(CONVERT(CHAR(17),HICOD) + HCOD1 + "
             "CONVERT(CHAR(5),(10000 + HSEQ))),CASE WHEN (SELECT PTAXM FROM POSEIN WHERE "
             "POSEIN.PCOD1 = HISTIN.HCOD1) > 0 THEN 'Y' ELSE 'N' END AS TAXS FROM HISTIN WITH "
             "(INDEX = HISTIN_HPCOD) WHERE SystemVisible = 1 AND HPCOD = 'C001' AND HICOD Like '%' "
             "AND HSCOD = 'S001' AND (CONVERT(CHAR(17),HICOD) + HCOD1 + CONVERT(CHAR(5),(10000 + "
             "HSEQ))) <= 'MS0451           1140105000110001' ORDER BY HICOD DESC,HCOD1 DESC,HSEQ "
             "DESC",
             "HCOD1|HPNAM|HSNAM|HICOD|HINAM|HTCOD|HINUM|HPOIN|HUNIT||TAXS", nullptr},
            {"SELECT TOP 15 WPNAM,WSN13,WCOD2,WICOD,WINAM,WTCOD,WINU2,WPOIN,CASE WHEN WSTA1 = 0 "
             "THEN '待收件' Else '' END AS WSTA1N,CASE WHEN WSTA6 = 0 THEN '待取件' WHEN WSTA6 = 1 "
             "THEN LEFT(ISNULL(WCOD6,''),3) + '.' + SUBSTRING(ISNULL(WCOD6,''),4,2) + '.' + "
             "SUBSTRING(ISNULL(WCOD6,''),6,2) WHEN WSTA6 = 2 THEN '轉銷貨退回' Else '' END AS "
             "WSTA6N,"
             "CASE WHEN ISNULL((SELECT RTAKE FROM REBACKM WHERE RCOD1 = WCOD6),0) = 1 THEN 'Y' "
             "ELSE "
             "'' END AS RTAKE FROM WORKER WITH (INDEX = WORKER_WPCOD) WHERE WPCOD = 'C001' AND "
             "WICOD "
             "Like '%' AND WSC13 = 'S001' ORDER BY WICOD,WCOD2",
             "WPNAM|WSN13|WCOD2|WICOD|WINAM|WTCOD|WINU2|WPOIN|WSTA1N|WSTA6N|RTAKE", nullptr},
            {"SELECT TOP 15 WCOD2 FROM WORKER WITH (INDEX = WORKER_WPCOD) WHERE WPCOD = 'C001' AND "
             "WICOD Like '%' AND WCOD2 <= 'W0001' ORDER BY WICOD DESC,WCOD2 DESC",
             "WCOD2", nullptr},
            {"SELECT ICODE,INAME,ICOD2 FROM ITEM,ITEM1,ITEM3 WHERE ICODE = ICODE3 AND  ICODE = "
             "ICODE1 AND STOPSALE = 0 AND ICOD2 <> '' AND ICOD2 Like 'A%' ORDER BY ICOD2",
             "ICODE|INAME|ICOD2", nullptr},
            {"SELECT PCODE FROM PART WHERE PCODE ='P001'; SELECT CCODE FROM CUST WHERE CCODE "
             "='C001'",
             "PCODE // CCODE", nullptr},
            {"SELECT TOP 15 PCODE,PNAM2 FROM PART WHERE PCODE Like 'P%' ORDER BY PCODE",
             "PCODE|PNAM2", nullptr},
            {"SELECT TOP 15 ICODE,INAME,INUMB,ICONS FROM ITEM WHERE ICODE Like 'M%' AND ICODE "
             "IN(SELECT VICOD FROM VF8J WHERE VPCOD  = 'P001') ORDER BY ICODE",
             "ICODE|INAME|INUMB|ICONS", nullptr},
            {"SELECT TOP 15 ICODE,INAME,INUMB,ICONS FROM ITEM WHERE ICODE Like 'M%' AND ICODE "
             "IN(SELECT HICOD FROM HISTIN WITH (INDEX = HISTIN_HPCOD) WHERE HPCOD  = 'C001') ORDER "
             "BY ICODE",
             "ICODE|INAME|INUMB|ICONS", nullptr},
            {"SELECT TOP 15 CCODE,CNAM2 FROM CUST WHERE CCODE >=(SELECT MIN(CCODE) FROM CUST WHERE "
             "CCODE IN(SELECT TOP 15 CCODE FROM CUST WHERE CCODE Like 'C%' AND CCODE <= 'C010' "
             "ORDER BY CCODE DESC)) AND CCODE Like 'C%' ORDER BY CCODE",
             "CCODE|CNAM2", nullptr},
            {"SELECT CCODE,CNAM2 FROM CUST WHERE CCODE IN(SELECT TOP 15 CCODE FROM CUST WHERE "
             "CCODE "
             "Like 'C%' ORDER BY CCODE DESC) ORDER BY CCODE",
             "CCODE|CNAM2", nullptr},
            {"SELECT TOP 15 ICODE,INAME,INUMB,ICONS FROM ITEM WHERE ICODE >='M' AND ICODE Like '%' "
             "AND ICODE IN(SELECT WICOD FROM WORKER WHERE WPCOD = 'C001' GROUP BY WICOD) ORDER BY "
             "ICODE",
             "ICODE|INAME|INUMB|ICONS", nullptr},
            {"select * from item where icode = (select top 1 icode1 from item1 where co128 = 'X' "
             "order by icode1)",
             "ICODE|INAME|ICONS|IPOIN|INUMB|ISAVE|ISISE|INUM2|IPOI2|IUNI2|INUM3|IPOI3|IUNI3|IPCOD|"
             "IPNAM|IUNIT|IUNIT2|IUNIT3|IUNIT4|IUNIT5|IUNIT6|ICOD2|CH63|INUM7|IPOI7|ISOUR|ISPACE",
             nullptr},
            {"SELECT TOP 2 ICODE,INAME FROM ITEM WHERE INAME = '滑鼠' ORDER BY ICODE",
             "ICODE|INAME", nullptr},
        });
    }
    void runs() { check(*m_demoDb); }
};

QTEST_GUILESS_MAIN(TsqlCorpusTest)
#include "tst_tsqlcorpus.moc"
