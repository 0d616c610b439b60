// The Excel and CSV printers: each report of the demo company printed to them through its
// button, the files read back and compared with the lines the report prints on paper.
#include <QPushButton>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include "../Controls.h"
#include "../shell/ScriptedDialogs.h"
#include "../suitedb/DemoFolder.h"
#include "BoardReport.h"
#include "Clock.h"
#include "CurrentPrinter.h"
#include "DetailReport.h"
#include "EmbeddedDatabase.h"
#include "FieldBox.h"
#include "ProgramExit.h"
#include "RecordingDevice.h"
#include "Session.h"
#include "SheetDevice.h"
#include "SheetFiles.h"
#include "StatusText.h"
#include "SummaryReport.h"
#include "UserSettings.h"
#include "Values.h"

using Dialogs::Answer;
using Op = RecordingDevice::Operation;

namespace {
// The texts a page prints on each line whose height is in `lines`, line by line in the order
// printed, over every document.
QList<QStringList> printedLines(const QList<Op>& operations,
                                const std::function<bool(double y)>& lines) {
    QList<QStringList> found;
    double at = -1;
    for (const Op& op : operations) {
        if (op.kind == Op::Kind::EndDocument) at = -1;
        if (op.kind != Op::Kind::Text || !lines(op.y)) continue;
        if (op.y != at) found << QStringList{};
        at = op.y;
        found.last() << op.text;
    }
    return found;
}

// A table that keeps the progress line as each row arrives (but a detail report's head line).
struct ProgressAtRows : ReportTable {
    QStringList shown;
    void begin(const QString&, const QString&, const QStringList&) override {}
    void addRow(const QList<TableCell>& cells) override {
        if (!PrintedText(cells.value(0)).endsWith(':')) shown << StatusText::text();
    }
};

// The special assets: a code with an apostrophe, one of digits, a name with a comma and a
// quote, the largest cost.
const QString Apostrophe = "MC'001", Digits = "0012", Name = "隔間,\"L\"型櫃";
}  // namespace

class TestSheetPrinters : public QObject {
    Q_OBJECT
    std::unique_ptr<DemoFolder> m_demo;
    std::shared_ptr<EmbeddedDatabase> m_db;
    ScriptedDialogs* m_dialogs = nullptr;
    QTemporaryDir m_out;

    // Presses "P 列印" of the window with only the given built-in printer, into the folder;
    // what was said, and the files there afterwards.
    std::pair<QStringList, QStringList> press(QWidget& w, const QString& printer,
                                              const QString& folder) {
        qputenv("ZQFU_SHEET_DIR", QFile::encodeName(folder));
        CurrentPrinter::setSystemForTest(QStringList{});
        CurrentPrinter::setName(printer);
        m_dialogs->shown.clear();
        m_dialogs->answers = {Answer::Ok};
        control<QPushButton>(&w, "B2(0)")->click();
        CurrentPrinter::setSystemForTest(std::nullopt);
        return {m_dialogs->shown, QDir(folder).entryList(QDir::Files, QDir::Name)};
    }

private slots:
    void initTestCase() {
        QVERIFY(m_out.isValid());
        ProgramExit::throwOnEnd();
        m_dialogs = ScriptedDialogs::install();
        Session::reset();
        Session::current().rightFlags[966] = true;
        Session::current().printerReady = true;
        Session::current().staffName = "王大明";
        Clock::setFixed(QDateTime(QDate(2026, 12, 5), QTime(10, 0)));
        for (const char* builtIn : {"PDF", "Excel", "CSV"})
            UserSettings::save("Zq2000", "Printer", builtIn, "1");
        m_demo = std::make_unique<DemoFolder>();
        m_db = std::make_shared<EmbeddedDatabase>(m_demo->database());
        Connections::setFactory([db = m_db](const QString&) { return db; });
        SqliteConnection& sql = m_db->connection();
        const char* insert =
            "INSERT INTO Asset (ACODE, ANAME, ACOD1, ADAT1, ATOTA, ATOT1, AYEAR, ATOT2, ATOT3, "
            "ATOT4, ATOT5, ASELL, ADAT2) VALUES (?1, ?2, '1441', '115.01.01', ?3, 0, 120, 0, "
            "?4, 0, ?3, 0, '')";
        sql.transaction([&] {
            sql.exec(insert, {Apostrophe, Name, LargestAmount, 8333333333.325});
            sql.exec(insert, {Digits, "辦公桌", 36000.0, 300.0});
            for (const char* date : {"115.01.31", "115.02.28"})
                sql.exec("INSERT INTO Assets (ACODE, ADATE, ATOTA, ASOUR) VALUES (?1, ?2, ?3, '')",
                         {Apostrophe, date, 8333333333.33});
        });
    }
    void cleanupTestCase() {
        Connections::closeAll();
        m_db.reset();
    }

