// The two asset report windows against a scripted database: range checks and the condition,
// the statements sent, the sums and the schedule following the cursor, where the printed rows
// stand, and one print command of each report on the PDF printer.
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include "../Controls.h"
#include "../common/FakeDatabase.h"
#include "../shell/ScriptedDialogs.h"
#include "Clock.h"
#include "CurrentPrinter.h"
#include "DetailReport.h"
#include "FieldBox.h"
#include "PdfPages.h"
#include "ProgramExit.h"
#include "RecordingDevice.h"
#include "Session.h"
#include "SummaryReport.h"
#include "UserSettings.h"

using Dialogs::Answer;
using Orientation = PrintDevice::Orientation;
using Op = RecordingDevice::Operation;

namespace {
ResultSet assetList(int n, const QStringList& accounts = {"1441"}) {
    ResultSet set{
        {"財產編號", "財產名稱", "會計科目", "取得日期", "取得原價", "預留殘值", "耐用月數",
         "每期攤提金額", "本期累計折舊金額", "剩餘使用價值", "售出", "售出日期"},
        {}};
    const QVariantList rest{"114.01.01", 120000.0, 12000.0, 60, 1800.0, 3600.0, 104400.0, "否", ""};
    for (int i = 1; i <= n; ++i) {
        const QString code = QString("A%1").arg(i, 3, 10, QChar('0'));
        set.rows << QVariantList{code, "設備", accounts[i % accounts.size()]} + rest;
    }
    return set;
}

// An asset worth 90,000 with n months of 1,500 each, every one of them posted too.
ResultSets schedule(int n) {
    ResultSet months{{"ADATE", "ATOTA", "ALINES", "APOSTED"}, {}};
    for (int i = 1; i <= n; ++i)
        months.rows << QVariantList{QString("114.%1.28").arg(i % 12 + 1, 2, 10, QChar('0')), 1500.0,
                                    1, 1500.0};
    return {ResultSet{{"AVALUE"}, {{90000.0}}}, months};
}

QString scheduleRead(const QString& code) {
    return QString("FROM ASSETS WHERE ACODE = '%1' GROUP BY ADATE").arg(code);
}

// How a document closes: the heights of its last two rules, its last text and that one's.
QString closing(const QList<Op>& doc) {
    QList<double> rules;
    QString last;
    for (const auto& op : doc) {
        if (op.kind == Op::Kind::Line) rules << op.y;
        if (op.kind == Op::Kind::Text) last = op.text + ' ' + QString::number(op.y);
    }
    return QString("%1,%2 %3")
        .arg(rules.value(rules.size() - 2))
        .arg(rules.value(rules.size() - 1))
        .arg(last);
}

// Where the text stands, (-1, -1) when it is not printed.
QPointF at(const RecordingDevice& d, const QString& text) {
    const auto op = d.text(text);
    return op ? QPointF(op->x, op->y) : QPointF(-1, -1);
}
}  // namespace

class TestReportWindows : public QObject {
    Q_OBJECT
    std::shared_ptr<FakeDatabase> m_db;
    ScriptedDialogs* m_dialogs = nullptr;
    int m_assets = 3;
    QStringList m_accounts{"1441"};
    QHash<QString, int> m_lines;

    ResultSets answer(const QString& text) {
        static const QRegularExpression compare("^IF \\(Select '(.*)'\\) > \\(Select '(.*)'\\)");
        static const QRegularExpression scheduleOf("FROM ASSETS WHERE ACODE = '([^']*)' GROUP BY");
        if (const auto m = compare.match(text); m.hasMatch())
            return {ResultSet{{""}, {{m.captured(1) > m.captured(2) ? "T" : "F"}}}};
        if (text.startsWith("Select Sum(Atot1)"))
            return {
                ResultSet{{"", "", "", ""}, {{12000.0 * m_assets, 1800.0 * m_assets, 3600.0, 5.5}}},
                assetList(m_assets, m_accounts)};
        if (text.startsWith("Select Distinct Acod1")) {
            ResultSet sums{
                {"會計科目", "預留殘值", "每期攤提金額", "本期累計折舊金額", "剩餘使用價值"}, {}};
            for (const QString& a : m_accounts)
                sums.rows << QVariantList{a, a.toDouble(), 1.0, 2.0, 3.0};
            return {sums};
        }
        if (text.startsWith("Select Acode As")) return {assetList(m_assets)};
        if (const auto m = scheduleOf.match(text); m.hasMatch())
            return schedule(m_lines.value(m.captured(1), 3));
        return {};
    }

private slots:
    void init() {
        Session::reset();
        Session::current().rightFlags[966] = true;
        Session::current().printerReady = true;
        Session::current().staffName = "王大明";
        Clock::setFixed(QDateTime(QDate(2026, 12, 5), QTime(10, 0)));
        UserSettings::save("Zq2000", "Printer", "PDF", "1");  // whatever another test left
        ProgramExit::throwOnEnd();
        m_dialogs = ScriptedDialogs::install();
        m_db = FakeDatabase::install();
        m_db->answer = [this](const QString& t) { return answer(t); };
        m_assets = 3;
        m_accounts = {"1441"};
        m_lines.clear();
    }

