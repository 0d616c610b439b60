#pragma once

#include <memory>

#include "InquiryFrame.h"

// The bulletin board, mode "K 佈告欄" of the inquiry window: the notices DG12 (today's, or all
// of them), the fields T4(0) to T4(5) of the current notice and the buttons B5(0) to B5(9) to
// add, change, delete, copy, print, list all, save, cancel, leave and send to the group's
// other companies. Changes go through SP_F8F_ADD, SP_F8F_EDIT and SP_F8F_DEL.
class BoardFrame : public InquiryFrame {
    Q_OBJECT
public:
    explicit BoardFrame(QWidget* parent = nullptr);
    ~BoardFrame() override;

    bool start(const Context& context) override;
    // Presses button B5(index) as Enter does; nothing when it is disabled or hidden.
    void press(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