    // The whole register in two amount formats: the workbook's rows are the printed lines
    // (texts as text, numbers in their formats), under the title, the criteria and the frozen
    // header; columns as wide as their cells. The CSV file holds the same fields, numbers
    // without grouping. A second command takes "(2)"; a folder that cannot be made is said.
    void summaryOnBothPrinters() {
        SummaryReport w;
        w.show();
        w.runQuery();
        const int rows = int(m_db->connection().scalar("SELECT COUNT(*) FROM Asset").toInt());
        QVERIFY(rows > 35);
        const int pages = (rows + 34) / 35;
        const QStringList said{
            QString("共有 %1 筆資料,共需 %2 頁,確定要列印?").arg(rows).arg(pages),
            "資料列印完畢!"};
        const QStringList header{"財產編號", "財產名稱", "會計科目", "取得日期",
                                 "取得原價", "預留殘值", "耐用月數", "每期攤提金額",
                                 "累計折舊金額", "剩餘使用價值", "售出", "售出日期"};
        for (const auto& [decimals, format] : {std::pair{"2", "#,##0.00"}, {"0", "#,##0"}}) {
            Session::current().amountDecimals = decimals;
            RecordingDevice paper;
            w.printOn(paper, pages);
            const QList<QStringList> lines = printedLines(
                paper.operations, [](double y) { return y >= 1730 && int(y - 1500) % 230 == 0; });
            QCOMPARE(lines.size(), rows);
            const QString folder = m_out.filePath(QString("summary-%1").arg(decimals));

            const auto [shown, files] = press(w, CurrentPrinter::excelPrinterName(), folder);
            QCOMPARE(shown, said);
            QCOMPARE(files, QStringList{"固定資產總表 20261205-100000.xlsx"});
            const Workbook book = Workbook::read(folder + '/' + files[0]);
            QVERIFY2(book.error.isEmpty(), qPrintable(book.error));
            QCOMPARE(book.sheetName, QString("固定資產總表"));
            QCOMPARE(book.shown(0), QStringList{"固定資產總表"});
            QCOMPARE(book.shown(1), QStringList{"財產編號:~ 取得日期:~"});
            QCOMPARE(book.shown(2), header);
            QCOMPARE(book.frozenRows, 3);
            QCOMPARE(book.rows.size(), rows + 3);
            for (int r = 0; r < rows; ++r) QCOMPARE(book.shown(r + 3, 12), lines[r]);
            QVERIFY(book.inlineStrings);  // written row by row
            // Codes stay text, numbers are numbers: whole ones in "#,##0", amounts rounded as
            // printed in the session's format.
            const auto rowOf = [&](const QString& code) {
                for (const auto& cells : book.rows)
                    if (!cells.isEmpty() && cells[0].text == code) return cells;
                return QList<SheetCell>{};
            };
            const QList<SheetCell> largest = rowOf(Apostrophe), digits = rowOf(Digits);
            QCOMPARE(largest.value(1).text, Name);
            QCOMPARE(QList<bool>({largest[0].number, largest[3].number, largest[4].number,
                                  largest[6].number, largest[7].number, digits[0].number}),
                     QList<bool>({false, false, true, true, true, false}));
            QCOMPARE(largest[4].value, LargestAmount);
            QCOMPARE(largest[4].format, QString("#,##0"));
            QCOMPARE(largest[6].value, 120.0);
            QCOMPARE(largest[7].format, QString(format));
            QCOMPARE(largest[7].value, decimals == QString("2") ? 8333333333.33 : 8333333333.0);
            QCOMPARE(largest[9].value, LargestAmount);
            // Each column as wide as its widest cell: the name's 隔間,"L"型櫃 is 12 wide.
            QCOMPARE(book.widths.size(), header.size());
            QVERIFY2(book.widths[1] >= 12 && book.widths[4] >= 15 && book.widths[9] >= 15 &&
                         book.widths[10] < 10,
                     qPrintable(QString::number(book.widths[1])));

            const auto [csvShown, csvFiles] = press(w, CurrentPrinter::csvPrinterName(), folder);
            QCOMPARE(csvShown, said);
            QCOMPARE(csvFiles, QStringList({"固定資產總表 20261205-100000.csv", files[0]}));
            const CsvFile csv = CsvFile::read(folder + '/' + csvFiles[0]);
            QVERIFY2(csv.error.isEmpty(), qPrintable(csv.error));
            QCOMPARE(csv.rows.size(), rows + 3);
            QCOMPARE(csv.rows[0], QStringList{"固定資產總表"} + QStringList(11, ""));
            QCOMPARE(csv.rows[2], header);
            for (int r = 0; r < rows; ++r) {
                QStringList expected = lines[r];
                for (int c = 4; c <= 9; ++c) expected[c].remove(',');
                QCOMPARE(csv.rows[r + 3], expected);
            }
            const QString amount = decimals == QString("2") ? "8333333333.33" : "8333333333";
            QVERIFY(csv.bytes.contains("\r\nMC'001,\"隔間,\"\"L\"\"型櫃\",1441,115.01.01,"
                                       "999999999999,0,120," +
                                       amount.toUtf8() + ","));
            QVERIFY(csv.bytes.contains("\r\n0012,辦公桌,1441,"));
        }
        Session::current().amountDecimals = "2";
        const QString folder = m_out.filePath("summary-2");
        const auto [again, files] = press(w, CurrentPrinter::excelPrinterName(), folder);
        QCOMPARE(again, said);
        QVERIFY(files.contains("固定資產總表 20261205-100000 (2).xlsx"));
        QCOMPARE(Workbook::read(folder + "/固定資產總表 20261205-100000 (2).xlsx").rows.size(),
                 rows + 3);
        QTemporaryFile notAFolder;
        QVERIFY(notAFolder.open());
        const QString refused = notAFolder.fileName() + "/sheets";
        QCOMPARE(press(w, CurrentPrinter::csvPrinterName(), refused).first,
                 (QStringList{said[0], "檔案無法寫入,請檢查資料夾!\n" +
                                           QDir::toNativeSeparators(
                                               refused + "/固定資產總表 20261205-100000.csv")}));
    }

