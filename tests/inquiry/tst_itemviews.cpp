// The inquiry's item entry, statistics and description views and the branch-stock variant on a
// small embedded database with a sister company and the group's central database beside it.
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QCheckBox>
#include <QClipboard>
#include <QTextBlock>
#include <QtTest>

#include "../Controls.h"
#include "../common/FakeDatabase.h"
#include "../shell/ScriptedDialogs.h"
#include "Backends.h"
#include "Clock.h"
#include "EmbeddedDatabase.h"
#include "InquiryWindow.h"
#include "PiecedTextEdit.h"
#include "Session.h"
#include "SqliteConnection.h"
#include "SuiteSchema.h"

namespace {
const QByteArray Head =
    "<!DOCTYPE html><html><head><meta http-equiv='Content-Type' "
    "content='text/html; charset=big5'></head><body>";
const QByteArray Tail = "</body></html>";
}  // namespace

class ItemViewsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_sent;
    ScriptedDialogs* m_dialogs = nullptr;
    std::unique_ptr<InquiryWindow> m_window;

    // The statements that the action sends.
    QStringList sentBy(const std::function<void()>& action) {
        const qsizetype from = m_sent.size();
        action();
        return m_sent.mid(from);
    }
    template <class T>
    T* find(const char* name) {
        return control<T>(m_window.get(), QString::fromLatin1(name));
    }
    QLineEdit* field(const char* name) { return find<QLineEdit>(name); }

    void openWindow(bool variant = false, bool sisterStock = false) {
        m_window.reset();
        Session::reset();
        Session& s = Session::current();
        s.sessionOpen = true;
        s.defaultStore = "01";
        s.dbName = "MAIN";
        s.amountDecimals = "2";
        for (int r : {57, 353, 355, 367, 926, 934, 1306}) s.rightFlags[r] = true;
        s.switches.branchStockVariant = variant;
        s.switches.branchStockQuery = sisterStock;
        s.group.central.key = "Central";
        s.group.central.database = "ZqCentral";
        s.group.centralAccount = "A123456789012Z";
        m_dialogs = ScriptedDialogs::install();
        m_window = std::make_unique<InquiryWindow>();
        m_window->open();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_window->positionList("A001", false);
    }

