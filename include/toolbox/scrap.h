// Scrap service: the clipboard, read by flavour.
#pragma once

#include "toolbox/types.h"

struct OpaqueScrapRef;
typedef OpaqueScrapRef* ScrapRef;
typedef FourCharCode ScrapFlavorType;

constexpr ScrapFlavorType kScrapFlavorTypeText = FOUR_CHAR_CODE("TEXT");

enum : OSStatus {
  noScrapErr = -100,
  noTypeErr = -102,
};

extern "C" {

/// The current scrap; paramErr for a null argument.
TOOLBOX_EXPORT OSStatus GetCurrentScrap(ScrapRef* scrap);
/// Bytes held for a flavour: noErr and the size, or noTypeErr and 0 when the
/// scrap holds no such flavour; noScrapErr for an unknown scrap.
TOOLBOX_EXPORT OSStatus GetScrapFlavorSize(ScrapRef scrap, ScrapFlavorType flavorType,
                                           Size* byteCount);
/// Copies up to *byteCount bytes of a flavour into destination and sets
/// *byteCount to the number copied; noTypeErr (and 0) when there is none.
TOOLBOX_EXPORT OSStatus GetScrapFlavorData(ScrapRef scrap, ScrapFlavorType flavorType,
                                           Size* byteCount, void* destination);
/// Empties the current scrap.
TOOLBOX_EXPORT OSStatus ClearCurrentScrap(void);
/// Adds or replaces a flavour of the scrap with a copy of the bytes.
TOOLBOX_EXPORT OSStatus PutScrapFlavor(ScrapRef scrap, ScrapFlavorType flavorType,
                                       UInt32 flavorFlags, Size flavorSize,
                                       const void* flavorData);

}  // extern "C"
