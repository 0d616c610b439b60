#include "InquiryFrame.h"

namespace InquiryFrames {
Maker makerOf(int modeIndex) {
    switch (modeIndex) {
        default:
            return {};
    }
}
}  // namespace InquiryFrames
