#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The program's current printer: the system's default at start, changed for the run only by
// the printer window. Besides the system's printers there are built-in printers that write each
// print command to one file: the PDF printer (the pages), and the Excel and CSV printers (the
// report's rows as a table). The per-user settings "Zq2000"/"Printer"/"PDF", "Excel" and "CSV"
// = "0" switch them off. Reading the name fails (nullopt) when there is no printer.
namespace CurrentPrinter {
std::optional<QString> name();
void setName(const QString& name);
// Device names of every printer to choose from, the system's in its order, then the PDF, Excel
// and CSV ones.
QStringList installed();

// The built-in PDF printer and the folder of its files ($ZQFU_PDF_DIR, or ~/zqfu-pdf).
QString pdfPrinterName();
bool isPdfPrinter(const QString& name);
QString pdfFolder();

// The built-in spreadsheet printers: an Excel workbook (.xlsx) or a CSV file per print command,
// both in one folder ($ZQFU_SHEET_DIR, or ~/zqfu-sheets).
QString excelPrinterName();
QString csvPrinterName();
bool isSheetPrinter(const QString& name);
QString sheetFolder();

// A file of the built-in printers for a print command of the document: in the folder, named
// after the document (characters a file name cannot hold become '_') and the moment printing
// began, "... (2)" and on when that name is taken by a file or by one of those already chosen.
QString outputFile(const QString& folder, const QString& document, const QString& suffix,
                   const QStringList& chosen = {});

// Replaces the system's printers (tests): the list and the default. Call with std::nullopt to
// return to the system.
void setSystemForTest(std::optional<QStringList> printers, const QString& defaultPrinter = {});
}  // namespace CurrentPrinter
