// Comparators: the bytewise default, the signed 32-bit one, and their shared instances.
#include <cstring>

#include "velkui/support.h"

namespace {

SInt32 ReadLong(const void* inItem) {
  SInt32 value;
  std::memcpy(&value, inItem, sizeof value);
  return value;
}

}  // namespace

// Both shared comparators live in this file so they are built in a known order
// when the library is loaded and destroyed when it is unloaded.
LComparator LComparator::sComparator;
LLongComparator LLongComparator::sLongComparator;

LComparator::LComparator() = default;

LComparator::~LComparator() = default;

SInt32 LComparator::Compare(const void* inItemOne, const void* inItemTwo, UInt32 inSizeOne,
                            UInt32 inSizeTwo) const {
  return BlockCompare(inItemOne, inItemTwo, Size(inSizeOne), Size(inSizeTwo));
}

bool LComparator::IsEqualTo(const void* inItemOne, const void* inItemTwo, UInt32 inSizeOne,
                            UInt32 inSizeTwo) const {
  return Compare(inItemOne, inItemTwo, inSizeOne, inSizeTwo) == 0;
}

SInt32 LComparator::CompareToKey(const void* inItem, UInt32 inSize, const void* inKey) const {
  return 1;
}

bool LComparator::IsEqualToKey(const void* inItem, UInt32 inSize, const void* inKey) const {
  return CompareToKey(inItem, inSize, inKey) == 0;
}

LComparator* LComparator::Clone() { return new LComparator; }

LComparator* LComparator::GetComparator() { return &sComparator; }

LLongComparator::LLongComparator() = default;

LLongComparator::~LLongComparator() = default;

SInt32 LLongComparator::Compare(const void* inItemOne, const void* inItemTwo, UInt32 inSizeOne,
                                UInt32 inSizeTwo) const {
  // Wrapping 32-bit subtraction, as the interface has always defined it.
  return SInt32(UInt32(ReadLong(inItemOne)) - UInt32(ReadLong(inItemTwo)));
}

bool LLongComparator::IsEqualTo(const void* inItemOne, const void* inItemTwo, UInt32 inSizeOne,
                                UInt32 inSizeTwo) const {
  return ReadLong(inItemOne) == ReadLong(inItemTwo);
}

LComparator* LLongComparator::Clone() { return new LLongComparator; }

LLongComparator* LLongComparator::GetComparator() { return &sLongComparator; }
