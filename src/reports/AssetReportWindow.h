#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "DataSource.h"

class FieldBox;
class LookupGrid;
class PrintDevice;
class QFrame;
class QLabel;
class QPushButton;
class QTableView;
class RecordsetModel;

// What the two asset reports share: the criteria frame Fr1 with the code range T1(0)-T1(1) and
// the acquisition date range T1(2)-T1(3), their keys and the code lookup DGF1, the range checks
// and the condition text, and the print device.
class AssetReportWindow : public QWidget {
    Q_OBJECT
public:
    using DeviceFactory = std::function<std::unique_ptr<PrintDevice>(const QString& document)>;
    // The device every report prints on: the current printer (a spreadsheet printer takes the
    // report's table), or what tests give.
    static void setDeviceFactory(DeviceFactory factory);
    static std::unique_ptr<PrintDevice> openDevice(const QString& document);

    // The condition of the ranges as the reports append it to "From Asset".
    static QString condition(const QString& codeFrom, const QString& codeTo,
                             const QString& dateFrom, const QString& dateTo);

    FieldBox* criteria(int index) const { return m_t1[index]; }
    // Checks the ranges (completeness, then order with the swap question) and runs the query
    // with the condition; the button "確定".
    void runQuery();

protected:
    AssetReportWindow(const QString& objectName, const QString& caption, QWidget* parent);
    // The report's own query for the condition W.
    virtual void query(const QString& condition) = 0;
    // "財產編號:from~to 取得日期:from~to" of the printed summary (texts trimmed).
    QString rangeText() const;
    // Back from the result to the criteria (the button "Esc 取消" of the result).
    virtual void showCriteria();
    // The result with the asset list; the print button by right 966.
    void showResult();
    // The data source of the asset list, whose current row the grid DGR2 follows.
    virtual DataSource& list() = 0;
    virtual void currentRowChanged() = 0;
    virtual void print() = 0;
    // Enter on the asset list.
    virtual bool listEnter() = 0;
    static QTableView* makeGrid(const QString& name, RecordsetModel* model, QWidget* parent);
    // Home and End on a result grid: its first and last row (the table's own keys would only
    // scroll sideways). False for any other key.
    static bool rowEndKey(QTableView* grid, int key);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QPushButton* makeButton(const QString& caption, const QString& name, QWidget* parent);

    QFrame* m_fr1;
    QFrame* m_fr2;
    std::array<FieldBox*, 4> m_t1{};
    std::array<QPushButton*, 2> m_b1{};
    LookupGrid* m_lookup;
    DataSource m_lookupSource;
    // The result: the asset list DGR2 and the buttons "P 列印" and "Esc 取消".
    QTableView* m_grid;
    RecordsetModel* m_model;
    std::array<QPushButton*, 2> m_b2{};

private:
    bool rangeComplete(int from, int to, const QString& caption);
    bool rangeOrdered(int from, int to, const QString& caption);
    void leaveDate(FieldBox* box);
    void openLookup(int index);
};
