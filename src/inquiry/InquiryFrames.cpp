#include "InquiryFrame.h"
#include "ItemFrames.h"

#include "BoardFrame.h"
#include "LookupFrames.h"

namespace InquiryFrames {
Maker makerOf(int modeIndex) {
    // Item entry, statistics, description and the branch-stock variant's modes.
    if (Maker item = ItemFrames::makerOf(modeIndex)) return item;
    switch (modeIndex) {
        case 9:  // K 佈告欄
            return [](QWidget* parent) { return new BoardFrame(parent); };
        // The lookups that start from a typed code.
        case 3:
            return LookupFrames::vendor;
        case 6:
            return LookupFrames::customerSales;
        case 17:
            return LookupFrames::customerRepairs;
        case 21:
            return LookupFrames::lotNumber;
        case 23:
            return LookupFrames::externalCode;
        default:
            return {};
    }
}
}  // namespace InquiryFrames
