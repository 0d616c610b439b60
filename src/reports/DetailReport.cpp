#include "DetailReport.h"

#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
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
#include "Twips.h"
#include "Values.h"
#include "WindowHelpers.h"

namespace {
const ReportLayout kLayout{40, 2170, 2700, 8500, PrintDevice::Orientation::Portrait};
const QString kTitle = QStringLiteral("固定資產明細表");

// The asset's head over its schedule: a caption and its field, two a line; the pages and the
// spreadsheet printers' table both take them from here. A number stands right-aligned after its
// caption, ending 2600 twips from it.
struct HeadField {
    double y, x;
    const char* caption;
    const char* field;
    CellKind cell;
};
const HeadField kHead[] = {
    {1440, 2700, "財產編號:", "財產編號", CellKind::Text},
    {1440, 5400, "財產名稱:", "財產名稱", CellKind::Text},
    {1670, 2700, "取得原價:", "取得原價", CellKind::Whole},
    {1670, 5400, "會計科目:", "會計科目", CellKind::Text},
    {1900, 2700, "預留殘值:", "預留殘值", CellKind::Whole},
    {1900, 5400, "取得日期:", "取得日期", CellKind::Text},
};

// The schedule's columns; a line's cells are lineCells', in this order.
struct PrintColumn {
    double left, right;
    const char* heading;
};
const PrintColumn kColumns[] = {{2700, 3700, "攤提日期"},
                                {3800, 5300, "攤提金額"},
                                {5400, 6900, "累計攤提金額"},
                                {7000, 8500, "未攤提金額"}};

QList<TableCell> lineCells(const DepreciationSchedule& schedule,
                           const DepreciationSchedule::Line& line) {
    return {TableCell::text(line.date), TableCell::amount(line.amount),
            TableCell::amount(line.done), TableCell::amount(schedule.left(line))};
}
}  // namespace

DetailReport::DetailReport(QWidget* parent)
    : AssetReportWindow(QStringLiteral("FUC"), QStringLiteral("UC--固定資產明細查詢"), parent) {
    for (DataSource* s : {&m_assets, &m_schedule}) SetConnection(*s);
    auto* result = new QGridLayout(m_fr2);
    const QString amount = QStringLiteral("#,##0.00");
    m_scheduleModel =
        new RecordsetModel({{QStringLiteral("攤提日期"), QStringLiteral("ADATE"), {}},
                            {QStringLiteral("攤提金額"), QStringLiteral("ATOTA"), amount},
                            {QStringLiteral("累計攤提金額"), QStringLiteral("ATOT1"), amount},
                            {QStringLiteral("未攤提金額"), QStringLiteral("ATOT2"), amount}});
    m_scheduleGrid = makeGrid(QStringLiteral("DGR2b"), m_scheduleModel, m_fr2);
    FitLargestAmount(m_scheduleGrid, {1, 2, 3});
    m_scheduleGrid->installEventFilter(this);
    result->addWidget(m_grid, 0, 0, 1, 2);
    result->addWidget(m_scheduleGrid, 1, 0, 1, 2);
    result->addWidget(m_b2[0], 2, 0);
    result->addWidget(m_b2[1], 2, 1);
    QWidget::setTabOrder(m_grid, m_scheduleGrid);
    QWidget::setTabOrder(m_scheduleGrid, m_b2[0]);
    resize(Twips::toPixels(13000), Twips::toPixels(8000));
}

DetailReport::~DetailReport() { DeleteChildWidgets(this); }

void DetailReport::query(const QString& w) {
    m_printed.clear();
    m_assets.commandText = AssetListStatement(w);
    RefreshData(m_assets, windowTitle());
    if (!HasRecords(m_assets)) {
        Dialogs::showMessage(QStringLiteral("查無資料!"));
        m_b1[0]->setFocus();
        return;
    }
    showResult();
}

DepreciationSchedule DetailReport::readSchedule(const QString& code) {
    m_schedule.commandText = DepreciationSchedule::statement(code);
    RefreshData(m_schedule, windowTitle());
    const Recordset& read = m_schedule.recordset();
    return DepreciationSchedule({read.resultSet(0), read.resultSet(1)});
}

void DetailReport::currentRowChanged() {
    const Recordset& assets = m_assets.recordset();
    if (!HasCurrentRow(assets)) return;
    m_shownSchedule =
        Recordset({readSchedule(assets.field(QStringLiteral("財產編號")).toString()).table()});
    m_scheduleModel->setRecordset(&m_shownSchedule);
    m_scheduleGrid->setEnabled(m_shownSchedule.recordCount() > 0);
}

