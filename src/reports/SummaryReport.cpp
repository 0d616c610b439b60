#include "SummaryReport.h"

#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "AssetListColumns.h"
#include "DbAccess.h"
#include "Dialogs.h"
#include "FieldBox.h"
#include "PrintEngine.h"
#include "ReportPage.h"
#include "ReportTable.h"
#include "Session.h"
#include "SqlLiteral.h"
#include "Twips.h"
#include "Values.h"
#include "WindowHelpers.h"

namespace {
// The printed columns: edges, heading, field, and how the value is printed. The pages and the
// spreadsheet printers' table both take their cells from here.
struct PrintColumn {
    double left, right;
    const char* heading;
    const char* field;
    CellKind cell;
};
const PrintColumn kColumns[] = {
    {100, 1300, "財產編號", "財產編號", CellKind::Text},
    {1350, 3750, "財產名稱", "財產名稱", CellKind::Text},
    {3800, 4800, "會計科目", "會計科目", CellKind::Text},
    {4850, 5850, "取得日期", "取得日期", CellKind::Text},
    {5900, 7200, "取得原價", "取得原價", CellKind::Whole},
    {7250, 8550, "預留殘值", "預留殘值", CellKind::Whole},
    {8600, 9600, "耐用月數", "耐用月數", CellKind::Whole},
    {9650, 10950, "每期攤提金額", "每期攤提金額", CellKind::Amount},
    {11000, 12400, "累計折舊金額", "本期累計折舊金額", CellKind::Amount},
    {12450, 13750, "剩餘使用價值", "剩餘使用價值", CellKind::Amount},
    {13800, 14350, "售出", "售出", CellKind::Text},
    {14400, 15400, "售出日期", "售出日期", CellKind::Text},
};
constexpr qsizetype kColumnCount = std::size(kColumns);

// The columns' places in the asset list.
QList<qsizetype> fieldsOf(const ResultSet& list) {
    QList<qsizetype> at;
    for (const PrintColumn& c : kColumns) at << list.columnIndex(QString::fromUtf8(c.field));
    return at;
}

// A printed line's cells, column by column.
QList<TableCell> cellsOf(const QVariantList& row, const QList<qsizetype>& fields) {
    QList<TableCell> cells;
    cells.reserve(kColumnCount);
    for (qsizetype i = 0; i < kColumnCount; ++i)
        cells << TableCell{kColumns[i].cell, row.value(fields[i])};
    return cells;
}
const ReportLayout kLayout{35, 1500, 100, 15400, PrintDevice::Orientation::Landscape};
const QString kTitle = QStringLiteral("固定資產總表");
}  // namespace

SummaryReport::SummaryReport(QWidget* parent)
    : AssetReportWindow(QStringLiteral("FUB"), QStringLiteral("UB--固定資產總表查詢"), parent) {
    for (DataSource* s : {&m_list, &m_accounts}) SetConnection(*s);
    auto* result = new QGridLayout(m_fr2);
    result->addWidget(m_grid, 0, 0, 1, 6);
    // The account of the current row with its sums, then the grand totals.
    const char* accountLabels[] = {"會計科目", "預留殘值", "每期攤提金額", "本期累計折舊金額",
                                   "剩餘使用價值"};
    const char* totalLabels[] = {"預留殘值", "每期攤提金額", "本期累計折舊金額", "剩餘使用價值"};
    for (int i = 0; i < 9; ++i) {
        const bool total = i < 4;
        auto* label =
            new QLabel(QString::fromUtf8(total ? totalLabels[i] : accountLabels[i - 4]), m_fr2);
        label->setObjectName(QStringLiteral("L(%1)").arg(i + 4));
        m_t2[i] = new FieldBox(m_fr2);
        m_t2[i]->setObjectName(QStringLiteral("T2(%1)").arg(i));
        m_t2[i]->setOpen(false);
        if (i != 4) m_t2[i]->setAlignment(Qt::AlignRight);
        const int row = total ? 3 : 1;
        const int column = total ? i + 1 : i - 4;
        result->addWidget(label, row, column);
        result->addWidget(m_t2[i], row + 1, column);
    }
    result->addWidget(m_b2[0], 5, 4);
    result->addWidget(m_b2[1], 5, 5);
    resize(Twips::toPixels(15000), Twips::toPixels(7800));
}

SummaryReport::~SummaryReport() { DeleteChildWidgets(this); }

