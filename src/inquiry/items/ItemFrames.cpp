#include "ItemFrames.h"

#include "BranchStockFrames.h"
#include "DescriptionFrame.h"
#include "ItemEntryFrame.h"
#include "Session.h"
#include "StatisticsFrame.h"

namespace ItemFrames {
namespace {
template <class Frame>
InquiryFrames::Maker maker() {
    return [](QWidget* parent) -> InquiryFrame* { return new Frame(parent); };
}
}  // namespace

InquiryFrames::Maker makerOf(int modeIndex) {
    const bool variant = Session::current().switches.branchStockVariant;
    switch (modeIndex) {
        case 0:
            return maker<ItemEntryFrame>();
        case 10:
            return variant ? maker<SisterStockView>() : InquiryFrames::Maker{};
        case 18:
            return maker<StatisticsFrame>();
        case 20:
            return maker<DescriptionFrame>();
        case 23:
            return variant ? maker<CentralStockFrame>() : InquiryFrames::Maker{};
        default:
            return {};
    }
}
}  // namespace ItemFrames
