// Text utilities: number <-> text, case conversion and comparison in the
// platform's Roman character set, the system number-parts table, and the
// conversions between double, the 80-bit extended form and decimal records.
#include "toolbox/text.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "core/NumberPartsState.h"

namespace {

/// Upper-case forms of the Roman set's lower-case letters (0 = no change).
struct UpperTable {
  UInt8 map[256] = {};
  UpperTable() {
    for (int c = 'a'; c <= 'z'; ++c) map[c] = UInt8(c - 32);
    static const UInt8 pairs[][2] = {
        {0x8A, 0x80}, {0x8C, 0x81}, {0x8D, 0x82}, {0x8E, 0x83}, {0x96, 0x84}, {0x9A, 0x85},
        {0x9F, 0x86}, {0x88, 0xCB}, {0x8B, 0xCC}, {0x9B, 0xCD}, {0xBE, 0xAE}, {0xBF, 0xAF},
        {0xCF, 0xCE}, {0x89, 0xE5}, {0x90, 0xE6}, {0x87, 0xE7}, {0x91, 0xE8}, {0x8F, 0xE9},
        {0x92, 0xEA}, {0x94, 0xEB}, {0x95, 0xEC}, {0x93, 0xED}, {0x97, 0xEE}, {0x99, 0xEF},
        {0x98, 0xF1}, {0x9C, 0xF2}, {0x9E, 0xF3}, {0x9D, 0xF4}, {0xD8, 0xD9}};
    for (const auto& p : pairs) map[p[0]] = p[1];
  }
  UInt8 Upper(UInt8 c) const { return map[c] ? map[c] : c; }
};

const UpperTable& Upper() {
  static const UpperTable table;
  return table;
}

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

/// Case-blind order first; then the first exact difference, upper case first.
SInt16 CompareRoman(const UInt8* a, const UInt8* b, int aLen, int bLen) {
  const UpperTable& up = Upper();
  int n = aLen < bLen ? aLen : bLen;
  for (int i = 0; i < n; ++i)
    if (up.Upper(a[i]) != up.Upper(b[i])) return SInt16(Sign(up.Upper(a[i]) - up.Upper(b[i])));
  if (aLen != bLen) return aLen < bLen ? -1 : 1;
  for (int i = 0; i < n; ++i)
    if (a[i] != b[i]) return up.Upper(a[i]) == a[i] ? -1 : 1;  // a's letter is the capital
  return 0;
}

void SetWide(WideChar* w, char c) {
  w->a[0] = 0;
  w->a[1] = c;
}

void SetWideArr(WideCharArr* arr, const char* text) {
  arr->size = SInt16(std::strlen(text));
  for (SInt16 i = 0; i < arr->size; ++i) SetWide(&arr->data[i], text[i]);
}

/// Rounds m >> shift to nearest, ties to even; shift 1..64.
uint64_t RoundShift(uint64_t m, int shift) {
  uint64_t q = shift >= 64 ? 0 : m >> shift;
  uint64_t rem = shift >= 64 ? m : m & ((uint64_t(1) << shift) - 1);
  uint64_t half = uint64_t(1) << (shift - 1);
  if (rem > half || (rem == half && (q & 1))) ++q;
  return q;
}

void FixedDigits(int digits, double x, decimal* d) {
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", digits, std::fabs(x));
  std::string sig;
  for (const char* p = buf; *p; ++p)
    if (*p != '.') sig.push_back(*p);
  size_t first = sig.find_first_not_of('0');
  sig = first == std::string::npos ? "0" : sig.substr(first);
  d->exp = SInt16(-digits);
  if (sig == "0") d->exp = 0;
  if (sig.size() > SIGDIGLEN) sig = "?";
  d->sig.length = UInt8(sig.size());
  std::memcpy(d->sig.text, sig.data(), sig.size());
}

void FloatDigits(int digits, double x, decimal* d) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", digits - 1, std::fabs(x));
  std::string sig;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p != '.') sig.push_back(*p);
  int e10 = *p ? std::atoi(p + 1) : 0;
  d->exp = SInt16(e10 - (int(sig.size()) - 1));
  if (x == 0) {
    sig = "0";
    d->exp = 0;
  }
  d->sig.length = UInt8(sig.size());
  std::memcpy(d->sig.text, sig.data(), sig.size());
}

