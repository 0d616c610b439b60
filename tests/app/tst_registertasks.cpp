// The asset register's and the reports' whole tasks, typed from the main menu on a real display:
// the stored rows afterwards, the sums shown against the rows, the files the PDF, Excel and CSV
// printers write, and what a user without the rights cannot do.
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>

#include "../Controls.h"
#include "../reports/PdfPages.h"
#include "../reports/SheetFiles.h"
#include "AssetWindow.h"
#include "Clock.h"
#include "CurrentPrinter.h"
#include "FieldBox.h"
#include "TaskHarness.h"
#include "Values.h"

using Dialogs::Answer;
using Fields = QList<std::pair<QString, QString>>;

class TestRegisterTasks : public QObject {
    Q_OBJECT
    std::unique_ptr<TaskHarness> m_task;

    bool walk(const QString& steps) { return m_task->walk(steps); }
    QString scalar(const QString& sql) const { return m_task->scalar(sql); }
    double number(const QString& sql) const { return scalar(sql).toDouble(); }
    QStringList rows(const QString& sql) const { return m_task->rows(sql); }
    QStringList messages() { return m_task->takeMessages(); }
    QWidget* window(const QString& name) const { return m_task->openWindow(name); }
    QString text(const QString& windowName, const QString& box) const {
        QWidget* w = window(windowName);
        return w ? control<QLineEdit>(w, box)->text().trimmed() : windowName + " is not open";
    }
    bool enabled(const QString& windowName, const QString& button) const {
        QWidget* w = window(windowName);
        return w && control<QPushButton>(w, button)->isEnabled();
    }
    static QString today() { return DateToRoc(Clock::today()); }

    // Each field: the focus comes to it, the text is typed over what it holds, Enter leaves it.
    bool fill(const QString& windowName, const Fields& fields) {
        for (const auto& [box, typed] : fields)
            if (!m_task->focusLandsIn(windowName + '/' + box) || !m_task->type(typed) ||
                !m_task->press(Qt::Key_Return)) {
                qWarning("at %s", qPrintable(box));
                return false;
            }
        return true;
    }
    // Makes the PDF printer the current one through F7, by keys, from where the focus is.
    bool choosePdfPrinter() { return m_task->choosePrinter(CurrentPrinter::pdfPrinterName()); }
    // The asset shown after the find box: F, the code, Enter to 確定, Enter.
    bool findAsset(const QString& code) {
        return walk("F FUA/T5") && m_task->type(code) &&
               walk("Return FUA/B5(0), Return FUA/B1a(3)") && text("FUA", "T2(0)") == code;
    }
    // The code and date range typed into a report's criteria, then 確定: the list has the keys.
    bool query(const QString& name, const QStringList& range) {
        return fill(name, {{"T1(0)", range[0]},
                           {"T1(1)", range[1]},
                           {"T1(2)", range[2]},
                           {"T1(3)", range[3]}}) &&
               walk("Return " + name + "/DGR2");
    }
    static QString where(const QStringList& r) {
        return QString(" WHERE ACODE BETWEEN '%1' AND '%2' AND ADAT1 BETWEEN '%3' AND '%4'")
            .arg(r[0], r[1], r[2], r[3]);
    }
    // Prints from the result list with P to an empty folder: its one file's sheets.
    PdfPages printOneFile(const QString& windowName, const QString& question) {
        QTemporaryDir folder;
        qputenv("ZQFU_PDF_DIR", folder.path().toUtf8());
        if (!choosePdfPrinter() || !walk("P " + windowName + "/DGR2")) return {};
        const QStringList shown = messages(), expected{question, QString("資料列印完畢!")};
        const QStringList files = QDir(folder.path()).entryList({"*.pdf"}, QDir::Files);
        if (shown != expected || files.size() != 1) {
            qWarning("shown %s, files %s", qPrintable(shown.join('|')),
                     qPrintable(files.join('|')));
            return {};
        }
        return PdfPages::read(QDir(folder.path()).filePath(files[0]));
    }
    // Prints from the result list with P on the Excel printer, then on the CSV printer, each to
    // an empty folder: the rows of the one workbook and of the one CSV file (empty when either
    // is missing, or more were written).
    std::pair<Workbook, CsvFile> printSheets(const QString& windowName, const QString& question) {
        std::pair<Workbook, CsvFile> read;
        for (const QString& printer :
             {CurrentPrinter::excelPrinterName(), CurrentPrinter::csvPrinterName()}) {
            QTemporaryDir folder;
            qputenv("ZQFU_SHEET_DIR", folder.path().toUtf8());
            if (!m_task->choosePrinter(printer) || !walk("P " + windowName + "/DGR2")) return {};
            const QStringList shown = messages(), expected{question, QString("資料列印完畢!")};
            const QStringList files = QDir(folder.path()).entryList(QDir::Files);
            if (shown != expected || files.size() != 1) {
                qWarning("shown %s, files %s", qPrintable(shown.join('|')),
                         qPrintable(files.join('|')));
                return {};
            }
            const QString file = QDir(folder.path()).filePath(files[0]);
            if (file.endsWith(".xlsx"))
                read.first = Workbook::read(file);
            else
                read.second = CsvFile::read(file);
        }
        qunsetenv("ZQFU_SHEET_DIR");
        return read;
    }
    static double cell(QTableView* grid, int row, int column) {
        return ToNumber(grid->model()->index(row, column).data().toString());
    }

private slots:
    void initTestCase() {
        TASK_NEEDS_DISPLAY();
        m_task = std::make_unique<TaskHarness>();
        TASK_START(*m_task, "ADM");
    }
    // A test takes the messages it expects; any other fails it, and no window stays behind.
    void cleanup() {
        const QString unread = m_task->finish();
        QVERIFY2(unread.isEmpty(), qPrintable(unread));
    }
    void cleanupTestCase() {
        m_task.reset();
        qunsetenv("ZQFU_PDF_DIR");
    }