private slots:
    void initTestCase() {
        const auto create = [&](const char* file, bool schema, const char* rows) {
            SqliteConnection db(m_dir.filePath(file), SqliteConnection::OpenMode::Create);
            if (schema) SuiteSchema::create(db);
            db.script(QString::fromUtf8(rows));
        };
        // Items A001 to A020, A003 with a bar code.
        create("MAIN.zqdb", true,
               "WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < 20) "
               "INSERT INTO ITEM (ICODE, INAME, ISOUR, ISPACE) SELECT printf('A%03d', I), "
               "printf('品名%03d', I), 1, printf('<b>規格%03d</b>', I) FROM N;"
               "INSERT INTO ITEM1 (ICODE1, ENA13) SELECT ICODE, IIF(ICODE = 'A003', "
               "'0004710000025', '') FROM ITEM;"
               "INSERT INTO ITEM3 (ICODE3, STOPSALE) SELECT ICODE, 0 FROM ITEM;"
               "INSERT INTO ITYP (ITYPE, ITCOD, ITNAM) VALUES ('1', '01', '總倉');"
               "INSERT INTO VISEIN (VCOD1, VSEQ, VICOD, VUNIT) VALUES ('11401010001', 1, 'A001', "
               "90), ('11402010001', 1, 'A001', 100);"
               "INSERT INTO HISTIN (HCOD1, HSEQ, HDAT1, HICOD, HINUM) VALUES "
               "('11412030001', 1, '115.12.03', 'A001', 1200);");
        create("ZqPro4.zqdb", true,
               "INSERT INTO STOC (SITEM, STCOD, SNUMB) VALUES ('A001', '001', 5);");
        create("ZqCentral.zqdb", false,
               "CREATE TABLE VNACCT (VACCT TEXT PRIMARY KEY, VANAM TEXT);"
               "CREATE TABLE VNSTOC (VACCT TEXT, VBRNO TEXT, VBNAM TEXT, VICOD TEXT, VSNUM REAL,"
               " VDATE TEXT);"
               "INSERT INTO VNACCT VALUES ('A123456789012Z', '');"
               "INSERT INTO VNSTOC VALUES ('A123456789012Z', 'ZqPro4', '台北分公司', 'A001', "
               "5, '115.12.06'), ('A123456789012Z', 'ZqPro2', '高雄分公司', 'A001', 8, "
               "'115.12.06');");
        Clock::setFixed(QDateTime(QDate(2026, 12, 6), QTime(9, 0)));  // a Sunday
        const auto embedded = MakeConnectionFactory(
            m_dir.path(), LocalSettings{QString("embedded"), {}, {}, QString("MAIN")});
        // Every statement on its way to the database it names.
        Connections::setFactory([this, embedded](const QString& text) {
            auto recording = std::make_shared<FakeDatabase>();
            recording->answer = [this, db = embedded(text)](const QString& t) {
                m_sent << t;
                return db->execute(t);
            };
            return recording;
        });
    }

    void cleanupTestCase() {
        m_window.reset();
        Connections::setFactory({});
        QFile::remove(QDir(QCoreApplication::applicationDirPath()).filePath("Html.htm"));
    }

    // A ten-digit bar code found by the padded EAN-13; "確定" positions the list with key 13.
    void itemEntry() {
        openWindow();
        m_window->pressMode(0);
        QLineEdit* code = field("T1(0)");
        QVERIFY(code->hasFocus());
        QTest::keyClicks(code, QString("4710000025"));
        QCOMPARE(sentBy([&] { QTest::keyClick(code, Qt::Key_Return); }),
                 (QStringList{"SF_ZQ2K_ITEM_ALL '4710000025','',0",
                              "select * from item where icode = '4710000025'",
                              "select * from item where icode = (select top 1 icode1 from item1 "
                              "where ena13 = right('000' + '4710000025' ,13)order by icode1)"}));
        QCOMPARE(code->text(), QString("A003"));
        QCOMPARE(field("T1(1)")->text(), QString("品名003"));
        QVERIFY(field("T1(1)")->hasFocus());
        QTest::keyClick(field("T1(1)"), Qt::Key_Return);
        QVERIFY(find<QPushButton>("B2(0)")->hasFocus());
        QCOMPARE(
            sentBy([&] { QTest::keyClick(find<QPushButton>("B2(0)"), Qt::Key_Return); }).mid(0, 2),
            (QStringList{"SELECT TOP 2 ICODE,INAME FROM ITEM WHERE ICODE = 'A003' ORDER BY "
                         "ICODE",
                         "EXEC SP_F8 'DG1','True2',13,'01','','A003','',0,1,''"}));
        QCOMPARE(m_window->highlightedItem(), QString("A003"));
        QVERIFY(find<QTableView>("DG1")->hasFocus());
        // By name; an unknown name says so and keeps the frame. The list's options now 1 and 0:
        // the code list's pages pass them on.
        find<QCheckBox>("Chk1(0)")->setChecked(true);
        find<QCheckBox>("Chk1(1)")->setChecked(false);
        m_window->pressMode(0);
        field("T1(1)")->setText(QString("沒有'這個"));
        QTest::keyClick(find<QPushButton>("B2(0)"), Qt::Key_Return);
        QCOMPARE(m_dialogs->shown, QStringList{"查無相關產品資料"});
        QVERIFY(m_sent.contains(
            "SELECT TOP 2 ICODE,INAME FROM ITEM WHERE INAME = '沒有''這個' ORDER BY ICODE"));
        QVERIFY(code->hasFocus());
        // F2 lists the codes, the page keys page them through the list procedure, Enter takes one.
        field("T1(1)")->clear();
        QTest::keyClicks(code, QString("A0"));
        QCOMPARE(sentBy([&] { QTest::keyClick(code, Qt::Key_F2); }).value(0),
                 "SELECT TOP 15 ICODE,INAME,INUMB,ICONS FROM ITEM WHERE ICODE Like 'A0%' ORDER BY "
                 "ICODE");
        QTableView* dg2 = find<QTableView>("DG2");
        QVERIFY(dg2->hasFocus());
        QCOMPARE(sentBy([&] { QTest::keyClick(dg2, Qt::Key_PageDown); }),
                 QStringList{"EXEC SP_F8 'DG2','True',34,'01','','','A015',1,0,'A0%'"});
        QCOMPARE(dg2->currentIndex().row(), 14);
        QCOMPARE(dg2->model()->index(14, 0).data().toString(), QString("A020"));
        QTest::keyClick(dg2, Qt::Key_Return);
        QCOMPARE(code->text(), QString("A020"));
        QVERIFY(code->hasFocus());
        // Without 367 and 934 the pages carry the flag False and the user's own warehouse.
        Session::current().rightFlags[367] = Session::current().rightFlags[934] = false;
        code->setText(QString("A0"));
        QTest::keyClick(code, Qt::Key_F2);
        QCOMPARE(sentBy([&] { QTest::keyClick(dg2, Qt::Key_PageDown); }),
                 QStringList{"EXEC SP_F8 'DG2','False',34,'01','01','','A015',1,0,'A0%'"});
        QTest::keyClick(dg2, Qt::Key_Escape);
        QVERIFY(code->hasFocus());
        // Esc goes back a field, from the first to the buttons, and from a button out.
        QTest::keyClick(code, Qt::Key_Escape);
        QVERIFY(find<QPushButton>("B2(0)")->hasFocus());
        QTest::keyClick(find<QPushButton>("B2(0)"), Qt::Key_Escape);
        QVERIFY(find<QTableView>("DG1")->hasFocus());
    }

    // The counts each in its field; the page file in Big5, a character Big5 lacks as a reference.
    void statisticsAndDescription() {
        openWindow();
        QCOMPARE(sentBy([&] { m_window->pressMode(18); }),
                 QStringList{"SF_ZQ2K_ITEM_COUNTS 'A001'"});
        QStringList values;
        for (int i = 0; i < 15; ++i) values << field(qPrintable(QString("T5(%1)").arg(i)))->text();
        QCOMPARE(values.join(u' '), QString("1,200 1,200 0 1,200 0 0 0 0 0 0 0 0 0 0 0"));
        m_window->pressMode(20);
        auto* t7 = find<QPlainTextEdit>("T7");
        QCOMPARE(t7->toPlainText(), QString("<b>規格001</b>"));
        const QString page = QDir(QCoreApplication::applicationDirPath()).filePath("Html.htm");
        const auto written = [&page] {
            QFile f(page);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        QCOMPARE(written(), Head + "<b>\xB3W\xAE\346001</b>" + Tail);
        t7->setPlainText(QString("<p>丟\U0001F600</p>"));
        QCOMPARE(written(), Head + "<p>\xA5\xE1&#128512;</p>" + Tail);
        auto* view = find<QTextBrowser>("WebBrowser");
        QCOMPARE(view->toPlainText(), QString("丟\U0001F600"));
        // Files of the folder only: nothing comes from the network (a byte that is no image).
        QCOMPARE(view->loadResource(QTextDocument::ImageResource,
                                    QUrl(QString("http://127.0.0.1/a.png")))
                     .toByteArray()
                     .size(),
                 1);
        QCOMPARE(view->loadResource(QTextDocument::HtmlResource, QUrl::fromLocalFile(page))
                     .toByteArray()
                     .size(),
                 written().size());
        QTest::keyClick(find<QPushButton>("B7"), Qt::Key_Return);
        QVERIFY(!t7->isVisible());
        QVERIFY(find<QPushButton>("B1(20)")->hasFocus());
    }

    // The variant: P corrects the cost or asks the sisters, Z shows the group's central stock.
    void branchStockVariant() {
        openWindow(true);
        QCOMPARE(find<QPushButton>("B1(10)")->text(), QString("P 成本校正"));
        // The cost becomes the last purchase price.
        QCOMPARE(sentBy([&] { m_window->pressMode(10); }).mid(0, 2),
                 (QStringList{"Select Top 1 vunit From Visein where vicod = 'A001' order by "
                              "vcod1 desc",
                              "Select * From item Where Icode = 'A001'"}));
        QCOMPARE(m_dialogs->shown, QStringList{"成本校正成  100"});
        EmbeddedDatabase check(m_dir.filePath("MAIN.zqdb"), EmbeddedDatabase::OpenMode::Existing);
        QCOMPARE(check.execute("SELECT ISOUR FROM ITEM WHERE ICODE = 'A001'")[0].rows[0][0], 100);
        m_window->positionList("A002", false);
        m_window->pressMode(10);
        QCOMPARE(m_dialogs->shown.last(), QString("沒有最後一次進貨紀錄,無法校正"));
        // The group's central stock in its own grid over the list.
        m_window->positionList("A001", false);
        QCOMPARE(sentBy([&] { m_window->pressMode(23); }),
                 QStringList{"EXEC SF_ZQ2K_VNNET_STOC 'A123456789012Z','A001'"});
        QTableView* dgz = find<QTableView>("DGZ");
        QVERIFY(dgz->hasFocus());
        QCOMPARE(dgz->model()->index(0, 1).data().toString(), QString("高雄分公司"));
        QTest::keyClick(dgz, Qt::Key_Escape);
        QVERIFY(find<QPushButton>("B1(23)")->hasFocus());
        Session::current().group.centralAccount.clear();
        m_window->pressMode(23);
        QCOMPARE(m_dialogs->shown.last(), QString("尚未設定集團總部資料庫,無法查詢全省庫存"));
        // The other choice of P: the sisters' stock, the missing ones with the fallbacks.
        openWindow(true, true);
        QCOMPARE(find<QPushButton>("B1(10)")->text(), QString("P 全省查詢"));
        m_window->pressMode(10);
        QCOMPARE(
            m_dialogs->shown,
            QStringList{"查詢產品代號/名稱 :A001/品名001\n　台北庫存:  5\n　公益庫存:  無此代號"
                        "\n　台中庫存:  無此代號\n　高雄庫存:  無此代號\n　採購預定日:  沒有採購"});
    }

    // A line of megabytes is held in pieces of a block each: the text reads back as it was
    // set, and keys and pastes change it as they would change one long line.
    void longLinesInPieces() {
        const qsizetype piece = PiecedTextEdit::PieceLength;
        PiecedTextEdit edit;
        const QString along = QString(3 * piece + 5, u'A');
        // A character of two halves where a piece would end stays whole.
        const QString halves = QString(piece - 1, u'x') + QString::fromUtf8("😀") + "y";
        const QString set = "head\r\n" + along + "\rmid\n" + halves + "\n\ntail";
        QString text = "head\n" + along + "\nmid\n" + halves + "\n\ntail";
        edit.setText(set);
        QCOMPARE(edit.text(), text);
        QCOMPARE(edit.document()->blockCount(), 1 + 4 + 1 + 2 + 1 + 1);
        for (QTextBlock b = edit.document()->begin(); b.isValid(); b = b.next()) {
            QVERIFY(b.length() - 1 <= piece);
            QVERIFY(!b.text().endsWith(QChar(0xD83D)));
        }
        const auto at = [&](int block, int offset) {
            QTextCursor c(edit.document());
            c.setPosition(edit.document()->findBlockByNumber(block).position() + offset);
            edit.setTextCursor(c);
        };
        const qsizetype second = 5 + piece;  // the long line's second piece in the text
        // Enter (also with Shift) inside a piece ends the line there, Backspace joins it again.
        for (const auto modifiers : {Qt::NoModifier, Qt::ShiftModifier}) {
            at(2, 10);
            QTest::keyClick(&edit, Qt::Key_Return, modifiers);
            QCOMPARE(edit.text(), QString(text).insert(second + 10, u'\n'));
            QTest::keyClick(&edit, Qt::Key_Backspace);
            QCOMPARE(edit.text(), text);
        }
        // Backspace at a piece's start and Delete at its end take a character, not the break.
        at(2, 0);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        text.remove(second - 1, 1);
        QCOMPARE(edit.text(), text);
        at(1, int(piece) - 1);
        QTest::keyClick(&edit, Qt::Key_Delete);
        text.remove(second - 1, 1);
        QCOMPARE(edit.text(), text);
        // Typed into a piece, the text goes where it was typed; undone, it is gone again.
        at(3, 1);
        QTest::keyClicks(&edit, "zq");
        QCOMPARE(edit.text(), QString(text).insert(second - 2 + piece + 1, "zq"));
        edit.undo();
        QCOMPARE(edit.text(), text);
        // Pasted lines inside a piece: the pasted line ends are line ends, the rest goes on.
        const QString pasted = "p1\n" + QString(piece + 3, u'P') + "\r\np3";
        at(2, 7);
        QGuiApplication::clipboard()->setText(pasted);
        edit.paste();
        QCOMPARE(edit.text(),
                 QString(text).insert(second - 1 + 7, QString(pasted).replace("\r\n", "\n")));
        // A text of short lines is the document's own.
        edit.setText("short\r\nlines\n");
        QCOMPARE(edit.document()->blockCount(), 3);
        QCOMPARE(edit.text(), QString("short\nlines\n"));
    }
};

QTEST_MAIN(ItemViewsTest)
#include "tst_itemviews.moc"
