#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

#include "PrintDevice.h"

// The page-and-row protocol of the tabular reports. Each report gives its constants; rows stand
// at y = row × 230 + rowBase, rows 1 to rowsPerPage on a page. Every page is a document of its
// own: a system printer gets it as one job, the PDF printer puts it on the next sheet of the
// print command's file.
struct ReportLayout {
    int rowsPerPage = 35;
    double rowBase = 0;
    double ruleLeft = 0, ruleRight = 0;  // ends of the closing and continuation rules
    PrintDevice::Orientation orientation = PrintDevice::Orientation::Portrait;
    QString signer = QStringLiteral("製單人:");  // the label before the staff name in the foot
};

// A column heading of a list report in "細明體" 11 points (the font its rows keep): centred
// between the column's edges at y = 1440, over a double rule at 1660 and 1680.
void PrintColumnHeading(PrintDevice& device, double left, double right, const QString& heading);

// Pages for n rows: whole pages, and one more for a remainder.
int PagesFor(int rows, int rowsPerPage);
// The question before printing; true when the user answers OK.
bool ConfirmPrint(int rows, int pages);
// After the last page: clears the status text and says that printing is done.
void ReportPrinted();
// The same after printing on a device, which first ends the print command there (the PDF
// printer's file is complete before the user hears of it): nothing is said to be done when
// the printer refused (the device has said so).
void ReportPrinted(PrintDevice& device);

// A report prints its rows through this:
//   ReportPage pages(device, layout, printTop);
//   pages.start();
//   for each row: { double y = pages.nextRow(); print the cells at y; }
//   pages.close();
// printTop draws the page header and the report's fixed blocks and column headings of the
// given page; the protocol calls it at the start of every page.
class ReportPage {
public:
    static constexpr double RowPitch = 230;
    using PrintTop = std::function<void(int page)>;

    ReportPage(PrintDevice& device, ReportLayout layout, PrintTop printTop);

    // Sets the report's orientation; page 1, row 1.
    void start();
    // Makes room for one row: when the page is full, closes it with the double rule and
    // "接下頁......" and starts the next; on a new page prints its top. Returns the row's y and
    // counts the row.
    double nextRow();
    // Prints the page's top now when nothing stands on the page yet (a section without rows).
    void printTopNow();
    // After the last row of a document: the double rule, the signer with the staff name and the
    // time of day, end of the document; the next row starts page + 1 at row 1.
    void close();

    int page() const { return m_page; }
    qint16 row() const { return m_row; }
    // y of the current row.
    double rowY() const { return m_row * RowPitch + m_layout.rowBase; }

private:
    void closingRules();
    void printCentred(double y, const QString& text);

    PrintDevice& m_device;
    ReportLayout m_layout;
    PrintTop m_printTop;
    int m_page = 1;
    qint16 m_row = 1;  // the report's 16-bit row counter
    bool m_topPrinted = false;
};
