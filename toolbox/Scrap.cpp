// Scrap service: one process-wide scrap holding flavours of bytes.
#include "toolbox/scrap.h"

#include <algorithm>
#include <cstring>

#include "core/ScrapState.h"

using toolbox::internal::TheScrap;

OpaqueScrapRef& toolbox::internal::TheScrap() {
  static OpaqueScrapRef* scrap = new OpaqueScrapRef;  // lives until exit, never destroyed
  return *scrap;
}

namespace {

typedef std::lock_guard<std::mutex> Lock;

}  // namespace

extern "C" {

OSStatus GetCurrentScrap(ScrapRef* scrap) {
  if (!scrap) return paramErr;
  *scrap = &TheScrap();
  return noErr;
}

OSStatus GetScrapFlavorSize(ScrapRef scrap, ScrapFlavorType flavorType, Size* byteCount) {
  if (!byteCount) return paramErr;
  *byteCount = 0;
  if (scrap != &TheScrap()) return noScrapErr;
  Lock lock(scrap->mutex);
  auto it = scrap->flavors.find(flavorType);
  if (it == scrap->flavors.end()) return noTypeErr;
  *byteCount = Size(it->second.size());
  return noErr;
}

OSStatus GetScrapFlavorData(ScrapRef scrap, ScrapFlavorType flavorType, Size* byteCount,
                            void* destination) {
  if (!byteCount || (*byteCount > 0 && !destination)) return paramErr;
  if (scrap != &TheScrap()) {
    *byteCount = 0;
    return noScrapErr;
  }
  Lock lock(scrap->mutex);
  auto it = scrap->flavors.find(flavorType);
  if (it == scrap->flavors.end()) {
    *byteCount = 0;
    return noTypeErr;
  }
  Size n = std::max<Size>(0, std::min<Size>(*byteCount, Size(it->second.size())));
  if (n) std::memcpy(destination, it->second.data(), size_t(n));
  *byteCount = n;
  return noErr;
}

OSStatus ClearCurrentScrap(void) {
  OpaqueScrapRef& scrap = TheScrap();
  Lock lock(scrap.mutex);
  scrap.flavors.clear();
  return noErr;
}

OSStatus PutScrapFlavor(ScrapRef scrap, ScrapFlavorType flavorType, UInt32 flavorFlags,
                        Size flavorSize, const void* flavorData) {
  if (scrap != &TheScrap()) return noScrapErr;
  if (flavorSize < 0 || (flavorSize > 0 && !flavorData)) return paramErr;
  const uint8_t* bytes = static_cast<const uint8_t*>(flavorData);
  Lock lock(scrap->mutex);
  scrap->flavors[flavorType].assign(bytes, bytes + flavorSize);
  return noErr;
}

}  // extern "C"
