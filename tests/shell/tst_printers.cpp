// Printer selection: the list, typing swallowed, Enter and Esc, the built-in printers, no
// printer.
#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include "../Controls.h"
#include "CurrentPrinter.h"
#include "PrinterWindow.h"
#include "ScriptedDialogs.h"
#include "Session.h"
#include "UserSettings.h"
#include "ZqMDI.h"

class TestPrinters : public QObject {
    Q_OBJECT
    ScriptedDialogs* m_dialogs = nullptr;

private slots:
    void init() {
        Session::reset();
        m_dialogs = ScriptedDialogs::install();
        for (const char* builtIn : {"PDF", "Excel", "CSV"})
            UserSettings::save("Zq2000", "Printer", builtIn, "1");
        CurrentPrinter::setSystemForTest(QStringList{"HP LaserJet", "Epson LQ"}, "Epson LQ");
    }

    // The system's list and default in a small dialog; typing and Esc change nothing, Enter takes.
    void listAndChoice() {
        ZqMDI mdi;
        mdi.show();
        mdi.showPrinterWindow();
        PrinterWindow* w = mdi.printerWindow();
        auto* list = control<QComboBox>(w, "C");
        QVERIFY2(w->height() < 3 * (list->height() + control<QPushButton>(w, "B1(0)")->height()),
                 qPrintable(QString::number(w->height())));
        QVERIFY(w->width() < 2 * list->width() && Session::current().printerReady);
        QStringList listed;
        for (int i = 0; i < list->count(); ++i) listed << list->itemText(i);
        QCOMPARE(listed, (QStringList{"HP LaserJet", "Epson LQ", "PDF 印表機", "Excel 印表機",
                                      "CSV 印表機"}));
        QCOMPARE(list->currentText(), QString("Epson LQ"));
        list->setFocus();
        QTest::keyClicks(list, "hp");  // typing changes nothing
        QCOMPARE(list->currentText(), QString("Epson LQ"));
        list->setCurrentIndex(0);
        QTest::keyClick(list, Qt::Key_Escape);  // no change
        mdi.showPrinterWindow();
        QCOMPARE(*CurrentPrinter::name() + "/" + list->currentText(), QString("Epson LQ/Epson LQ"));
        list->setCurrentIndex(0);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(*CurrentPrinter::name(), QString("HP LaserJet"));
        mdi.showPrinterWindow();  // reopened: the choice is selected
        QCOMPARE(list->currentText(), QString("HP LaserJet"));
        list->setCurrentIndex(2);
        control<QPushButton>(w, "B1(0)")->click();
        QVERIFY(CurrentPrinter::isPdfPrinter(*CurrentPrinter::name()));
        QVERIFY(m_dialogs->shown.isEmpty());
    }

    // Each built-in printer switched off by its own setting; without a system printer the first
    // one left is current, and with none left there is no printer, told by the title and the
    // window.
    void noPrinterAtAll() {
        CurrentPrinter::setSystemForTest(QStringList{});
        QCOMPARE(*CurrentPrinter::name(), CurrentPrinter::pdfPrinterName());
        UserSettings::save("Zq2000", "Printer", "PDF", "0");
        QCOMPARE(CurrentPrinter::installed(), (QStringList{"Excel 印表機", "CSV 印表機"}));
        UserSettings::save("Zq2000", "Printer", "Excel", "0");
        QCOMPARE(*CurrentPrinter::name(), CurrentPrinter::csvPrinterName());
        UserSettings::save("Zq2000", "Printer", "CSV", "0");
        QVERIFY(!CurrentPrinter::name());
        ZqMDI mdi;
        mdi.refreshTitle();
        QVERIFY(mdi.windowTitle().endsWith("     指定印表機：無"));
        QVERIFY(!Session::current().printerReady);
        PrinterWindow w;
        QVERIFY(!w.refill());
        QCOMPARE(m_dialogs->shown, QStringList{"未安裝印表機!"});
    }
};

QTEST_MAIN(TestPrinters)
#include "tst_printers.moc"
