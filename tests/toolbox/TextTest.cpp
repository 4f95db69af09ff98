// Tests of the text utilities: number <-> text, comparison, case, the number
// parts table, 80-bit and decimal conversions, number formats.
#include <cstring>
#include <limits>
#include <string>

#include "WindowFixture.h"
#include "toolbox/text.h"

using namespace toolbox::host;

namespace {

using windowtest::FromPascal;
using windowtest::PString;

constexpr SInt32 kMin32 = std::numeric_limits<SInt32>::min();

TEST(TextTest, NumToStringWritesDecimalAndRoundTripsThroughStringToNum) {
  struct Row { SInt32 n; const char* text; } rows[] = {
      {0, "0"}, {-7, "-7"}, {1234567, "1234567"}, {2147483647, "2147483647"}, {kMin32, "-2147483648"}};
  for (const Row& r : rows) {
    Str255 s;
    std::memset(s, 'X', sizeof s);
    NumToString(r.n, s);
    EXPECT_EQ(r.text, FromPascal(s)) << r.n;
  }
  std::vector<SInt32> values = {kMin32, -1, 0, 1, std::numeric_limits<SInt32>::max()};
  for (SInt32 p = 1; p < 1000000000; p *= 10) values.insert(values.end(), {p, -p, p - 1});
  for (SInt32 v : values) {
    Str255 s;
    NumToString(v, s);
    SInt32 back = 0;
    StringToNum(s, &back);
    EXPECT_EQ(v, back) << FromPascal(s);
  }
}

TEST(TextTest, StringToNumFollowsThePlatformsArithmetic) {
  struct Row { const char* text; SInt32 n; const char* why; } rows[] = {
      {"", 0, "empty text"}, {"-123", -123, "leading minus"}, {"+45", 45, "leading plus"},
      {"007", 7, "leading zeros"}, {"-2147483648", kMin32, "smallest"}, {"-", 0, "sign only"}, {"+", 0, "sign only"},
      {"2147483648", kMin32, "one past the largest wraps"}, {"4294967297", 1, "wraps modulo 2^32"},
      {"12a", 169, "a non-digit adds its code minus '0'"}, {" 5", -155, "a leading blank is not skipped"},
      {"1-2", 72, "a sign after the first character is a character like any other"},
  };
  for (const Row& r : rows) {
    SInt32 n = 12345;
    StringToNum(PString(r.text), &n);
    EXPECT_EQ(r.n, n) << '"' << r.text << "\": " << r.why;
  }
}

TEST(TextTest, CompareTextOrdersCaseBlindThenCapitalsFirstAndUppercaseKeepsDiacritics) {
  struct Row { const char* a; const char* b; int expected; } rows[] = {
      {"abc", "abc", 0},  {"abc", "abd", -1}, {"abd", "abc", 1},   {"ab", "abc", -1},
      {"", "", 0},        {"", "a", -1},      {"ABC", "abd", -1},  {"abc", "ABD", -1},
      {"Abc", "abc", -1}, {"abc", "Abc", 1},  {"a\x8a", "A\x80", 1}, {"Z", "a", 1},
  };
  for (const Row& r : rows) {
    SInt16 got = CompareText(r.a, r.b, SInt16(std::strlen(r.a)), SInt16(std::strlen(r.b)), nullptr);
    EXPECT_EQ(r.expected, got) << '"' << r.a << "\" vs \"" << r.b << '"';
  }
  EXPECT_EQ(0, CompareText(nullptr, "", 5, 0, nullptr)) << "null text is empty";

  char text[] = "hello, World 9\x8a\x8e\xbf";
  UppercaseText(text, SInt16(std::strlen(text)), smSystemScript);
  EXPECT_STREQ("HELLO, WORLD 9\x80\x83\xaf", text);
  char untouched[] = "abc";
  UppercaseText(untouched, 0, smSystemScript);
  UppercaseText(untouched, -3, smSystemScript);
  EXPECT_STREQ("abc", untouched);
}

// ---------------------------------------------------------------- number formats

std::string Format(const std::string& format, double v, const NumberParts& parts) {
  NumFormatString canonical;
  FormatStatus st = StringToFormatRec(PString(format), &parts, &canonical);
  EXPECT_TRUE(st == fFormatOK || (format.empty() && st == fEmptyFormatString)) << format << ": " << st;
  extended80 x;
  dtox80(&v, &x);
  Str255 out;
  EXPECT_EQ(fFormatOK, ExtendedToString(&x, &canonical, &parts, out)) << format;
  return FromPascal(out);
}

TEST(NumberFormatTest, ValuesAreWrittenAsTheFormatSays) {
  struct Row { const char* format; double value; const char* text; } rows[] = {
      {"#,##0.00", -1234.5, "-1,234.50"}, {"#,##0.00", 0.5, "0.50"}, {"#,##0", 1234567, "1,234,567"},
      {"0.00;(0.00);'zero'", -2.5, "(2.50)"}, {"0.00;(0.00);'zero'", 0, "zero"}, {"0.00;(0.00)", 0, "0.00"},
      {"000", 7, "007"}, {"^^^", 7, "  7"}, {"0%", 0.25, "25%"}, {"#.##", 2.5, "2.5"}, {"#.##", 2.0, "2"},
      {"0.0#", 2.567, "2.57"}, {"0.00E+00", 12345, "1.23E+04"}, {"0.0E-0", 0.00012, "1.2E-4"},
      {"0.0E-0", 1200, "1.2E3"}, {"'$'#,##0", 1234, "$1,234"}, {"\\#0", 5, "#5"}, {"", -0.1, "-0.1"},
      {"", 1e20, "1E+20"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(r.text, Format(r.format, r.value, DefaultNumberParts())) << r.format << " with " << r.value;
}

TEST(NumberFormatTest, ACanonicalFormCutAfterALiteralMarkerEndsThere) {
  NumberParts parts = DefaultNumberParts();
  NumFormatString canonical;
  ASSERT_EQ(fFormatOK, StringToFormatRec(PString("0'x'"), &parts, &canonical));
  ASSERT_EQ(3, canonical.fLength) << "a digit, then a literal marker and its character";
  canonical.fLength = 2;  // cut between the marker and its character
  Str255 text;
  ASSERT_EQ(fFormatOK, FormatRecToString(&canonical, &parts, text, nullptr));
  EXPECT_EQ("0", FromPascal(text));
}

TEST(NumberFormatTest, TextIsReadBackWithTheFormat) {
  struct Row { const char* format; const char* text; double value; FormatStatus status; } rows[] = {
      {"#,##0.00", "1,234.50", 1234.5, fFormatOK}, {"0.00;(0.00)", "(2.50)", -2.5, fFormatOK},
      {"0", "-3", -3, fFormatOK},                   {"0%", "25%", 0.25, fFormatOK},
      {"0.0E+0", "1.5E+3", 1500, fFormatOK},        {"0.0E-0", "1.2E-4", 0.00012, fFormatOK},
      {"'$'0", "$12", 12, fFormatOK},               {"", " 42 ", 42, fFormatOK},
      {"0", "abc", 0, fSpuriousChars},              {"0", "1x2", 12, fSpuriousChars},
      {"0.0", "1.2.3", 1.23, fExtraDecimal},  // the second point is dropped
  };
  NumberParts parts = DefaultNumberParts();
  for (const Row& r : rows) {
    NumFormatString canonical;
    StringToFormatRec(PString(r.format), &parts, &canonical);
    extended80 x;
    EXPECT_EQ(r.status, StringToExtended(PString(r.text), &canonical, &parts, &x)) << r.text;
    EXPECT_DOUBLE_EQ(r.value, x80tod(&x)) << r.text << " read with " << r.format;
  }
}

}  // namespace