    // Four assets, the apostrophe's first: each one's head (three lines of a caption and its
    // value, twice) and then its schedule lines, as on paper, in the workbook and the CSV file.
    void detailOnBothPrinters() {
        DetailReport w;
        w.show();
        w.criteria(0)->setText(Apostrophe);
        w.criteria(1)->setText("MC0003");
        w.runQuery();
        const int pages = w.countPages();
        RecordingDevice paper;
        w.printOn(paper, pages);
        // The paper's lines: a page's head (repeated on each page of an asset: taken once) and
        // the schedule's lines.
        const QList<QStringList> heads =
            printedLines(paper.operations, [](double y) { return y == 1440 || y == 1670 || y == 1900; });
        const QList<QStringList> all = printedLines(paper.operations, [](double y) {
            return y == 1440 || y == 1670 || y == 1900 || (y >= 2400 && int(y - 2170) % 230 == 0);
        });
        QList<QStringList> expected;
        QList<QStringList> lastHead;
        for (qsizetype i = 0; i < all.size();) {
            const QList<QStringList> head = all.mid(i, 3);
            QVERIFY(heads.contains(head[0]));
            i += 3;
            if (head != lastHead) expected += head;
            lastHead = head;
            while (i < all.size() && !heads.contains(all[i])) expected << all[i++];
        }
        QCOMPARE(expected.value(0), (QStringList{"財產編號:" + Apostrophe, "財產名稱:" + Name}));
        QCOMPARE(expected.value(1).mid(0, 2), (QStringList{"取得原價:", "999,999,999,999"}));
        QCOMPARE(expected.value(3), (QStringList{"115.01.31", "8,333,333,333.33",
                                                  "0.00", "999,999,999,999.00"}));
        const QStringList said{QString("共有 4 筆資料,共需 %1 頁,確定要列印?").arg(pages),
                               "資料列印完畢!"};
        const QString folder = m_out.filePath("detail");
        const auto [shown, files] = press(w, CurrentPrinter::excelPrinterName(), folder);
        QCOMPARE(shown, said);
        const Workbook book = Workbook::read(folder + "/固定資產明細表 20261205-100000.xlsx");
        QVERIFY2(book.error.isEmpty(), qPrintable(book.error));
        QCOMPARE(book.shown(2), (QStringList{"攤提日期", "攤提金額", "累計攤提金額", "未攤提金額"}));
        QCOMPARE(book.frozenRows, 3);
        // A head line on paper: a caption and its text as one, a caption and its number apart.
        QList<QStringList> inBook;
        for (int r = 3; r < book.rows.size(); ++r) {
            const QStringList cells = book.shown(r);
            if (!cells.value(0).endsWith(':')) {
                inBook << cells;
                continue;
            }
            QStringList head;
            for (int c = 0; c < 4; c += 2) {
                if (book.rows[r].value(c + 1).number)
                    head << cells[c] << cells[c + 1];
                else
                    head << cells[c] + cells.value(c + 1);
            }
            inBook << head;
        }
        QCOMPARE(inBook, expected);
        QCOMPARE(book.rows[3][1].text, Apostrophe);
        QCOMPARE(book.rows[4][1].value, LargestAmount);

        const auto [csvShown, csvFiles] = press(w, CurrentPrinter::csvPrinterName(), folder);
        QCOMPARE(csvShown, said);
        const CsvFile csv = CsvFile::read(folder + "/固定資產明細表 20261205-100000.csv");
        QVERIFY2(csv.error.isEmpty(), qPrintable(csv.error));
        QCOMPARE(csv.rows.size(), book.rows.size());
        for (int r = 3; r < book.rows.size(); ++r) {
            QStringList cells = book.shown(r);
            for (QString& c : cells)
                if (c.contains(QRegularExpression("^-?[0-9,.]+$"))) c.remove(',');
            while (cells.size() < 4) cells << QString();
            QCOMPARE(csv.rows[r], cells);
        }
        QVERIFY(csv.bytes.contains("\r\n財產編號:,MC'001,財產名稱:,\"隔間,\"\"L\"\"型櫃\"\r\n"));
    }

