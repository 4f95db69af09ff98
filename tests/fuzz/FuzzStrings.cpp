// The string classes' number and four-character-code conversions with any
// text, any number, any format text and any number-parts resource. The string
// lives in a buffer exactly as large as it claims (LStringRef of 1 to 256
// bytes, or an LStr255), so a write past it is caught. After every step the
// text fits the buffer; numbers and codes written read back as themselves.
#include <memory>

#include "Fuzz.h"
#include "toolbox/host/resources.h"
#include "toolbox/resources.h"
#include "velkui/support.h"

namespace {

constexpr ResType kNumberParts = FOUR_CHAR_CODE("NoPt");

/// A length-prefixed copy of up to 255 input bytes (the first byte gives the count).
LStr255 Text(fuzz::Reader& in) {
  std::string bytes = in.Bytes(in.Byte());
  return LStr255(bytes.data(), UInt8(bytes.size()));
}

double Double(fuzz::Reader& in) {
  uint64_t bits = uint64_t(in.Word()) << 32 | in.Word();
  double number;
  std::memcpy(&number, &bits, sizeof number);
  return number;
}

void Step(fuzz::Reader& in, LString& s) {
  const UInt8 room = UInt8(s.GetMaxBytes() - 1);
  Str255 whole;
  switch (in.Byte() % 10) {
    case 0:
      s.Assign(Text(in));
      break;
    case 1: {
      auto number = SInt32(in.Word());
      s.Assign(number);
      FUZZ_CHECK(room < 11 || SInt32(s) == number);
      break;
    }
    case 2: {
      FourCharCode code = in.Word();
      s.Assign(code);
      FUZZ_CHECK(room < 4 || FourCharCode(s) == code);
      break;
    }
    case 3: {
      // It reads four bytes after the length byte whatever the length: a whole Str255.
      LString::CopyPStr(s, whole);
      FourCharCode code = 0;
      LString::PStrToFourCharCode(whole, code);
      FUZZ_CHECK(s.Length() < 4 || code == FourCharCode(s));
      LString::FourCharCodeToPStr(FourCharCode(s), whole);
      FUZZ_CHECK(whole[0] == 4);
      s.Append(SInt32(s));
      break;
    }
    case 4: {
      double number = Double(in);
      auto style = SInt8(in.Byte() & 1);
      s.Assign(number, style, SInt16(in.Word() >> 16));
      break;
    }
    case 5:
      (void)double(s), (void)static_cast<long double>(s);
      break;
    case 6: {
      double number = Double(in);
      s.Assign(static_cast<long double>(number), Text(in));
      break;
    }
    case 7:
      (void)LString::StringToLongDouble(s, Text(in));
      break;
    case 8: {  // the number parts of a resource the input provides
      std::string parts = in.Bytes(in.Byte());
      SInt16 file = toolbox::host::CreateResourceFile("parts");
      toolbox::host::AddResource(file, kNumberParts, 1, "", std::vector<uint8_t>(parts.begin(), parts.end()));
      double number = Double(in);
      try {
        s.Assign(static_cast<long double>(number), Text(in), 1);
      } catch (const LException&) {
      }
      CloseResFile(file);
      break;
    }
    default: {
      LString::CopyPStr(s, whole);
      char* c = LString::PToCStr(whole);
      FUZZ_CHECK(LString::CStringLength(c) <= s.Length());
      LString::CToPStr(c);
    }
  }
  FUZZ_CHECK(s.Length() <= room);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Run run;
  fuzz::Reader in(data, size);
  uint8_t bytes = in.Byte();
  LStr255 whole;
  std::unique_ptr<unsigned char[]> buffer(new unsigned char[bytes]());  // unused when bytes is 0
  LStringRef ref(bytes, buffer.get());
  LString* s = bytes == 0 ? static_cast<LString*>(&whole) : &ref;
  for (int step = 0; step < 32 && !in.Empty(); ++step) Step(in, *s);
  return 0;
}
