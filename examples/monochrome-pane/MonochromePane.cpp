// The monochrome-photo pane's items: paper, quality, toning preset and its parameters.
//
// Dependencies are written the library's way: an item that reacts to others
// overrides ChangedOther and assigns itself (or enables entries); the preset
// assigns the parameters, a parameter moved by hand turns the preset to
// Custom, and the preview item hands the parameters on with
// SetMONXPreviewParam.
#include "MonochromePane.h"

#include <cstring>
#include <iterator>
#include <vector>

namespace monochrome {

namespace {

using velkui::UIItem;

/// A setting's value as stored, whatever form the host last wrote it in.
SInt32 Value(UInt32 key) {
  velkui::UIObject* object = velkui::UISystem::GetCurrentSystem()->FindObject(key);
  return object != nullptr ? object->value : 0;
}

/// The toning parameters in MonxInfo's field order.
struct Parameter {
  UInt32 key;
  SInt16 item;
  SInt32 min, max;
  SInt32 MonxInfo::*field;
};
const Parameter kParameters[] = {
    {kToneKey, kToneItem, 140, 240, &MonxInfo::tone},
    {kBrightnessKey, kBrightnessItem, -25, 25, &MonxInfo::brightness},
    {kContrastKey, kContrastItem, -25, 25, &MonxInfo::contrast},
    {kShadowKey, kShadowItem, -25, 25, &MonxInfo::shadowTone},
    {kHighlightKey, kHighlightItem, -25, 25, &MonxInfo::highlightTone},
    {kDensityKey, kDensityItem, -50, 0, &MonxInfo::density},
    {kWhiteShiftKey, kWhiteShiftItem, 0, 1, &MonxInfo::whiteShift},
    {kColorXKey, kColorXItem, -75, 75, &MonxInfo::colorX},
    {kColorYKey, kColorYItem, -75, 75, &MonxInfo::colorY},
};

/// The presets' parameters (colour x, colour y, tone, brightness, contrast,
/// shadow, highlight, density, white shift), in popup order.
const MonxInfo kPresets[] = {
    {0, 0, 180, 0, 0, 0, 0, 0, 0},        {8, 22, 180, 2, 0, 0, 0, 0, 0},
    {-6, -24, 180, 0, 3, 0, 0, 0, 0},     {22, 52, 160, 0, -4, 3, 0, -4, 0},
    {22, -8, 200, 0, 6, -4, 0, 0, 0},     {6, 18, 160, 0, -8, 6, 4, -10, 1},
    {-30, -70, 160, 0, -4, 0, 0, -6, 0},
};

MonxInfo CurrentInfo() {
  MonxInfo info{};
  for (const Parameter& p : kParameters) info.*p.field = Value(p.key);
  return info;
}

/// Paper: fine art and canvas need more than standard quality; canvas is
/// never printed borderless, so it leaves the menu then; plain paper is not
/// printed at best photo quality, so choosing that quality changes the paper.
class PaperItem : public UIItem {
 public:
  PaperItem() : UIItem(kPaperKey, kPlain, kCanvas) {}
  void New() override { Assign(kGlossy); }
  void Resume() override { SetControl(kPaperItem, kSignature); }
  void ChangedOther() override {
    const bool standard = Value(kQualityKey) == kStandard;
    const bool borderless = Value(kBorderlessKey) != 0;
    EnDisableItem(kFineArt, !standard);
    ShowHideMenuItem(kCanvas, !borderless, true);
    if (!borderless) EnDisableItem(kCanvas, !standard);
    const SInt32 paper = object->value;
    if ((standard && paper >= kFineArt) || (borderless && paper == kCanvas) ||
        (paper == kPlain && Value(kQualityKey) == kBest))
      Assign(kGlossy);
  }
};

/// Quality: best photo quality is not for plain paper; choosing plain paper
/// lowers it to fine.
class QualityItem : public UIItem {
 public:
  QualityItem() : UIItem(kQualityKey, kStandard, kBest) {}
  void New() override { Assign(kFine); }
  void Resume() override { SetControl(kQualityItem, kSignature); }
  void ChangedOther() override {
    if (Value(kPaperKey) == kPlain && object->value == kBest) Assign(kFine);
  }
};

class BorderlessItem : public UIItem {
 public:
  BorderlessItem() : UIItem(kBorderlessKey, 0, 1) {}
  void Resume() override { SetControl(kBorderlessItem, kSignature); }
};

/// The toning preset: follows the parameters, Custom when they match none.
class PresetItem : public UIItem {
 public:
  PresetItem() : UIItem(kPresetKey, kNeutral, kCustom) {}
  void New() override { Assign(kNeutral); }
  void Resume() override { SetControl(kPresetItem, kSignature); }
  void ChangedOther() override {
    const MonxInfo now = CurrentInfo();
    SInt32 match = kCustom;
    for (SInt32 i = 0; i < SInt32(std::size(kPresets)) && match == kCustom; ++i)
      if (std::memcmp(&kPresets[i], &now, sizeof now) == 0) match = kNeutral + i;
    Assign(match);
  }
};

/// One toning parameter: takes the preset's value when a preset is chosen.
class ParameterItem : public UIItem {
 public:
  explicit ParameterItem(const Parameter& p) : UIItem(p.key, p.min, p.max), p_(p) {}
  void New() override { Assign(kPresets[0].*p_.field); }
  void Resume() override { SetControl(p_.item, kSignature); }
  void ChangedOther() override {
    const SInt32 preset = Value(kPresetKey);
    if (preset >= kNeutral && preset < kCustom) Assign(kPresets[preset - kNeutral].*p_.field);
  }
  /// The tone exponent comes in steps of 20; a slider lands between them.
  void SetSelf() override {
    if (p_.key == kToneKey) Assign((object->value + 10) / 20 * 20);
  }

 private:
  const Parameter& p_;
};

/// The live preview: hands the current parameters on whenever one changes.
class PreviewItem : public UIItem {
 public:
  PreviewItem() : UIItem(0, 0, 0) {}
  void ChangedOther() override { SetMONXPreviewParam(CurrentInfo()); }
};

}  // namespace

void MonochromePane::New() {
  UIItem* paper = new PaperItem;
  UIItem* quality = new QualityItem;
  UIItem* borderless = new BorderlessItem;
  UIItem* preset = new PresetItem;
  std::vector<UIItem*> parameters;
  for (const Parameter& p : kParameters) parameters.push_back(new ParameterItem(p));
  UIItem* preview = new PreviewItem;

  paper->AppendDependency(quality);
  paper->AppendDependency(borderless);
  quality->AppendDependency(paper);
  for (UIItem* parameter : parameters) {
    parameter->AppendDependency(preset);
    preset->AppendDependency(parameter);
    preview->AppendDependency(parameter);
  }
  preview->AppendDependency(preset);  // after the parameters: it reads their new values
}

void* MakeMonochromePane() { return static_cast<velkui::UISystem*>(new MonochromePane); }

}  // namespace monochrome
