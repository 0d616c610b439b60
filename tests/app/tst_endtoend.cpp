// The windows on the embedded suite database with the demo company, as a clerk uses them:
// start-up, an asset added with its department split, stored codes with apostrophes, and the
// item inquiry on the demo history.
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
#include "Session.h"
#include "SqlLiteral.h"
#include "Startup.h"

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
        add();
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
        button("B1b(0)")->click();
        QCOMPARE(m_dialogs->shown, QStringList{"財產編號[ Z0001 ]新增完成!"});
        QCOMPARE(scalar("SELECT COUNT(*) FROM Assetd WHERE ACODE = 'Z0001'"), QString("2"));
        QCOMPARE(scalar("SELECT SUM(ATOTA) FROM Assets WHERE ACODE = 'Z0001'").toDouble(),
                 108000.0);
        QCOMPARE(
            scalar("SELECT ATOTA FROM Assetd WHERE ACODE = 'Z0001' AND ADENO = '01'").toDouble(),
            1800.0);

        m_dialogs->shown.clear();
        add();
        button("B1b(0)")->click();
        QCOMPARE(m_dialogs->shown, QStringList{"財產編號[ Z0001 ]已存在,請重新輸入!"});
        QCOMPARE(w.editMode(), int(AssetWindow::Adding));
        m_dialogs->shown.clear();
        QTest::keyClick(box("T2(0)"), Qt::Key_Escape);
        QCOMPARE(scalar("SELECT COUNT(*) FROM Asset_Temp WHERE LCODE = '0016'"), QString("0"));
    }

    // Codes that any writer of the shared database may store, with apostrophes and statement
    // text in them, stay values in every statement the windows build from them: browsing,
    // the asset lookup paging around them, the detail report's schedule.
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
        QTest::keyClick(browse, Qt::Key_PageUp);
        QVERIFY(code->text() < QString("ZY"));
        QTest::keyClick(browse, Qt::Key_End);  // the lookup anchored on the stored code
        QTest::keyClick(browse, Qt::Key_F);
        auto* find = control<FieldBox>(&w, "T5");
        find->setText("Z");
        QTest::keyClick(find, Qt::Key_F2);
        auto* lookup = control<QTableView>(&w, "DGF3");
        QVERIFY(lookup->isVisible());
        for (int k : {Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Escape})
            QTest::keyClick(lookup, Qt::Key(k));

        DetailReport detail;
        detail.show();
        detail.criteria(0)->setText("ZY'");
        detail.criteria(1)->setText("ZY'");
        detail.runQuery();
        QCOMPARE(control<QTableView>(&detail, "DGR2b")->model()->rowCount(), 1);
        QCOMPARE(scalar("SELECT COUNT(*) FROM Assets"), lines);
        EmbeddedDatabase(m_folder->database())
            .execute("DELETE FROM Asset WHERE ACODE LIKE 'ZY%' OR ACODE LIKE 'ZZ%'");
    }

    // The item inquiry on the demo company: a row of the busy customer's last page of sales
    // handed to the item list with Enter; a salesman without right 355 sees only his own sales
    // of the busy item on every page. (The lookups' statements run on the suite's server in
    // tst_tsqlhistory and tst_inquiryprocedures, the reports' in tst_tsqlcorpus.)
    void inquiryOnTheDemoCompany() {
        InquiryWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.open();
        auto* list = control<QTableView>(&w, "DG1");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Y);
        auto* customer = control<QLineEdit>(&w, "T3(0)");
        customer->setText(
            QString::fromUtf8(ItemCatalogue::customers()[ItemCatalogue::BusyCustomer].code));
        customer->setFocus();
        QTest::keyClick(customer, Qt::Key_Return);
        control<QPushButton>(&w, "B4(0)")->click();
        auto* sales = control<QTableView>(&w, "DG10");
        QTest::keyClick(sales, Qt::Key_End);
        QCOMPARE(sales->model()->rowCount(), 15);
        QTest::keyClick(sales, Qt::Key_Up);
        const QString item =
            sales->model()->index(sales->currentIndex().row(), 3).data().toString();
        QTest::keyClick(sales, Qt::Key_Return);
        QVERIFY(list->hasFocus());
        QCOMPARE(w.highlightedItem(), item);

        w.positionList(QString::fromUtf8(ItemCatalogue::items()[ItemCatalogue::BusyItem].code),
                       false);
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
