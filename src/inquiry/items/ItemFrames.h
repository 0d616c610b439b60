#pragma once

#include "InquiryFrame.h"

// The frames of the item entry (F), statistics (H) and description (E) modes, and those of
// the branch-stock variant (P and Z) when the installation's switch is on.
namespace ItemFrames {
InquiryFrames::Maker makerOf(int modeIndex);
}