    // The progress line counts the rows into the pages they take on paper: 35 a page in the
    // summary; in the detail each asset from a page of its own, 40 lines a page.
    void progressAsOnPaper() {
        SummaryReport summary;
        summary.show();
        summary.runQuery();
        ResultSet list{{"財產編號"}, {}};
        for (int i = 0; i < 71; ++i) list.rows << QVariantList{QString::number(i)};
        ProgressAtRows rows;
        SummaryReport::writeTable(rows, list, QString(), 3);
        QCOMPARE(QStringList({rows.shown[0], rows.shown[34], rows.shown[35], rows.shown[70]}),
                 (QStringList{"目前進度：第 1 頁，共 3 頁", "目前進度：第 1 頁，共 3 頁",
                              "目前進度：第 2 頁，共 3 頁", "目前進度：第 3 頁，共 3 頁"}));
        DetailReport detail;
        detail.show();
        detail.criteria(0)->setText(Apostrophe);
        detail.criteria(1)->setText("MC0003");
        detail.runQuery();
        const int pages = detail.countPages();
        RecordingDevice paper;
        detail.printOn(paper, pages);
        // The page of each schedule line on paper: the page header's last before it.
        QStringList onPaper;
        QString page;
        for (const Op& op : paper.texts()) {
            if (op.text.startsWith("第 ")) page = "目前進度：" + op.text;
            if (op.y >= 2400 && int(op.y - 2170) % 230 == 0 && op.x == 2700) onPaper << page;
        }
        ProgressAtRows table;
        detail.writeTable(table, pages);
        QVERIFY(onPaper.size() > 40);
        QCOMPARE(table.shown, onPaper);
    }

    // The board's notices: the printed captions, every text whole (not cut to its column).
    void boardOnBothPrinters() {
        ResultSet notices{{"FBEGD", "FEND", "FDEPNO", "FUSER", "FSNAM", "FDATE", "FDATA"}, {}};
        const QString longText = QString(40, QChar(0x516C));  // 80 bytes of Big5
        notices.rows << QVariantList{"115.12.01", "115.12.31", "", "ADM", "王大明", "115.11.30",
                                     longText}
                     << QVariantList{"115.12.02", "115.12.09", "02", "LEE", "李志明", "115.12.01",
                                     "搬遷,請見\"公告\""};
        for (const auto format : {SheetDevice::Format::Excel, SheetDevice::Format::Csv}) {
            const QString folder = m_out.filePath("board");
            qputenv("ZQFU_SHEET_DIR", QFile::encodeName(folder));
            SheetDevice device(BoardReport::Title, format);
            BoardReport::writeTable(*device.table(), notices, 1);
            device.finish();
            QVERIFY(!device.failed());
            const QString file = device.writtenFiles().value(0);
            QStringList rows;
            if (format == SheetDevice::Format::Excel) {
                const Workbook book = Workbook::read(file);
                for (int r = 0; r < book.rows.size(); ++r) rows << book.shown(r).join('|');
            } else {
                const CsvFile csv = CsvFile::read(file);
                QVERIFY2(csv.error.isEmpty(), qPrintable(csv.error));
                for (QStringList row : csv.rows) {
                    while (!row.isEmpty() && row.last().isEmpty()) row.removeLast();
                    rows << row.join('|');
                }
            }
            QCOMPARE(rows, (QStringList{"公佈欄", "",
                                        "生效日期|失效日期|部門|建 檔 人|公 告 人|建檔日期|公 告 內 容",
                                        "115.12.01|115.12.31||ADM|王大明|115.11.30|" + longText,
                                        "115.12.02|115.12.09|02|LEE|李志明|115.12.01|搬遷,請見\"公告\""}));
        }
    }
};

QTEST_MAIN(TestSheetPrinters)
#include "tst_sheetprinters.moc"
