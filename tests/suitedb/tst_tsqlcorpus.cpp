// The statement texts of the notice line, the bulletin board, the asset register and its
// reports, with values pasted in as the module pastes them, checked against the rows the
// suite's server gives on a few hand-made rows. The item inquiry's texts are in
// tst_tsqlhistory.cpp.
#include <QtTest>

#include "SuiteSchema.h"
#include "TsqlCorpus.h"

using TsqlCorpus::Case;

namespace {
// The rows, in SQLite's words. Today is 114.12.05; workstation 0016 edits asset eq0001.
const char* const Rows =
    "INSERT INTO Acco (ACODE, ANOTE) VALUES ('1101', '現金'), ('1102', '零用金'),"
    "  ('1111', '銀行存款'), ('1121', '應收票據'), ('1131', '應收帳款'), ('1141', '存貨'),"
    "  ('1311', '機器設備'), ('1312', '運輸設備'), ('1313', '辦公設備'), ('1319', '其他設備'),"
    "  ('1321', '累計折舊－機器'), ('1322', '累計折舊－運輸'), ('2111', '應付帳款'),"
    "  ('6125', '折舊');"
    "INSERT INTO Depart25 (DEPARTNO, DENAME) VALUES ('01', '管理部'), ('02', '業務部'),"
    "  ('04', '研發部');"
    "INSERT INTO SALE (SCODE, SNAME, SUSER, DEPARTNO) VALUES ('S001', '王美華', 'ADM', '02'),"
    "  ('S002', '李志明', 'LEE', '01');"
    "INSERT INTO JE (JDATE) VALUES ('114.06.30');"
    "INSERT INTO F8DATA (FSEQ, FDATE, FBEGD, FEND, FDEPNO, FDATA, FSNAM) VALUES"
    "  ('0001', '114.11.28', '114.12.01', '114.12.31', '', '全體', '王美華'),"
    "  ('0002', '114.12.04', '114.12.05', '114.12.05', '02', '業務', '李志明'),"
    "  ('0003', '114.10.30', '114.11.01', '114.11.30', '', '過期', '王美華'),"
    "  ('0004', '114.12.04', '114.12.05', '114.12.20', '01', '管理', '王美華'),"
    "  ('0005', '114.12.01', '114.11.20', '114.12.05', '01 ', '月底', '李志明');"
    "INSERT INTO Asset (ACODE, ANAME, ACOD1, ADAT1, ATOTA, ATOT1, AYEAR, ATOT2, ATOT3, ATOT4,"
    "  ATOT5, ASELL, ADAT2) VALUES"
    "  ('BD0001', '廠房', '1311', '110.01.01', 9000, 900, 60, 0, 135, 2700, 8100, 1, '113.02.25'),"
    "  ('eq0001', '電腦', '1312', '112.05.01', 500, 50, 36, 0, 12.5, 100, 450, 0, ''),"
    "  ('EQ0002', '印表機', '1312', '113.07.01', 300, 0, 36, 30, 7.5, 0, 270, 0, ''),"
    "  ('EQ_A01', '投影機', '1313', '114.03.15', 240, 24, 24, 0, 9, 0, 216, 0, '');"
    "INSERT INTO Assets (ACODE, ADATE, ATOTA, ASOUR) VALUES ('eq0001', '113.01.31', 6, ''),"
    "  ('eq0001', '113.01.31', 6.5, ''), ('eq0001', '113.02.29', 12.5, ''),"
    "  ('eq0001', '113.03.31', 12.5, ''), ('eq0001', '113.02.15', 12.5, 'JV01'),"
    "  ('eq0001', '113.03.31', 12.5, 'JV02'), ('EQ0002', '113.07.31', 7.5, '');"
    "INSERT INTO Asset_Temp (LCODE, ACODE, ANAME, ACOD1, ACOD2, ACOD3, ADAT1, ATOTA, ATOT1,"
    "  AYEAR, ATOT3, ATOT4, ATOT5, AUSE2, ATIM2) VALUES ('0016', 'eq0001', '電腦', '1312',"
    "  '6125', '1322', '112.05.01', 500, 50, 36, 12.5, 100, 450, '王美華',"
    "  '2025/12/05 10:30:00'), ('0017', 'EQ0002', '印表機', '1312', '6125', '1322',"
    "  '113.07.01', 300, 0, 36, 7.5, 0, 270, '李志明', '2025/12/05 11:00:00');"
    "INSERT INTO Assetd_Temp (LCODE, ACODE, ASEQ, ADENO, APERC, ATOTA, ABACK) VALUES"
    "  ('0016', 'eq0001', 1, '01', 40, 5, ''), ('0016', 'eq0001', 3, '02', 35, 4.375, '主機'),"
    "  ('0016', 'eq0001', 4, '03', 25, 3.125, ''), ('0017', 'EQ0002', 1, '02', 100, 7.5, '');";

QString rows(const QStringList& list) { return list.join(u';'); }

// F8DATA as SELECT * shows it.
const QString AllNotice = QStringLiteral("0001|114.11.28|114.12.01|114.12.31||全體|王美華|");
const QString AdminNotice = QStringLiteral("0004|114.12.04|114.12.05|114.12.20|01|管理|王美華|");
const QString MonthNotice = QStringLiteral("0005|114.12.01|114.11.20|114.12.05|01 |月底|李志明|");
const QString NoticeColumns = QStringLiteral("FSEQ|FDATE|FBEGD|FEND|FDEPNO|FDATA|FSNAM|FUSER");

// The asset list of both reports, and its rows.
const QString ListHead = QStringLiteral(
    "Select Acode As '財產編號',Aname As '財產名稱',Acod1 As '會計科目',Adat1 As '取得日期',"
    "Atota As '取得原價',Atot1 As '預留殘值',Ayear As '耐用月數',Atot3 As '每期攤提金額',Atot4 "
    "As '本期累計折舊金額',Atot5 As '剩餘使用價值',Case When Asell = 1 Then '是' Else '否' End "
    "As '售出',Adat2 As '售出日期' From Asset ");
const QString ListColumns = QStringLiteral(
    "財產編號|財產名稱|會計科目|取得日期|取得原價|預留殘值|耐用月數|每期攤提金額|"
    "本期累計折舊金額|剩餘使用價值|售出|售出日期");
const QString TotalsHead =
    QStringLiteral("Select Sum(Atot1),Sum(Atot3),Sum(Atot4),Sum(Atot5) From Asset ");
const QString AccountHead = QStringLiteral(
    "Select Distinct Acod1 As '會計科目',Sum(Atot1) As '預留殘值',Sum(Atot3) As '每期攤提金額',"
    "Sum(Atot4) As '本期累計折舊金額',Sum(Atot5) As '剩餘使用價值' From Asset ");
const QString AccountColumns =
    QStringLiteral("會計科目|預留殘值|每期攤提金額|本期累計折舊金額|剩餘使用價值");
const QString Plant =
    QStringLiteral("BD0001|廠房|1311|110.01.01|9000|900|60|135|2700|8100|是|113.02.25");
const QString Computer = QStringLiteral("eq0001|電腦|1312|112.05.01|500|50|36|12.5|100|450|否|");
const QString Printer = QStringLiteral("EQ0002|印表機|1312|113.07.01|300|0|36|7.5|0|270|否|");
const QString Projector = QStringLiteral("EQ_A01|投影機|1313|114.03.15|240|24|24|9|0|216|否|");

// The summary report's batch for a condition W.
QString summary(const QString& where) {
    return TotalsHead + where + u';' + ListHead + where + QStringLiteral(" Order By Acode");
}

QString schedule(const QString& code) {
    return QStringLiteral(
               "SELECT ACODE,ADATE,ATOTA,ISNULL((SELECT SUM(ATOTA) FROM ASSETS AS A WHERE A.ACODE "
               "= '%1' AND ASOUR != '' AND A.ADATE <= ATEMP.ADATE),0) AS ATOT1,(SELECT ATOTA - "
               "ATOT1 - ATOT2 FROM ASSET AS A WHERE A.ACODE = ATEMP.ACODE) - ISNULL((SELECT "
               "SUM(ATOTA) FROM ASSETS AS A WHERE A.ACODE = '%1' AND ASOUR != '' AND A.ADATE <= "
               "ATEMP.ADATE),0) AS ATOT2 From (SELECT DISTINCT ACODE,ADATE,SUM(ATOTA) AS ATOTA "
               "FROM ASSETS WHERE ACODE = '%1' AND ASOUR = '' GROUP BY ACODE,ADATE) AS ATEMP")
        .arg(code);
}

QString compare(const char* from, const char* to) {
    return QStringLiteral(
               "IF (Select '%1') > (Select '%2') Begin Select 'T' End Else Begin Select "
               "'F' End")
        .arg(QLatin1String(from), QLatin1String(to));
}

// The account lookup's pages: the first page's head and the page ending at an anchor.
QString accountPage(const QString& pattern, const QString& condition) {
    return QStringLiteral(
               "SELECT TOP 10 ACODE AS A,ANOTE AS B FROM ACCO WHERE ACODE LIKE '%1'%2 "
               "ORDER BY ACODE")
        .arg(pattern, condition);
}
QString accountPageUpTo(int top, const QString& anchor) {
    return accountPage(
        QStringLiteral("1%"),
        QStringLiteral(" AND ACODE >= (SELECT MIN(ACODE) FROM (SELECT TOP %1 ACODE FROM ACCO "
                       "WHERE ACODE LIKE '1%'%2 ORDER BY ACODE DESC) AS A)")
            .arg(top)
            .arg(anchor.isEmpty() ? QString() : QStringLiteral(" AND ACODE <= '%1'").arg(anchor)));
}
const QStringList Accounts = {"1101|現金",     "1102|零用金",         "1111|銀行存款",
                              "1121|應收票據", "1131|應收帳款",       "1141|存貨",
                              "1311|機器設備", "1312|運輸設備",       "1313|辦公設備",
                              "1319|其他設備", "1321|累計折舊－機器", "1322|累計折舊－運輸"};
QString accounts(qsizetype from, qsizetype count) { return rows(Accounts.mid(from, count)); }
}  // namespace

class TsqlCorpusTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TsqlFixture> m_fixture;

    void check() { TsqlCorpus::check(m_fixture->db()); }

private slots:
    void initTestCase() {
        m_fixture = std::make_unique<TsqlFixture>(QString());
        SuiteSchema::create(m_fixture->db().connection());
        m_fixture->db().connection().script(QString::fromUtf8(Rows));
    }
    void cleanupTestCase() { m_fixture.reset(); }

    // The notice line and the bulletin board: today's notices of a department (or of all),
    // the board's check for a notice. The asset window: the work rows (with the department
    // names filled in), the find box and the department allocation lines. The account lookup's
    // pages: first, last, from an anchor, up to an anchor.
    void windows_data() {
        TsqlCorpus::addColumns();
        TsqlCorpus::addCases({
            {"SELECT * FROM F8DATA WHERE FBEGD <= '114.12.05' AND FEND >= '114.12.05' AND (FDEPNO "
             "= '' OR FDEPNO = '01') ORDER BY FBEGD DESC,FSEQ DESC",
             NoticeColumns, rows({AdminNotice, AllNotice, MonthNotice})},
            {"SELECT * FROM F8DATA WHERE FDATE = '114.12.04' AND FDEPNO = '01' AND FBEGD = "
             "'114.12.05' AND FDATA = '管理'",
             NoticeColumns, AdminNotice},
            {"Select * From Asset_Temp Where Lcode = '0016'",
             "LCODE|ACODE|ANAME|ACOD1|ACOD2|ACOD3|ADAT1|ATOTA|ATOT1|AYEAR|ATOT2|ATOT3|ATOT4|ATOT5|"
             "ASELL|ADAT2|AUSE1|AUSE2|AUSE3|ATIM2|AVERS",
             "0016|eq0001|電腦|1312|6125|1322|112.05.01|500|50|36|0|12.5|100|450|0|||王美華||"
             "2025/12/05 10:30:00|0"},
            {"Select *,Isnull((Select Dename From Depart25 Where Departno = Adeno),'') As Adena "
             "From Assetd_Temp Where Lcode = '0016'",
             "LCODE|ACODE|ASEQ|ADENO|APERC|ATOTA|ABACK|Adena",
             "0016|eq0001|1|01|40|5||管理部;0016|eq0001|3|02|35|4.375|主機|業務部;"
             "0016|eq0001|4|03|25|3.125||",
             true},
            {"SELECT TOP 2 ACODE,ANAME FROM Asset WHERE ACODE LIKE 'EQ%' ORDER BY ACODE",
             "ACODE|ANAME", "EQ_A01|投影機;eq0001|電腦"},
            // After deleting line 4 the line before it comes next.
            {"SELECT ISNULL((SELECT TOP 1 ASEQ FROM ASSETD_TEMP WHERE LCODE = '0016' AND ASEQ > "
             "4),ISNULL((SELECT TOP 1 ASEQ FROM ASSETD_TEMP WHERE LCODE = '0016' AND ASEQ < 4 "
             "ORDER BY ASEQ DESC),0))",
             "", "3"},
            {"SELECT SUM(APERC),SUM(ATOTA) FROM ASSETD_TEMP WHERE LCODE = '0016'", "|", "100|12.5"},
            {"Select Isnull(Max(aseq),0) From Assetd_Temp Where Lcode = '0099'", "", "0"},
            {accountPage("1%", ""), "A|B", accounts(0, 10)},
            {accountPageUpTo(10, ""), "A|B", accounts(2, 10)},
            {accountPage("1%", " AND ACODE >= '1319'"), "A|B", accounts(9, 3)},
            {accountPageUpTo(10, "1321"), "A|B", accounts(1, 10)},
        });
    }
    void windows() { check(); }

    // The summary report's batch (totals and list) and account sums under each form of the
    // condition, an asset's depreciation schedule, the order of a range's ends.
    void reports_data() {
        TsqlCorpus::addColumns();
        const QString byCode = " Where Acode Between 'EQ0001' And 'EQ9999'";
        const QString byCodeAndDate =
            " Where Acode Between 'BD0001' And 'EQ0002' And Adat1 Between '110.01.01' And "
            "'113.06.30'";
        const QString byDate = " Where Adat1 Between '113.01.01' And '114.12.31'";
        const QString totalsAndList = "||| // " + ListColumns;
        TsqlCorpus::addCases({
            {summary(""), totalsAndList,
             "974|164|2800|9036 // " + rows({Plant, Projector, Computer, Printer})},
            {summary(byCode), totalsAndList, "50|20|100|720 // " + rows({Computer, Printer})},
            {summary(byCodeAndDate), totalsAndList,
             "950|147.5|2800|8550 // " + rows({Plant, Computer})},
            {AccountHead + byDate + " Group By Acod1 Order By Acod1", AccountColumns,
             "1312|0|7.5|0|270;1313|24|9|0|216"},
            // Two postings of one date make one line; JV01 counts from the next date on.
            {schedule("eq0001"), "ACODE|ADATE|ATOTA|ATOT1|ATOT2",
             "eq0001|113.01.31|12.5|0|450;eq0001|113.02.29|12.5|12.5|437.5;"
             "eq0001|113.03.31|12.5|25|425",
             true},
            // The range checks ask the server which end is the greater.
            {compare("EQ0002", "eq0001"), "", "T"},
            {compare("eq0001", "EQ0001 "), "", "F"},
        });
    }
    void reports() { check(); }
};

QTEST_GUILESS_MAIN(TsqlCorpusTest)
#include "tst_tsqlcorpus.moc"
