// The inquiry's lookups from a typed code by keys on a small embedded database: statements,
// messages, the salesman restriction on every page, and where the keyboard goes.
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "../Controls.h"
#include "../common/FakeDatabase.h"
#include "../shell/ScriptedDialogs.h"
#include "CodeLookups.h"
#include "EmbeddedDatabase.h"
#include "FieldBox.h"
#include "HistoryGrids.h"
#include "InquiryWindow.h"
#include "Session.h"
#include "SqliteConnection.h"
#include "SuiteSchema.h"
#include "UserSettings.h"

namespace {
// Customer C001 bought A001 to A009, two lines each (salesmen S001 and S002 in turn), and
// brought 17 repair orders of A001 and A002 (W0017 another salesman's, W0002 picked up); lot L1
// of A001 twice. In SQLite's words, numbered by a counting table.
const char* const Rows =
    "CREATE TEMP TABLE N AS WITH RECURSIVE C(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM C "
    "WHERE I < 18) SELECT I FROM C;"
    "INSERT INTO ITEM (ICODE, INAME) SELECT printf('A%03d', I), '品名' FROM N WHERE I <= 9;"
    "INSERT INTO ITEM1 (ICODE1) SELECT ICODE FROM ITEM;"
    "INSERT INTO ITEM3 (ICODE3) SELECT ICODE FROM ITEM;"
    "INSERT INTO HISTIN (HCOD1, HSEQ, HICOD, HINAM, HPCOD, HSCOD, HSNAM, HINUM) SELECT "
    "printf('1140301%04d', I - 1), 1, printf('A%03d', (I + 1) / 2), '品名', 'C001', "
    "IIF(I % 2, 'S001', 'S002'), IIF(I % 2, 'S001', 'S002'), 1 FROM N;"
    "INSERT INTO WORKER (WCOD2, WPCOD, WPNAM, WSC13, WICOD, WSTA1, WST12, WSTA2, WSTA4, WSTA6, "
    "WCOD6) SELECT printf('W%04d', I), 'C001', '大同', IIF(I = 17, 'S002', 'S001'), "
    "IIF(I % 2, 'A001', 'A002'), S, S, S, S, I = 2, IIF(I = 2, '11404050001', NULL) FROM "
    "(SELECT I, IIF(I = 1, 11, I % 4) AS S FROM N WHERE I <= 17);"
    "DROP TABLE N;"
    "INSERT INTO PART (PCODE, PNAM2) VALUES ('P001', '聯強');"
    "INSERT INTO CUST (CCODE, CNAM2) VALUES ('C001', '大同');"
    "INSERT INTO VISEIN (VCOD1, VSEQ, VDAT1, VICOD, VINAM, VPCOD, VPNAM, VINUM, VUNIT, "
    "VCOD1SEQ, VCOD1NUM) VALUES ('11401010001', 1, '114.01.01', 'A001', '品名0', 'P001', "
    "'聯強', 12, 80, 'L1', 5), ('11401020001', 1, '114.01.02', 'A001', '品名0', 'P001', "
    "'聯強', 3, 90, 'L1', 1);"
    "UPDATE ITEM1 SET ISOUR2 = 77.5 WHERE ICODE1 = 'A001';"
    "INSERT INTO REBACKM (RCOD1, RTAKE) VALUES ('11404050001', 1);";
}  // namespace

class LookupFramesTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<EmbeddedDatabase> m_db;
    std::shared_ptr<FakeDatabase> m_fake;
    ScriptedDialogs* m_dialogs = nullptr;
    std::unique_ptr<InquiryWindow> m_window;

    QStringList sentSince(int from) const { return m_fake->sent.mid(from); }
    // The statements that the action sends.
    QStringList sentBy(const std::function<void()>& action) {
        const int from = m_fake->sent.size();
        action();
        return sentSince(from);
    }
    template <class T = QWidget>
    T* at(const char* name) {
        return control<T>(m_window.get(), QString::fromLatin1(name));
    }
    QTableView* grid(const char* name) { return at<QTableView>(name); }
    void key(QWidget* w, int k) { QTest::keyClick(w, Qt::Key(k)); }
    void type(const char* field, const QString& text) {
        at<QLineEdit>(field)->setText(text);
        at<QLineEdit>(field)->setFocus();
    }

    void openWindow(const QList<int>& rights) {
        m_window.reset();
        Session::reset();
        Session& s = Session::current();
        s.sessionOpen = true;
        s.defaultStore = "01";
        s.staffCode = "S001";
        s.amountDecimals = "2";
        for (int r : rights) s.rightFlags[r] = true;
        m_dialogs = ScriptedDialogs::install();
        UserSettings::save("ZQ2000", "F8", "Chk1", "0");
        m_window = std::make_unique<InquiryWindow>();
        m_window->open();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        grid("DG1")->setFocus();
    }

