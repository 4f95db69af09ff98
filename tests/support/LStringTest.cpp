// Length-prefixed strings: one table per family (capacity, numbers, codes, searches,
// comparisons), resources, and the raw class-wide operations.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ExceptionCode.h"
#include "toolbox/host/resources.h"
#include "toolbox/host/text.h"
#include "toolbox/resources.h"
#include "velkui/support.h"

namespace {

std::string Text(ConstStringPtr s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }
/// A length-prefixed copy of text (at most 255 characters).
LStr255 P(const std::string& text) {
  return LStr255(text.data(), UInt8(text.size() < 255 ? text.size() : 255));
}

}  // namespace

TEST(LString, CuttingAtCapacity) {
  const std::string a250(250, 'a'), x255(255, 'x');
  LStr255 full = P(x255), self = P("abcde");
  unsigned char ten[10];
  const std::pair<LStr255, std::string> rows[] = {
      {P(a250).Append("0123456789", 10), a250 + "01234"},
      {LStr255(full).Append('!'), x255},
      {P("abc").Insert("XY", 2, 0), "XYabc"},
      {P("abc").Insert("XY", 2, 200), "abcXY"},
      {LStr255(full).Insert("Y", 1, 1), x255},
      {P("abcde").Remove(2, 100), "a"},
      {P("abcde").Remove(6, 1), "abcde"},
      {P("abcde").Replace(2, 3, "XY", 2), "aXYe"},
      {LStr255().Assign(P("abcde"), 0, 3), "abc"},
      {LStr255().Assign(P("abcde"), 6, 3), ""},
      {P("abcde")(4, 9), "de"},
      {self.Assign(self, 2, 3), "bcd"},
      {LStringRef(10, ten).Assign(x255.data(), 20), std::string(9, 'x')},
      {P(a250) + P("0123456789"), a250 + "01234"},
      {operator+(operator+((unsigned char)'<', P("ab")), (unsigned char)'>'), "<ab>"},
      {(ConstStringPtr("\x01[") + P("ab")) + ConstStringPtr("\x01]"), "[ab]"},
      {LStr255(std::string(300, 'x').c_str()), x255},
  };
  for (const auto& [result, expected] : rows) EXPECT_EQ(expected, Text(result));
}

TEST(LString, RawClassWideOperations) {
  std::string c300(300, 'c');
  EXPECT_EQ(255, LString::CToPStr(c300.data())[0]) << "CToPStr keeps 255 characters";
  Str255 buffer = "\x03" "abc";
  EXPECT_EQ("abc", std::string(LString::PToCStr(buffer)));
  unsigned char small[4];
  EXPECT_EQ("abc", Text(LString::CopyPStr(P("abcdef"), small, sizeof small)));
  EXPECT_EQ("", Text(LString::CopyPStr(nullptr, small, sizeof small)));
  EXPECT_EQ("ab", Text(LString::AppendPStr(LString::CopyPStr(P("a"), small), P("bcd"), 3)));
  EXPECT_TRUE(Text(Str_Dummy) == "X" && Str_Empty[0] == 0 && Rect_0000.right + Point_00.h == 0);
}

TEST(LString, FourCharacterCodes) {
  const FourCharCode code = 0x54455854;  // 'TEXT'
  Str255 pstr;
  FourCharCode back = 0;
  LString::PStrToFourCharCode(LString::FourCharCodeToPStr(code, pstr), back);
  EXPECT_EQ(code, back) << "the round trip gives the code back";
  const std::pair<const char*, FourCharCode> rows[] = {
      {"TEXTxy", code}, {"ab", 0x6162}, {"", 0}, {"\xFF\x01", 0xFF01}};
  for (const auto& [text, expected] : rows) EXPECT_EQ(expected, FourCharCode(LStr255(text))) << text;
  unsigned char three[3];
  EXPECT_EQ("TE", Text(LStringRef(3, three).Assign(code))) << "cut to the buffer";
}

TEST(LString, Numbers) {
  const std::pair<SInt32, const char*> longs[] = {
      {0, "0"}, {-17, "-17"}, {2147483647, "2147483647"}, {-2147483647 - 1, "-2147483648"}};
  for (const auto& [number, text] : longs) {
    EXPECT_EQ(text, Text(LStr255(number)));
    EXPECT_EQ(number, SInt32(LStr255(text))) << text;
    EXPECT_EQ(std::string("n=") + text, Text(LStr255("n=").Append(number)));
  }
  EXPECT_EQ("3.14", Text(LStr255(3.14159, FIXEDDECIMAL, 2)));
  EXPECT_EQ("1,234.50", Text(LStr255(1234.5L, P("#,##0.00"))));
  EXPECT_DOUBLE_EQ(1234.5, double(P("1234.5")));
  EXPECT_DOUBLE_EQ(1234.5, double(LStr255::StringToLongDouble(P("1,234.50"), P("#,##0.00"))));
}

