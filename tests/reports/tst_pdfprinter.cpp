// The device over a real QPrinter: the built-in PDF printer's files, the paper, the widths, faces.
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

    // Rows in the detail report's layout, turned as asked; every page ends its document.
    static void printRows(PrintDevice& device, PrintDevice::Orientation orientation, int rows) {
        ReportPage pages(device, ReportLayout{35, 2170, 2700, 8500, orientation}, [&](int page) {
            PrintPageHeader(device, "固定資產明細表", "", 2600, 8600, page, 0);
        });
        pages.start();
        for (int r = 1; r <= rows; ++r) PrintRight(device, pages.nextRow(), 5300, "1,234.00");
        pages.close();
    }

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

    // Faces installed; A4 turned; one em exactly at its size (11 points once 10.98); no file.
    // One command, one file of the sheets in order and turned; the next its own; empty none.
    void facesPaperWidthsAndFiles() {
        const QStringList installed = QFontDatabase::families();
        for (const QString face : {"標楷體", "細明體", "新細明體"})
            QVERIFY2(installed.contains(PrintFonts::family(face)), qPrintable(face));
        QCOMPARE(PrintFonts::family("DejaVu Sans"), QString("DejaVu Sans"));
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
        QPrinterDevice report("固定資產明細表");
        printRows(report, PrintDevice::Orientation::Landscape, 36);
        printRows(report, PrintDevice::Orientation::Portrait, 41);
        report.setOrientation(PrintDevice::Orientation::Landscape);  // turned, nothing drawn
        report.finish();
        QCOMPARE(report.writtenFiles().size(), 1);
        QCOMPARE(QFileInfo(report.writtenFiles()[0]).fileName(),
                 QString("固定資產明細表 20240520-143005.pdf"));
        const PdfPages pages = PdfPages::read(report.writtenFiles()[0]);
        QCOMPARE(pages.landscape(), QList<bool>({true, true, false, false}));
        QCOMPARE(qRound(pages.sheets[0].width()), 842);
        printRows(report, PrintDevice::Orientation::Portrait, 1);
        report.finish();
        report.finish();  // nothing drawn since: no file, not even an empty one
        QCOMPARE(report.writtenFiles().size(), 2);
        QCOMPARE(QFileInfo(report.writtenFiles()[1]).fileName(),
                 QString("固定資產明細表 20240520-143005 (2).pdf"));
        QCOMPARE(PdfPages::read(report.writtenFiles()[1]).sheets.size(), 1);
    }
};

QTEST_MAIN(TestPdfPrinter)
#include "tst_pdfprinter.moc"