    // Added with its split over two departments (the shares first 60 + 30, refused, then 60 +
    // 40), the accounts taken from the lookup by Enter and by the mouse; changed with F3 in a
    // box; reviewed and the review cancelled; deleted.
    void addChangeReviewAndDeleteAnAsset() {
        const QString z = " FROM %1 WHERE ACODE = 'ZT001'";
        QVERIFY(walk("A FUA/B1a(0), A FUA/T2(0)"));
        QVERIFY(fill("FUA", {{"T2(0)", "ZT001"}, {"T2(1)", "測試堆高機"}}));
        // 1441 by Enter in the lookup of what begins with 144 (1441 comes first).
        QVERIFY(m_task->focusLandsIn("FUA/T2(2)") && m_task->type("144") &&
                walk("F2 FUA/DGF2, Return FUA/T2(2), Return FUA/T2(4)"));
        QCOMPARE(text("FUA", "T2(3)"), QString("機器設備"));
        // 6125 double-clicked among the accounts that begin with 612.
        QVERIFY(m_task->type("612") && walk("F2 FUA/DGF2"));
        auto* lookup = control<QTableView>(window("FUA"), "DGF2");
        const QStringList codes = column(lookup, 0);
        const auto at = std::find_if(codes.begin(), codes.end(),
                                     [](const QString& c) { return c.trimmed() == "6125"; });
        QVERIFY2(at != codes.end(), qPrintable(codes.join('|')));
        const QRect row = lookup->visualRect(lookup->model()->index(int(at - codes.begin()), 0));
        QTest::mouseDClick(lookup->viewport(), Qt::LeftButton, {}, row.center());
        QVERIFY(m_task->focusLandsIn("FUA/T2(4)"));
        QCOMPARE(text("FUA", "T2(4)") + text("FUA", "T2(5)"), QString("6125折舊費用"));
        QVERIFY(walk("Return FUA/T2(6)") && m_task->type("1442") &&
                walk("F2 FUA/DGF2, Return FUA/T2(6), Return FUA/T2(8)"));
        QVERIFY(fill("FUA", {{"T2(8)", today()},
                             {"T2(9)", "120000"},
                             {"T2(10)", "12000"},
                             {"T2(11)", "36"},
                             {"T2(12)", ""}}));
        QCOMPARE(text("FUA", "T2(13)"), QString("3,000.00"));
        // The split: department 07 typed, 02 from its lookup; 90 in all is refused.
        QVERIFY(walk("Return FUA/B4a(0), A FUA/T4(0)"));
        QVERIFY(fill("FUA", {{"T4(0)", "07"}, {"T4(2)", "60"}, {"T4(4)", "主要使用單位"}}));
        QVERIFY(walk("Return FUA/T4(0)") && m_task->type("02") &&
                walk("F2 FUA/DGF2, Return FUA/T4(0)"));
        QVERIFY(fill("FUA", {{"T4(0)", ""}, {"T4(2)", "30"}, {"T4(4)", ""}}));
        QVERIFY(walk("Return FUA/T4(0), Esc FUA/B4a(0), X FUA/B4a(3)"));
        QCOMPARE(messages(),
                 QStringList{"您所設定的部門攤提比例合計不等於100,請檢查設定值是否都正確"});
        QVERIFY(walk("E FUA/T4(0)"));
        QCOMPARE(text("FUA", "T4(0)"), QString("02"));
        QVERIFY(fill("FUA", {{"T4(0)", ""}, {"T4(2)", "40"}, {"T4(4)", ""}}));
        QVERIFY(walk("Return FUA/B4a(1), X FUA/B1b(0), Return FUA/B1a(0)"));
        QCOMPARE(messages(), QStringList{"財產編號[ ZT001 ]新增完成!"});
        QCOMPARE(
            rows("SELECT ANAME, ACOD1, ACOD2, ACOD3, ADAT1, ATOTA, ATOT1, AYEAR, ATOT3, ATOT5, "
                 "ASELL, AUSE2" +
                 z.arg("Asset")),
            QStringList{"測試堆高機|1441|6125|1442|" + today() +
                        "|120000|12000|36|3000|108000|0|系統管理員"});
        QCOMPARE(
            rows("SELECT ASEQ, ADENO, APERC, ATOTA, ABACK" + z.arg("Assetd") + " ORDER BY ASEQ"),
            (QStringList{"1|07|60|1800|主要使用單位", "2|02|40|1200|"}));
        QCOMPARE(rows("SELECT COUNT(*), SUM(ATOTA)" + z.arg("Assets") + " AND ASOUR = ''"),
                 QStringList{"36|108000"});
        QCOMPARE(scalar("SELECT COUNT(*)" + z.arg("Assets") + " AND ADATE < '" + today() + "'"),
                 QString("0"));
        QCOMPARE(scalar("SELECT COUNT(*) FROM Asset_Temp WHERE LCODE = '0016'"), QString("0"));
        QCOMPARE(text("FUA", "T2(0)"), QString("ZT001"));

        // Changed: the name, and 48 months with F3 in the months box.
        QVERIFY(walk("E FUA/T2(1)") && m_task->type("測試堆高機二號"));
        QVERIFY(walk("Return FUA/T2(2), Return FUA/T2(4), Return FUA/T2(6), Return FUA/T2(8), "
                     "Return FUA/T2(9), Return FUA/T2(10), Return FUA/T2(11)") &&
                m_task->type("48") && walk("F3 FUA/B1a(1)"));
        QCOMPARE(messages(), QStringList{"財產編號[ ZT001 ]修改完成!"});
        QCOMPARE(rows("SELECT ANAME, AYEAR, ATOT3" + z.arg("Asset")),
                 QStringList{"測試堆高機二號|48|2250"});
        QCOMPARE(rows("SELECT COUNT(*), SUM(ATOTA)" + z.arg("Assets") + " AND ASOUR = ''"),
                 QStringList{"48|108000"});
        QCOMPARE(rows("SELECT ADENO, APERC" + z.arg("Assetd") + " ORDER BY ASEQ"),
                 (QStringList{"07|60", "02|40"}));

        // Reviewed, the review cancelled (each confirmed with the preselected OK).
        QVERIFY(walk("R FUA/B1a(5)"));
        QCOMPARE(messages(), QStringList{"確定要覆核財產編號[ ZT001 ]?"});
        QCOMPARE(scalar("SELECT AUSE3" + z.arg("Asset")), QString("系統管理員"));
        QVERIFY(!enabled("FUA", "B1a(1)") && !enabled("FUA", "B1a(2)") && enabled("FUA", "B1a(4)"));
        QVERIFY(walk("R FUA/B1a(5)"));
        QCOMPARE(messages(), QStringList{"確定要取消覆核財產編號[ ZT001 ]?"});
        QCOMPARE(scalar("SELECT ISNULL(AUSE3, '')" + z.arg("Asset")), QString());

        // Deleted, with OK to the question (Cancel is preselected): the window shows the last
        // asset left.
        m_task->dialogs->answers = {Answer::Ok};
        QVERIFY(walk("D FUA"));
        QCOMPARE(messages(),
                 (QStringList{"確定要刪除財產編號[ ZT001 ]?", "財產編號[ ZT001 ]刪除完成!"}));
        for (const QString table : {"Asset", "Assetd", "Assets"})
            QVERIFY2(scalar("SELECT COUNT(*)" + z.arg(table)) == "0", qPrintable(table));
        QCOMPARE(text("FUA", "T2(0)"), scalar("SELECT MAX(ACODE) FROM Asset"));
        QVERIFY(walk("Out FU/But(0)"));
    }

