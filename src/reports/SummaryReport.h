#pragma once

#include <array>

#include "AssetReportWindow.h"

class ReportTable;
struct ResultSet;

// FUB "UB--固定資產總表查詢": the assets of a code and date range with the grand totals, the
// sums of the account under the cursor, and the landscape report "固定資產總表".
class SummaryReport : public AssetReportWindow {
    Q_OBJECT
public:
    explicit SummaryReport(QWidget* parent = nullptr);
    ~SummaryReport() override;
    void print() override;
    // The report on any device (the button prints on the current printer).
    void printOn(PrintDevice& device, int pages);
    // The report as a table (a spreadsheet printer's): the asset list's rows as printOn prints
    // them, under the criteria line; the progress line counts the pages they take on paper.
    static void writeTable(ReportTable& table, const ResultSet& list, const QString& criteria,
                           int pages);

protected:
    void query(const QString& condition) override;
    DataSource& list() override { return m_list; }
    // The sums of the account under the cursor.
    void currentRowChanged() override;
    bool listEnter() override { return focusNextPrevChild(true); }
    void showCriteria() override;

private:
    DataSource m_list;      // totals, then the asset list
    DataSource m_accounts;  // the sums per account
    std::array<FieldBox*, 9> m_t2{};
    bool m_resultShown = false;
};