private slots:
    void initTestCase() {
        m_db = std::make_unique<EmbeddedDatabase>(m_dir.filePath(QString("MAIN.zqdb")),
                                                  EmbeddedDatabase::OpenMode::Create);
        SuiteSchema::create(m_db->connection());
        m_db->connection().script(QString::fromUtf8(Rows));
        m_fake = FakeDatabase::install();
        m_fake->answer = [this](const QString& text) -> ResultSets {
            if (!text.startsWith(QLatin1String("EXEC SP_F8"))) return m_db->execute(text);
            const ResultSet head{{"LSTOC", "CAPTION"}, {{"01", "總庫存"}}};
            if (text.startsWith(QLatin1String("EXEC SP_F8 'DG6'")))
                return {head, ResultSet{{"VCOD1", "VINX"}, {{"11401020001", "next"}}}};
            ResultSet page{{"ICODE", "INAME"}, {}};
            for (int i = 1; i <= 15; ++i)
                page.rows.append({QString("A%1").arg(i, 3, 10, QLatin1Char('0')), "品名"});
            return {head, page};
        };
    }
    void cleanupTestCase() {
        m_window.reset();
        Connections::setFactory({});
    }

    // Mode 3: code check, vendor list and items, the history with and without prices, paging, Esc.
    void vendor() {
        openWindow({57, 353, 367, 934});
        key(grid("DG1"), Qt::Key_J);
        QLineEdit* code = at<QLineEdit>("T2(0)");
        at<QPushButton>("B3(0)")->click();
        type("T2(0)", "P9");
        key(code, Qt::Key_Return);
        QCOMPARE(m_fake->sent.last(), QString("SELECT PCODE FROM PART WHERE PCODE ='P9'"));
        QCOMPARE(m_dialogs->shown, QStringList({"廠商代號不可空白", "查無相關廠商資料"}));
        QVERIFY(code->hasFocus());
        // A code field takes no apostrophe and shows its focus light yellow.
        QTest::keyClicks(code, "P'1");
        QCOMPARE(code->text(), QString("P9P1"));
        QCOMPARE(code->palette().color(QPalette::Base), FieldBox::focusedColour());
        type("T2(0)", "p");
        QCOMPARE(sentBy([&] { key(code, Qt::Key_F2); }),
                 QStringList("SELECT TOP 15 PCODE,PNAM2 FROM PART WHERE PCODE Like 'p%' ORDER BY "
                             "PCODE"));
        QTableView* dg4 = grid("DG4");
        QVERIFY(dg4->hasFocus());
        key(dg4, Qt::Key_Escape);
        QVERIFY(code->hasFocus() && !dg4->isVisible());
        key(code, Qt::Key_F2);
        key(dg4, Qt::Key_Return);
        QCOMPARE(code->text(), QString("P001"));
        QVERIFY(code->hasFocus());
        key(code, Qt::Key_Return);  // a known vendor: on to the item prefix
        QLineEdit* prefix = at<QLineEdit>("T2(1)");
        QVERIFY(prefix->hasFocus());
        QCOMPARE(sentBy([&] { key(prefix, Qt::Key_F2); }),
                 QStringList("SELECT TOP 15 ICODE,INAME,INUMB,ICONS FROM ITEM WHERE ICODE Like "
                             "'%' AND ICODE IN(SELECT VICOD FROM VF8J WHERE VPCOD  = 'P001') "
                             "ORDER BY ICODE"));
        at<QPushButton>("B3(0)")->click();
        QTableView* dg6 = grid("DG6");
        QVERIFY(dg6->isVisible() && dg6->hasFocus());
        QCOMPARE(column(dg6, 7), QStringList({"80.00", "90.00"}));
        key(dg6, Qt::Key_Down);
        QCOMPARE(sentBy([&] { key(dg6, Qt::Key_Down); }),  // Down on the last row pages
                 QStringList("EXEC SP_F8 'DG6','True',40,'01','','P001','" +
                             QString("A001").leftJustified(17) + "1140102000110001',0,1,'%'"));
        key(dg6, Qt::Key_Escape);
        QVERIFY(at<QPushButton>("B1(3)")->hasFocus());
        openWindow({57, 353, 934});
        key(grid("DG1"), Qt::Key_J);
        type("T2(0)", "P001");
        type("T2(1)", "a0 2");
        key(at<QLineEdit>("T2(1)"), Qt::Key_Escape);  // the fields keep their texts
        key(grid("DG1"), Qt::Key_J);
        at<QPushButton>("B3(0)")->click();
        QCOMPARE(m_fake->sent.last(),
                 QString("SELECT TOP 15 VCOD1,VPNAM,VICOD,VINAM,VTCOD,VINUM,VPOIN, '***.**' "
                         "AS VUNIT,VINX FROM VF8J WHERE VPCOD ='P001' AND VICOD Like "
                         "'a0_2%' ORDER BY VINX"));
        QCOMPARE(m_dialogs->shown.last(), QString("查無該廠商進貨資料"));
    }

    // Modes 6 and 17 without right 355: the first page and every page move carry the salesman.
    void customerHistories() {
        openWindow({57, 934});
        key(grid("DG1"), Qt::Key_Y);
        QLineEdit* code = at<QLineEdit>("T3(0)");
        type("T3(0)", "C001");
        int from = m_fake->sent.size();
        key(code, Qt::Key_Return);
        at<QPushButton>("B4(0)")->click();
        const QString sales =
            "SELECT TOP 15 HCOD1,HPNAM,HSNAM,HICOD,HINAM,HTCOD,ISNULL(HINU3,HINUM) AS HINUM,HPOI3 "
            "AS 'HPOIN',ISNULL(HUNI3,(HTOTA / HINU3)) AS HUNIT,(CONVERT(CHAR(17),HICOD) + HCOD1 + "
            "CONVERT(CHAR(5),(10000 + HSEQ))),CASE WHEN (SELECT PTAXM FROM POSEIN WHERE "
            "POSEIN.PCOD1 = HISTIN.HCOD1) > 0 THEN 'Y' ELSE 'N' END AS TAXS FROM HISTIN WITH "
            "(INDEX = HISTIN_HPCOD) WHERE SystemVisible = 1 AND HPCOD = 'C001' AND HICOD Like '%' "
            "AND HSCOD = 'S001' ";
        QCOMPARE(sentSince(from), QStringList({"SELECT CCODE FROM CUST WHERE CCODE ='C001'",
                                               sales + "ORDER BY HICOD,HCOD1,HSEQ"}));
        QTableView* dg10 = grid("DG10");
        key(dg10, Qt::Key_End);
        key(dg10, Qt::Key_PageUp);
        const QStringList histories = sentSince(from).filter(QString("FROM HISTIN"));
        QCOMPARE(histories.size(), 5);  // first page; End's boundary and rows; Page Up's
        for (const QString& text : histories)
            QVERIFY2(text.contains(QLatin1String("HSCOD = 'S001'")), qPrintable(text));
        key(dg10, Qt::Key_Escape);
        // The repairs: states in words, the picked-up date, the taken flag; pages on WCOD2.
        key(grid("DG1"), Qt::Key_M);
        type("T6(0)", "C001");
        at<QPushButton>("B6(0)")->click();
        QTableView* dg20 = grid("DG20");
        QCOMPARE(column(dg20, 2).mid(0, 3), QStringList({"W0001", "W0003", "W0005"}));
        QCOMPARE(column(dg20, 10).mid(0, 3), QStringList({"", "維修中", "待報價"}));
        key(dg20, Qt::Key_PageDown);
        QCOMPARE(column(dg20, 2).value(0), QString("W0015"));
        QCOMPARE(sentBy([&] { key(dg20, Qt::Key_PageUp); }).value(0),
                 QString("SELECT TOP 15 WCOD2 FROM WORKER WITH (INDEX = WORKER_WPCOD) "
                         "WHERE WPCOD = 'C001' AND WICOD Like '%' AND WSC13 = 'S001' AND "
                         "WCOD2 <= 'W0015' ORDER BY WICOD DESC,WCOD2 DESC"));
        key(dg20, Qt::Key_Home);
        // The arrows move in the page, also sideways to the right-hand columns, reading nothing.
        QCOMPARE(sentBy([&] {
                     for (int k : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Right, Qt::Key_Up})
                         key(dg20, k);
                 }),
                 QStringList());
        QCOMPARE(dg20->currentIndex().row(), 0);
        QCOMPARE(dg20->currentIndex().column(), 2);
        const QModelIndex picked = dg20->model()->index(column(dg20, 2).indexOf("W0002"), 12);
        QCOMPARE(picked.data().toString() + " " + picked.siblingAtColumn(13).data().toString(),
                 "114.04.05 Y");
        QVERIFY(!column(dg20, 2).contains(QString("W0017")));  // another salesman's
    }

    // The customer list DG8 at its end and the customer's items DG9 a page up, paged on codes.
    void customerLists() {
        openWindow({57, 355, 934});
        key(grid("DG1"), Qt::Key_Y);
        type("T3(0)", "C");
        key(at<QLineEdit>("T3(0)"), Qt::Key_F2);
        QCOMPARE(sentBy([&] { key(grid("DG8"), Qt::Key_End); }),
                 QStringList{"SELECT CCODE,CNAM2 FROM CUST WHERE CCODE IN(SELECT TOP 15 CCODE "
                             "FROM CUST WHERE CCODE Like 'C%' ORDER BY CCODE DESC) ORDER BY "
                             "CCODE"});
        key(grid("DG8"), Qt::Key_Return);
        key(at<QLineEdit>("T3(0)"), Qt::Key_Return);
        key(at<QLineEdit>("T3(1)"), Qt::Key_F2);
        QCOMPARE(
            sentBy([&] { key(grid("DG9"), Qt::Key_PageUp); }),
            QStringList{"SELECT TOP 15 ICODE,INAME,INUMB,ICONS FROM ITEM WHERE ICODE >=(SELECT "
                        "MIN(ICODE) FROM ITEM WHERE ICODE IN(SELECT TOP 15 ICODE FROM ITEM WHERE "
                        "ICODE Like '%' AND ICODE IN(SELECT HICOD FROM HISTIN WITH (INDEX = "
                        "HISTIN_HPCOD) WHERE HPCOD = 'C001' GROUP BY HICOD) AND ICODE <= 'A001' "
                        "ORDER BY ICODE DESC)) AND ICODE Like '%' AND ICODE IN(SELECT HICOD FROM "
                        "HISTIN WITH (INDEX = HISTIN_HPCOD) WHERE HPCOD = 'C001' GROUP BY HICOD) "
                        "ORDER BY ICODE"});
        // Home reads with the condition of every page but the first.
        QCOMPARE(sentBy([&] { key(grid("DG9"), Qt::Key_Home); }),
                 QStringList{"SELECT TOP 15 ICODE,INAME,INUMB,ICONS FROM ITEM WHERE ICODE Like '%' "
                             "AND ICODE IN(SELECT HICOD FROM HISTIN WITH (INDEX = HISTIN_HPCOD) "
                             "WHERE HPCOD = 'C001' GROUP BY HICOD) ORDER BY ICODE"});
        // With right 355 the histories hold every salesman's lines and repair orders.
        key(grid("DG9"), Qt::Key_Escape);
        at<QPushButton>("B4(0)")->click();
        QStringList salesmen = column(grid("DG10"), 2);
        salesmen.removeDuplicates();
        QCOMPARE(salesmen, QStringList({"S001", "S002"}));
        key(grid("DG10"), Qt::Key_Escape);
        key(grid("DG1"), Qt::Key_M);
        type("T6(0)", "C001");
        at<QPushButton>("B6(0)")->click();
        QVERIFY(column(grid("DG20"), 2).contains(QString("W0017")));
    }

    // The lot message by rights, and the external code search moving the list.
    void lotAndExternalCode_data() {
        QTest::addColumn<QList<int>>("rights");
        QTest::addColumn<QString>("price");
        QTest::newRow("367 and 926") << QList<int>{367, 926} << "該批進貨單價為 [80.00]";
        QTest::newRow("367: the item's cost") << QList<int>{367} << "該批進貨單價為 [77.50]";
        QTest::newRow("926 alone") << QList<int>{926} << "該批進貨單價為 [***.**]";
        QTest::newRow("none") << QList<int>{} << "該批進貨單價為 [***.**]";
    }
    void lotAndExternalCode() {
        QFETCH(QList<int>, rights);
        QFETCH(QString, price);
        openWindow(rights << 57 << 934);
        key(grid("DG1"), Qt::Key_A);
        type("T8", "L1");
        QCOMPARE(sentBy([&] { at<QPushButton>("B8(0)")->click(); }),
                 QStringList("select vicod,vinam,vdat1,vinum,vunit,(select isour2 from item1 "
                             "where icode1 = vicod) as isour2,vcod1num from visein where "
                             "vcod1seq = 'L1'"));
        QCOMPARE(m_dialogs->shown,
                 QStringList{"該批號產品代號為[ A001 ] \n產品名稱[ 品名0 ] \n進貨日期[ 114.01.01 ] "
                             "\n該批號當時進貨數量[ 12 ] \n" +
                             price + "\n目前該批號剩餘數量為 [5]"});
        QVERIFY(at<QLineEdit>("T8")->hasFocus());
        m_db->connection().script("UPDATE ITEM SET ICOD2 = 'EXT-3' WHERE ICODE = 'A003';");
        key(at<QLineEdit>("T8"), Qt::Key_Escape);
        key(grid("DG1"), Qt::Key_Z);
        type("T9", "ext");
        QCOMPARE(sentBy([&] { at<QPushButton>("B9(0)")->click(); }).value(0),
                 QString("SELECT ICODE,INAME,ICOD2 FROM ITEM,ITEM1,ITEM3 WHERE ICODE = ICODE3 AND "
                         " ICODE = ICODE1 AND STOPSALE = 0 AND ICOD2 <> '' AND ICOD2 Like 'ext%' "
                         "ORDER BY ICOD2"));
        QVERIFY(grid("DG09")->isVisible() && grid("DG09")->hasFocus());
        key(grid("DG09"), Qt::Key_Escape);
        QVERIFY(grid("DG1")->hasFocus());
        QCOMPARE(m_window->highlightedItem(), QString("A003"));
    }
};

QTEST_MAIN(LookupFramesTest)
#include "tst_lookupframes.moc"
