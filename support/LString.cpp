// Length-prefixed strings: assigning, editing and searching the text in a buffer.
#include <cstring>

#include "velkui/support.h"

namespace {

UInt8 Min(UInt32 inA, UInt32 inB) { return UInt8(inA < inB ? inA : inB); }

/// A buffer size the length byte can describe: 1 (room for the length byte
/// only) to 256.
UInt16 UsableSize(UInt16 inMaxBytes) {
  return inMaxBytes < 1 ? 1 : inMaxBytes > sizeof(Str255) ? UInt16(sizeof(Str255)) : inMaxBytes;
}

/// True when the comparison finds inLength bytes of both texts equal.
bool Matches(LString::CompareFunc inCompare, const void* inText, const void* inPattern,
             UInt8 inLength) {
  return inCompare(inText, inPattern, inLength, inLength) == 0;
}

}  // namespace

LString::LString(UInt16 inMaxBytes, StringPtr inBuffer)
    : string(inBuffer),
      compareFunc(&LString::ToolboxCompareText),
      maxBytes(UsableSize(inMaxBytes)) {}

LString::~LString() = default;

// ---------------------------------------------------------------- assigning

LString& LString::Assign(const void* inText, UInt8 inLength) {
  UInt8 kept = Min(inLength, UInt32(maxBytes) - 1);
  if (kept > 0) std::memmove(string + 1, inText, kept);  // the text may lie in this buffer
  string[0] = kept;
  return *this;
}

LString& LString::Assign(const LString& inSource, UInt8 inStart, UInt8 inCount) {
  UInt8 length = inSource.Length();
  if (inStart == 0) inStart = 1;
  if (inCount == 0 || inStart > length) return Assign(nullptr, 0);
  return Assign(inSource.string + inStart, Min(inCount, UInt32(length) - inStart + 1));
}

LString& LString::Assign(ConstStringPtr inString) {
  if (!inString) return Assign(nullptr, 0);
  return Assign(inString + 1, inString[0]);
}

LString& LString::Assign(unsigned char inChar) { return Assign(&inChar, 1); }

LString& LString::Assign(FourCharCode inCode) {
  Str255 code;
  FourCharCodeToPStr(inCode, code);
  return Assign(code + 1, 4);
}

// ---------------------------------------------------------------- editing

LString& LString::Append(unsigned char inChar) {
  if (Length() < maxBytes - 1) string[++string[0]] = inChar;
  return *this;
}

LString& LString::Append(const void* inText, UInt8 inLength) {
  UInt8 kept = Min(inLength, Room());
  if (kept > 0) std::memmove(string + 1 + Length(), inText, kept);
  string[0] = UInt8(string[0] + kept);
  return *this;
}

LString& LString::Append(ConstStringPtr inString) {
  if (!inString) return *this;
  return Append(inString + 1, inString[0]);
}

LString& LString::Append(const LString& inString) {
  return Append(inString.string + 1, inString.Length());
}

LString& LString::Insert(const void* inText, UInt8 inLength, UInt8 inAtPosition) {
  UInt8 length = Length();
  if (inAtPosition == 0) inAtPosition = 1;
  if (inAtPosition > length + 1) inAtPosition = UInt8(length + 1);
  UInt8 kept = Min(inLength, Room());
  if (kept == 0) return *this;
  Str255 text;  // the text may lie in this buffer, which the shift changes
  std::memcpy(text, inText, kept);
  std::memmove(string + inAtPosition + kept, string + inAtPosition, length - inAtPosition + 1);
  std::memcpy(string + inAtPosition, text, kept);
  string[0] = UInt8(length + kept);
  return *this;
}

LString& LString::Remove(UInt8 inStart, UInt8 inCount) {
  UInt8 length = Length();
  if (inStart > length) return *this;
  if (inStart == 0) inStart = 1;
  UInt8 removed = Min(inCount, UInt32(length) - inStart + 1);
  std::memmove(string + inStart, string + inStart + removed, length - inStart - removed + 1);
  string[0] = UInt8(length - removed);
  return *this;
}

LString& LString::Replace(UInt8 inStart, UInt8 inCount, const void* inText, UInt8 inLength) {
  Str255 text;  // the text may lie in this buffer, which the removal changes
  if (inLength > 0) std::memcpy(text, inText, inLength);
  Remove(inStart, inCount);
  return Insert(text, inLength, inStart);
}

LStr255 LString::operator()(UInt8 inStart, UInt8 inCount) const {
  LStr255 part;
  part.Assign(*this, inStart, inCount);
  return part;
}

// ---------------------------------------------------------------- searching

UInt8 LString::Find(const void* inPattern, UInt8 inLength, UInt8 inStart) const {
  SInt32 last = SInt32(Length()) - inLength + 1;
  for (SInt32 p = inStart == 0 ? 1 : inStart; p <= last; ++p) {
    if (Matches(compareFunc, string + p, inPattern, inLength)) return UInt8(p);
  }
  return 0;
}

UInt8 LString::Find(const LString& inPattern, UInt8 inStart) const {
  return Find(inPattern.string + 1, inPattern.Length(), inStart);
}

UInt8 LString::ReverseFind(const void* inPattern, UInt8 inLength, UInt8 inStart) const {
  SInt32 last = SInt32(Length()) - inLength + 1;
  for (SInt32 p = inStart < last ? inStart : last; p >= 1; --p) {
    if (Matches(compareFunc, string + p, inPattern, inLength)) return UInt8(p);
  }
  return 0;
}

bool LString::BeginsWith(const void* inPattern, UInt8 inLength) const {
  return inLength <= Length() && Matches(compareFunc, string + 1, inPattern, inLength);
}

bool LString::EndsWith(const void* inPattern, UInt8 inLength) const {
  return inLength <= Length() && Matches(compareFunc, string + 1 + Length() - inLength, inPattern, inLength);
}

UInt8 LString::FindWithin(const void* inText, UInt8 inTextLength, UInt8 inStart) const {
  const UInt8* text = static_cast<const UInt8*>(inText);
  SInt32 last = SInt32(inTextLength) - Length();
  if (inStart == 0) return 0;
  for (SInt32 offset = inStart - 1; offset <= last; ++offset) {
    if (Matches(compareFunc, text + offset, string + 1, Length())) return UInt8(offset + 1);
  }
  return 0;
}

UInt8 LString::ReverseFindWithin(const void* inText, UInt8 inTextLength, UInt8 inStart) const {
  const UInt8* text = static_cast<const UInt8*>(inText);
  SInt32 last = SInt32(inTextLength) - Length();
  if (inStart == 0) return 0;
  for (SInt32 offset = inStart - 1 < last ? inStart - 1 : last; offset >= 0; --offset) {
    if (Matches(compareFunc, text + offset, string + 1, Length())) return UInt8(offset + 1);
  }
  return 0;
}

bool LString::operator==(const LString& inOther) const {
  return compareFunc(string + 1, inOther.string + 1, Length(), inOther.Length()) == 0;
}