void SummaryReport::query(const QString& w) {
    m_resultShown = false;
    m_list.commandText =
        QStringLiteral("Select Sum(Atot1),Sum(Atot3),Sum(Atot4),Sum(Atot5) From Asset ") + w + ';' +
        AssetListStatement(w);
    RefreshData(m_list, windowTitle());
    Recordset& rs = m_list.recordset();
    if (HasCurrentRow(rs)) {
        m_t2[0]->setText(FormatWhole(rs.field(0)));
        for (int i = 1; i <= 3; ++i) m_t2[i]->setText(FormatAmount(rs.field(i)));
    }
    m_resultShown = true;
    m_accounts.commandText =
        QStringLiteral(
            "Select Distinct Acod1 As '會計科目',Sum(Atot1) As '預留殘值',Sum(Atot3) As "
            "'每期攤提金額',Sum(Atot4) As '本期累計折舊金額',Sum(Atot5) As "
            "'剩餘使用價值' From Asset ") +
        w + QStringLiteral(" Group By Acod1 Order By Acod1");
    RefreshData(m_accounts, windowTitle());
    rs.nextRecordset();
    if (!HasRecords(m_list)) {
        Dialogs::showMessage(QStringLiteral("查無資料!"));
        m_b1[0]->setFocus();
        return;
    }
    showResult();
}

void SummaryReport::showCriteria() {
    m_resultShown = false;
    AssetReportWindow::showCriteria();
}

void SummaryReport::currentRowChanged() {
    if (!m_resultShown) return;
    const Recordset& list = m_list.recordset();
    if (!HasCurrentRow(list)) {
        for (int i = 4; i <= 8; ++i) m_t2[i]->clear();
        return;
    }
    Recordset& sums = m_accounts.recordset();
    sums.moveFirst();
    sums.find(QStringLiteral("會計科目=") + SqlLiteral(list.field(QStringLiteral("會計科目"))));
    const bool found = HasCurrentRow(sums);
    m_t2[4]->setText(found ? sums.field(0).toString() : QString());
    m_t2[5]->setText(found ? FormatWhole(sums.field(1)) : QString());
    for (int i = 6; i <= 8; ++i)
        m_t2[i]->setText(found ? FormatAmount(sums.field(i - 4)) : QString());
}

void SummaryReport::print() {
    if (PrinterMissing()) return;
    const int rows = m_list.recordset().recordCount();
    const int pages = PagesFor(rows, kLayout.rowsPerPage);
    if (!ConfirmPrint(rows, pages)) return;
    auto device = openDevice(kTitle);
    if (ReportTable* table = device->table())
        writeTable(*table, m_list.recordset().current(), rangeText(), pages);
    else
        printOn(*device, pages);
    device->setOrientation(PrintDevice::Orientation::Portrait);
    ReportPrinted(*device);
}

void SummaryReport::printOn(PrintDevice& device, int pages) {
    const QString subtitle = rangeText();
    ReportPage report(device, kLayout, [&](int page) {
        PrintPageHeaderWide(device, kTitle, subtitle, 0, 15500, page, pages);
        for (const PrintColumn& c : kColumns)
            PrintColumnHeading(device, c.left, c.right, QString::fromUtf8(c.heading));
    });
    // From the first row, whatever row the grid shows.
    const Recordset& rs = m_list.recordset();
    const ResultSet& list = rs.current();
    const QList<qsizetype> fields = fieldsOf(list);
    report.start();
    for (const QVariantList& row : list.rows) {
        const double y = report.nextRow();
        const QList<TableCell> cells = cellsOf(row, fields);
        for (qsizetype i = 0; i < kColumnCount; ++i) {
            const PrintColumn& c = kColumns[i];
            if (c.cell == CellKind::Text)
                PrintAt(device, y, c.left, PrintedText(cells[i]));
            else
                PrintRightIn(device, y, c.left, c.right, PrintedText(cells[i]));
        }
    }
    report.close();
}

void SummaryReport::writeTable(ReportTable& table, const ResultSet& list, const QString& criteria,
                               int pages) {
    QStringList header;
    for (const PrintColumn& c : kColumns) header << QString::fromUtf8(c.heading);
    table.begin(kTitle, criteria, header);
    const QList<qsizetype> fields = fieldsOf(list);
    TableProgress progress(kLayout.rowsPerPage, pages);
    for (const QVariantList& row : list.rows) {
        progress.nextRow();
        table.addRow(cellsOf(row, fields));
    }
}
