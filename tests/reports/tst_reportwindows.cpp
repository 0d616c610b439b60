// The two asset report windows against a scripted database, and one print command of each on
// a system printer and on the PDF printer.
#include <QPushButton>
#include <QStyle>
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
#include "Values.h"

using Dialogs::Answer;
using Orientation = PrintDevice::Orientation;
using Op = RecordingDevice::Operation;

namespace {
// A recording device that leaves what it recorded behind when the report lets it go.
struct KeptDevice : RecordingDevice {
    explicit KeptDevice(QList<Operation>& kept) : kept(kept) {}
    ~KeptDevice() override { kept = operations; }
    QList<Operation>& kept;
};

// Every amount of the assets at most the largest one the register takes.
double g_largest = 0;

ResultSet assetList(int n, const QStringList& accounts = {"1441"}) {
    ResultSet set{
        {"財產編號", "財產名稱", "會計科目", "取得日期", "取得原價", "預留殘值", "耐用月數",
         "每期攤提金額", "本期累計折舊金額", "剩餘使用價值", "售出", "售出日期"},
        {}};
    const double l = g_largest;
    const QVariantList rest =
        l ? QVariantList{"114.01.01", l, l - 1, 1200, l, l, l, "否", ""}
          : QVariantList{"114.01.01", 120000.0, 12000.0, 60, 1800.0, 3600.0, 104400.0, "否", ""};
    for (int i = 1; i <= n; ++i)
        set.rows << QVariantList{QString("A%1").arg(i, 3, 10, QChar('0')), "設備",
                                 accounts[i % accounts.size()]} +
                        rest;
    return set;
}

// An asset worth 90,000 with n months of 1,500 each, every one of them posted too.
ResultSets schedule(int n) {
    ResultSet months{{"ADATE", "ATOTA", "ALINES", "APOSTED"}, {}};
    for (int i = 1; i <= n; ++i)
        months.rows << QVariantList{QString("114.%1.28").arg(i % 12 + 1, 2, 10, QChar('0')),
                                    g_largest ? g_largest : 1500.0, 1, 1500.0};
    return {ResultSet{{"AVALUE"}, {{g_largest ? g_largest : 90000.0}}}, months};
}

// The printed texts that cover part of another on the same line of a page, each measured in the
// size of the font it was printed in.
QStringList overlapping(const QList<Op>& operations) {
    RecordingDevice ruler;
    QMap<double, QList<std::pair<double, double>>> lines;  // y: the texts' extents
    QStringList found;
    for (const Op& op : operations) {
        if (op.kind == Op::Kind::Font) ruler.setFontSize(op.size);
        if (op.kind == Op::Kind::NewPage || op.kind == Op::Kind::EndDocument) lines.clear();
        if (op.kind != Op::Kind::Text) continue;
        const std::pair extent{op.x, op.x + ruler.textWidth(op.text)};
        for (const auto& [from, to] : lines[op.y])
            if (extent.first < to && from < extent.second)
                found << QString("%1 at %2,%3").arg(op.text).arg(op.x).arg(op.y);
        lines[op.y] << extent;
    }
    return found;
}

// A document's asset (at x 2700), the heights of its last two rules, its last text and that one's.
QString closing(const QList<Op>& doc) {
    QStringList rules;
    QString top, last;
    for (const auto& op : doc) {
        if (op.kind == Op::Kind::Line) rules << QString::number(op.y);
        if (op.kind != Op::Kind::Text) continue;
        last = op.text + ' ' + QString::number(op.y);
        if (op.x == 2700 && op.text.startsWith("財產編號:")) top = op.text.mid(5);
    }
    return top + ' ' + rules.mid(rules.size() - 2).join(',') + ' ' + last;
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
        g_largest = 0;
    }