void FixedText(int fracDigits, const std::string& sig, int exp, std::string* out) {
  std::string digits = sig;
  if (exp >= 0) {
    digits.append(size_t(exp), '0');
    *out += digits;
    if (fracDigits > 0) *out += "." + std::string(size_t(fracDigits), '0');
    return;
  }
  size_t frac = size_t(-exp);
  if (digits.size() <= frac) digits.insert(0, frac + 1 - digits.size(), '0');
  std::string intPart = digits.substr(0, digits.size() - frac);
  std::string fracPart = digits.substr(digits.size() - frac);
  fracPart.resize(size_t(fracDigits > 0 ? fracDigits : 0), '0');
  *out += intPart;
  if (!fracPart.empty()) *out += "." + fracPart;
}

void FloatText(int digits, const std::string& sig, int exp, std::string* out) {
  std::string s = sig;
  if (digits > int(s.size()) && digits <= SIGDIGLEN) s.resize(size_t(digits), '0');
  int e10 = sig == "0" ? 0 : exp + int(sig.size()) - 1;
  *out += s.substr(0, 1);
  if (s.size() > 1) *out += "." + s.substr(1);
  *out += (e10 < 0 ? "e-" : "e+") + std::to_string(std::abs(e10));
}

}  // namespace

using toolbox::internal::PartsState;

NumberParts toolbox::internal::DefaultNumberParts() {
  NumberParts p;
  std::memset(&p, 0, sizeof p);
  p.version = 1;
  const char symbols[][2] = {{tokLeftQuote, '\''}, {tokRightQuote, '\''}, {tokLeadPlacer, ' '},
                             {tokLeader, '^'},     {tokNonLeader, '#'},   {tokZeroLead, '0'},
                             {tokPercent, '%'},    {tokPlusSign, '+'},    {tokMinusSign, '-'},
                             {tokThousands, ','},  {tokSeparator, ';'},   {tokEscape, '\\'},
                             {tokDecPoint, '.'}};
  for (const auto& sym : symbols) SetWide(&p.data[sym[0] - 1], sym[1]);
  SetWideArr(&p.pePlus, "E+");
  SetWideArr(&p.peMinus, "E-");
  SetWideArr(&p.peMinusPlus, "E");
  SetWideArr(&p.altNumTable, "0123456789");
  return p;
}

PartsState& toolbox::internal::TheNumberParts() {
  static PartsState* state = new PartsState;  // lives until exit, never destroyed
  return *state;
}

