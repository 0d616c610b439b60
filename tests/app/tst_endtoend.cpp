// The windows on the embedded suite database with the demo company, as a clerk uses them:
// start-up, an asset added with its department split through the asset window, the register
// procedures' answers relayed, both reports queried and printed from the register, and the
// item inquiry paging the demo history.
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QtTest>

#include "../Controls.h"
#include "../shell/ScriptedDialogs.h"
#include "../suitedb/DemoFolder.h"
#include "AssetWindow.h"
#include "Backends.h"
#include "Clock.h"
#include "DetailReport.h"
#include "EmbeddedDatabase.h"
#include "FieldBox.h"
#include "InquiryWindow.h"
#include "ItemCatalogue.h"
#include "ProgramExit.h"
#include "RecordingDevice.h"
#include "Session.h"
#include "SqlLiteral.h"
#include "Startup.h"
#include "SummaryReport.h"

using Dialogs::Answer;

class TestEndToEnd : public QObject {
    Q_OBJECT
    std::unique_ptr<DemoFolder> m_folder;
    ScriptedDialogs* m_dialogs = nullptr;
    QString m_cwd;

    QString scalar(const QString& sql) {
        EmbeddedDatabase db(m_folder->database());
        return db.execute(sql).value(0).rows.value(0).value(0).toString();
    }
    void settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }

