#pragma once

#include <QFont>
#include <QStringList>
#include <memory>

#include "PrintDevice.h"

class QPrinter;
class QPainter;

// The print device over the program's current printer (CurrentPrinter). On a system printer
// a document begins with its first drawing and is sent as one job by endDocument. The built-in
// PDF printer writes one file per print command in CurrentPrinter::pdfFolder(): the documents
// one after another, each of its pages on a sheet of its own in the orientation it was drawn
// in; the file is complete at finish. It is named after the document and the moment printing
// began ("固定資產總表 20240520-143005.pdf", then "... (2).pdf" when that name is taken); its
// paper is A4 with a printable area that starts 15 points in from each edge, like a laser
// printer's. A printer that refuses shows one message and the rest of the run's drawing is
// dropped, so the window stays usable.
class QPrinterDevice : public PrintDevice {
public:
    // The document name names the print job and the PDF printer's files.
    explicit QPrinterDevice(const QString& documentName);
    ~QPrinterDevice() override;

    // The files the PDF printer has written so far, in order (one per print command).
    QStringList writtenFiles() const { return m_files; }

    double textWidth(const QString& text) const override;
    void printText(const QString& text) override;
    void drawLine(double x1, double y1, double x2, double y2) override;
    void newPage() override;
    void endDocument() override;
    void finish() override;
    bool failed() const override { return m_failed; }

protected:
    QSizeF paperSize() const override;
    void orientationChanged() override;
    void fontChanged() override;

private:
    // The painter of the open document, beginning one when none is open (on the PDF printer:
    // a new sheet after an ended document, or a new file after finish); nullptr when the
    // printer refused.
    QPainter* painter();
    QString nextPdfFile() const;
    double toDevice(double twips) const;
    // The printer refused: says so once and drops the rest of the run's drawing.
    void fail();

    QString m_documentName;
    bool m_pdf = false;
    bool m_failed = false;
    bool m_documentEnded = false;  // PDF printer: the next drawing starts a new sheet
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    QFont m_font;  // the face standing in for the current font
    QStringList m_files;
};
