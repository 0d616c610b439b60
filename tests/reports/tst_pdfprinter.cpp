// The device over a real QPrinter: the built-in PDF printer writes one file per document into
// its folder, the paper turns with the orientation, widths are measured in the printer's font,
// and the report faces resolve to installed ones.
#include <QFontDatabase>
#include <QTemporaryDir>
#include <QtTest>

#include "Clock.h"
#include "CurrentPrinter.h"
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

    void facesResolveToInstalledOnes() {
        const QStringList installed = QFontDatabase::families();
        for (const QString face : {"標楷體", "細明體", "新細明體"})
            QVERIFY2(installed.contains(PrintFonts::family(face)), qPrintable(face));
        QCOMPARE(PrintFonts::family("DejaVu Sans"), QString("DejaVu Sans"));
    }

    void paperAndWidths() {
        QPrinterDevice device("widths");
        QCOMPARE(device.pageWidth(), 11906.0);  // A4
        QCOMPARE(device.pageHeight(), 16838.0);
        device.setOrientation(PrintDevice::Orientation::Landscape);
        QCOMPARE(device.pageWidth(), 16838.0);
        device.setFontName("細明體");
        device.setFontSize(12);
        const double one = device.textWidth("財");
        QVERIFY2(one > 200 && one < 280, qPrintable(QString::number(one)));  // about an em
        QVERIFY(qAbs(device.textWidth("財產編號") - 4 * one) < 1);
        device.setFontSize(24);
        QVERIFY(qAbs(device.textWidth("財") - 2 * one) < 2);
        QVERIFY(device.writtenFiles().isEmpty());  // measuring prints nothing
    }

    // A full-width character is one em of the Ming face: the text is measured (and printed) at
    // exactly its size in points, not at a size rounded to the printer's dots.
    void textAtExactlyItsSize() {
        QPrinterDevice device("sizes");
        device.setFontName("細明體");
        const QString tenCharacters(10, QChar(0x570B));
        for (const double points : {11.0, 9.25, 9.5, 12.0, 18.0}) {
            device.setFontSize(points);
            const double expected = 10 * points * 20;
            QVERIFY2(qAbs(device.textWidth(tenCharacters) - expected) < 0.5,
                     qPrintable(QString("%1 pt: %2 twips, not %3")
                                    .arg(points)
                                    .arg(device.textWidth(tenCharacters))
                                    .arg(expected)));
        }
    }

    void oneFilePerDocument() {
        QPrinterDevice device("固定資產明細表");
        ReportLayout layout{40, 2170, 2700, 8500, PrintDevice::Orientation::Portrait};
        ReportPage pages(device, layout, [&](int page) {
            PrintPageHeader(device, "固定資產明細表", "", 2600, 8600, page, 2);
            device.setFontName("細明體");
            device.setFontSize(11);
            PrintCenteredIn(device, 2150, 2700, 3700, "攤提日期");
            PrintRule(device, 2370, 2700, 3700);
            PrintRule(device, 2390, 2700, 3700);
        });
        pages.start();
        for (int r = 1; r <= 41; ++r) {
            const double y = pages.nextRow();
            PrintAt(device, y, 2700, QString("113.%1.01").arg(r % 12 + 1, 2, 10, QChar('0')));
            PrintRight(device, y, 5300, "1,234.00");
        }
        pages.close();

        const QStringList files = device.writtenFiles();
        QCOMPARE(files.size(), 2);
        const QString folder = CurrentPrinter::pdfFolder();
        QCOMPARE(QFileInfo(files[0]).fileName(), QString("固定資產明細表 20240520-143005.pdf"));
        QCOMPARE(QFileInfo(files[1]).fileName(), QString("固定資產明細表 20240520-143005 (2).pdf"));
        for (const QString& file : files) {
            QCOMPARE(QFileInfo(file).absolutePath(), QDir(folder).absolutePath());
            QFile pdf(file);
            QVERIFY(pdf.open(QIODevice::ReadOnly));
            QVERIFY(pdf.read(5) == "%PDF-");
            QVERIFY(pdf.size() > 1000);
        }
    }
};

QTEST_MAIN(TestPdfPrinter)
#include "tst_pdfprinter.moc"