    // A half range is refused before anything is sent; a reversed one is offered to be swapped,
    // a No stops the query with the fields as they are, and the swapped ranges are the
    // statement's condition.
    void rangeChecks() {
        SummaryReport w;
        w.show();
        w.criteria(0)->setText("A5");
        w.runQuery();
        QCOMPARE(m_dialogs->shown, QStringList{"財產編號範圍不完整!"});
        QVERIFY(m_db->sent.isEmpty());

        w.criteria(1)->setText("A1");
        w.criteria(2)->setText("114.12.31");
        w.criteria(3)->setText("114.01.01");
        m_dialogs->answers = {Answer::Yes, Answer::No};
        m_dialogs->shown.clear();
        w.runQuery();
        QCOMPARE(m_dialogs->shown,
                 (QStringList{"財產編號範圍大小相反,是否互換?", "取得日期範圍大小相反,是否互換?"}));
        QCOMPARE(w.criteria(2)->text(), QString("114.12.31"));
        QVERIFY(!m_db->sent.last().startsWith("Select"));
        m_dialogs->answers = {Answer::Yes};
        w.runQuery();
        const QString query = m_db->sent.filter("Select Sum(Atot1)").value(0);
        QVERIFY2(query.contains("From Asset  Where Acode Between 'A1' And 'A5' And Adat1 Between "
                                "'114.01.01' And '114.12.31';Select Acode"),
                 qPrintable(query));
    }

    // The statements, the totals, and the account sums following the cursor (Home and End go
    // to the first and the last row); an empty result says so.
    void summaryResults() {
        m_assets = 4;
        m_accounts = {"1441", "1451"};
        SummaryReport w;
        w.show();
        w.runQuery();
        QCOMPARE(m_db->sent.value(0),
                 QString("Select Sum(Atot1),Sum(Atot3),Sum(Atot4),Sum(Atot5) From Asset ;") +
                     "Select Acode As '財產編號',Aname As '財產名稱',Acod1 As '會計科目',Adat1 As "
                     "'取得日期',Atota As '取得原價',Atot1 As '預留殘值',Ayear As '耐用月數',Atot3 "
                     "As '每期攤提金額',Atot4 As '本期累計折舊金額',Atot5 As '剩餘使用價值',Case "
                     "When Asell = 1 Then '是' Else '否' End As '售出',Adat2 As '售出日期' From "
                     "Asset  Order By Acode");
        const auto box = [&](int i) {
            return control<FieldBox>(&w, QString("T2(%1)").arg(i))->text();
        };
        QCOMPARE(box(0), QString("48,000"));
        QCOMPARE(box(3), QString("5.50"));
        QCOMPARE(box(4) + " " + box(5), QString("1451 1,451"));  // A001's account (1 % 2)
        auto* list = control<QTableView>(&w, "DGR2");
        QTest::keyClick(list, Qt::Key_End);
        QCOMPARE(list->currentIndex().row(), 3);
        QCOMPARE(box(4), QString("1441"));  // A004
        QTest::keyClick(list, Qt::Key_Home);
        QCOMPARE(list->currentIndex().row(), 0);
        QCOMPARE(box(4), QString("1451"));

        m_assets = 0;
        m_dialogs->shown.clear();
        w.runQuery();
        QCOMPARE(m_dialogs->shown, QStringList{"查無資料!"});
    }

    // 36 rows: 35 on the first page from y = 1730 at x = 100, the centred continuation line
    // under them; row 36 tops the second page, a document of its own, and the centred footer
    // with the staff and the time closes it.
    void summaryPages() {
        m_assets = 36;
        SummaryReport w;
        w.runQuery();
        RecordingDevice device;
        w.printOn(device, 2);
        QCOMPARE(device.documentCount(), 2);
        QVERIFY(device.text("財產編號:~ 取得日期:~"));
        QCOMPARE(at(device, "A001"), QPointF(100, 1730));
        QCOMPARE(at(device, "A036").y(), 1730.0);
        // 3 full-width and 6 half-width, then 6 and 9, in the rows' 11 points, centred on 16200.
        QCOMPARE(at(device, "接下頁......"), QPointF((16200 - 1320) / 2.0, 9860));
        QCOMPARE(at(device, "製單人:王大明10:00:00"), QPointF((16200 - 2310) / 2.0, 2040));
    }

