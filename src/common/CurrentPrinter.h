#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The program's current printer: the system's default at start, changed for the run only by
// the printer window. Besides the system's printers there is a built-in PDF printer that writes
// each print command to one PDF file (switched off by the per-user setting
// "Zq2000"/"Printer"/"PDF" = "0"). Reading the name fails (nullopt) when there is no printer.
namespace CurrentPrinter {
std::optional<QString> name();
void setName(const QString& name);
// Device names of every printer to choose from, the system's in its order, then the PDF one.
QStringList installed();

// The built-in PDF printer and the folder of its files ($ZQFU_PDF_DIR, or ~/zqfu-pdf).
QString pdfPrinterName();
bool isPdfPrinter(const QString& name);
QString pdfFolder();

// Replaces the system's printers (tests): the list and the default. Call with std::nullopt to
// return to the system.
void setSystemForTest(std::optional<QStringList> printers, const QString& defaultPrinter = {});
}  // namespace CurrentPrinter
