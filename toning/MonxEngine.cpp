// The toning engine's entry points: argument checks, engine record lifetime,
// the pipeline (curves, byte tables, pixels), change judging.
#include "MonxInternal.h"
#include "velkui/support.h"

namespace {

/// The descriptor check shared by creation and processing.
bool ImageAcceptable(const MonxImageDesc& image) {
  if (image.width <= 0 || image.height <= 0 || image.rowBytes <= 0) return false;
  SInt32 code = image.format & ~kMonxFormatIgnoredBit;
  if (code == kMonxFormatRGB || code == kMonxFormatBGR) return image.bitsPerPixel == 24;
  if (code == kMonxFormatXRGB || code == kMonxFormatBGRX) return image.bitsPerPixel == 32;
  return false;
}

/// Every field holds one of the values its range accepts.
bool InfoAcceptable(const MonxInfo& info) {
  const SInt32 fields[] = {info.colorX,     info.colorY,        info.tone,
                           info.brightness, info.contrast,      info.shadowTone,
                           info.highlightTone, info.density,    info.whiteShift};
  for (int i = 0; i < 9; ++i) {
    if (!MonxAccepts(kMonxFieldRanges[i], fields[i])) return false;
  }
  return true;
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

namespace velkui {

void ToneImage(UIHdl* handle, const MonxInfo* info, void* output, PixelPath path) {
  BuildChannelCurves(handle, info);
  ByteTables tables;
  BuildByteTables(*handle, &tables);
  MapPixels(handle->image, static_cast<const UInt8*>(handle->source), static_cast<UInt8*>(output),
            tables, path);
}

}  // namespace velkui

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