    // The schedule follows the cursor on the assets, Home and End included; End works on the
    // schedule. Printed, assets of 0, 41 and 3 lines each start on a page of their own, every
    // page a document turned again with its top, closed by the rules and the footer or, after
    // 40 lines, the continuation line.
    void detailResults() {
        m_lines = {{"A001", 0}, {"A002", 41}};  // A003: 3 lines
        DetailReport w;
        w.show();
        w.runQuery();
        QVERIFY(m_db->sent.last().contains(scheduleRead("A001")));
        auto* assets = control<QTableView>(&w, "DGR2");
        QTest::keyClick(assets, Qt::Key_End);
        QVERIFY(m_db->sent.last().contains(scheduleRead("A003")));
        QTest::keyClick(assets, Qt::Key_Home);
        QVERIFY(m_db->sent.last().contains(scheduleRead("A001")));
        QTest::keyClick(assets, Qt::Key_Down);
        auto* schedule = control<QTableView>(&w, "DGR2b");
        QCOMPARE(schedule->model()->rowCount(), 41);
        schedule->setCurrentIndex(schedule->model()->index(5, 2));
        QTest::keyClick(schedule, Qt::Key_End);  // its own key filter
        QCOMPARE(schedule->currentIndex().row(), 40);

        RecordingDevice device;
        w.printOn(device, 4);
        QList<QList<Op>> docs{{}};
        for (const Op& op : std::as_const(device.operations)) {
            docs.last() << op;
            if (op.kind == Op::Kind::EndDocument) docs << QList<Op>{};
        }
        QCOMPARE(docs.size(), 5);
        QVERIFY(docs.last().isEmpty());  // nothing after the last document
        QCOMPARE(docs[2].first().kind, Op::Kind::Orientation);
        QCOMPARE(docs[2].first().orientation, Orientation::Portrait);
        const QStringList closings{
            "2400,2420 製單人:王大明10:00:00 2480", "11600,11620 接下頁...... 11680",
            "2630,2650 製單人:王大明10:00:00 2710", "3090,3110 製單人:王大明10:00:00 3170"};
        const QStringList tops{"A001", "A002", "A002", "A003"};
        for (int d = 0; d < 4; ++d) {
            QCOMPARE(closing(docs[d]), closings[d]);
            const auto top = std::find_if(docs[d].cbegin(), docs[d].cend(), [&](const Op& op) {
                return op.text == "財產編號:" + tops[d];
            });
            QVERIFY2(top != docs[d].cend() && top->x == 2700, qPrintable(tops[d]));
        }
    }

    // A print command of each report on the PDF printer: one file named for the report, a sheet
    // for every page announced, each turned as the report is; the detail report reads each
    // asset's schedule once. A printer that refuses (no folder) says so instead.
    void onePrintCommand() {
        m_assets = 36;
        m_lines = {{"A001", 41}, {"A002", 0}};  // the others 3 lines: 2 + 1 + 34 pages
        SummaryReport summary;
        printCommand(summary, "固定資產總表", Orientation::Landscape, 2);
        DetailReport detail;
        printCommand(detail, "固定資產明細表", Orientation::Portrait, 37);
    }
    void printCommand(AssetReportWindow& w, const QString& title, Orientation turned, int pages) {
        w.show();
        w.runQuery();
        const QString question = QString("共有 36 筆資料,共需 %1 頁,確定要列印?").arg(pages);
        QTemporaryDir folder;
        const qsizetype sent = m_db->sent.size();
        QCOMPARE(printOnPdf(w, folder.path()), (QStringList{question, "資料列印完畢!"}));
        const QStringList reads = m_db->sent.mid(sent).filter(" GROUP BY ADATE ORDER BY ADATE");
        QCOMPARE(reads.size(), turned == Orientation::Portrait ? m_assets : 0);
        const QStringList files = QDir(folder.path()).entryList({"*.pdf"});
        QCOMPARE(files, QStringList{title + " 20261205-100000.pdf"});
        const PdfPages sheets = PdfPages::read(folder.filePath(files[0]));
        QCOMPARE(sheets.sheets.size(), pages);
        for (int sheet = 0; sheet < pages; ++sheet)
            QCOMPARE(sheets.landscape(sheet), turned == Orientation::Landscape);

        QTemporaryFile notAFolder;
        QVERIFY(notAFolder.open());
        QCOMPARE(printOnPdf(w, notAFolder.fileName() + "/pdf"),
                 (QStringList{question, "印表機無法列印,請檢查印表機!"}));
    }
    // Presses "P 列印" with the PDF printer alone, writing into the folder, and answers the
    // question with OK; what was said.
    QStringList printOnPdf(AssetReportWindow& w, const QString& folder) {
        const QByteArray pdfFolder = qgetenv("ZQFU_PDF_DIR");
        qputenv("ZQFU_PDF_DIR", QFile::encodeName(folder));
        CurrentPrinter::setSystemForTest(QStringList{});
        m_dialogs->shown.clear();
        m_dialogs->answers = {Answer::Ok};
        control<QPushButton>(&w, "B2(0)")->click();
        CurrentPrinter::setSystemForTest(std::nullopt);
        qputenv("ZQFU_PDF_DIR", pdfFolder);
        return m_dialogs->shown;
    }
};

QTEST_MAIN(TestReportWindows)
#include "tst_reportwindows.moc"