extern "C" {

void NumToString(SInt32 theNum, Str255 theString) {
  if (!theString) return;
  char buf[16];
  int n = std::snprintf(buf, sizeof buf, "%d", int(theNum));
  theString[0] = UInt8(n);
  std::memcpy(theString + 1, buf, size_t(n));
}

void StringToNum(ConstStr255Param theString, SInt32* theNum) {
  if (!theNum) return;
  UInt32 value = 0;
  int len = theString ? theString[0] : 0;
  int i = 1;
  bool negative = len > 0 && theString[1] == '-';
  if (len > 0 && (theString[1] == '-' || theString[1] == '+')) i = 2;
  for (; i <= len; ++i) value = value * 10u + UInt32(int(theString[i]) - '0');
  *theNum = SInt32(negative ? 0u - value : value);
}

SInt16 CompareText(const void* aPtr, const void* bPtr, SInt16 aLen, SInt16 bLen, Handle) {
  int a = aPtr && aLen > 0 ? aLen : 0;
  int b = bPtr && bLen > 0 ? bLen : 0;
  return CompareRoman(static_cast<const UInt8*>(aPtr), static_cast<const UInt8*>(bPtr), a, b);
}

void UppercaseText(Ptr textPtr, SInt16 len, ScriptCode) {
  if (!textPtr) return;
  const UpperTable& up = Upper();
  for (SInt16 i = 0; i < len; ++i) textPtr[i] = char(up.Upper(UInt8(textPtr[i])));
}

void GetIntlResourceTable(ScriptCode, SInt16 tableCode, Handle* itlHandle, SInt32* offset,
                          SInt32* length) {
  PartsState& s = toolbox::internal::TheNumberParts();
  std::lock_guard<std::mutex> lock(s.mutex);
  bool found = tableCode == smNumberPartsTable && s.present;
  if (itlHandle) *itlHandle = found ? &s.master : nullptr;
  if (offset) *offset = 0;
  if (length) *length = found ? SInt32(sizeof(NumberParts)) : 0;
}

void dtox80(const double* x, extended80* x80) {
  if (!x || !x80) return;
  uint64_t bits;
  std::memcpy(&bits, x, 8);
  int sign = int(bits >> 63);
  int e = int((bits >> 52) & 0x7FF);
  uint64_t f = bits & ((uint64_t(1) << 52) - 1);
  uint64_t m = f << 11;
  int e80 = 0;
  if (e == 0x7FF) {
    e80 = 0x7FFF;
    m |= uint64_t(1) << 63;
  } else if (e != 0) {
    e80 = e - 1023 + 16383;
    m |= uint64_t(1) << 63;
  } else if (f != 0) {  // subnormal: normalise
    e80 = -1022 + 16383;
    while (!(m >> 63)) {
      m <<= 1;
      --e80;
    }
  }
  x80->exp = SInt16(UInt16((sign << 15) | e80));
  for (int i = 0; i < 4; ++i) x80->man[i] = UInt16(m >> (48 - 16 * i));
}

double x80tod(const extended80* x80) {
  if (!x80) return 0;
  bool negative = UInt16(x80->exp) >> 15;
  int e = UInt16(x80->exp) & 0x7FFF;
  uint64_t m = 0;
  for (int i = 0; i < 4; ++i) m = (m << 16) | x80->man[i];
  double sign = negative ? -1.0 : 1.0;
  if (e == 0x7FFF) return (m << 1) ? std::nan("") : sign * HUGE_VAL;
  if (m == 0) return sign * 0.0;
  while (!(m >> 63)) {
    m <<= 1;
    --e;
  }
  int unbiased = e - 16383;
  if (unbiased > 1023) return sign * HUGE_VAL;
  int shift = unbiased >= -1022 ? 11 : 11 + (-1022 - unbiased);
  if (shift > 64) return sign * 0.0;
  uint64_t q = RoundShift(m, shift);
  return sign * std::ldexp(double(q), e - 16446 + shift);
}

void num2dec(const decform* f, double x, decimal* d) {
  if (!f || !d) return;
  std::memset(d, 0, sizeof *d);
  d->sgn = std::signbit(x) ? 1 : 0;
  if (std::isnan(x) || std::isinf(x)) {
    d->sig.length = 1;
    d->sig.text[0] = std::isnan(x) ? 'N' : 'I';
    return;
  }
  if (f->style == FIXEDDECIMAL)
    FixedDigits(f->digits < 0 ? 0 : f->digits > 300 ? 300 : f->digits, x, d);
  else
    FloatDigits(f->digits < 1 ? 1 : f->digits > 19 ? 19 : f->digits, x, d);
}

void dec2str(const decform* f, const decimal* d, char* s) {
  if (!s) return;
  s[0] = 0;
  if (!f || !d) return;
  size_t length = d->sig.length > size_t(SIGDIGLEN) ? size_t(SIGDIGLEN) : d->sig.length;
  std::string sig(reinterpret_cast<const char*>(d->sig.text), length);
  std::string out = d->sgn ? "-" : "";
  if (sig.empty() || sig[0] == 'N')
    out = "NAN";
  else if (sig[0] == 'I')
    out += "INF";
  else if (sig[0] == '?')
    out += "?";
  else if (f->style == FIXEDDECIMAL)
    FixedText(f->digits, sig, d->exp, &out);
  else
    FloatText(f->digits, sig, d->exp, &out);
  if (out.size() > DECSTROUTLEN) out = "?";
  std::memcpy(s, out.c_str(), out.size() + 1);
}

}  // extern "C"
