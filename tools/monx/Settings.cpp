// Field descriptions and the preset table of the monx tool.
#include "Settings.h"

#include <cmath>

namespace monx {
namespace {

/// A field whose accepted values are the engine's range for it.
ToningField Field(const char* option, const char* alias, char shortName, const char* accepted,
                  const char* meaning, SInt32 MonxInfo::*member, const MonxRange& range) {
  return ToningField{option, alias, shortName, accepted, meaning, member,
                     range.min, range.max, range.step};
}

}  // namespace

const std::vector<ToningField>& Fields() {
  static const std::vector<ToningField> fields = {
      Field("colour-x", "color-x", 'x', "-75 to 75",
            "colour circle, across: negative green, positive magenta-red", &MonxInfo::colorX,
            kMonxColorRange),
      Field("colour-y", "color-y", 'y', "-75 to 75",
            "colour circle, up and down: negative blue, positive yellow", &MonxInfo::colorY,
            kMonxColorRange),
      Field("tone", nullptr, 't', "140, 160, 180, 200, 220 or 240",
            "tone exponent in 1/180: below 180 lightens, above darkens", &MonxInfo::tone,
            kMonxToneRange),
      Field("brightness", nullptr, 'b', "-25 to 25", "mid-tone brightness: positive lightens",
            &MonxInfo::brightness, kMonxAdjustRange),
      Field("contrast", nullptr, 'c', "-25 to 25",
            "positive: S-curve; negative: flatter, black and white held", &MonxInfo::contrast,
            kMonxAdjustRange),
      Field("shadow", nullptr, 's', "-25 to 25", "levels 0 to 60 only: positive lightens",
            &MonxInfo::shadowTone, kMonxAdjustRange),
      Field("highlight", nullptr, 'l', "-25 to 25", "levels 192 to 255 only: positive lightens",
            &MonxInfo::highlightTone, kMonxAdjustRange),
      Field("density", nullptr, 'd', "-50 to 0",
            "negative raises black toward grey (-50: 72% of white)", &MonxInfo::density,
            kMonxDensityRange),
      Field("white-shift", nullptr, 'w', "0 or 1", "1 prints white as level 245 instead of 255",
            &MonxInfo::whiteShift, kMonxWhiteShiftRange),
  };
  return fields;
}

const ToningField* FindField(const std::string& name) {
  for (const ToningField& field : Fields())
    if (name == field.option || (field.alias && name == field.alias)) return &field;
  return nullptr;
}

MonxInfo NeutralInfo() { return kMonxNeutralInfo; }

const std::vector<Preset>& Presets() {
  // Fields: colour x, colour y, tone, brightness, contrast, shadow, highlight, density, white shift.
  static const std::vector<Preset> presets = {
      {"neutral", "plain black and white, no change", kMonxNeutralInfo},
      {"warm", "warm-tone paper: a faint cream cast", {8, 22, 180, 2, 0, 0, 0, 0, 0}},
      {"cool", "cold-tone paper: blue-black", {-6, -24, 180, 0, 3, 0, 0, 0, 0}},
      {"sepia", "sepia-toned print: brown, a little softer", {22, 52, 160, 0, -4, 3, 0, -4, 0}},
      {"selenium", "selenium-toned print: purple-brown, deep blacks",
       {22, -8, 200, 0, 6, -4, 0, 0, 0}},
      {"platinum", "platinum print: warm grey, soft, no true black",
       {6, 18, 160, 0, -8, 6, 4, -10, 1}},
      {"cyanotype", "cyanotype: Prussian blue", {-30, -70, 160, 0, -4, 0, 0, -6, 0}},
  };
  return presets;
}

const Preset* FindPreset(const std::string& name) {
  for (const Preset& preset : Presets())
    if (name == preset.name) return &preset;
  return nullptr;
}

std::string DescribeChanges(const MonxInfo& info) {
  static const char* const kShortNames[] = {"x",     "y",         "tone",    "brightness", "contrast",
                                            "shadow", "highlight", "density", "white-shift"};
  MonxInfo neutral = NeutralInfo();
  std::string text;
  for (std::size_t i = 0; i < Fields().size(); ++i) {
    auto member = Fields()[i].member;
    if (info.*member == neutral.*member) continue;
    if (!text.empty()) text += "  ";
    text += std::string(kShortNames[i]) + " " + std::to_string(info.*member);
  }
  return text.empty() ? "no change" : text;
}

std::vector<int> SpreadOf(const ToningField& field, int steps) {
  std::vector<int> values;
  int count = (field.max - field.min) / field.step + 1;
  if (count <= 8 || steps >= count) {
    for (int v = field.min; v <= field.max; v += field.step) values.push_back(v);
    return values;
  }
  steps = steps < 2 ? 2 : steps;
  for (int i = 0; i < steps; ++i) {
    double v = field.min + double(field.max - field.min) * i / (steps - 1);
    values.push_back(int(std::lround(v)));
  }
  return values;
}

}  // namespace monx
