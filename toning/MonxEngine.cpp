// The toning engine's entry points: argument checks, engine record lifetime, change judging.
#include "MonxInternal.h"
#include "velkui/support.h"

namespace {

bool InRange(SInt32 value, SInt32 low, SInt32 high) { return value >= low && value <= high; }

/// The descriptor check shared by creation and processing.
bool ImageAcceptable(const MonxImageDesc& image) {
  if (image.width <= 0 || image.height <= 0 || image.rowBytes <= 0) return false;
  SInt32 code = image.format & ~kMonxFormatIgnoredBit;
  if (code == kMonxFormatRGB || code == kMonxFormatBGR) return image.bitsPerPixel == 24;
  if (code == kMonxFormatXRGB || code == kMonxFormatBGRX) return image.bitsPerPixel == 32;
  return false;
}

bool ToneAcceptable(SInt32 tone) {
  static constexpr SInt32 kAccepted[] = {140, 160, 180, 200, 220, 240};
  for (SInt32 accepted : kAccepted) {
    if (tone == accepted) return true;
  }
  return false;
}

/// The range checks, in the order that decides which failure is reported.
bool InfoAcceptable(const MonxInfo& info) {
  return InRange(info.colorX, -75, 75) && InRange(info.colorY, -75, 75) &&
         InRange(info.brightness, -25, 25) && InRange(info.contrast, -25, 25) &&
         InRange(info.shadowTone, -25, 25) && InRange(info.highlightTone, -25, 25) &&
         InRange(info.density, -50, 0) && InRange(info.whiteShift, 0, 1) &&
         ToneAcceptable(info.tone);
}

}  // namespace

extern "C" {

SInt32 UICreateMonx(const MonxImageDesc* image, const void* source, UIHdl** outHandle) {
  if (image == nullptr || source == nullptr || outHandle == nullptr) return kMonxErrArgument;
  if (!ImageAcceptable(*image)) return kMonxErrImage;
  Handle block = nullptr;
  UIHdl* record = reinterpret_cast<UIHdl*>(Calloc(&block, sizeof(UIHdl)));
  if (record == nullptr) return kMonxErrMemory;
  record->handle = block;
  record->image = *image;
  record->source = source;
  *outHandle = record;
  return kMonxNoErr;
}

SInt32 UIProcMonx(UIHdl* handle, const MonxInfo* info, const MonxImageDesc* image, void* output) {
  if (handle == nullptr) return kMonxErrHandle;
  if (image == nullptr || output == nullptr || info == nullptr) return kMonxErrArgument;
  if (!ImageAcceptable(*image)) return kMonxErrProcImage;
  if (!InfoAcceptable(*info)) return kMonxErrParam;
  internal_UIProcMonx(handle, info, output);
  handle->lastInfo = *info;
  return kMonxNoErr;
}

SInt32 UIJudgeMonx(UIHdl* handle, const MonxInfo* info, UInt32* changed) {
  if (handle == nullptr) return kMonxErrHandle;
  if (info == nullptr || changed == nullptr) return kMonxErrArgument;
  *changed = internal_UIJudgeMonx(&handle->lastInfo, info) ? 0 : 1;
  return kMonxNoErr;
}

SInt32 UIDeleteMonx(UIHdl* handle) {
  if (handle != nullptr) MemFree(handle->handle);
  return kMonxNoErr;
}

}  // extern "C"

SInt32 internal_UIProcMonx(UIHdl* handle, const MonxInfo* info, void* output) {
  // Exported for callers that validated everything; null pointers still do nothing.
  if (handle == nullptr || info == nullptr || output == nullptr) return 0;
  velkui::ToneImage(handle, info, output, velkui::PixelPath::kAuto);
  return 0;
}

SInt32 internal_UIJudgeMonx(const MonxInfo* a, const MonxInfo* b) {
  if (a == nullptr || b == nullptr) return 0;
  const SInt32 fa[] = {a->colorX,     a->colorY,        a->tone,    a->brightness, a->contrast,
                       a->shadowTone, a->highlightTone, a->density, a->whiteShift};
  const SInt32 fb[] = {b->colorX,     b->colorY,        b->tone,    b->brightness, b->contrast,
                       b->shadowTone, b->highlightTone, b->density, b->whiteShift};
  for (int i = 0; i < 9; ++i) {
    if (fa[i] != fb[i]) return 0;
  }
  return 1;
}