    // A half range is refused unsent; reversed ones are swapped only on Yes, into the condition.
    // Then without criteria: the statement, the totals, the account sums after Home and End, the
    // pages; none found.
    void summaryRangesAndResults() {
        SummaryReport w;
        w.show();
        w.criteria(0)->setText("A5");
        w.runQuery();
        QCOMPARE(m_dialogs->shown, QStringList{"財產編號範圍不完整!"});
        QVERIFY(m_db->sent.isEmpty());
        for (const auto& [c, text] : {std::pair{1, "A1"}, {2, "114.12.31"}, {3, "114.01.01"}})
            w.criteria(c)->setText(text);
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
        for (int c = 0; c < 4; ++c) w.criteria(c)->setText(QString());
        m_db->sent.clear();
        m_assets = 4;
        m_accounts = {"1441", "1451"};
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
        // A001's account is 1451 (1 % 2), A004's 1441.
        QCOMPARE(QStringList({box(0), box(3), box(4), box(5)}).join(' '),
                 QString("48,000 5.50 1451 1,451"));
        auto* list = control<QTableView>(&w, "DGR2");
        QTest::keyClick(list, Qt::Key_End);
        QCOMPARE(QString::number(list->currentIndex().row()) + ' ' + box(4), QString("3 1441"));
        QTest::keyClick(list, Qt::Key_Home);
        QCOMPARE(QString::number(list->currentIndex().row()) + ' ' + box(4), QString("0 1451"));
        // 35 rows a page, the continuation line; row 36 on a document of its own, then the footer.
        m_assets = 36;
        w.runQuery();
        RecordingDevice device;
        w.printOn(device, 2);
        QCOMPARE(device.documentCount(), 2);
        const auto at = [&](const QString& text) {
            const auto op = device.text(text);
            return op ? QString("%1,%2").arg(op->x).arg(op->y) : QString();
        };
        // "接下頁......" is 3 full-width and 6 half-width characters in the rows' 11 points, the
        // footer 6 and 9: 1320 and 2310 twips, centred on 16200.
        QVERIFY(device.text("財產編號:~ 取得日期:~"));
        QCOMPARE(
            QStringList({at("A001"), at("A036"), at("接下頁......"), at("製單人:王大明10:00:00")}),
            QStringList({"100,1730", "100,1730", "7440,9860", "6945,2040"}));
        m_assets = 0;
        m_dialogs->shown.clear();
        w.runQuery();
        QCOMPARE(m_dialogs->shown, QStringList{"查無資料!"});
    }

    // The largest amounts show whole in the grids and print inside their columns, both reports.
    void largestAmounts() {
        g_largest = LargestAmount;
        const auto wholeIn = [](QTableView* grid, const QList<int>& columns) {
            const int margin =
                grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
            QStringList cut;
            for (int c : columns) {
                const QString text = grid->model()->index(0, c).data().toString();
                if (grid->fontMetrics().horizontalAdvance(text) + 2 * margin > grid->columnWidth(c))
                    cut << text;
            }
            return cut;
        };
        SummaryReport summary;
        summary.show();
        summary.runQuery();
        auto* list = control<QTableView>(&summary, "DGR2");
        QCOMPARE(list->model()->index(0, 4).data().toString(), QString("999,999,999,999"));
        QCOMPARE(wholeIn(list, {4, 5, 7, 8, 9}), QStringList());
        RecordingDevice device;
        summary.printOn(device, 1);
        QVERIFY(device.text("999,999,999,999.00"));
        QCOMPARE(overlapping(device.operations), QStringList());
        DetailReport detail;
        detail.show();
        detail.runQuery();
        QCOMPARE(wholeIn(control<QTableView>(&detail, "DGR2b"), {1, 2, 3}), QStringList());
        QCOMPARE(wholeIn(control<QTableView>(&detail, "DGR2"), {4, 5, 7, 8, 9}), QStringList());
        RecordingDevice pages;
        detail.printOn(pages, 3);
        QVERIFY(pages.text("999,999,999,999"));
        QCOMPARE(overlapping(pages.operations), QStringList());
        // An amount that fits is printed in the rows' own size.
        g_largest = 0;
        summary.runQuery();
        RecordingDevice usual;
        summary.printOn(usual, 1);
        const auto smaller = [](const RecordingDevice& d) {
            return std::count_if(d.operations.begin(), d.operations.end(), [](const Op& op) {
                return op.kind == Op::Kind::Font && op.size < 11;
            });
        };
        QVERIFY(smaller(device) > 0);
        QCOMPARE(smaller(usual), 0);
    }

