// The bulletin board as a clerk uses it, keys only from the main menu: add, change, copy,
// delete, print and list, a second workstation changing the board meanwhile, the broadcast to
// the demo group; and start-up as every demo user the README names.
#include <QComboBox>
#include <QFile>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>

#include "../Controls.h"
#include "../reports/PdfPages.h"
#include "../reports/SheetFiles.h"
#include "BoardRules.h"
#include "FieldBox.h"
#include "TaskHarness.h"
#include "Values.h"

class TestBoardTasks : public QObject {
    Q_OBJECT
    std::unique_ptr<TaskHarness> m_task;
    QTemporaryDir m_pdf;
    QTemporaryDir m_sheets;
    const QString m_today = DateToRoc(QDate::currentDate());

    bool walk(const QString& steps) { return m_task->walk(steps); }
    QTableView* dg12() const { return control<QTableView>(m_task->mdi.get(), "DG12"); }
    // The notices stored with a text, as "FSEQ|FBEGD|FEND|FSNAM|FDATA|FDEPNO|FUSER".
    QStringList stored(const QString& text) const {
        return m_task->rows(
            "SELECT FSEQ, FBEGD, FEND, FSNAM, FDATA, FDEPNO, FUSER FROM F8DATA "
            "WHERE FDATA LIKE N'" +
            text + "%' ORDER BY FSEQ");
    }
    int noticeCount() const { return m_task->scalar("SELECT COUNT(*) FROM F8DATA").toInt(); }
    // Another workstation's call.
    QString other(const QString& call) const {
        const ResultSets sets = m_task->query(call);
        return sets.value(0).rows.value(0).value(0).toString();
    }
    // Types a text into the focused field after clearing it.
    bool retype(const QString& text) {
        return m_task->press(Qt::Key_A, Qt::ControlModifier) && m_task->press(Qt::Key_Delete) &&
               m_task->type(text);
    }
    // The board of the inquiry opened from the menu by F8 and K.
    bool openBoard() { return walk("F8 FF8/DG1, K FF8/DG12"); }

private slots:
    void initTestCase() {
        TASK_NEEDS_DISPLAY();
        qputenv("ZQFU_PDF_DIR", m_pdf.path().toUtf8());
        qputenv("ZQFU_SHEET_DIR", m_sheets.path().toUtf8());
        m_task = std::make_unique<TaskHarness>();
        QFile switches(m_task->folder.path() + "/ZqSwitch.ini");
        QVERIFY(switches.open(QIODevice::WriteOnly | QIODevice::Truncate));
        switches.write("[Switches]\nBoardBroadcast=1\n");
    }
    void init() { TASK_START(*m_task, "WANG"); }
    void cleanup() {
        const QString unread = m_task->finish();
        QVERIFY2(unread.isEmpty(), qPrintable(unread));
    }
    void cleanupTestCase() { m_task.reset(); }

    // Every user of the README's table starts the module and is who the table says.
    void everyDemoUserStarts() {
        QFile readme(QFINDTESTDATA("../../README.md"));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(readme.readAll());
        static const QRegularExpression row("^\\| `(\\w+)` \\| (\\S+) \\|",
                                            QRegularExpression::MultilineOption);
        int users = 0;
        for (auto it = row.globalMatch(text); it.hasNext(); ++users) {
            const auto m = it.next();
            const QString why = m_task->start(m.captured(1));
            QVERIFY2(why.isEmpty(), qPrintable(m.captured(1) + ": " + why));
            QCOMPARE(Session::current().staffName, m.captured(2));
        }
        QCOMPARE(users, 8);
    }

