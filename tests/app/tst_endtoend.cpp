// The windows on the embedded suite database with the demo company, as a clerk uses them:
// start-up, an asset added with its department split through the asset window, the register
// procedures' answers relayed, both reports queried and printed from the register, and the
// item inquiry paging the demo history.
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include "../Controls.h"
#include "../shell/ScriptedDialogs.h"
#include "../suitedb/DemoFolder.h"
#include "AssetWindow.h"
#include "Backends.h"
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
    // The rows of the detail report's schedule grid for one asset.
    static int scheduleRows(DetailReport& detail, const QString& code) {
        detail.show();
        detail.criteria(0)->setText(code);
        detail.criteria(1)->setText(code);
        detail.runQuery();
        return control<QTableView>(&detail, "DGR2b")->model()->rowCount();
    }
    // Types the keys on a grid; the grid's row count after each.
    static QString rowsAfter(QTableView* grid, std::initializer_list<int> keys) {
        QStringList seen;
        for (int k : keys) {
            QTest::keyClick(grid, Qt::Key(k));
            seen << QString::number(grid->model()->rowCount());
        }
        return seen.join(u',');
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
    // A test takes the messages it expects off the list; any other one fails it.
    void cleanup() {
        const QStringList shown = std::exchange(m_dialogs->shown, {});
        QVERIFY2(shown.isEmpty(), qPrintable(shown.join('|')));
    }
    void cleanupTestCase() {
        Connections::closeAll();
        QDir::setCurrent(m_cwd);
    }

    // An asset added with two departments is saved whole (lines and split); the same code again
    // is refused with the server's text, and the cancelled add leaves no work rows behind.
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
        // The date is the closing date itself: no question.
        const QList<std::pair<QString, QString>> fields = {
            {"T2(0)", "Z0001"},  {"T2(1)", "測試用堆高機"},
            {"T2(2)", "1441"},   {"T2(4)", "6125"},
            {"T2(6)", "1442"},   {"T2(8)", scalar("SELECT JDATE FROM JE")},
            {"T2(9)", "120000"}, {"T2(10)", "12000"},
            {"T2(11)", "36"}};
        const auto add = [&] {
            QTest::keyClick(button("B1a(0)"), Qt::Key_A);
            for (const auto& [name, text] : fields) enter(name, text);
        };
        QVERIFY(!box("T2(0)")->text().isEmpty());  // the last asset of the register
        add();
        QCOMPARE(box("T2(3)")->text(), QString("機器設備"));
        QCOMPARE(box("T2(13)")->text(), QString("3,000.00"));

        button("B2")->click();
        for (const auto& [department, share] : {std::pair{"01", "60"}, {"02", "40"}}) {
            button("B4a(0)")->click();
            enter("T4(0)", department);
            enter("T4(2)", share);
            button("B4b(0)")->click();
            settle();
            button("B4b(1)")->click();
        }
        button("B4a(3)")->click();
        QCOMPARE(w.allocationMode(), int(AssetWindow::AllocationClosed));
        button("B1b(0)")->click();
        QCOMPARE(m_dialogs->shown, QStringList{"財產編號[ Z0001 ]新增完成!"});
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
        add();
        button("B1b(0)")->click();
        QCOMPARE(m_dialogs->shown, QStringList{"財產編號[ Z0001 ]已存在,請重新輸入!"});
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
        for (int k : {Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_PageUp})
            QTest::keyClick(browse, Qt::Key(k));
        QVERIFY(code->text() < QString("ZY"));
        // The asset lookup pages around the stored codes.
        QTest::keyClick(browse, Qt::Key_End);
        QTest::keyClick(browse, Qt::Key_F);
        auto* find = control<FieldBox>(&w, "T5");
        find->setText("Z");
        QTest::keyClick(find, Qt::Key_F2);
        auto* lookup = control<QTableView>(&w, "DGF3");
        QVERIFY(lookup->isVisible());
        for (int k : {Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Up, Qt::Key_Escape})
            QTest::keyClick(lookup, Qt::Key(k));
        QCOMPARE(scalar("SELECT COUNT(*) FROM Assets"), lines);

        // The detail report reads the schedule of such a code.
        DetailReport detail;
        QCOMPARE(scheduleRows(detail, "ZY'"), 1);
        QCOMPARE(scalar("SELECT COUNT(*) FROM Assets"), lines);
        EmbeddedDatabase(m_folder->database())
            .execute("DELETE FROM Asset WHERE ACODE LIKE 'ZY%' OR ACODE LIKE 'ZZ%'");
    }

    // Both reports read the register, and print a page per document; the new asset's schedule.
    void reportsOnTheRegister() {
        SummaryReport summary;
        summary.show();
        summary.runQuery();
        const int assets = scalar("SELECT COUNT(*) FROM Asset").toInt();
        QCOMPARE(control<QTableView>(&summary, "DGR2")->model()->rowCount(), assets);
        QVERIFY(!control<FieldBox>(&summary, "T2(4)")->text().isEmpty());
        RecordingDevice device;
        summary.printOn(device, (assets + 34) / 35);
        QCOMPARE(device.documentCount(), (assets + 34) / 35);

        DetailReport detail;
        QCOMPARE(scheduleRows(detail, "Z0001"), 36);
        QCOMPARE(detail.countPages(), 1);
        RecordingDevice pages;
        detail.printOn(pages, 1);
        QVERIFY(pages.text("財產編號:Z0001"));
        QVERIFY(pages.text("108,000.00"));  // nothing posted: all of it still to depreciate
    }

    // The item inquiry on the demo company. The list from the suite's list procedure; the
    // lookups from a typed code: a vendor's purchases paged through the suite's list procedure,
    // the busy customer's sales paged and one handed to the item list. The busy item's sales
    // paged both ways, its purchases through the list procedure, its stock per warehouse; then
    // a salesman without right 355 sees only his own sales on every page. (The other lookups'
    // statements run on the suite's server in tst_tsqlhistory.)
    void inquiryOnTheDemoCompany() {
        InquiryWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.open();
        auto* list = control<QTableView>(&w, "DG1");
        QCOMPARE(list->model()->rowCount(), 15);
        QCOMPARE(list->model()->headerData(4, Qt::Horizontal).toString(), QString("總庫存"));
        // The frame of a mode key on the list: a code typed into its field and confirmed.
        const auto lookUp = [&](Qt::Key mode, const char* field, const QString& text,
                                const char* confirm) {
            list->setFocus();
            QTest::keyClick(list, mode);
            auto* edit = control<QLineEdit>(&w, field);
            edit->setText(text);
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_Return);
            control<QPushButton>(&w, confirm)->click();
        };

        lookUp(Qt::Key_J, "T2(0)",
               scalar("SELECT TOP 1 VPCOD FROM VISEIN GROUP BY VPCOD ORDER BY COUNT(*) DESC"),
               "B3(0)");
        auto* purchases = control<QTableView>(&w, "DG6");
        QCOMPARE(purchases->model()->rowCount(), 15);
        QCOMPARE(rowsAfter(purchases, {Qt::Key_PageDown}), QString("15"));
        QTest::keyClick(purchases, Qt::Key_Escape);

        lookUp(Qt::Key_Y, "T3(0)",
               QString::fromUtf8(ItemCatalogue::customers()[ItemCatalogue::BusyCustomer].code),
               "B4(0)");
        auto* sales = control<QTableView>(&w, "DG10");
        QCOMPARE(
            rowsAfter(sales, {Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_End}),
            QString("15,15,15,15"));
        QTest::keyClick(sales, Qt::Key_Up);
        const QString item =
            sales->model()->index(sales->currentIndex().row(), 3).data().toString();
        QTest::keyClick(sales, Qt::Key_Return);
        QVERIFY(list->hasFocus());
        QCOMPARE(w.highlightedItem(), item);

        const QString busy =
            QString::fromUtf8(ItemCatalogue::items()[ItemCatalogue::BusyItem].code);
        w.positionList(busy, false);
        QCOMPARE(w.highlightedItem(), busy);
        for (const auto& [key, gridName] : {std::pair{Qt::Key_X, "DG7"}, {Qt::Key_I, "DG3"}}) {
            auto* grid = control<QTableView>(&w, gridName);
            list->setFocus();
            QTest::keyClick(list, key);
            QCOMPARE(rowsAfter(grid, {Qt::Key_PageUp, Qt::Key_PageUp, Qt::Key_PageDown,
                                      Qt::Key_Home, Qt::Key_End}),
                     QString("15,15,15,15,15"));
            QTest::keyClick(grid, Qt::Key_Escape);
        }
        list->setFocus();
        QTest::keyClick(list, Qt::Key_S);
        QVERIFY(control<QTableView>(&w, "DG11")->model()->rowCount() > 0);

        Session& s = Session::current();
        s.rightFlags[355] = false;
        s.staffCode = "S005";
        const QString own = scalar("SELECT SNAME FROM SALE WHERE SCODE = 'S005'");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_X);
        auto* mine = control<QTableView>(&w, "DG7");
        QVERIFY(mine->isVisible());
        for (int k : {Qt::Key_PageUp, Qt::Key_Home, Qt::Key_PageDown, Qt::Key_End}) {
            QTest::keyClick(mine, Qt::Key(k));
            QVERIFY(mine->model()->rowCount() > 0);
            for (int r = 0; r < mine->model()->rowCount(); ++r)
                QCOMPARE(mine->model()->index(r, 2).data().toString(), own);
        }
        s.rightFlags[355] = true;
        w.close();
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
