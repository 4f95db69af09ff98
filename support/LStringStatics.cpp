// Length-prefixed strings: class-wide operations on raw strings and the comparisons.
#include <cstring>

#include "toolbox/text.h"
#include "velkui/support.h"

StringPtr LString::CopyPStr(ConstStringPtr inSource, StringPtr outDest, SInt16 inDestSize) {
  if (!outDest || inDestSize <= 0) return outDest;
  if (!inSource) {
    outDest[0] = 0;
    return outDest;
  }
  SInt16 bytes = SInt16(inSource[0] + 1);
  if (bytes > inDestSize) bytes = inDestSize;
  std::memmove(outDest, inSource, size_t(bytes));
  outDest[0] = UInt8(bytes - 1);
  return outDest;
}

StringPtr LString::AppendPStr(StringPtr ioDest, ConstStringPtr inSource, SInt16 inDestSize) {
  if (!ioDest || !inSource) return ioDest;
  SInt32 room = SInt32(inDestSize) - 1 - ioDest[0];
  SInt32 count = inSource[0] < room ? inSource[0] : room;
  if (count <= 0) return ioDest;
  std::memmove(ioDest + 1 + ioDest[0], inSource + 1, size_t(count));
  ioDest[0] = UInt8(ioDest[0] + count);
  return ioDest;
}

UInt8 LString::CStringLength(const char* inString) {
  if (!inString) return 0;
  UInt8 length = 0;
  while (length < 255 && inString[length] != 0) ++length;
  return length;
}

StringPtr LString::CToPStr(char* ioString) {
  if (!ioString) return nullptr;
  UInt8 length = CStringLength(ioString);
  std::memmove(ioString + 1, ioString, length);
  ioString[0] = char(length);
  return reinterpret_cast<StringPtr>(ioString);
}

char* LString::PToCStr(StringPtr ioString) {
  if (!ioString) return nullptr;
  UInt8 length = ioString[0];
  std::memmove(ioString, ioString + 1, length);
  ioString[length] = 0;
  return reinterpret_cast<char*>(ioString);
}

StringPtr LString::FourCharCodeToPStr(FourCharCode inCode, StringPtr outString) {
  outString[0] = 4;
  for (int k = 0; k < 4; ++k) outString[1 + k] = UInt8(inCode >> (24 - 8 * k));
  return outString;
}

void LString::PStrToFourCharCode(ConstStringPtr inString, FourCharCode& outCode) {
  outCode = 0;
  for (int k = 1; k <= 4; ++k) outCode = (outCode << 8) | inString[k];
}

// ---------------------------------------------------------------- comparisons

SInt16 LString::ToolboxCompareText(const void* inTextOne, const void* inTextTwo,
                                   UInt8 inLengthOne, UInt8 inLengthTwo) {
  return CompareText(inTextOne, inTextTwo, inLengthOne, inLengthTwo, nullptr);
}

SInt16 LString::CompareBytes(const void* inTextOne, const void* inTextTwo, UInt8 inLengthOne,
                             UInt8 inLengthTwo) {
  const UInt8* one = static_cast<const UInt8*>(inTextOne);
  const UInt8* two = static_cast<const UInt8*>(inTextTwo);
  UInt8 common = inLengthOne < inLengthTwo ? inLengthOne : inLengthTwo;
  for (UInt8 k = 0; k < common; ++k) {
    if (one[k] != two[k]) return one[k] > two[k] ? 1 : -1;
  }
  if (inLengthOne == inLengthTwo) return 0;
  return inLengthOne > inLengthTwo ? 1 : -1;
}

SInt16 LString::CompareIgnoringCase(const void* inTextOne, const void* inTextTwo,
                                    UInt8 inLengthOne, UInt8 inLengthTwo) {
  Str255 one;
  Str255 two;
  std::memcpy(one, inTextOne, inLengthOne);
  std::memcpy(two, inTextTwo, inLengthTwo);
  UppercaseText(reinterpret_cast<Ptr>(one), inLengthOne, smSystemScript);
  UppercaseText(reinterpret_cast<Ptr>(two), inLengthTwo, smSystemScript);
  return CompareText(one, two, inLengthOne, inLengthTwo, nullptr);
}