private slots:
    void initTestCase() {
        ProgramExit::throwOnEnd();
        m_folder = std::make_unique<DemoFolder>();
        m_cwd = QDir::currentPath();
        QDir::setCurrent(m_folder->path());
        m_dialogs = ScriptedDialogs::install();
        StartupEnvironment env;
        env.commandLine = "/GO 0016 ADM";
        env.programFolder = m_folder->path();
        env.place = "ZqMDI";
        env.connect = [](const QString& folder, const LocalSettings& settings) {
            Connections::setFactory(MakeConnectionFactory(folder, settings));
        };
        RunStartup(env);
        QVERIFY(m_dialogs->shown.isEmpty());
        QCOMPARE(Session::current().staffName, QString("系統管理員"));
    }
    void cleanupTestCase() {
        Connections::closeAll();
        QDir::setCurrent(m_cwd);
    }

    void addAnAssetWithItsSplit() {
        AssetWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.open();
        const auto box = [&](const QString& n) { return control<FieldBox>(&w, n); };
        const auto button = [&](const QString& n) { return control<QPushButton>(&w, n); };
        const auto enter = [&](const QString& n, const QString& text) {
            box(n)->setFocus();
            box(n)->setText(text);
            QTest::keyClick(box(n), Qt::Key_Return);
            settle();
        };
        QVERIFY(!box("T2(0)")->text().isEmpty());  // the last asset of the register
        QTest::keyClick(button("B1a(0)"), Qt::Key_A);
        enter("T2(0)", "Z0001");
        enter("T2(1)", "測試用堆高機");
        enter("T2(2)", "1441");
        QCOMPARE(box("T2(3)")->text(), QString("機器設備"));
        enter("T2(4)", "6125");
        enter("T2(6)", "1442");
        enter("T2(8)", scalar("SELECT JDATE FROM JE"));  // the closing date itself: no question
        enter("T2(9)", "120000");
        enter("T2(10)", "12000");
        enter("T2(11)", "36");
        QCOMPARE(box("T2(13)")->text(), QString("3,000.00"));
        QVERIFY(m_dialogs->shown.isEmpty());

        button("B2")->click();
        const auto line = [&](const QString& department, const QString& share) {
            button("B4a(0)")->click();
            enter("T4(0)", department);
            enter("T4(2)", share);
            button("B4b(0)")->click();
            settle();
            button("B4b(1)")->click();
        };
        line("01", "60");
        line("02", "40");
        button("B4a(3)")->click();
        QCOMPARE(w.allocationMode(), int(AssetWindow::AllocationClosed));
        QVERIFY2(m_dialogs->shown.isEmpty(), qPrintable(m_dialogs->shown.join('|')));
        button("B1b(0)")->click();
        QCOMPARE(m_dialogs->shown.value(0), QString("財產編號[ Z0001 ]新增完成!"));
        QCOMPARE(w.editMode(), int(AssetWindow::Browse));
        QCOMPARE(box("T2(0)")->text(), QString("Z0001"));
        QCOMPARE(scalar("SELECT COUNT(*) FROM Assetd WHERE ACODE = 'Z0001'"), QString("2"));
        QCOMPARE(scalar("SELECT SUM(ATOTA) FROM Assets WHERE ACODE = 'Z0001'").toDouble(),
                 108000.0);
        QCOMPARE(
            scalar("SELECT ATOTA FROM Assetd WHERE ACODE = 'Z0001' AND ADENO = '01'").toDouble(),
            1800.0);
        QCOMPARE(control<QTableView>(&w, "DGF1")->model()->rowCount(), 2);

        // A second add with the same code: refused with the server's question text.
        m_dialogs->shown.clear();
        QTest::keyClick(button("B1a(0)"), Qt::Key_A);
        enter("T2(0)", "Z0001");
        enter("T2(1)", "重複");
        enter("T2(2)", "1441");
        enter("T2(4)", "6125");
        enter("T2(6)", "1442");
        enter("T2(9)", "1000");
        enter("T2(11)", "10");
        button("B1b(0)")->click();
        QCOMPARE(m_dialogs->shown.value(0), QString("財產編號[ Z0001 ]已存在,請重新輸入!"));
        QCOMPARE(w.editMode(), int(AssetWindow::Adding));
        m_dialogs->shown.clear();
        QTest::keyClick(box("T2(0)"), Qt::Key_Escape);  // cancel: the work rows go
        QCOMPARE(scalar("SELECT COUNT(*) FROM Asset_Temp WHERE LCODE = '0016'"), QString("0"));
    }

    // Codes that any writer of the shared database may store, with apostrophes and statement
    // text in them, stay values in every statement the windows build from them.
    void storedApostrophesStayValues() {
        {
            EmbeddedDatabase db(m_folder->database());
            for (const char* code : {"ZZ';DELETE FROM Assets--", "ZY'"})
                db.execute(QString("INSERT INTO Asset (ACODE, ANAME, ACOD1, ACOD2, ACOD3, ADAT1, "
                                   "ATOTA, AYEAR) VALUES (%1, 'x', '1441', '6125', '1442', "
                                   "'115.01.01', 100, 10)")
                               .arg(SqlLiteral(QString(code))));
            db.execute(
                "INSERT INTO Assets (ACODE, ADATE, ATOTA, ASOUR) VALUES ('ZY''', "
                "'115.01.31', 10, '')");
        }
        const QString lines = scalar("SELECT COUNT(*) FROM Assets");
        AssetWindow w;
        w.show();
        w.open();
        auto* code = control<FieldBox>(&w, "T2(0)");
        QCOMPARE(code->text(), QString("ZZ';DELETE FROM Assets--"));
        auto* browse = control<QPushButton>(&w, "B1a(0)");
        browse->setFocus();
        QTest::keyClick(browse, Qt::Key_PageUp);
        QCOMPARE(code->text(), QString("ZY'"));
        QTest::keyClick(browse, Qt::Key_PageDown);
        QTest::keyClick(browse, Qt::Key_PageUp);
        QTest::keyClick(browse, Qt::Key_PageUp);
        QVERIFY(code->text() < QString("ZY"));
        // The asset lookup pages around the stored codes.
        QTest::keyClick(browse, Qt::Key_End);
        QTest::keyClick(browse, Qt::Key_F);
        auto* find = control<FieldBox>(&w, "T5");
        find->setText("Z");
        QTest::keyClick(find, Qt::Key_F2);
        auto* lookup = control<QTableView>(&w, "DGF3");
        QVERIFY(lookup->isVisible());
        QTest::keyClick(lookup, Qt::Key_End);
        QTest::keyClick(lookup, Qt::Key_PageUp);
        QTest::keyClick(lookup, Qt::Key_PageDown);
        QTest::keyClick(lookup, Qt::Key_Up);
        QTest::keyClick(lookup, Qt::Key_Escape);
        QCOMPARE(scalar("SELECT COUNT(*) FROM Assets"), lines);

        // The detail report reads the schedule of such a code.
        DetailReport detail;
        detail.show();
        detail.criteria(0)->setText("ZY'");
        detail.criteria(1)->setText("ZY'");
        detail.runQuery();
        QCOMPARE(control<QTableView>(&detail, "DGR2b")->model()->rowCount(), 1);
        QCOMPARE(scalar("SELECT COUNT(*) FROM Assets"), lines);
        QVERIFY2(m_dialogs->shown.isEmpty(), qPrintable(m_dialogs->shown.join('|')));
        EmbeddedDatabase(m_folder->database())
            .execute("DELETE FROM Asset WHERE ACODE LIKE 'ZY%' OR ACODE LIKE 'ZZ%'");
    }

    void reportsOnTheRegister() {
        SummaryReport summary;
        summary.show();
        summary.runQuery();
        QVERIFY2(m_dialogs->shown.isEmpty(), qPrintable(m_dialogs->shown.join('|')));
        auto* grid = control<QTableView>(&summary, "DGR2");
        const int assets = scalar("SELECT COUNT(*) FROM Asset").toInt();
        QCOMPARE(grid->model()->rowCount(), assets);
        QVERIFY(!control<FieldBox>(&summary, "T2(4)")->text().isEmpty());
        RecordingDevice device;
        summary.printOn(device, (assets + 34) / 35);
        QCOMPARE(device.documentCount(), (assets + 34) / 35);

        DetailReport detail;
        detail.show();
        detail.criteria(0)->setText("Z0001");
        detail.criteria(1)->setText("Z0001");
        detail.runQuery();
        QVERIFY2(m_dialogs->shown.isEmpty(), qPrintable(m_dialogs->shown.join('|')));
        auto* schedule = control<QTableView>(&detail, "DGR2b");
        QCOMPARE(schedule->model()->rowCount(), 36);
        QCOMPARE(detail.countPages(), 1);
        RecordingDevice pages;
        detail.printOn(pages, 1);
        QVERIFY(pages.text("財產編號:Z0001"));
        QVERIFY(pages.text("108,000.00"));  // nothing posted: all of it still to depreciate
    }

    // The item inquiry on the demo history: the list from the suite's list procedure, the busy
    // item's sales paged both ways, its purchases through the list procedure, its stock per
    // warehouse; then a salesman without right 355 sees only his own sales on every page.
    void inquiryOnTheDemoHistory() {
        InquiryWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.open();
        auto* list = control<QTableView>(&w, "DG1");
        QCOMPARE(list->model()->rowCount(), 15);
        QCOMPARE(list->model()->headerData(4, Qt::Horizontal).toString(), QString("總庫存"));
        const QString busy = QString::fromUtf8(ItemCatalogue::items()[ItemCatalogue::BusyItem].code);
        w.positionList(busy, false);
        QCOMPARE(w.highlightedItem(), busy);
        const auto pages = [&](int key, const char* gridName) {
            auto* grid = control<QTableView>(&w, gridName);
            QStringList seen;
            QTest::keyClick(list, Qt::Key(key));
            for (int k : {Qt::Key_PageUp, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End}) {
                QTest::keyClick(grid, Qt::Key(k));
                seen << QString::number(grid->model()->rowCount());
            }
            QTest::keyClick(grid, Qt::Key_Escape);
            list->setFocus();
            return seen.join(u',');
        };
        QCOMPARE(pages(Qt::Key_X, "DG7"), QString("15,15,15,15,15"));
        QCOMPARE(pages(Qt::Key_I, "DG3"), QString("15,15,15,15,15"));
        QTest::keyClick(list, Qt::Key_S);
        QVERIFY(control<QTableView>(&w, "DG11")->model()->rowCount() > 0);
        QVERIFY2(m_dialogs->shown.isEmpty(), qPrintable(m_dialogs->shown.join('|')));

        Session& s = Session::current();
        s.rightFlags[355] = false;
        s.staffCode = "S005";
        const QString own = scalar("SELECT SNAME FROM SALE WHERE SCODE = 'S005'");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_X);
        auto* sales = control<QTableView>(&w, "DG7");
        QVERIFY(sales->isVisible());
        for (int k : {Qt::Key_PageUp, Qt::Key_Home, Qt::Key_PageDown, Qt::Key_End}) {
            QTest::keyClick(sales, Qt::Key(k));
            QVERIFY(sales->model()->rowCount() > 0);
            for (int r = 0; r < sales->model()->rowCount(); ++r)
                QCOMPARE(sales->model()->index(r, 2).data().toString(), own);
        }
        s.rightFlags[355] = true;
        w.close();
    }

    // The lookups from a typed code on the demo company: a vendor's purchases paged through
    // the suite's list procedure, the busy customer's sales paged and one handed to the item
    // list, a customer's repair orders with a picked-up date, a lot's message, an external
    // code moving the list.
    void lookupsOnTheDemoCompany() {
        InquiryWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.open();
        auto* list = control<QTableView>(&w, "DG1");
        const auto field = [&](const char* name, const QString& text) {
            auto* edit = control<QLineEdit>(&w, name);
            edit->setText(text);
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_Return);
        };
        const auto confirm = [&](const char* name) { control<QPushButton>(&w, name)->click(); };
        const auto rows = [&](const char* name) {
            return control<QTableView>(&w, name)->model()->rowCount();
        };

        QTest::keyClick(list, Qt::Key_J);
        field("T2(0)", scalar("SELECT TOP 1 VPCOD FROM VISEIN GROUP BY VPCOD ORDER BY COUNT(*) "
                              "DESC"));
        confirm("B3(0)");
        QCOMPARE(rows("DG6"), 15);
        QTest::keyClick(control<QTableView>(&w, "DG6"), Qt::Key_PageDown);
        QCOMPARE(rows("DG6"), 15);
        QTest::keyClick(control<QTableView>(&w, "DG6"), Qt::Key_Escape);

        list->setFocus();
        QTest::keyClick(list, Qt::Key_Y);
        field("T3(0)", QString::fromUtf8(
                           ItemCatalogue::customers()[ItemCatalogue::BusyCustomer].code));
        confirm("B4(0)");
        auto* sales = control<QTableView>(&w, "DG10");
        for (int k : {Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_End}) {
            QTest::keyClick(sales, Qt::Key(k));
            QCOMPARE(rows("DG10"), 15);
        }
        QTest::keyClick(sales, Qt::Key_Up);
        const QString item = sales->model()->index(sales->currentIndex().row(), 3).data().toString();
        QTest::keyClick(sales, Qt::Key_Return);
        QVERIFY(list->hasFocus());
        QCOMPARE(w.highlightedItem(), item);

        QTest::keyClick(list, Qt::Key_M);
        field("T6(0)", scalar("SELECT TOP 1 WPCOD FROM WORKER WHERE WSTA6 = 1 GROUP BY WPCOD "
                              "ORDER BY COUNT(*) DESC"));
        confirm("B6(0)");
        auto* repairs = control<QTableView>(&w, "DG20");
        QVERIFY(rows("DG20") > 0);
        bool picked = false;
        for (int r = 0; r < rows("DG20"); ++r)
            picked |= QRegularExpression("^\\d{3}\\.\\d{2}\\.\\d{2}$")
                          .match(repairs->model()->index(r, 12).data().toString())
                          .hasMatch();
        QVERIFY(picked);
        QVERIFY(scalar("SELECT COUNT(*) FROM WORKER,REBACKM WHERE RCOD1 = WCOD6 AND RTAKE = 1")
                    .toInt() > 0);
        QTest::keyClick(repairs, Qt::Key_Escape);

        list->setFocus();
        QTest::keyClick(list, Qt::Key_A);
        field("T8", scalar("SELECT TOP 1 VCOD1SEQ FROM VISEIN WHERE VCOD1SEQ <> '' ORDER BY "
                           "VCOD1SEQ"));
        confirm("B8(0)");
        QVERIFY2(m_dialogs->shown.value(0).startsWith("該批號產品代號為[ "),
                 qPrintable(m_dialogs->shown.join('|')));
        m_dialogs->shown.clear();

        QTest::keyClick(control<QLineEdit>(&w, "T8"), Qt::Key_Escape);
        QTest::keyClick(list, Qt::Key_Z);
        const QString external = "SELECT TOP 1 ICODE FROM ITEM,ITEM1,ITEM3 WHERE ICODE = ICODE3 "
                                 "AND ICODE = ICODE1 AND STOPSALE = 0 AND ICOD2 <> '' ORDER BY "
                                 "ICOD2";
        field("T9", scalar(QString(external).replace("SELECT TOP 1 ICODE", "SELECT TOP 1 ICOD2")));
        confirm("B9(0)");
        QCOMPARE(w.highlightedItem(), scalar(external));
        QVERIFY2(m_dialogs->shown.isEmpty(), qPrintable(m_dialogs->shown.join('|')));
        w.close();
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
