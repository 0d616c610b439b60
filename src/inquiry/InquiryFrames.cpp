#include "InquiryFrame.h"
#include "ItemFrames.h"

namespace InquiryFrames {
Maker makerOf(int modeIndex) {
    // Item entry, statistics, description and the branch-stock variant's modes.
    if (Maker item = ItemFrames::makerOf(modeIndex)) return item;
    switch (modeIndex) {
        default:
            return {};
    }
}
}  // namespace InquiryFrames
