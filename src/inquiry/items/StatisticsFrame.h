#pragma once

#include <array>

#include "DataSource.h"
#include "InquiryFrame.h"

class QLineEdit;

// Mode H "H 統計查詢": the fifteen counts of the highlighted item (SF_ZQ2K_ITEM_COUNTS) in
// T5(0..14). Enter and the arrows move between them; Esc gives the mode button the keyboard.
class StatisticsFrame : public InquiryFrame {
    Q_OBJECT
public:
    static constexpr int Fields = 15;
    explicit StatisticsFrame(QWidget* parent);
    bool start(const Context& context) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QLineEdit*, Fields> m_t5{};
    DataSource m_counts;
};
