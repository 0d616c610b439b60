// The device over a real QPrinter: the built-in PDF printer writes one file per print command
// into its folder, each sheet turned as its page was, the paper turns with the orientation,
// widths are measured in the printer's font, and the report faces resolve to installed ones.
#include <QFontDatabase>
#include <QTemporaryDir>
#include <QtTest>

#include "Clock.h"
#include "CurrentPrinter.h"
#include "PdfPages.h"
#include "PrintEngine.h"
#include "PrintFonts.h"
#include "QPrinterDevice.h"
#include "ReportPage.h"
#include "Session.h"

class TestPdfPrinter : public QObject {
    Q_OBJECT
    QTemporaryDir m_folder;

private slots:
    void initTestCase() {
        QVERIFY(m_folder.isValid());
        qputenv("ZQFU_PDF_DIR", QFile::encodeName(m_folder.path() + "/pdf"));
        CurrentPrinter::setSystemForTest(QStringList{});  // only the PDF printer is left
        QVERIFY(CurrentPrinter::isPdfPrinter(CurrentPrinter::name().value_or(QString())));
        Clock::setFixed(QDateTime(QDate(2024, 5, 20), QTime(14, 30, 5)));
        Session::current().companyName = "晟嘉通科技股份有限公司";
        Session::current().staffName = "王小明";
    }

    // The report faces (and any other installed one) come out in faces this machine has.
    void facesResolveToInstalledOnes() {
        const QStringList installed = QFontDatabase::families();
        for (const QString face : {"標楷體", "細明體", "新細明體"})
            QVERIFY2(installed.contains(PrintFonts::family(face)), qPrintable(face));
        QCOMPARE(PrintFonts::family("DejaVu Sans"), QString("DejaVu Sans"));
    }

    // A4, turned with the orientation. A full-width character is one em of the Ming face at
    // exactly its size in points, not at a size rounded to the printer's dots (11 points once
    // came out 10.98). Measuring prints nothing.
    void paperAndWidths() {
        QPrinterDevice device("widths");
        QCOMPARE(QSizeF(device.pageWidth(), device.pageHeight()), QSizeF(11906, 16838));
        device.setOrientation(PrintDevice::Orientation::Landscape);
        QCOMPARE(device.pageWidth(), 16838.0);
        device.setFontName("細明體");
        for (const double points : {9.25, 11.0}) {
            device.setFontSize(points);
            const double width = device.textWidth(QString(10, QChar(0x570B)));
            QVERIFY2(qAbs(width - 10 * points * 20) < 0.5, qPrintable(QString::number(width)));
        }
        QVERIFY(device.writtenFiles().isEmpty());
    }

    // A print command is one file: a landscape report of two pages and a portrait one of two,
    // each page a document of its own, are four A4 sheets in order that keep their orientation.
    // The next print command writes the next file; one that draws nothing writes none.
    void onePrintCommandOneFile() {
        QPrinterDevice device("固定資產明細表");
        printRows(device, PrintDevice::Orientation::Landscape, 36);
        printRows(device, PrintDevice::Orientation::Portrait, 41);
        device.setOrientation(PrintDevice::Orientation::Landscape);  // turned, nothing drawn
        device.finish();
        QCOMPARE(device.writtenFiles().size(), 1);
        const QString file = device.writtenFiles()[0];
        QCOMPARE(QFileInfo(file).fileName(), QString("固定資產明細表 20240520-143005.pdf"));
        const PdfPages pages = PdfPages::read(file);
        QCOMPARE(pages.count, 4);
        QCOMPARE(pages.sheets.size(), 4);
        for (int sheet = 0; sheet < 4; ++sheet) QCOMPARE(pages.landscape(sheet), sheet < 2);
        QCOMPARE(qRound(pages.sheets[0].width()), 842);

        printRows(device, PrintDevice::Orientation::Portrait, 1);
        device.finish();
        device.finish();  // nothing drawn since: no file, not even an empty one
        QCOMPARE(device.writtenFiles().size(), 2);
        QCOMPARE(QFileInfo(device.writtenFiles()[1]).fileName(),
                 QString("固定資產明細表 20240520-143005 (2).pdf"));
        QCOMPARE(PdfPages::read(device.writtenFiles()[1]).count, 1);
    }

private:
    // Rows in the detail report's layout, turned as asked; every page ends its document.
    static void printRows(PrintDevice& device, PrintDevice::Orientation orientation, int rows) {
        ReportLayout layout{35, 2170, 2700, 8500, orientation};
        ReportPage pages(device, layout, [&](int page) {
            PrintPageHeader(device, "固定資產明細表", "", 2600, 8600, page, 0);
        });
        pages.start();
        for (int r = 1; r <= rows; ++r) PrintRight(device, pages.nextRow(), 5300, "1,234.00");
        pages.close();
    }
};

QTEST_MAIN(TestPdfPrinter)
#include "tst_pdfprinter.moc"
