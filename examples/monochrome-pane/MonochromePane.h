// The sample monochrome-photo pane of an inkjet driver: keys, item numbers and the system class.
#pragma once

#include "velkui/items.h"

namespace monochrome {

/// Signature of the pane's control IDs in monochrome.json.
constexpr UInt32 kSignature = FOUR_CHAR_CODE("MONO");

/// Registry keys of the pane's settings.
enum : UInt32 {
  kPaperKey = FOUR_CHAR_CODE("papr"),
  kQualityKey = FOUR_CHAR_CODE("qlty"),
  kBorderlessKey = FOUR_CHAR_CODE("bord"),
  kPresetKey = FOUR_CHAR_CODE("prst"),
  kToneKey = FOUR_CHAR_CODE("tone"),
  kBrightnessKey = FOUR_CHAR_CODE("brit"),
  kContrastKey = FOUR_CHAR_CODE("cont"),
  kShadowKey = FOUR_CHAR_CODE("shad"),
  kHighlightKey = FOUR_CHAR_CODE("high"),
  kDensityKey = FOUR_CHAR_CODE("dens"),
  kWhiteShiftKey = FOUR_CHAR_CODE("whts"),
  kColorXKey = FOUR_CHAR_CODE("colx"),
  kColorYKey = FOUR_CHAR_CODE("coly"),
};

/// Entries of the paper popup.
enum : SInt32 { kPlain = 1, kGlossy, kMatte, kFineArt, kCanvas };
/// Buttons of the quality radio group.
enum : SInt32 { kStandard = 1, kFine, kBest };
/// Entries of the toning preset popup; kCustom once a parameter is moved by hand.
enum : SInt32 { kNeutral = 1, kWarm, kCool, kSepia, kSelenium, kPlatinum, kCyanotype, kCustom };

/// Relative item numbers: the control IDs (MONO:n) of the layout.
enum : SInt16 {
  kPaperItem = 1,
  kQualityItem = 2,
  kBorderlessItem = 3,
  kPresetItem = 4,
  kToneItem = 5,  // the toning parameters: 5 .. 13, in MonxInfo's order below
  kBrightnessItem,
  kContrastItem,
  kShadowItem,
  kHighlightItem,
  kDensityItem,
  kWhiteShiftItem,
  kColorXItem,
  kColorYItem,
};

/// The pane's system: makes the items and wires their dependencies.
class MonochromePane : public velkui::UISystem {
 public:
  void New() override;
};

/// The plug-in's factory, as velkui::NewIPP takes it.
void* MakeMonochromePane();

}  // namespace monochrome