    // A reviewed asset found with F and sold at the end of next month: the server asks about
    // the months not posted, Yes sells it, and the schedule after the sale is gone.
    void findAndSellAnAsset() {
        const QString code = scalar(
            "SELECT TOP 1 ACODE FROM Asset WHERE ISNULL(AUSE3, '') <> '' AND ASELL = 0 AND "
            "AYEAR > 12 AND ADAT1 < '" +
            today() + "' ORDER BY ACODE");
        const QDate next = Clock::today().addMonths(1);
        const QString saleDate = DateToRoc(QDate(next.year(), next.month(), next.daysInMonth()));
        const QString of = " FROM Assets WHERE ACODE = '" + code + "' AND ";
        const QString posted = scalar("SELECT COUNT(*)" + of + "ASOUR <> ''");
        QVERIFY(number("SELECT COUNT(*)" + of + "ASOUR = '' AND ADATE > '" + saleDate + "'") > 0);
        QVERIFY(walk("A FUA/B1a(0)") && findAsset(code));
        m_task->dialogs->answers = {Answer::Yes};
        QVERIFY(walk("S FUA/T3(0)") && m_task->type(saleDate) && walk("F3 FUA/B1a(0)"));
        const QStringList shown = messages();
        QCOMPARE(shown.size(), 2);  // the server's question, then the sale
        QCOMPARE(shown.last(), "財產編號[ " + code + " ]售出處理完成!");
        QCOMPARE(rows("SELECT ASELL, ADAT2 FROM Asset WHERE ACODE = '" + code + "'"),
                 QStringList{"1|" + saleDate});
        QCOMPARE(scalar("SELECT COUNT(*)" + of + "ADATE > '" + saleDate + "'"), QString("0"));
        QCOMPARE(scalar("SELECT COUNT(*)" + of + "ASOUR <> ''"), posted);
        QVERIFY(!enabled("FUA", "B1a(4)") && !enabled("FUA", "B1a(5)"));
    }

