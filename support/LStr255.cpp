// The two concrete strings (own 256-byte buffer, caller's buffer), concatenation
// and the exported constants.
#include <cstring>

#include "velkui/support.h"

const unsigned char Str_Empty[1] = {0};
const unsigned char Str_Dummy[2] = {1, 'X'};
const Rect Rect_0000 = {0, 0, 0, 0};
const Point Point_00 = {0, 0};

// ---------------------------------------------------------------- LStr255

LStr255::LStr255() : LString(sizeof buffer, buffer) { buffer[0] = 0; }

LStr255::LStr255(const LStr255& inOriginal) : LStr255() { Assign(inOriginal); }

LStr255::LStr255(const LString& inOriginal) : LStr255() { Assign(inOriginal); }

LStr255::LStr255(ConstStringPtr inString) : LStr255() { Assign(inString); }

LStr255::LStr255(unsigned char inChar) : LStr255() { Assign(inChar); }

LStr255::LStr255(char inChar) : LStr255() { Assign(inChar); }

LStr255::LStr255(const char* inCString) : LStr255() {
  Assign(inCString, CStringLength(inCString));
}

LStr255::LStr255(const void* inText, UInt8 inLength) : LStr255() { Assign(inText, inLength); }

LStr255::LStr255(Handle inHandle) : LStr255() { Assign(inHandle); }

LStr255::LStr255(SInt16 inResID, SInt16 inIndex) : LStr255() { Assign(inResID, inIndex); }

LStr255::LStr255(SInt32 inNumber) : LStr255() { Assign(inNumber); }

LStr255::LStr255(SInt16 inNumber) : LStr255() { Assign(SInt32(inNumber)); }

LStr255::LStr255(long double inNumber, ConstStringPtr inFormat) : LStr255() {
  Assign(inNumber, inFormat);
}

LStr255::LStr255(long double inNumber, const NumFormatString& inFormat,
                 const NumberParts& inParts)
    : LStr255() {
  Assign(inNumber, inFormat, inParts);
}

LStr255::LStr255(double inNumber, SInt8 inStyle, SInt16 inDigits) : LStr255() {
  Assign(inNumber, inStyle, inDigits);
}

LStr255::LStr255(FourCharCode inCode) : LStr255() { Assign(inCode); }

LStr255::~LStr255() = default;

LStr255& LStr255::operator=(const LStr255& inOriginal) {
  Assign(inOriginal);
  return *this;
}

LStr255& LStr255::operator=(const LString& inOriginal) {
  Assign(inOriginal);
  return *this;
}

LStr255& LStr255::operator=(ConstStringPtr inString) {
  Assign(inString);
  return *this;
}

// ---------------------------------------------------------------- LStringRef

LStringRef::LStringRef(UInt16 inMaxBytes, StringPtr inBuffer) : LString(inMaxBytes, inBuffer) {}

LStringRef::LStringRef(const LStringRef& inOriginal) = default;

LStringRef& LStringRef::operator=(const LStringRef& inOriginal) = default;

LStringRef::~LStringRef() = default;

void LStringRef::SetStringRef(UInt16 inMaxBytes, StringPtr inBuffer) {
  LStringRef target(inMaxBytes, inBuffer);  // the size checked as by the constructor
  string = target.string;
  maxBytes = target.maxBytes;
}

// ---------------------------------------------------------------- concatenation

LStr255 operator+(unsigned char inLeft, const LString& inRight) {
  LStr255 result(inLeft);
  result.Append(inRight);
  return result;
}

LStr255 operator+(const LString& inLeft, unsigned char inRight) {
  LStr255 result(inLeft);
  result.Append(inRight);
  return result;
}

LStr255 operator+(ConstStringPtr inLeft, const LString& inRight) {
  LStr255 result(inLeft);
  result.Append(inRight);
  return result;
}

LStr255 operator+(const LString& inLeft, ConstStringPtr inRight) {
  LStr255 result(inLeft);
  result.Append(inRight);
  return result;
}

LStr255 operator+(const LString& inLeft, const LString& inRight) {
  LStr255 result(inLeft);
  result.Append(inRight);
  return result;
}
