#pragma once

#include <QString>

#include "PrintDevice.h"

// The drawing operations that every printed output shares. Each takes the device it draws on
// and a unit text beside its coordinates: "mm" (millimetres, × 56.7), "in" (inches, × 1440),
// anything else twips; the unit is compared in lower case. Texts wider than their cell or page
// start at its left edge and run on; they are never cut.

// A coordinate in twips.
double ToTwips(double value, const QString& unit);

// The text at (x, y); note y before x.
void PrintAt(PrintDevice& device, double y, double x, const QString& text,
             const QString& unit = {});
// The text ending at xRight (starting at 0 when it is wider than that).
void PrintRight(PrintDevice& device, double y, double xRight, const QString& text,
                const QString& unit = {});
// An amount ending at xRight in the cell from xLeft: a text wider than the cell is printed in a
// smaller size of the font, so that it covers no other column; the size is then as before.
void PrintRightIn(PrintDevice& device, double y, double xLeft, double xRight, const QString& text);
// The text centred between x1 and x2 (starting at x1 when it is wider than the cell).
void PrintCenteredIn(PrintDevice& device, double y, double x1, double x2, const QString& text,
                     const QString& unit = {});
// The text centred on the page's width, capped at 11300 twips (portrait) or 16200 (Wide).
void PrintCentered(PrintDevice& device, double y, const QString& text, const QString& unit = {});
void PrintCenteredWide(PrintDevice& device, double y, const QString& text,
                       const QString& unit = {});
// A rule at y exactly as wide as the text centred by PrintCentered (PrintCenteredWide).
void UnderlineCentered(PrintDevice& device, double y, const QString& text,
                       const QString& unit = {});
void UnderlineCenteredWide(PrintDevice& device, double y, const QString& text,
                           const QString& unit = {});
// A black horizontal rule at y from x1 to x2.
void PrintRule(PrintDevice& device, double y, double x1, double x2, const QString& unit = {});

// The standard page header of the tabular reports, positions in twips: the company name, the
// title with its underline, the print date at xLeft, the subtitle centred between xLeft and
// xRight (when given), the page text right-aligned at xRight, and a double rule closing the
// header. totalPages < 1 leaves the total out. The progress goes to the status text. Leaves the
// font at "標楷體" 12 points.
void PrintPageHeader(PrintDevice& device, const QString& title, const QString& subtitle,
                     double xLeft, double xRight, int page, int totalPages);
void PrintPageHeaderWide(PrintDevice& device, const QString& title, const QString& subtitle,
                         double xLeft, double xRight, int page, int totalPages);

// The progress line of printing page `page` ("目前進度：第 1 頁，共 3 頁"; without the total when
// totalPages < 1), shown at once.
void ShowPrintProgress(int page, int totalPages);

// True, after telling the user, when no printer is installed; every printing caller asks first
// and prints nothing then.
bool PrinterMissing();
