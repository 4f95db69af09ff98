// The library's exception: an error code and a message in one shared buffer.
#include "velkui/support.h"

Str255 LException::sErrorStr255 = {0};
StringPtr LException::sErrorStringPtr = LException::sErrorStr255;

LException::LException(SInt32 inErrorCode, ConstStringPtr inErrorString)
    : errorCode(inErrorCode), errorString(sErrorStringPtr) {
  if (errorString) LString::CopyPStr(inErrorString, errorString, sizeof(Str255));
}

LException::LException(const LException& inOriginal)
    : std::exception(inOriginal),
      errorCode(inOriginal.errorCode),
      errorString(inOriginal.errorString) {}

LException& LException::operator=(const LException& inOriginal) {
  std::exception::operator=(inOriginal);
  errorCode = inOriginal.errorCode;
  errorString = inOriginal.errorString;
  return *this;
}

LException::~LException() noexcept = default;

const char* LException::what() const noexcept {
  if (!errorString) return "";
  UInt8 length = errorString[0];
  // The terminator goes after the text; a full 255-character text has no room
  // for it, so it replaces the last character.
  errorString[length < 255 ? length + 1 : 255] = 0;
  return reinterpret_cast<const char*>(errorString + 1);
}

void LException::SetErrorCode(SInt32 inErrorCode) { errorCode = inErrorCode; }

void LException::SetErrorString(ConstStringPtr inErrorString) {
  if (errorString) LString::CopyPStr(inErrorString, errorString, sizeof(Str255));
}