int DetailReport::countPages() {
    m_printed.clear();
    Recordset& assets = m_assets.recordset();
    int pages = 0;
    for (assets.moveFirst(); HasCurrentRow(assets); assets.moveNext()) {
        m_printed.append(readSchedule(assets.field(QStringLiteral("財產編號")).toString()));
        const qsizetype lines = m_printed.last().lines().size();
        pages += lines == 0 ? 1 : PagesFor(int(lines), kLayout.rowsPerPage);
    }
    return pages;
}

void DetailReport::print() {
    if (PrinterMissing()) return;
    const int pages = countPages();
    if (ConfirmPrint(m_assets.recordset().recordCount(), pages)) {
        auto device = openDevice(kTitle);
        if (ReportTable* table = device->table())
            writeTable(*table, pages);
        else
            printOn(*device, pages);
        ReportPrinted(*device);
    }
    m_printed.clear();
}

void DetailReport::printOn(PrintDevice& device, int pages) {
    ReportPage report(device, kLayout, [&](int page) {
        PrintPageHeader(device, kTitle, QString(), 2600, 8600, page, pages);
        device.setFontName(QStringLiteral("細明體"));
        device.setFontSize(11);
        const Recordset& a = m_assets.recordset();
        for (const HeadField& h : kHead) {
            const QString caption = QString::fromUtf8(h.caption);
            const QVariant value = a.field(QString::fromUtf8(h.field));
            if (h.cell == CellKind::Text) {
                PrintAt(device, h.y, h.x, caption + value.toString());
                continue;
            }
            PrintAt(device, h.y, h.x, caption);
            PrintRightIn(device, h.y, h.x + device.textWidth(caption), h.x + 2600,
                         PrintedText({h.cell, value}));
        }
        PrintRule(device, 2130, 2700, 8500);
        for (const PrintColumn& c : kColumns) {
            PrintCenteredIn(device, 2150, c.left, c.right, QString::fromUtf8(c.heading));
            PrintRule(device, 2370, c.left, c.right);
            PrintRule(device, 2390, c.left, c.right);
        }
    });
    Recordset& assets = m_assets.recordset();
    if (m_printed.size() != assets.recordCount()) countPages();
    report.start();
    qsizetype next = 0;
    for (assets.moveFirst(); HasCurrentRow(assets); assets.moveNext())
        printAsset(device, report, m_printed[next++]);
}

void DetailReport::printAsset(PrintDevice& device, ReportPage& report,
                              const DepreciationSchedule& schedule) {
    if (schedule.lines().isEmpty()) report.printTopNow();
    for (const DepreciationSchedule::Line& line : schedule.lines()) {
        const double y = report.nextRow();
        const QList<TableCell> cells = lineCells(schedule, line);
        PrintAt(device, y, kColumns[0].left, PrintedText(cells[0]));
        for (int i = 1; i < 4; ++i)
            PrintRightIn(device, y, kColumns[i].left, kColumns[i].right, PrintedText(cells[i]));
    }
    report.close();
}

void DetailReport::writeTable(ReportTable& table, int pages) {
    QStringList header;
    for (const PrintColumn& c : kColumns) header << QString::fromUtf8(c.heading);
    table.begin(kTitle, rangeText(), header);
    Recordset& assets = m_assets.recordset();
    if (m_printed.size() != assets.recordCount()) countPages();
    TableProgress progress(kLayout.rowsPerPage, pages);
    qsizetype next = 0;
    for (assets.moveFirst(); HasCurrentRow(assets); assets.moveNext()) {
        // The head as on paper: its lines with two captions and their values each.
        for (qsizetype h = 0; h + 1 < qsizetype(std::size(kHead)); h += 2) {
            QList<TableCell> cells;
            for (const HeadField& f : {kHead[h], kHead[h + 1]})
                cells << TableCell::text(QString::fromUtf8(f.caption))
                      << TableCell{f.cell, assets.field(QString::fromUtf8(f.field))};
            table.addRow(cells);
        }
        const DepreciationSchedule& schedule = m_printed[next++];
        for (const DepreciationSchedule::Line& line : schedule.lines()) {
            progress.nextRow();
            table.addRow(lineCells(schedule, line));
        }
        progress.closeDocument();
    }
}

bool DetailReport::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_scheduleGrid && event->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent*>(event)->key();
        if (k == Qt::Key_P) {
            if (m_b2[0]->isEnabled()) print();
            return true;
        }
        if (k == Qt::Key_Escape) {
            m_grid->setFocus();
            return true;
        }
        if (k == Qt::Key_Return || k == Qt::Key_Enter) return focusNextPrevChild(true);
        if (rowEndKey(m_scheduleGrid, k)) return true;
    }
    return AssetReportWindow::eventFilter(watched, event);
}
