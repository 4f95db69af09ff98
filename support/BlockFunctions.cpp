// Free functions on raw bytes and on the heap: comparisons and master pointers.
#include "toolbox/memory.h"
#include "velkui/support.h"

void InitializeHeap(SInt16 inCount) {
  for (SInt16 k = 0; k < inCount; ++k) MoreMasters();
}

bool BlocksAreEqual(const void* inBlockOne, const void* inBlockTwo, Size inCount) {
  return BlockCompare(inBlockOne, inBlockTwo, inCount) == 0;
}

SInt32 BlockCompare(const void* inBlockOne, const void* inBlockTwo, Size inCount) {
  const UInt8* one = static_cast<const UInt8*>(inBlockOne);
  const UInt8* two = static_cast<const UInt8*>(inBlockTwo);
  for (Size i = 0; i < inCount; ++i) {
    if (one[i] != two[i]) return SInt32(one[i]) - SInt32(two[i]);
  }
  return 0;
}

SInt32 BlockCompare(const void* inBlockOne, const void* inBlockTwo, Size inSizeOne,
                    Size inSizeTwo) {
  Size common = inSizeOne < inSizeTwo ? inSizeOne : inSizeTwo;
  SInt32 result = BlockCompare(inBlockOne, inBlockTwo, common);
  if (result != 0) return result;
  return SInt32(UInt32(inSizeOne) - UInt32(inSizeTwo));
}
