#pragma once

#include "DataSource.h"
#include "InquiryFrame.h"

class QTableView;

// The branch-stock variant's modes (switch BranchStockVariant).
//
// Mode P: "P 成本校正" sets the item's cost to its last purchase price; "P 全省查詢" (switch
// BranchStockQuery) shows the item's stock in the sister companies in one message. Either
// answers with a message and shows no frame.
class SisterStockView : public InquiryFrame {
    Q_OBJECT
public:
    explicit SisterStockView(QWidget* parent) : InquiryFrame(parent) {}
    bool start(const Context& context) override;

private:
    void correctCost(const QString& item);
    void showSisterStock(const QString& item, const QString& name);
    DataSource m_source;
};

// Mode Z "Z 全省庫存": the item's stock per branch from the group's central server
// (SF_ZQ2K_VNNET_STOC) in its own grid DGZ over the item list; Enter or Esc gives the mode
// button the keyboard.
class CentralStockFrame : public InquiryFrame {
    Q_OBJECT
public:
    explicit CentralStockFrame(QWidget* parent);
    ~CentralStockFrame() override;
    bool start(const Context& context) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableView* m_grid = nullptr;
    DataSource m_source;
};
