#include "InquiryFrame.h"

#include "BoardFrame.h"

namespace InquiryFrames {
Maker makerOf(int modeIndex) {
    switch (modeIndex) {
        case 9:  // K 佈告欄
            return [](QWidget* parent) { return new BoardFrame(parent); };
        default:
            return {};
    }
}
}  // namespace InquiryFrames
