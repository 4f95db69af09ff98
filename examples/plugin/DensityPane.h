// A sample ink pane shown on tracked controls: paper weight as radio buttons,
// ink density on a slider and drying time on little arrows.
#pragma once

#include "velkui/items.h"

namespace example {

/// Registry keys of the ink pane's settings.
enum : UInt32 {
  kPaperWeightKey = FOUR_CHAR_CODE("pwgt"),
  kDensityKey = FOUR_CHAR_CODE("dens"),
  kDryTimeKey = FOUR_CHAR_CODE("dryt"),
};

/// Paper weights, one radio button each.
enum : SInt32 { kThinPaper = 1, kPlainPaper = 2, kHeavyPaper = 3 };

/// Relative item numbers: the paper weight buttons take items 1 to 3.
enum : SInt16 { kPaperWeightItem = 1, kDensityItem = 4, kDryTimeItem = 5 };

/// Control signature of the ink pane's controls.
constexpr UInt32 kInkSignature = FOUR_CHAR_CODE("INKS");

/// The ink pane's system.
class DensityPane : public velkui::UISystem {
 public:
  void New() override;
};

/// The plug-in's factory of the ink pane, as velkui::NewIPP takes it.
void* MakeDensityPane();

}  // namespace example
