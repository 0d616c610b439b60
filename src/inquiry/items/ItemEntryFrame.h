#pragma once

#include <memory>

#include "InquiryFrame.h"

// Mode F "F 產品查詢": an item by code, bar code or name. Leaving the code field T1(0) finds
// the item the text names; F2 in either field lists the item codes (DG2) that begin with the
// typed code; "確定" positions the window's item list at the item.
class ItemEntryFrame : public InquiryFrame {
    Q_OBJECT
public:
    explicit ItemEntryFrame(QWidget* parent);
    ~ItemEntryFrame() override;
    bool start(const Context& context) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void resolve();
    void confirm();
    void leave();
    void openList();
    bool listKey(int key);

    struct Private;
    std::unique_ptr<Private> d;
};