TEST(LString, NumberPartsFromTheSystemAndFromResources) {
  NumberParts comma = toolbox::host::DefaultNumberParts();
  comma.data[tokDecPoint - 1].a[1] = ',';
  comma.data[tokThousands - 1].a[1] = '.';
  SInt16 file = toolbox::host::CreateResourceFile("parts");
  const UInt8* raw = reinterpret_cast<const UInt8*>(&comma);
  toolbox::host::AddResource(file, 0x4E6F5074, 200, "", {raw, raw + sizeof comma});
  EXPECT_EQ("1,234.50", Text(LStr255().Assign(1234.5L, P("#.##0,00"), 200)))
      << "a format written with the resource's parts, shown with the system's";
  EXPECT_EQ(resNotFound, CodeOf([] { LStr255().Assign(1.0L, P("0"), 201); }));
  CloseResFile(file);
  toolbox::host::SetSystemNumberParts(comma);
  EXPECT_EQ("1.234,50", Text(LStr255(1234.5L, P("#.##0,00"))));
  toolbox::host::RemoveSystemNumberParts();
  EXPECT_EQ(0x6E696C50, CodeOf([] { (void)double(P("1")); })) << "no number parts: 'nilP'";
  toolbox::host::ResetSystemNumberParts();
}

TEST(LString, FindOperations) {
  struct FindRow { const char *text, *pattern; UInt8 start, find, reverse, within; };
  const FindRow rows[] = {
      {"abcabc", "bc", 1, 2, 0, 0},      {"abcabc", "bc", 3, 5, 2, 0}, {"abcabc", "bc", 255, 0, 5, 0},
      {"abcabc", "abcabcd", 1, 0, 0, 1}, {"abcabc", "x", 1, 0, 0, 0},  {"abcabc", "ABC", 1, 0, 0, 0},
      {"bc", "abcabc", 0, 0, 0, 0},      {"bc", "xxbc", 3, 0, 0, 3}};
  for (const FindRow& r : rows) {
    LStr255 s(r.text);
    UInt8 length = UInt8(std::strlen(r.pattern));
    SCOPED_TRACE(std::string(r.text) + " / " + r.pattern + " from " + std::to_string(r.start));
    EXPECT_EQ(r.find, s.Find(r.pattern, length, r.start));
    EXPECT_EQ(r.reverse, s.ReverseFind(r.pattern, length, r.start));
    EXPECT_EQ(r.within, s.FindWithin(r.pattern, length, r.start));
  }
  LStr255 s("Hello World");
  EXPECT_TRUE(s.BeginsWith("Hello", 5) && s.EndsWith("World", 5) && !s.EndsWith("Hello", 5));
  EXPECT_EQ(0, s.Find("WORLD", 5));
  s.SetCompareFunc(&LString::CompareIgnoringCase);
  EXPECT_EQ(7, s.Find("WORLD", 5)) << "the searches use the string's comparison";
  EXPECT_EQ(5, LStr255("o").ReverseFindWithin("Hello World", 11, 5));
  EXPECT_EQ(8, LStr255("o").ReverseFindWithin("Hello World", 11));
}

TEST(LString, Comparisons) {
  struct CompareRow { const char *one, *two; SInt16 bytes, ignoringCase, toolbox; };
  const CompareRow rows[] = {
      {"abc", "abd", -1, -1, -1}, {"ab", "abc", -1, -1, -1}, {"abc", "abc", 0, 0, 0},
      {"B", "a", -1, 1, 1},       {"abc", "ABC", 1, 0, 1},   {"\x80", "\x01", 1, 1, 1},
  };
  for (const CompareRow& r : rows) {
    UInt8 a = UInt8(std::strlen(r.one)), b = UInt8(std::strlen(r.two));
    EXPECT_EQ(r.bytes, LString::CompareBytes(r.one, r.two, a, b)) << r.one << " : " << r.two;
    EXPECT_EQ(r.ignoringCase, LString::CompareIgnoringCase(r.one, r.two, a, b)) << r.one;
    EXPECT_EQ(r.toolbox, LString::ToolboxCompareText(r.one, r.two, a, b)) << r.one;
    EXPECT_EQ(r.bytes == 0, LStr255(r.one) == LStr255(r.two)) << r.one << " == " << r.two;
  }
}

TEST(LString, StringResources) {
  SInt16 file = toolbox::host::CreateResourceFile("strings");
  toolbox::host::AddResource(file, 0x53545220, 128, "", toolbox::host::StringResourceData("Hello"));
  toolbox::host::AddResource(file, 0x53545223, 128, "",
                             toolbox::host::StringListResourceData({"one", "second"}));
  unsigned char four[4];
  EXPECT_EQ("Hello", Text(LStr255(SInt16(128), SInt16(0))));
  EXPECT_EQ("second", Text(LStr255(128, 2)));
  EXPECT_EQ("sec", Text(LStringRef(4, four).Assign(128, 2))) << "cut to a small buffer";
  EXPECT_EQ("", Text(LStr255(SInt16(129), SInt16(0)))) << "missing: empty, no error";
  EXPECT_EQ("", Text(LStr255(128, 3)));
  CloseResFile(file);
}
