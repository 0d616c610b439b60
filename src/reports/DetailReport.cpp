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
#include "Session.h"
#include "Twips.h"
#include "Values.h"
#include "WindowHelpers.h"

namespace {
const ReportLayout kLayout{40, 2170, 2700, 8500, PrintDevice::Orientation::Portrait};
const QString kTitle = QStringLiteral("固定資產明細表");

struct PrintColumn {
    double left, right;
    const char* heading;
};
const PrintColumn kColumns[] = {{2700, 3700, "攤提日期"},
                                {3800, 5300, "攤提金額"},
                                {5400, 6900, "累計攤提金額"},
                                {7000, 8500, "未攤提金額"}};

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
        const auto f = [&](const char* name) {
            return a.field(QString::fromUtf8(name)).toString();
        };
        PrintAt(device, 1440, 2700, QStringLiteral("財產編號:") + f("財產編號"));
        PrintAt(device, 1440, 5400, QStringLiteral("財產名稱:") + f("財產名稱"));
        // The cost and the residual value right-aligned after their captions.
        const auto amountAfter = [&](double y, const QString& caption, const char* field) {
            PrintAt(device, y, 2700, caption);
            PrintRightIn(device, y, 2700 + device.textWidth(caption), 5300,
                         FormatWhole(a.field(QString::fromUtf8(field))));
        };
        amountAfter(1670, QStringLiteral("取得原價:"), "取得原價");
        PrintAt(device, 1670, 5400, QStringLiteral("會計科目:") + f("會計科目"));
        amountAfter(1900, QStringLiteral("預留殘值:"), "預留殘值");
        PrintAt(device, 1900, 5400, QStringLiteral("取得日期:") + f("取得日期"));
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
        PrintAt(device, y, kColumns[0].left, line.date.toString().trimmed());
        const QVariant amounts[] = {line.amount, line.done, schedule.left(line)};
        for (int i = 0; i < 3; ++i)
            PrintRightIn(device, y, kColumns[i + 1].left, kColumns[i + 1].right,
                         FormatAmount(amounts[i]));
    }
    report.close();
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
