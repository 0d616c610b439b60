#include "InquiryFrame.h"
#include "ItemFrames.h"

#include "BoardFrame.h"

namespace InquiryFrames {
Maker makerOf(int modeIndex) {
    // Item entry, statistics, description and the branch-stock variant's modes.
    if (Maker item = ItemFrames::makerOf(modeIndex)) return item;
    switch (modeIndex) {
        case 9:  // K 佈告欄
            return [](QWidget* parent) { return new BoardFrame(parent); };
        default:
            return {};
    }
}
}  // namespace InquiryFrames
