#include "InquiryFrame.h"
#include "LookupFrames.h"

namespace InquiryFrames {
Maker makerOf(int modeIndex) {
    switch (modeIndex) {
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
