// Basic types of the host toolbox: fixed-width integers, handles, strings, geometry.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(TOOLBOX_BUILDING)
#define TOOLBOX_EXPORT __attribute__((visibility("default")))
#else
#define TOOLBOX_EXPORT __attribute__((visibility("default")))
#endif

// The platform the library was written for was 32-bit: `long` there is SInt32.
typedef int8_t SInt8;
typedef uint8_t UInt8;
typedef int16_t SInt16;
typedef uint16_t UInt16;
typedef int32_t SInt32;
typedef uint32_t UInt32;
typedef int64_t SInt64;
typedef uint64_t UInt64;

typedef unsigned char Boolean;
typedef SInt16 OSErr;
typedef SInt32 OSStatus;
typedef UInt32 FourCharCode;
typedef FourCharCode ResType;
typedef FourCharCode OSType;
typedef SInt32 Size;

typedef char* Ptr;
typedef Ptr* Handle;
typedef SInt8 SignedByte;

typedef unsigned char Str255[256];
typedef unsigned char Str63[64];
typedef unsigned char Str31[32];
typedef unsigned char Str15[16];
typedef unsigned char* StringPtr;
typedef const unsigned char* ConstStringPtr;
typedef const unsigned char* ConstStr255Param;
typedef unsigned char** StringHandle;

struct Point {
  SInt16 v;
  SInt16 h;
};

struct Rect {
  SInt16 top;
  SInt16 left;
  SInt16 bottom;
  SInt16 right;
};

enum : OSErr {
  noErr = 0,
  paramErr = -50,
  memFullErr = -108,
  nilHandleErr = -109,
  memWZErr = -111,
  memLockedErr = -117,
  resNotFound = -192,
  resFNotFound = -193,
  addResFailed = -194,
  resAttrErr = -198,
  errUnknownControl = -30584,
};

/// Builds a four-character code from its characters, first character highest.
constexpr FourCharCode FOUR_CHAR_CODE(const char (&s)[5]) {
  return (UInt32(UInt8(s[0])) << 24) | (UInt32(UInt8(s[1])) << 16) |
         (UInt32(UInt8(s[2])) << 8) | UInt32(UInt8(s[3]));
}