    // Home, End, PgUp, PgDn walk the register in code order; a prefix that several codes share
    // opens the lookup, whose third row Enter takes.
    void browseAndFindByTheLookup() {
        const QStringList codes = rows("SELECT ACODE FROM Asset ORDER BY ACODE");
        QVERIFY(codes.size() > 3);
        QVERIFY(walk("A FUA/B1a(0)"));
        const QList<std::pair<QString, QString>> steps = {
            {"Home", codes.first()}, {"PgDown", codes[1]},  {"PgDown", codes[2]},
            {"PgUp", codes[1]},      {"End", codes.last()}, {"PgUp", codes[codes.size() - 2]},
            {"PgDown", codes.last()}};
        for (const auto& [key, shown] : steps)
            QVERIFY2(walk(key + " FUA/B1a(0)") && text("FUA", "T2(0)") == shown, qPrintable(key));
        const QStringList mc =
            rows("SELECT TOP 3 ACODE FROM Asset WHERE ACODE LIKE 'MC00%' ORDER BY ACODE");
        QVERIFY(walk("F FUA/T5") && m_task->type("MC00") &&
                walk("Return FUA/B5(0), Return FUA/DGF3, Down FUA/DGF3, Down FUA/DGF3, "
                     "Return FUA/B1a(3)"));
        QCOMPARE(text("FUA", "T2(0)"), mc.value(2));
        QVERIFY(walk("Out FU/But(0)"));
    }

