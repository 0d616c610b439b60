// What any writer of the shared database may store, and the windows driven over it by keys: a
// notice naming a device, descriptions that name devices, shares and hosts or nest without end,
// a description of megabytes, and the page file Html.htm made a link or a FIFO. Nothing may
// crash, hang, or read or write outside the program's folder.
#include <sys/resource.h>
#include <sys/stat.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBrowser>

#include "BoardRules.h"
#include "ItemViews.h"
#include "PiecedTextEdit.h"
#include "SqliteConnection.h"
#include "TaskHarness.h"
#include "Values.h"

namespace {
const QString Item = QStringLiteral("MS0001");
const QString Device = QStringLiteral("<img src=\"file:///dev/zero\">");
QString htmlPath() { return QCoreApplication::applicationDirPath() + "/Html.htm"; }
QByteArray readPage() {
    QFile page(htmlPath());
    return page.open(QIODevice::ReadOnly) ? page.readAll() : QByteArray();
}

// A renderer that reads a device without end fails this program at 4 GB instead of taking the
// machine's memory (not under AddressSanitizer, which reserves far more address space).
#ifndef __SANITIZE_ADDRESS__
const bool g_capped = [] {
    const rlimit cap{rlim_t(4) << 30, rlim_t(4) << 30};
    return ::setrlimit(RLIMIT_AS, &cap) == 0;
}();
#endif
}  // namespace

class TestHostileTasks : public QObject {
    Q_OBJECT
    std::unique_ptr<TaskHarness> m_task;

    bool walk(const QString& steps) { return m_task->walk(steps); }
    // Stores a value as any writer of the database could, bound as a parameter.
    void store(const QString& sql, const QVariantList& values) {
        SqliteConnection db(m_task->folder.database(), SqliteConnection::OpenMode::Existing);
        db.exec(sql, values);
    }
    void describe(const QString& text) {
        store("UPDATE ITEM SET ISPACE = ?1 WHERE ICODE = ?2", {text, Item});
    }
    // The description page of the item, opened from the menu by keys.
    bool openDescription() {
        return walk("F8 FF8/DG1, F FF8/T1(0)") && m_task->type(Item) &&
               walk("Return FF8/T1(1), Return FF8/B2(0), Return FF8/DG1, E FF8/T7");
    }
    QTextBrowser* view() const { return m_task->shownControl<QTextBrowser>("FF8", "WebBrowser"); }

private slots:
    void initTestCase() {
        TASK_NEEDS_DISPLAY();
        m_task = std::make_unique<TaskHarness>();
    }
    void cleanup() {
        m_task->finish();  // the messages of stored texts are the tests' own to check
        QFile::remove(htmlPath());
    }
    void cleanupTestCase() { m_task.reset(); }

    // A notice naming a device, and one of 100,000 characters written past the board: the notice
    // line and the board's question show them as text, bounded; the module goes on.
    void noticesAreText() {
        const QString today = DateToRoc(QDate::currentDate());
        m_task->query(BoardRules::addCall("ADM", {today, today, today, "系統管理員", Device, ""}));
        store(
            "INSERT INTO F8DATA (FSEQ, FDATE, FBEGD, FEND, FDATA, FSNAM) VALUES "
            "('00009998', ?1, ?1, ?1, ?2, 'x')",
            {today, QString(100000, u'長')});
        TASK_START(*m_task, "ADM");
        auto* line = m_task->mdi->findChild<QLabel*>("L2");
        QVERIFY(line);
        QSet<QString> seen;
        for (int i = 0; i < 12 * 15 && seen.size() < 12; ++i) {
            seen.insert(line->text());
            QCOMPARE(line->textFormat(), Qt::PlainText);
            QVERIFY(line->text().size() <= 200);
            m_task->mdi->notices()->tick();
        }
        QVERIFY(seen.contains(Device));
        QVERIFY(seen.contains(QString(200, u'長')));
        // The board lists both; the question quotes the text as it is.
        QVERIFY(walk("F8 FF8/DG1, K FF8/DG12"));
        m_task->dialogs->answers << Dialogs::Answer::No;
        QVERIFY(walk("D FF8/DG12"));
        QCOMPARE(m_task->takeMessages().value(0).left(8), QString("確定刪除內容為:"));
    }