    // Add (with an 81-byte text cut to 80), change, copy to another department, delete: each
    // by keys, each checked in the stored rows, the keyboard on the board after every step.
    void addChangeCopyDelete() {
        QVERIFY(openBoard());
        const int before = noticeCount();
        const QString text = "Task notice " + QString(69, u'x');  // 81 bytes
        QVERIFY(walk("A FF8/T4(0), Return FF8/T4(1)"));
        QCOMPARE(control<FieldBox>(m_task->mdi.get(), "T4(0)")->text(), m_today);
        QVERIFY(m_task->type(m_today) && walk("Return FF8/T4(2)"));
        QVERIFY(m_task->type(m_today) && walk("Return FF8/T4(3)"));
        QVERIFY(m_task->type("王美華") && walk("Return FF8/T4(4)"));
        QVERIFY(m_task->type(text) && walk("Return FF8/T4(5), F3 FF8/DG12"));
        QStringList rows = stored("Task notice");
        QCOMPARE(rows.size(), 1);
        const QString seq = rows[0].section('|', 0, 0);
        QCOMPARE(
            rows[0],
            QStringList({seq, m_today, m_today, "王美華", text.left(80), "", "WANG"}).join('|'));
        QCOMPARE(noticeCount(), before + 1);
        QCOMPARE(dg12()->model()->index(0, 4).data().toString(), text.left(80));  // newest first

        // Change: the text, the same number.
        QVERIFY(
            walk("E FF8/T4(0), Return FF8/T4(1), Return FF8/T4(2), Return FF8/T4(3), "
                 "Return FF8/T4(4)"));
        QVERIFY(retype("Task notice changed") && walk("F3 FF8/DG12"));
        QCOMPARE(stored("Task notice"), QStringList{seq + '|' + m_today + '|' + m_today +
                                                    "|王美華|Task notice changed||WANG"});
        // Copy to department 02: a new number; to its own department refused, the fields kept.
        QVERIFY(walk("C FF8/T4(0), F3 FF8/T4(5)"));
        QCOMPARE(m_task->takeMessages(), QStringList{"部門代號重覆"});
        QVERIFY(m_task->type("02") && walk("F3 FF8/DG12"));
        rows = stored("Task notice changed");
        QCOMPARE(rows.size(), 2);
        QVERIFY(rows[1].section('|', 0, 0) > seq);
        QCOMPARE(rows[1].section('|', 5, 5), QString("02"));
        // Delete the copy (the newest, first on the list) after the question.
        m_task->dialogs->answers << Dialogs::Answer::Yes;
        QVERIFY(walk("D FF8/DG12"));
        QCOMPARE(m_task->takeMessages(),
                 QStringList{"確定刪除內容為:Task notice changed的公告資料"});
        QCOMPARE(stored("Task notice changed"), rows.mid(0, 1));
        // F5 gives up an edit and writes nothing; an empty text is refused.
        QVERIFY(
            walk("E FF8/T4(0), Return FF8/T4(1), Return FF8/T4(2), Return FF8/T4(3), "
                 "Return FF8/T4(4)"));
        QVERIFY(retype(" ") && walk("F3 FF8/T4(4)"));
        QCOMPARE(m_task->takeMessages(), QStringList{"欄位不可空白"});
        QVERIFY(walk("F5 FF8/DG12"));
        QCOMPARE(stored("Task notice changed"), rows.mid(0, 1));
        QCOMPARE(noticeCount(), before + 1);
        QVERIFY(walk("Esc FF8/B5(8), Return FF8/DG1, Esc FF8/B1(8), Return FU/But(0)"));
    }

    // Print to the Excel and the CSV printer, each chosen by F7: a row a listed notice.
    void printToSpreadsheets() {
        for (const auto& [printer, suffix] :
             {std::pair{CurrentPrinter::excelPrinterName(), "xlsx"},
              {CurrentPrinter::csvPrinterName(), "csv"}}) {
            QVERIFY(m_task->choosePrinter(printer));
            QVERIFY(openBoard());
            const int today = dg12()->model()->rowCount();
            QVERIFY(walk("P FF8/B5(4)"));
            QCOMPARE(m_task->takeMessages(),
                     QStringList({QString("共有 %1 筆資料,共需 1 頁,確定要列印?").arg(today),
                                  "資料列印完畢!"}));
            const QStringList files = QDir(m_sheets.path()).entryList({"公佈欄 *." + QString(suffix)});
            QCOMPARE(files.size(), 1);
            const QString file = m_sheets.filePath(files[0]);
            const QString first = dg12()->model()->index(0, 0).data().toString().trimmed();
            if (QString(suffix) == "xlsx") {
                const Workbook book = Workbook::read(file);
                QCOMPARE(book.rows.size(), today + 3);
                QCOMPARE(book.rows[3].value(0).text, first);
            } else {
                const CsvFile csv = CsvFile::read(file);
                QCOMPARE(csv.error, QString());
                QCOMPARE(csv.rows.size(), today + 3);
                QCOMPARE(csv.rows[3].value(0), first);
            }
            QVERIFY(walk("Esc FF8/B5(8), Return FF8/DG1, Esc FF8/B1(8), Return FU/But(0)"));
        }
    }

