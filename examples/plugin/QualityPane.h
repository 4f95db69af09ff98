// A sample print-quality pane: the plug-in's system class and its factory.
#pragma once

#include "velkui/items.h"

namespace example {

/// Registry keys of the pane's settings.
enum : UInt32 {
  kQualityKey = FOUR_CHAR_CODE("qual"),
  kCopiesKey = FOUR_CHAR_CODE("copy"),
  kBorderlessKey = FOUR_CHAR_CODE("bord"),
};

/// Signature of the pane's control IDs in its layout (quality.json).
constexpr UInt32 kSignature = FOUR_CHAR_CODE("QLTY");

/// Print quality entries of the quality menu.
enum : SInt32 { kDraft = 1, kNormal = 2, kPhoto = 3 };

/// Relative item numbers of the pane's controls.
enum : SInt16 {
  kQualityItem = 1, kCopiesItem = 2, kBorderlessItem = 3, kQualityPictureItem = 4, kPreviewItem = 5
};

/// Control signature of the pane's controls, and the pictures they show: the
/// quality series (one picture per quality, masked) and the sample photograph.
constexpr UInt32 kPaneSignature = FOUR_CHAR_CODE("QLTY");
constexpr SInt16 kQualityPictures = 2000;
constexpr SInt16 kSamplePhoto = 128;
/// The toning the preview shows: a warm tone, slightly darker.
constexpr MonxInfo kWarmTone = {20, 45, 200, 0, 5, 0, 0, 0, 0};

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
