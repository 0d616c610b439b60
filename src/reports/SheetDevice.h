#pragma once

#include <QStringList>
#include <memory>

#include "PrintDevice.h"
#include "ReportTable.h"

// The built-in spreadsheet printers as a print device: each print command is one file in
// CurrentPrinter::sheetFolder(), named as the PDF printer names its files, holding the table the
// report hands over (table()) rather than its drawing, which is ignored.
//
// Excel: a workbook (.xlsx) of one worksheet named after the report. The title and the criteria
// line on top, then the header row, frozen; texts (codes and ROC dates too) as text, whole
// numbers as numbers in "#,##0", amounts as numbers rounded as printed, in "#,##0" with the
// session's decimals; every column as wide as its widest cell. Rows go to the file as they come
// (the library's constant-memory mode), so the memory taken does not grow with the rows.
//
// CSV: UTF-8 with a byte-order mark, the same rows, every line as many fields as the header,
// fields holding a comma, a quote or a line end in quotes (the quote doubled), lines ended by
// CR LF; numbers without grouping, with the decimals they print with.
//
// A file that cannot be written shows one message and the rest of the command is dropped.
class SheetDevice : public PrintDevice, public ReportTable {
public:
    enum class Format { Excel, Csv };

    SheetDevice(const QString& documentName, Format format);
    ~SheetDevice() override;

    // The files written so far, in order (one per print command).
    QStringList writtenFiles() const { return m_files; }

    ReportTable* table() override { return this; }
    void begin(const QString& title, const QString& criteria, const QStringList& header) override;
    void addRow(const QList<TableCell>& cells) override;

    double textWidth(const QString&) const override { return 0; }
    void printText(const QString&) override {}
    void drawLine(double, double, double, double) override {}
    void newPage() override {}
    void endDocument() override {}
    // Completes the command's file.
    void finish() override;
    bool failed() const override { return m_failed; }

    // The file writers behind the device.
    class File;

protected:
    QSizeF paperSize() const override;

private:
    // Says once that the file cannot be written; removes what was begun of it when ours.
    void fail(const QString& file, bool ours);

    QString m_documentName;
    Format m_format;
    bool m_failed = false;
    std::unique_ptr<File> m_file;  // the open command's
    QStringList m_files;
};
