// The notice line's, asset window's and reports' statements against the suite server's rows.
#include <QtTest>

#include "SuiteSchema.h"
#include "TsqlCorpus.h"

namespace {
// Today is 114.12.05; workstation 0016 edits asset eq0001.
const char* const Rows =
    "INSERT INTO Acco (ACODE, ANOTE) VALUES ('1101', '現金'), ('1311', '機器設備'),"
    "  ('1313', '辦公設備'), ('1319', '其他設備'), ('1321', '累計折舊－機器'),"
    "  ('1322', '累計折舊－運輸'), ('2111', '應付帳款');"
    "INSERT INTO Depart25 (DEPARTNO, DENAME) VALUES ('01', '管理部'), ('02', '業務部');"
    "INSERT INTO F8DATA (FSEQ, FDATE, FBEGD, FEND, FDEPNO, FDATA, FSNAM) VALUES"
    "  ('0001', '114.11.28', '114.12.01', '114.12.31', '', '全體', '王美華'),"
    "  ('0002', '114.12.04', '114.12.05', '114.12.05', '02', '業務', '李志明'),"
    "  ('0003', '114.10.30', '114.11.01', '114.11.30', '', '過期', '王美華'),"
    "  ('0004', '114.12.04', '114.12.05', '114.12.20', '01', '管理', '王美華'),"
    "  ('0005', '114.12.01', '114.11.20', '114.12.05', '01 ', '月底', '李志明');"
    "INSERT INTO Asset (ACODE, ANAME, ACOD1, ADAT1, ATOTA, ATOT1, AYEAR, ATOT2, ATOT3, ATOT4,"
    "  ATOT5, ASELL, ADAT2) VALUES"
    "  ('eq0001', '電腦', '1312', '112.05.01', 500, 50, 36, 0, 12.5, 100, 450, 0, ''),"
    "  ('EQ0002', '印表機', '1312', '113.07.01', 300, 0, 36, 30, 7.5, 0, 270, 0, ''),"
    "  ('EQ_A01', '投影機', '1313', '114.03.15', 240, 24, 24, 0, 9, 0, 216, 0, '');"
    "INSERT INTO Assetd_Temp (LCODE, ACODE, ASEQ, ADENO, APERC, ATOTA, ABACK) VALUES"
    "  ('0016', 'eq0001', 1, '01', 40, 5, ''), ('0016', 'eq0001', 3, '02', 35, 4.375, '主機'),"
    "  ('0016', 'eq0001', 4, '03', 25, 3.125, ''), ('0017', 'EQ0002', 1, '02', 100, 7.5, '');";
}  // namespace

class TsqlCorpusTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TsqlFixture> m_fixture;

private slots:
    void initTestCase() {
        m_fixture = std::make_unique<TsqlFixture>(QString());
        SuiteSchema::create(m_fixture->db().connection());
        m_fixture->db().connection().script(QString::fromUtf8(Rows));
    }
    void cleanupTestCase() { m_fixture.reset(); }

    // Notices, allocation lines, the line after a deleted one, accounts' Page Up, reports.
    void statements_data() {
        const QString byCode = " Where Acode Between 'EQ0001' And 'EQ9999'";
        TsqlCorpus::addCases({
            {"SELECT * FROM F8DATA WHERE FBEGD <= '114.12.05' AND FEND >= '114.12.05' AND (FDEPNO "
             "= '' OR FDEPNO = '01') ORDER BY FBEGD DESC,FSEQ DESC",
             "FSEQ|FDATE|FBEGD|FEND|FDEPNO|FDATA|FSNAM|FUSER",
             "0004|114.12.04|114.12.05|114.12.20|01|管理|王美華|;"
             "0001|114.11.28|114.12.01|114.12.31||全體|王美華|;"
             "0005|114.12.01|114.11.20|114.12.05|01 |月底|李志明|"},
            {"Select *,Isnull((Select Dename From Depart25 Where Departno = Adeno),'') As Adena "
             "From Assetd_Temp Where Lcode = '0016'",
             "LCODE|ACODE|ASEQ|ADENO|APERC|ATOTA|ABACK|Adena",
             "0016|eq0001|1|01|40|5||管理部;0016|eq0001|3|02|35|4.375|主機|業務部;"
             "0016|eq0001|4|03|25|3.125||",
             true},
            // After deleting line 4 the line before it comes next.
            {"SELECT ISNULL((SELECT TOP 1 ASEQ FROM ASSETD_TEMP WHERE LCODE = '0016' AND ASEQ > "
             "4),ISNULL((SELECT TOP 1 ASEQ FROM ASSETD_TEMP WHERE LCODE = '0016' AND ASEQ < 4 "
             "ORDER BY ASEQ DESC),0))",
             "", "3"},
            {"SELECT TOP 10 ACODE AS A,ANOTE AS B FROM ACCO WHERE ACODE LIKE '1%' AND ACODE >= "
             "(SELECT MIN(ACODE) FROM (SELECT TOP 3 ACODE FROM ACCO WHERE ACODE LIKE '1%' AND "
             "ACODE <= '1321' ORDER BY ACODE DESC) AS A) ORDER BY ACODE",
             "A|B", "1313|辦公設備;1319|其他設備;1321|累計折舊－機器;1322|累計折舊－運輸"},
            // The summary report's batch under a code range; account sums under a date range.
            {"Select Sum(Atot1),Sum(Atot3),Sum(Atot4),Sum(Atot5) From Asset " + byCode +
                 ";Select Acode As '財產編號',Aname As '財產名稱',Acod1 As '會計科目',Adat1 As "
                 "'取得日期',Atota As '取得原價',Atot1 As '預留殘值',Ayear As '耐用月數',Atot3 As "
                 "'每期攤提金額',Atot4 As '本期累計折舊金額',Atot5 As '剩餘使用價值',Case When "
                 "Asell = 1 Then '是' Else '否' End As '售出',Adat2 As '售出日期' From Asset " +
                 byCode + " Order By Acode",
             "||| // 財產編號|財產名稱|會計科目|取得日期|取得原價|預留殘值|耐用月數|每期攤提金額|"
             "本期累計折舊金額|剩餘使用價值|售出|售出日期",
             "50|20|100|720 // eq0001|電腦|1312|112.05.01|500|50|36|12.5|100|450|否|;"
             "EQ0002|印表機|1312|113.07.01|300|0|36|7.5|0|270|否|"},
            {"Select Distinct Acod1 As '會計科目',Sum(Atot1) As '預留殘值',Sum(Atot3) As "
             "'每期攤提金額',Sum(Atot4) As '本期累計折舊金額',Sum(Atot5) As '剩餘使用價值' From "
             "Asset  Where Adat1 Between '113.01.01' And '114.12.31' Group By Acod1 Order By Acod1",
             "會計科目|預留殘值|每期攤提金額|本期累計折舊金額|剩餘使用價值",
             "1312|0|7.5|0|270;1313|24|9|0|216"},
        });
    }
    void statements() { TsqlCorpus::check(m_fixture->db()); }
};

QTEST_GUILESS_MAIN(TsqlCorpusTest)
#include "tst_tsqlcorpus.moc"
