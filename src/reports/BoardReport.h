#pragma once

#include "ResultSet.h"

class PrintDevice;
class ReportTable;

// The printed bulletin board "公佈欄": the notices as the board lists them (rows of F8DATA), one
// line each, landscape, in the page protocol of the tabular reports with "製單人：" in the foot.
// Every cell is cut to its column, so that a long notice never runs into its neighbour.
namespace BoardReport {
inline const QString Title = QStringLiteral("公佈欄");

// The guard, the question and the pages on the current printer.
void print(const ResultSet& notices);
// The pages on any device.
void printOn(PrintDevice& device, const ResultSet& notices, int pages);
// The notices as a table (a spreadsheet printer's): the printed columns, every text whole.
void writeTable(ReportTable& table, const ResultSet& notices, int pages);
int pagesFor(int rows);
}  // namespace BoardReport
