#pragma once

#include "AssetReportWindow.h"
#include "DepreciationSchedule.h"

class QTableView;
class RecordsetModel;
class ReportPage;
class ReportTable;

// FUC "UC--固定資產明細查詢": the assets of a code and date range and, for the asset under the
// cursor, its depreciation schedule; the portrait report "固定資產明細表", one asset after
// another, each with its own pages.
class DetailReport : public AssetReportWindow {
    Q_OBJECT
public:
    explicit DetailReport(QWidget* parent = nullptr);
    ~DetailReport() override;
    void print() override;
    // Reads the schedule of every listed asset, once, and counts the pages; printOn prints
    // what it read.
    int countPages();
    void printOn(PrintDevice& device, int pages);
    // The report as a table (a spreadsheet printer's): under the criteria line, each asset's head
    // (three lines of two captions and their values) and then its schedule lines, as on paper.
    void writeTable(ReportTable& table, int pages);

protected:
    void query(const QString& condition) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    DataSource& list() override { return m_assets; }
    // The schedule follows the asset list's current row.
    void currentRowChanged() override;
    bool listEnter() override { return true; }  // swallowed

private:
    DepreciationSchedule readSchedule(const QString& code);
    void printAsset(PrintDevice& device, ReportPage& report, const DepreciationSchedule& schedule);

    DataSource m_assets;
    DataSource m_schedule;
    Recordset m_shownSchedule;              // the lines DGR2b shows
    QList<DepreciationSchedule> m_printed;  // every listed asset's, read by countPages
    QTableView* m_scheduleGrid;             // DGR2b
    RecordsetModel* m_scheduleModel;
};
