#include "QPrinterDevice.h"

#include <QDir>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "CurrentPrinter.h"
#include "Dialogs.h"
#include "PrintFonts.h"

namespace {
constexpr double TwipsPerInch = 1440;
constexpr double TwipsPerMillimetre = TwipsPerInch / 25.4;
// Rules are as thin as a 300-dpi printer's dot.
constexpr double RuleWidthInches = 1.0 / 300;
}  // namespace

QPrinterDevice::QPrinterDevice(const QString& documentName) : m_documentName(documentName) {
    const QString printerName = CurrentPrinter::name().value_or(QString());
    m_pdf = CurrentPrinter::isPdfPrinter(printerName);
    if (m_pdf) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setPageSize(QPageSize(QPageSize::A4));
        m_printer->setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Point);
    } else {
        m_printer = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(printerName),
                                               QPrinter::HighResolution);
    }
    // The printer works in twips. Qt gives a font a whole number of device dots; at 1440 dots
    // an inch every size the reports use (whole, half and quarter points) is one, so text
    // prints at exactly its size (at 1200 dots 11 points became 183 dots, 10.98 points).
    m_printer->setResolution(int(TwipsPerInch));
    m_printer->setDocName(documentName);
    m_printer->setPageOrientation(QPageLayout::Portrait);
    fontChanged();
}

QPrinterDevice::~QPrinterDevice() {
    if (m_painter && m_painter->isActive()) m_painter->end();
}

QSizeF QPrinterDevice::paperSize() const {
    const QSizeF millimetres = m_printer->pageLayout().pageSize().size(QPageSize::Millimeter);
    return millimetres * TwipsPerMillimetre;
}

void QPrinterDevice::orientationChanged() {
    m_printer->setPageOrientation(orientation() == Orientation::Portrait ? QPageLayout::Portrait
                                                                         : QPageLayout::Landscape);
}

void QPrinterDevice::fontChanged() {
    m_font = PrintFonts::font(fontName(), fontSize(), fontBold());
    if (m_painter && m_painter->isActive()) m_painter->setFont(m_font);
}

double QPrinterDevice::toDevice(double twips) const {
    return twips * m_printer->resolution() / TwipsPerInch;
}

double QPrinterDevice::textWidth(const QString& text) const {
    const QFontMetricsF metrics(m_font, m_printer.get());
    return metrics.horizontalAdvance(text) * TwipsPerInch / m_printer->resolution();
}

QString QPrinterDevice::nextPdfFile() const {
    return CurrentPrinter::outputFile(CurrentPrinter::pdfFolder(), m_documentName,
                                      QStringLiteral(".pdf"), m_files);
}

QPainter* QPrinterDevice::painter() {
    if (m_failed) return nullptr;
    if (m_painter && m_painter->isActive()) {
        if (m_documentEnded) {
            // The sheet takes the orientation set since the last one ended.
            m_documentEnded = false;
            if (!m_printer->newPage()) {
                fail();
                return nullptr;
            }
        }
        return m_painter.get();
    }
    if (m_pdf) {
        QDir().mkpath(CurrentPrinter::pdfFolder());
        m_printer->setOutputFileName(nextPdfFile());
    }
    if (!m_painter) m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer.get())) {
        fail();
        return nullptr;
    }
    if (m_pdf) m_files << m_printer->outputFileName();
    m_painter->setFont(m_font);
    return m_painter.get();
}

void QPrinterDevice::printText(const QString& text) {
    QPainter* p = painter();
    if (!p) return;
    const QFontMetricsF metrics(m_font, m_printer.get());
    p->setPen(Qt::black);
    p->drawText(QPointF(toDevice(currentX()), toDevice(currentY()) + metrics.ascent()), text);
}

void QPrinterDevice::drawLine(double x1, double y1, double x2, double y2) {
    QPainter* p = painter();
    if (!p) return;
    p->setPen(
        QPen(Qt::black, m_printer->resolution() * RuleWidthInches, Qt::SolidLine, Qt::FlatCap));
    p->drawLine(QPointF(toDevice(x1), toDevice(y1)), QPointF(toDevice(x2), toDevice(y2)));
}

void QPrinterDevice::fail() {
    if (m_failed) return;
    m_failed = true;
    if (m_painter && m_painter->isActive()) m_painter->end();
    Dialogs::showMessage(QStringLiteral("印表機無法列印,請檢查印表機!"));
}

void QPrinterDevice::newPage() {
    // After an ended document the next drawing starts a sheet anyway.
    if (m_documentEnded) return;
    if (m_painter && m_painter->isActive() && !m_printer->newPage()) fail();
}

void QPrinterDevice::endDocument() {
    if (!m_painter || !m_painter->isActive()) return;
    // The PDF printer keeps its file open for the rest of the print command.
    if (m_pdf)
        m_documentEnded = true;
    else if (!m_painter->end())
        fail();
}

void QPrinterDevice::finish() {
    m_documentEnded = false;
    if (m_painter && m_painter->isActive() && !m_painter->end()) fail();
}
