// Length-prefixed strings: numbers, four-character codes, number formats and
// string resources, through the toolbox's international and resource services.
#include <cstring>

#include "toolbox/memory.h"
#include "toolbox/resources.h"
#include "toolbox/text.h"
#include "velkui/support.h"

namespace {

constexpr ResType kNumberPartsType = 0x4E6F5074;  // 'NoPt'
constexpr SInt32 kNilPointer = 0x6E696C50;        // 'nilP'

}  // namespace

// ---------------------------------------------------------------- numbers

LString& LString::Assign(SInt32 inNumber) {
  Str255 text;
  NumToString(inNumber, text);
  return Assign(text + 1, text[0]);
}

LString& LString::Append(SInt32 inNumber) {
  Str255 text;
  NumToString(inNumber, text);
  return Append(text + 1, text[0]);
}

LString& LString::Assign(double inNumber, SInt8 inStyle, SInt16 inDigits) {
  decform form{char(inStyle), 0, inDigits};
  decimal digits;
  num2dec(&form, inNumber, &digits);
  char text[DECSTROUTLEN + 1] = {0};
  dec2str(&form, &digits, text);
  return Assign(text, CStringLength(text));
}

LString& LString::Assign(long double inNumber, const NumFormatString& inFormat,
                         const NumberParts& inParts) {
  double number = double(inNumber);
  extended80 wide;
  dtox80(&number, &wide);
  if (maxBytes >= sizeof(Str255)) {
    ExtendedToString(&wide, &inFormat, &inParts, string);
    return *this;
  }
  Str255 text;  // a smaller buffer gets the result cut to fit
  ExtendedToString(&wide, &inFormat, &inParts, text);
  return Assign(text + 1, text[0]);
}

LString& LString::Assign(long double inNumber, ConstStringPtr inFormat) {
  NumFormatString format;
  NumberParts parts;
  FetchFloatFormat(inFormat, format, parts);
  return Assign(inNumber, format, parts);
}

LString& LString::Assign(long double inNumber, ConstStringPtr inFormat, SInt16 inPartsResID) {
  Handle resource = ::GetResource(kNumberPartsType, inPartsResID);
  if (!resource) {
    OSErr err = ResError();
    throw LException(err != noErr ? SInt32(err) : SInt32(resNotFound));
  }
  NumberParts given;
  std::memset(&given, 0, sizeof given);
  NumFormatString format;
  NumberParts parts;
  {
    StHandleLocker lock(resource);
    Size size = GetHandleSize(resource);
    std::memcpy(&given, *resource, size_t(size < Size(sizeof given) ? size : sizeof given));
    FetchFloatFormat(inFormat, given, format, parts);
  }
  return Assign(inNumber, format, parts);
}

LString::operator SInt32() const {
  SInt32 number = 0;
  StringToNum(string, &number);
  return number;
}

LString::operator FourCharCode() const {
  FourCharCode code = 0;
  UInt8 count = Length() < 4 ? Length() : 4;
  for (UInt8 k = 1; k <= count; ++k) code = (code << 8) | string[k];
  return code;
}

LString::operator double() const { return double(StringToLongDouble(string, Str_Empty)); }

LString::operator long double() const { return StringToLongDouble(string, Str_Empty); }

long double LString::StringToLongDouble(ConstStringPtr inString, ConstStringPtr inFormat) {
  NumFormatString format;
  NumberParts parts;
  FetchFloatFormat(inFormat, format, parts);
  return StringToLongDouble(inString, format, parts);
}

long double LString::StringToLongDouble(ConstStringPtr inString, const NumFormatString& inFormat,
                                        const NumberParts& inParts) {
  extended80 wide;
  std::memset(&wide, 0, sizeof wide);
  StringToExtended(inString, &inFormat, &inParts, &wide);
  return x80tod(&wide);
}

// ---------------------------------------------------------------- number formats

void LString::GetSystemNumberParts(NumberParts& outParts) {
  Handle table = nullptr;
  SInt32 offset = 0;
  SInt32 length = 0;
  GetIntlResourceTable(smSystemScript, smNumberPartsTable, &table, &offset, &length);
  if (!table || !*table || length < SInt32(sizeof outParts)) throw LException(kNilPointer);
  std::memcpy(&outParts, *table + offset, sizeof outParts);
}

void LString::FetchFloatFormat(ConstStringPtr inFormat, NumFormatString& outFormat,
                               NumberParts& outParts) {
  GetSystemNumberParts(outParts);
  StringToFormatRec(inFormat, &outParts, &outFormat);
}

void LString::FetchFloatFormat(ConstStringPtr inFormat, const NumberParts& inGivenParts,
                               NumFormatString& outFormat, NumberParts& outParts) {
  NumFormatString parsed;
  StringToFormatRec(inFormat, &inGivenParts, &parsed);
  GetSystemNumberParts(outParts);
  Str255 text;
  TripleInt positions;
  FormatRecToString(&parsed, &outParts, text, positions);
  StringToFormatRec(text, &outParts, &outFormat);
}

// ---------------------------------------------------------------- string resources

LString& LString::Assign(Handle inHandle) {
  if (!inHandle) return Assign(nullptr, 0);
  Size size = GetHandleSize(inHandle);
  return Assign(*inHandle, Size(maxBytes) - 1 < size ? UInt8(maxBytes - 1) : UInt8(size));
}

LString& LString::Assign(SInt16 inResID, SInt16 inIndex) {
  if (inIndex <= 0) return LoadFromSTRResource(inResID);
  return LoadFromSTRListResource(inResID, inIndex);
}

LString& LString::LoadFromSTRResource(SInt16 inResID) {
  StringHandle resource = GetString(inResID);
  if (!resource || !*resource) return Assign(nullptr, 0);
  Size size = GetHandleSize(reinterpret_cast<Handle>(resource));
  UInt8 length = **resource;
  if (size < 1) return Assign(nullptr, 0);
  if (length > size - 1) length = UInt8(size - 1);  // a resource shorter than it claims
  return Assign(*resource + 1, length);
}

LString& LString::LoadFromSTRListResource(SInt16 inResID, SInt16 inIndex) {
  if (maxBytes >= sizeof(Str255)) {
    GetIndString(string, inResID, inIndex);
    return *this;
  }
  Str255 text;
  GetIndString(text, inResID, inIndex);
  return Assign(text + 1, text[0]);
}