    // The summary of a code and date range: its totals and the account sums of the row under
    // the cursor as the rows hold them, then printed to one landscape PDF file.
    void summaryReportSumsAndPrint() {
        const QStringList range{"IM0001", "OF0040", DateToRoc(Clock::today().addYears(-4)),
                                today()};
        const QString w = where(range);
        const int n = scalar("SELECT COUNT(*) FROM Asset" + w).toInt();
        QVERIFY(n > 35 &&
                n < number("SELECT COUNT(*) FROM Asset WHERE ACODE BETWEEN 'IM0001' AND 'OF0040'"));
        QVERIFY(walk("B FUB/T1(0)") && query("FUB", range));
        auto* list = control<QTableView>(window("FUB"), "DGR2");
        QCOMPARE(list->model()->rowCount(), n);
        const char* sums[] = {"ATOT1", "ATOT3", "ATOT4", "ATOT5"};
        for (int i = 0; i < 4; ++i)
            QVERIFY2(qAbs(ToNumber(text("FUB", QString("T2(%1)").arg(i))) -
                          number(QString("SELECT SUM(%1) FROM Asset").arg(sums[i]) + w)) < 0.006,
                     sums[i]);
        // The account of the row under the cursor, and its sums.
        const auto accountSums = [&] {
            const QString account = text("FUB", "T2(4)");
            bool right =
                account ==
                list->model()->index(list->currentIndex().row(), 2).data().toString().trimmed();
            for (int i = 0; i < 4; ++i)
                right = right && qAbs(ToNumber(text("FUB", QString("T2(%1)").arg(i + 5))) -
                                      number(QString("SELECT SUM(%1) FROM Asset").arg(sums[i]) + w +
                                             " AND ACOD1 = '" + account + "'")) < 0.006;
            return right;
        };
        QVERIFY(accountSums());
        const QString first = text("FUB", "T2(4)");
        QVERIFY(walk("End FUB/DGR2") && accountSums());
        QVERIFY(text("FUB", "T2(4)") != first);
        const int pages = (n + 34) / 35;
        const PdfPages pdf =
            printOneFile("FUB", QString("共有 %1 筆資料,共需 %2 頁,確定要列印?").arg(n).arg(pages));
        QCOMPARE(pdf.landscape(), QList<bool>(pages, true));
        // The same command on the spreadsheet printers: a row an asset, in the grid's order.
        const auto [book, csv] =
            printSheets("FUB", QString("共有 %1 筆資料,共需 %2 頁,確定要列印?").arg(n).arg(pages));
        QCOMPARE(book.rows.size(), n + 3);
        QCOMPARE(csv.rows.size(), n + 3);
        for (int r : {0, n - 1}) {
            const QString code = list->model()->index(r, 0).data().toString().trimmed();
            QCOMPARE(book.rows[r + 3].value(0).text, code);
            QCOMPARE(csv.rows[r + 3].value(0), code);
            QCOMPARE(book.rows[r + 3].value(4).value, cell(list, r, 4));
        }
        QVERIFY(walk("Esc FUB/B2(1), Return FUB/T1(0), Out FU/But(1)"));
    }

    // The detail of a range: each asset's schedule as its postings make it, the cursor moving
    // it; printed to one portrait PDF file, each asset on pages of its own.
    void detailReportSchedulesAndPrint() {
        const QStringList range{"MC0001", "MC0003", DateToRoc(Clock::today().addYears(-20)),
                                today()};
        const QStringList codes =
            rows("SELECT ACODE FROM Asset" + where(range) + " ORDER BY ACODE");
        QCOMPARE(codes.size(), 3);
        QVERIFY(walk("C FUC/T1(0)") && query("FUC", range));
        auto* schedule = control<QTableView>(window("FUC"), "DGR2b");
        int pages = 0, allLines = 0;
        for (int a = 0; a < codes.size(); ++a) {
            if (a > 0) QVERIFY(walk("Down FUC/DGR2"));
            const QString of = " FROM Assets WHERE ACODE = '" + codes[a] + "' AND ASOUR ";
            const int lines = scalar("SELECT COUNT(DISTINCT ADATE)" + of + "= ''").toInt();
            pages += lines == 0 ? 1 : (lines + 39) / 40;
            allLines += lines;
            QCOMPARE(schedule->model()->rowCount(), lines);
            double scheduled = 0, depreciated = 0, left = 1e300;
            for (int r = 0; r < lines; ++r) {
                scheduled += cell(schedule, r, 1);
                depreciated = std::max(depreciated, cell(schedule, r, 2));
                left = std::min(left, cell(schedule, r, 3));
            }
            const double postings = number("SELECT ISNULL(SUM(ATOTA), 0)" + of + "<> ''");
            QVERIFY(qAbs(scheduled - number("SELECT SUM(ATOTA)" + of + "= ''")) < 0.006);
            QVERIFY(qAbs(depreciated - postings) < 0.006);
            QVERIFY(qAbs(left - (number("SELECT ATOTA - ATOT1 - ATOT2 FROM Asset WHERE ACODE = '" +
                                        codes[a] + "'") -
                                 postings)) < 0.006);
        }
        const PdfPages pdf =
            printOneFile("FUC", QString("共有 3 筆資料,共需 %1 頁,確定要列印?").arg(pages));
        QCOMPARE(pdf.landscape(), QList<bool>(pages, false));
        // On the spreadsheet printers: each asset's three head lines, then its schedule's lines.
        const auto [book, csv] =
            printSheets("FUC", QString("共有 3 筆資料,共需 %1 頁,確定要列印?").arg(pages));
        QCOMPARE(book.rows.size(), 3 + 3 * 3 + allLines);
        QCOMPARE(csv.rows.size(), book.rows.size());
        QCOMPARE(book.rows[3].value(1).text, codes[0]);
        QVERIFY(walk("Esc FUC/B2(1), Return FUC/T1(0), Out FU/But(2)"));
    }