    // The schedule follows the cursor; each asset printed from its own page, 40 lines a page.
    void detailResults() {
        m_lines = {{"A001", 0}, {"A002", 41}};  // A003: 3 lines
        DetailReport w;
        w.show();
        w.runQuery();
        QVERIFY(m_db->sent.last().contains("FROM ASSETS WHERE ACODE = 'A001' GROUP BY ADATE"));
        auto* assets = control<QTableView>(&w, "DGR2");
        QTest::keyClick(assets, Qt::Key_End);
        QVERIFY(m_db->sent.last().contains("FROM ASSETS WHERE ACODE = 'A003' GROUP BY ADATE"));
        QTest::keyClick(assets, Qt::Key_Up);
        auto* schedule = control<QTableView>(&w, "DGR2b");
        QCOMPARE(schedule->model()->rowCount(), 41);
        schedule->setCurrentIndex(schedule->model()->index(5, 2));
        QTest::keyClick(schedule, Qt::Key_End);  // its own key filter
        QCOMPARE(schedule->currentIndex().row(), 40);
        // Tab and Shift+Tab walk the grids and buttons, reading nothing and moving no row.
        QVERIFY(QTest::qWaitForWindowActive(&w));
        assets->setFocus();
        const int sent = m_db->sent.size();
        QStringList walked;
        for (auto [key, modifier] : {std::pair(Qt::Key_Tab, Qt::NoModifier),
                                     std::pair(Qt::Key_Tab, Qt::NoModifier),
                                     std::pair(Qt::Key_Backtab, Qt::ShiftModifier),
                                     std::pair(Qt::Key_Backtab, Qt::ShiftModifier)}) {
            QTest::keyClick(QApplication::focusWidget(), key, modifier);
            walked << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(walked, QStringList({"DGR2b", "B2(0)", "DGR2b", "DGR2"}));
        QCOMPARE(m_db->sent.size(), sent);
        RecordingDevice device;
        w.printOn(device, 4);
        QStringList closings;  // of each document
        QList<Op> doc;
        for (const Op& op : std::as_const(device.operations)) {
            doc << op;
            if (op.kind == Op::Kind::EndDocument) closings << closing(std::exchange(doc, {}));
        }
        QVERIFY(doc.isEmpty());  // nothing after the last document
        QCOMPARE(closings, (QStringList{"A001 2400,2420 製單人:王大明10:00:00 2480",
                                        "A002 11600,11620 接下頁...... 11680",
                                        "A002 2630,2650 製單人:王大明10:00:00 2710",
                                        "A003 3090,3110 製單人:王大明10:00:00 3170"}));
    }

    // A system printer gets a document per page; the PDF printer writes one file per report,
    // its sheets turned, schedules read once; a printer that cannot print says so.
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
        const QStringList said{question, "資料列印完畢!"};
        // A system printer: a document a page, each turned as the report is, finished once.
        QList<Op> ops;
        AssetReportWindow::setDeviceFactory(
            [&](const QString&) { return std::make_unique<KeptDevice>(ops); });
        m_dialogs->shown.clear();
        m_dialogs->answers = {Answer::Ok};
        control<QPushButton>(&w, "B2(0)")->click();
        QCOMPARE(m_dialogs->shown, said);
        int documents = 0, finishes = 0;
        Orientation now = Orientation::Portrait;
        for (const Op& op : std::as_const(ops)) {
            documents += op.kind == Op::Kind::EndDocument;
            finishes += op.kind == Op::Kind::Finish;
            if (op.kind == Op::Kind::Orientation) now = op.orientation;
            if (op.kind == Op::Kind::Text || op.kind == Op::Kind::Line) QCOMPARE(now, turned);
        }
        QCOMPARE(ops.last().kind, Op::Kind::Finish);
        QCOMPARE(QList<int>({documents, finishes}), QList<int>({pages, 1}));
        AssetReportWindow::setDeviceFactory({});
        QTemporaryDir folder;
        const qsizetype sent = m_db->sent.size();
        QCOMPARE(printOnPdf(w, folder.path()), said);
        const QStringList reads = m_db->sent.mid(sent).filter(" GROUP BY ADATE ORDER BY ADATE");
        QCOMPARE(reads.size(), turned == Orientation::Portrait ? m_assets : 0);
        const QStringList files = QDir(folder.path()).entryList({"*.pdf"});
        QCOMPARE(files, QStringList{title + " 20261205-100000.pdf"});
        QCOMPARE(PdfPages::read(folder.filePath(files[0])).landscape(),
                 QList<bool>(pages, turned == Orientation::Landscape));
        QTemporaryFile notAFolder;
        QVERIFY(notAFolder.open());
        QCOMPARE(printOnPdf(w, notAFolder.fileName() + "/pdf"),
                 (QStringList{question, "印表機無法列印,請檢查印表機!"}));
    }
    // Presses "P 列印" with only the PDF printer, writing into the folder; what was said.
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
