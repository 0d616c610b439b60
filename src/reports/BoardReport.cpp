#include "BoardReport.h"

#include "AssetReportWindow.h"
#include "PrintEngine.h"
#include "ReportPage.h"
#include "ReportTable.h"

namespace BoardReport {
namespace {
struct PrintColumn {
    double left, right;
    const char* heading;
    const char* field;
};
// The notice's text gets what the rest leaves: 80 bytes of Big5 in 11 points fit.
const PrintColumn kColumns[] = {
    {100, 1150, "生效日期", "FBEGD"},      {1200, 2250, "失效日期", "FEND"},
    {2300, 2800, "部門", "FDEPNO"},        {2850, 3850, "建 檔 人", "FUSER"},
    {3900, 5100, "公 告 人", "FSNAM"},     {5150, 6200, "建檔日期 ", "FDATE"},
    {6250, 15400, "公 告 內 容", "FDATA"},
};
const ReportLayout kLayout{
    35, 1500, 100, 15400, PrintDevice::Orientation::Landscape, QStringLiteral("製單人：")};

// The text as far as it fits into the width, never leaving half a character.
QString fitted(const PrintDevice& device, QString text, double width) {
    while (!text.isEmpty() && device.textWidth(text) > width) {
        text.chop(1);
        if (!text.isEmpty() && text.back().isHighSurrogate()) text.chop(1);
    }
    return text;
}
}  // namespace

int pagesFor(int rows) { return PagesFor(rows, kLayout.rowsPerPage); }

void print(const ResultSet& notices) {
    if (PrinterMissing()) return;
    const int rows = int(notices.rows.size());
    const int pages = pagesFor(rows);
    if (!ConfirmPrint(rows, pages)) return;
    auto device = AssetReportWindow::openDevice(Title);
    if (ReportTable* table = device->table())
        writeTable(*table, notices, pages);
    else
        printOn(*device, notices, pages);
    device->setOrientation(PrintDevice::Orientation::Portrait);
    ReportPrinted(*device);
}

void printOn(PrintDevice& device, const ResultSet& notices, int pages) {
    ReportPage report(device, kLayout, [&](int page) {
        PrintPageHeaderWide(device, Title, QString(), 0, 15500, page, pages);
        for (const PrintColumn& c : kColumns)
            PrintColumnHeading(device, c.left, c.right, QString::fromUtf8(c.heading));
    });
    report.start();
    for (const QVariantList& row : notices.rows) {
        const double y = report.nextRow();
        for (const PrintColumn& c : kColumns) {
            const QString text =
                row.value(notices.columnIndex(QString::fromUtf8(c.field))).toString().trimmed();
            PrintAt(device, y, c.left, fitted(device, text, c.right - c.left));
        }
    }
    report.close();
}

void writeTable(ReportTable& table, const ResultSet& notices, int pages) {
    QStringList header;
    QList<int> fields;
    for (const PrintColumn& c : kColumns) {
        header << QString::fromUtf8(c.heading).trimmed();
        fields << notices.columnIndex(QString::fromUtf8(c.field));
    }
    table.begin(Title, QString(), header);
    TableProgress progress(kLayout.rowsPerPage, pages);
    for (const QVariantList& row : notices.rows) {
        progress.nextRow();
        QList<TableCell> cells;
        for (int field : fields) cells << TableCell::text(row.value(field));
        table.addRow(cells);
    }
}
}  // namespace BoardReport