    // Without a right its buttons are off and their letters do nothing; with it they work.
    void buttonsFollowTheRights() {
        const QString unreviewed = scalar(
            "SELECT TOP 1 ACODE FROM Asset WHERE ISNULL(AUSE3, '') = '' AND ASELL = 0 ORDER BY "
            "ACODE");
        const QString reviewed = scalar(
            "SELECT TOP 1 ACODE FROM Asset WHERE ISNULL(AUSE3, '') <> '' AND ASELL = 0 ORDER BY "
            "ACODE DESC");
        struct Case {
            QString user;
            bool reports, print;
            QList<bool> onUnreviewed, onReviewed;  // E, D, S, R
        };
        const QList<Case> cases = {
            {"LEE", false, false, {false, false, false, false}, {false, false, false, false}},
            {"CHEN", true, false, {false, false, false, false}, {false, false, false, false}},
            {"ADM", true, true, {true, true, false, true}, {false, false, true, true}}};
        const QStringList commands{"B1a(1)", "B1a(2)", "B1a(4)", "B1a(5)"};
        for (const Case& c : cases) {
            const QString why = m_task->start(c.user);
            QVERIFY2(why.isEmpty(), qPrintable(c.user + ": " + why));
            for (int b : {1, 2})
                QVERIFY2(m_task->mdi->menu()->button(b)->isEnabled() == c.reports,
                         qPrintable(c.user));
            QVERIFY(walk("A FUA/B1a(0)"));
            for (const auto& [code, expected] :
                 {std::pair{reviewed, c.onReviewed}, {unreviewed, c.onUnreviewed}}) {
                QVERIFY(findAsset(code));
                for (int i = 0; i < 4; ++i)
                    QVERIFY2(enabled("FUA", commands[i]) == expected[i],
                             qPrintable(c.user + ' ' + code + ' ' + commands[i]));
            }
            // On the unreviewed asset: a letter whose button is off leaves the register as it is.
            auto* assets = qobject_cast<AssetWindow*>(window("FUA"));
            for (const QString key : {"E", "D", "S", "R"}) {
                if (enabled("FUA", commands[QString("EDSR").indexOf(key)])) continue;
                QVERIFY2(walk(key + " FUA/B1a(3)") && assets->editMode() == AssetWindow::Browse,
                         qPrintable(c.user + ' ' + key));
            }
            QCOMPARE(scalar("SELECT COUNT(*) FROM Asset_Temp"), QString("0"));
            QCOMPARE(
                scalar("SELECT ISNULL(AUSE3, '') FROM Asset WHERE ACODE = '" + unreviewed + "'"),
                QString());
            QVERIFY(walk("Out FU/But(0)"));
            if (!c.reports) {
                QVERIFY(walk("B FU/But(0), C FU/But(0)") && !window("FUB") && !window("FUC"));
                continue;
            }
            // The summary of everything; P prints only with the right.
            QTemporaryDir folder;
            qputenv("ZQFU_PDF_DIR", folder.path().toUtf8());
            QVERIFY(walk("B FUB/T1(0)") && query("FUB", {"", "", "", ""}) && choosePdfPrinter());
            QCOMPARE(enabled("FUB", "B2(0)"), c.print);
            m_task->dialogs->answers = {Answer::Cancel};  // the page question, where it comes
            QVERIFY(walk("P FUB/DGR2"));
            QCOMPARE(messages().size(), c.print ? 1 : 0);
            QVERIFY(QDir(folder.path()).isEmpty());
            QVERIFY(walk("Esc FUB/B2(1), Return FUB/T1(0), Out FU/But(1)"));
        }
    }
};

TASK_MAIN(TestRegisterTasks)

#include "tst_registertasks.moc"