    // Descriptions that name a device, a share or a host, nest 3,000 tables deep, or run to
    // 2 MB: the page shows them, loads nothing outside the folder, and takes keys.
    void descriptionsLoadNothingOutside() {
        TASK_START(*m_task, "ADM");
        const QString nested = QString("<table><tr><td>").repeated(3000) + "x";
        const struct {
            QString text;
            bool markup;
        } cases[] = {{"<img src=\"/dev/zero\"><img src=\"file:///dev/zero\">", true},
                     {"<img src=\"file://host/share/x.png\"><img src=\"//host/y.png\">", true},
                     {"<img src=\"../../../../etc/passwd\"><img src=\"http://127.0.0.1/a\">", true},
                     {nested, false},
                     {QString(2 * 1024 * 1024, u'規'), false},
                     {QString(2 * 1024 * 1024, u'A'), false}};
        for (const auto& c : cases) {
            describe(c.text);
            QVERIFY(openDescription());
            QTRY_VERIFY(view());
            QCOMPARE(ItemViews::rendersAsMarkup(c.text), c.markup);
            // Shown as text, up to the page's bound (the file holds it all).
            if (!c.markup)
                QCOMPARE(view()->toPlainText(), c.text.left(ItemViews::MaxPlainPageChars));
            // A word of megabytes is wrapped anywhere, where finding its edges would hang.
            QCOMPARE(view()->wordWrapMode(), c.text.size() > 1024 ? QTextOption::WrapAnywhere
                                                               : QTextOption::WrapAtWordBoundaryOrAnywhere);
            // A line of megabytes is laid out in pieces, so that keys stay quick; keys go on
            // in a long or deep text, and the page follows when the typing pauses.
            auto* t7 = m_task->shownControl<PiecedTextEdit>("FF8", "T7");
            QVERIFY(t7->document()->blockCount() >= c.text.size() / PiecedTextEdit::PieceLength);
            QVERIFY(m_task->press(Qt::Key_End, Qt::ControlModifier) && m_task->type("zq"));
            QCOMPARE(t7->text(), c.text + "zq");
            QTRY_VERIFY(readPage().endsWith("zq</body></html>"));
            if (c.text.size() < ItemViews::MaxPlainPageChars)
                QVERIFY(view()->toPlainText().endsWith("zq"));
            QVERIFY(walk("Esc FF8/B1(20), Esc FF8/B1(8), Esc FU"));
        }
        const QString folder = QCoreApplication::applicationDirPath();
        const char* refused[] = {"/dev/zero",         "file:///dev/zero", "file://host/share/x.png",
                                 "//host/y.png",      "../../etc/passwd", "http://127.0.0.1/a.png",
                                 "file:///etc/passwd"};
        for (const char* name : refused)
            QVERIFY2(ItemViews::resourceFile(folder, QUrl(name)).isEmpty(), name);
        QFile own(folder + "/hostile-own.png");  // a small file of the folder's own loads
        QVERIFY(own.open(QIODevice::WriteOnly) && own.write("png") == 3);
        own.close();
        QVERIFY(!ItemViews::resourceFile(folder, QUrl("hostile-own.png")).isEmpty());
        own.remove();
    }

    // Html.htm made a link to a file elsewhere, a dangling link or a FIFO: the page is written
    // beside and renamed into place; nothing outside is written, nothing blocks.
    void pageFileIsNeverFollowed() {
        TASK_START(*m_task, "ADM");
        describe("<b>規格</b>");
        QTemporaryDir outside;
        const QString target = outside.filePath("target.txt");
        QFile kept(target);
        QVERIFY(kept.open(QIODevice::WriteOnly));
        kept.write("kept");
        kept.close();
        const std::function<bool()> plant[] = {
            [&] { return QFile::link(target, htmlPath()); },
            [&] { return QFile::link(outside.filePath("missing.txt"), htmlPath()); },
            [&] { return ::mkfifo(htmlPath().toUtf8().constData(), 0600) == 0; }};
        for (const auto& make : plant) {
            QFile::remove(htmlPath());
            QVERIFY(make());
            QVERIFY(openDescription());
            const QFileInfo page(htmlPath());
            QVERIFY(page.isFile() && !page.isSymLink());
            QVERIFY(QFile(htmlPath()).open(QIODevice::ReadOnly));
            QVERIFY(!QFile::exists(outside.filePath("missing.txt")));
            QVERIFY(walk("Esc FF8/B1(20), Esc FF8/B1(8), Esc FU"));
        }
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("kept"));
    }
};

TASK_MAIN(TestHostileTasks)

#include "tst_hostiletasks.moc"
