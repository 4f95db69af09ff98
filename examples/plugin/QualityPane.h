// A sample print-quality pane: the plug-in's system class and its factory.
#pragma once

#include "velkui/items.h"

namespace example {

/// Registry keys of the pane's settings.
enum : UInt32 {
  kQualityKey = FOUR_CHAR_CODE("qual"),
  kCopiesKey = FOUR_CHAR_CODE("copy"),
  kBorderlessKey = FOUR_CHAR_CODE("bord"),
  kDensityKey = FOUR_CHAR_CODE("dens"),
  kDryTimeKey = FOUR_CHAR_CODE("dryt"),
};

/// Print quality entries of the quality menu.
enum : SInt32 { kDraft = 1, kNormal = 2, kPhoto = 3 };

/// Relative item numbers of the pane's controls: quality is a radio button per
/// entry, on items 1 to 3.
enum : SInt16 { kQualityItem = 1, kCopiesItem = 4, kBorderlessItem = 5, kDensityItem = 6, kDryTimeItem = 7 };

/// Control signature of the pane's controls.
constexpr UInt32 kSignature = FOUR_CHAR_CODE("QLTY");

/// The pane's system: makes the items and counts its hooks.
class QualityPane : public velkui::UISystem {
 public:
  void New() override;
  void SetSelf() override { ++changes; }

  int changes = 0;  ///< how often a setting changed through a hit
};

/// The plug-in's factory, as velkui::NewIPP takes it.
void* MakeQualityPane();

}  // namespace example
