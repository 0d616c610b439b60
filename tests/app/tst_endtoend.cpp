// The windows on the embedded suite database with the demo company, as a clerk uses them.
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

    // Runs a statement on the demo company's database; the first value it gives.
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
        RunStartup({.commandLine = "/GO 0016 ADM",
                    .programFolder = m_folder->path(),
                    .place = "ZqMDI",
                    .connect = [](const QString& folder, const LocalSettings& settings) {
                        Connections::setFactory(MakeConnectionFactory(folder, settings));
                    }});
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

    // Saved whole with its split; the same code refused; a cancelled add leaves no work rows.
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
        const QStringList fields{
            "T2(0)", "Z0001",  "T2(1)",  "測試用堆高機", "T2(2)",  "1441",
            "T2(4)", "6125",   "T2(6)",  "1442",         "T2(8)",  scalar("SELECT JDATE FROM JE"),
            "T2(9)", "120000", "T2(10)", "12000",        "T2(11)", "36"};
        const auto add = [&] {
            QTest::keyClick(button("B1a(0)"), Qt::Key_A);
            for (int f = 0; f < fields.size(); f += 2) enter(fields[f], fields[f + 1]);
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
        const QString z = " WHERE ACODE = 'Z0001'";
        QCOMPARE(scalar("SELECT COUNT(*) FROM Assetd" + z), QString("2"));
        QCOMPARE(scalar("SELECT SUM(ATOTA) FROM Assets" + z).toDouble(), 108000.0);
        QCOMPARE(scalar("SELECT ATOTA FROM Assetd" + z + " AND ADENO = '01'").toDouble(), 1800.0);
        m_dialogs->shown.clear();
        add();
        button("B1b(0)")->click();
        QCOMPARE(m_dialogs->shown, QStringList{"財產編號[ Z0001 ]已存在,請重新輸入!"});
        QCOMPARE(w.editMode(), int(AssetWindow::Adding));
        m_dialogs->shown.clear();
        QTest::keyClick(box("T2(0)"), Qt::Key_Escape);
        QCOMPARE(scalar("SELECT COUNT(*) FROM Asset_Temp WHERE LCODE = '0016'"), QString("0"));
    }

    // Stored codes with apostrophes stay values when browsed and reported (lookups: tst_lookup).
    void storedApostrophesStayValues() {
        for (const char* code : {"ZZ';DELETE FROM Assets--", "ZY'"})
            scalar(QString("INSERT INTO Asset (ACODE, ANAME, ACOD1, ACOD2, ACOD3, ADAT1, ATOTA, "
                           "AYEAR) VALUES (%1, 'x', '1441', '6125', '1442', '115.01.01', 100, 10)")
                       .arg(SqlLiteral(QString(code))));
        scalar(
            "INSERT INTO Assets (ACODE, ADATE, ATOTA, ASOUR) VALUES ('ZY''', '115.01.31', 10, "
            "'')");
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
        DetailReport detail;
        detail.show();
        for (int c : {0, 1}) detail.criteria(c)->setText("ZY'");
        detail.runQuery();
        QCOMPARE(control<QTableView>(&detail, "DGR2b")->model()->rowCount(), 1);
        QCOMPARE(scalar("SELECT COUNT(*) FROM Assets"), lines);
        scalar("DELETE FROM Asset WHERE ACODE LIKE 'ZY%' OR ACODE LIKE 'ZZ%'");
    }

    // A row of the busy customer's last page of sales is handed to the item list with Enter.
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
        w.close();
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