    // Print to the PDF printer chosen by F7, list all and back; the next key works after each.
    void printAndListAll() {
        QVERIFY(m_task->choosePrinter(CurrentPrinter::pdfPrinterName()));
        QVERIFY(openBoard());
        const int today = dg12()->model()->rowCount();
        QVERIFY(walk("P FF8/B5(4)"));
        const QStringList files = QDir(m_pdf.path()).entryList({"公佈欄 *.pdf"});
        QCOMPARE(files.size(), 1);
        QCOMPARE(m_task->takeMessages(),
                 QStringList({QString("共有 %1 筆資料,共需 1 頁,確定要列印?").arg(today),
                              "資料列印完畢!"}));
        QCOMPARE(PdfPages::read(m_pdf.filePath(files[0])).sheets.size(), 1);
        QVERIFY(walk("Esc FF8/B5(8), Left FF8/B5(5), Return FF8/B5(5)"));
        QCOMPARE(dg12()->model()->rowCount(), noticeCount());  // WANG holds 355
        QVERIFY(today < noticeCount());
        QVERIFY(walk("Return FF8/B5(5)"));
        QCOMPARE(dg12()->model()->rowCount(), today);
    }

    // A second workstation changes and deletes notices this one still lists: the stale change
    // and the stale delete are refused, and nothing is written.
    void staleChangeAndDelete() {
        using namespace BoardRules;
        const Fields mine{m_today, m_today, m_today, "王美華", "Stale notice", ""};
        const QString seq = other(addCall("ADM", mine));
        QCOMPARE(seq.size(), 8);
        QVERIFY(openBoard());
        QCOMPARE(dg12()->model()->index(0, 4).data().toString(), QString("Stale notice"));
        Fields theirs = mine;
        theirs[4] = "Changed elsewhere";
        QCOMPARE(other(editCall("ADM", seq, theirs)), seq);
        QVERIFY(
            walk("E FF8/T4(0), Return FF8/T4(1), Return FF8/T4(2), Return FF8/T4(3), "
                 "Return FF8/T4(4)"));
        QVERIFY(retype("Mine") && walk("F3 FF8/T4(0)"));
        QCOMPARE(m_task->takeMessages(), QStringList{NoticeChangedElsewhere});
        QCOMPARE(stored("Changed elsewhere").size(), 1);
        QCOMPARE(stored("Mine").size(), 0);
        QVERIFY(walk("F5 FF8/DG12"));
        // Deleted elsewhere after the list was read: the question, then the refusal.
        const int count = noticeCount();
        QCOMPARE(other(deleteCall(seq)), seq);
        m_task->dialogs->answers << Dialogs::Answer::Yes;
        QVERIFY(walk("D FF8/DG12"));
        QCOMPARE(m_task->takeMessages().value(1), NoticeChangedElsewhere);
        QCOMPARE(noticeCount(), count - 1);
        // A number is never given again, not even the deleted newest one.
        QVERIFY(other(addCall("ADM", mine)) > seq);
    }

    // "儲存 8VN" sends the current notice to the four companies of the demo group.
    void broadcastToTheDemoGroup() {
        QVERIFY(openBoard());
        const QString text = dg12()->model()->index(0, 4).data().toString();
        QVERIFY(walk("Esc FF8/B5(8), Right FF8/B5(9), Return FF8/B5(9)"));
        QCOMPARE(m_task->takeMessages(), QStringList{"共完成了 4 家公司之佈告欄更新"});
        for (const char* sister : {"ZqPro2", "ZqPro3", "ZqPro4", "ZqPro5"}) {
            EmbeddedDatabase db(m_task->folder.path() + '/' + sister + ".zqdb");
            const ResultSet notices = db.execute("SELECT FDATA FROM F8DATA")[0];
            QCOMPARE(notices.rows.size(), 1);
            QCOMPARE(notices.rows[0][0].toString(), text);
        }
    }

    // Without the board's rights the letters do nothing and the list keeps the keyboard.
    void withoutTheBoardsRights() {
        TASK_START(*m_task, "LIN");
        QVERIFY(walk("F8 FF8/DG1, K FF8/DG12"));
        const int before = noticeCount();
        QVERIFY(walk("A FF8/DG12, E FF8/DG12, D FF8/DG12, C FF8/DG12, P FF8/DG12, L FF8/DG12"));
        QCOMPARE(noticeCount(), before);
    }
};

TASK_MAIN(TestBoardTasks)

#include "tst_boardtasks.moc"
