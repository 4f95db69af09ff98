// Engine calls of the monx tool: record validation, the grey ramp, banded RGB toning.
#include "Toner.h"

#include <cstring>
#include <string>

#include "ToolError.h"

namespace monx {
namespace {

MonxImageDesc RgbDesc(int width, int rows) {
  return MonxImageDesc{width, rows, 24, kMonxFormatRGB, width * 3, 0, 0, 0};
}

/// Runs the engine once over packed RGB rows; returns its result code.
SInt32 RunEngine(const MonxInfo& info, const std::uint8_t* src, std::uint8_t* dst, int width,
                 int rows) {
  MonxImageDesc desc = RgbDesc(width, rows);
  UIHdl* handle = nullptr;
  SInt32 result = UICreateMonx(&desc, src, &handle);
  if (result != kMonxNoErr) return result;
  result = UIProcMonx(handle, &info, &desc, dst);
  UIDeleteMonx(handle);
  return result;
}

[[noreturn]] void EngineFailed(SInt32 result) {
  throw ToolError(kExitSoftware, "the toning engine failed with result " + std::to_string(result));
}

}  // namespace

const ToningField* RefusedField(const MonxInfo& info) {
  for (const ToningField& field : Fields()) {
    SInt32 value = info.*field.member;
    if (!MonxAccepts(MonxRange{field.min, field.max, field.step}, value)) return &field;
  }
  return nullptr;
}

void CheckRecord(const MonxInfo& info) {
  if (const ToningField* field = RefusedField(info))
    throw ToolError(kExitUsage, "--" + std::string(field->option) + " " +
                                    std::to_string(info.*field->member) +
                                    " is out of range; accepted values: " + field->accepted);
}

Toner::Toner(const MonxInfo& info) : info_(info) {
  std::uint8_t ramp[256 * 3];
  std::uint8_t toned[256 * 3];
  for (int i = 0; i < 256; ++i) std::memset(ramp + 3 * i, i, 3);
  SInt32 result = RunEngine(info, ramp, toned, 256, 1);
  if (result != kMonxNoErr) EngineFailed(result);
  for (int i = 0; i < 256; ++i) {
    red_[i] = toned[3 * i];
    green_[i] = toned[3 * i + 1];
    blue_[i] = toned[3 * i + 2];
  }
}

void Toner::ToneGrey(const std::uint8_t* grey, std::uint8_t* rgb, std::size_t width) const {
  for (std::size_t x = 0; x < width; ++x, rgb += 3) {
    std::uint8_t v = grey[x];
    rgb[0] = red_[v];
    rgb[1] = green_[v];
    rgb[2] = blue_[v];
  }
}

void Toner::ToneRgb(const std::uint8_t* src, std::uint8_t* dst, int width, int rows) const {
  SInt32 result = RunEngine(info_, src, dst, width, rows);
  if (result != kMonxNoErr) EngineFailed(result);
}

}  // namespace monx
