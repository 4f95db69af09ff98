// Number formats of the text utilities: format texts parsed with a script's
// number parts into a canonical form, and numbers written and read with them.
//
// Canonical form (NumFormatString, version 1): the data bytes are the format's
// tokens, its up to three parts (positive; negative; zero) separated by
// kPartEnd. Literal characters are stored as kLiteral followed by the byte.
// An empty canonical form is the general format (shortest exact text).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "toolbox/text.h"
#include "core/Strings.h"

namespace {

enum Token : UInt8 {
  kNonLeader = 1,  // '#': a digit when significant, else nothing
  kZeroLead,       // '0': a digit, or 0
  kLeader,         // '^': a digit, or the lead placer (blank)
  kDecPoint,
  kThousands,
  kPercent,
  kPlus,
  kMinus,
  kEPlus,   // exponent always signed
  kEMinus,  // exponent signed only when negative
  kLiteral,
  kPartEnd = 0x1F,
};

constexpr UInt8 kFormatVersion = 1;

typedef std::vector<UInt8> Part;  // tokens; kLiteral is followed by its byte

bool IsPlacer(UInt8 t) { return t == kNonLeader || t == kZeroLead || t == kLeader; }

/// The text of one symbol of the parts table ("" when unset).
std::string Symbol(const NumberParts& p, int token) {
  const WideChar& w = p.data[token - 1];
  if (w.a[0]) return std::string{w.a[0], w.a[1]};
  return w.a[1] ? std::string(1, w.a[1]) : std::string();
}

std::string Sequence(const WideCharArr& arr) {
  std::string s;
  for (int i = 0; i < arr.size && i < 10; ++i) {
    if (arr.data[i].a[0]) s.push_back(arr.data[i].a[0]);
    s.push_back(arr.data[i].a[1]);
  }
  return s;
}

bool PartsUsable(const NumberParts* p) {
  if (!p) return false;
  for (int t : {int(tokNonLeader), int(tokZeroLead), int(tokDecPoint), int(tokSeparator)})
    if (Symbol(*p, t).empty()) return false;
  return true;
}

bool At(const std::string& s, size_t i, const std::string& sym) {
  return !sym.empty() && s.compare(i, sym.size(), sym) == 0;
}

/// The single symbols that are tokens, in the order they are tried.
struct SymbolToken {
  int tok;
  Token token;
};
const SymbolToken kSymbols[] = {
    {tokNonLeader, kNonLeader}, {tokZeroLead, kZeroLead}, {tokLeader, kLeader},
    {tokDecPoint, kDecPoint},   {tokThousands, kThousands}, {tokPercent, kPercent},
    {tokPlusSign, kPlus},       {tokMinusSign, kMinus}};

class FormatParser {
 public:
  FormatParser(const std::string& text, const NumberParts& parts) : s_(text), p_(parts) {}

  FormatStatus Parse(std::vector<Part>* out) {
    out->assign(1, Part());
    for (size_t i = 0; i < s_.size();) {
      FormatStatus st = Step(&i, out);
      if (st != fFormatOK) return st;
    }
    for (const Part& part : *out) {
      FormatStatus st = Check(part);
      if (st != fFormatOK) return st;
    }
    return fFormatOK;
  }

 private:
  FormatStatus Step(size_t* i, std::vector<Part>* out) {
    Part& part = out->back();
    std::string left = Symbol(p_, tokLeftQuote), right = Symbol(p_, tokRightQuote);
    std::string escape = Symbol(p_, tokEscape), separator = Symbol(p_, tokSeparator);
    if (At(s_, *i, left)) {
      size_t end = s_.find(right.empty() ? left : right, *i + left.size());
      if (end == std::string::npos) return fMissingDelimiter;
      for (size_t k = *i + left.size(); k < end; ++k) part.insert(part.end(), {kLiteral, UInt8(s_[k])});
      *i = end + (right.empty() ? left : right).size();
    } else if (At(s_, *i, escape)) {
      if (*i + escape.size() >= s_.size()) return fMissingLiteral;
      part.insert(part.end(), {kLiteral, UInt8(s_[*i + escape.size()])});
      *i += escape.size() + 1;
    } else if (At(s_, *i, separator)) {
      if (out->size() == 3) return fExtraSeparator;
      out->push_back(Part());
      *i += separator.size();
    } else if (At(s_, *i, Sequence(p_.pePlus)) || At(s_, *i, Sequence(p_.peMinus))) {
      bool plus = At(s_, *i, Sequence(p_.pePlus));
      part.push_back(plus ? kEPlus : kEMinus);
      *i += Sequence(plus ? p_.pePlus : p_.peMinus).size();
    } else {
      *i += SingleToken(*i, &part);
    }
    return fFormatOK;
  }

  size_t SingleToken(size_t i, Part* part) {
    for (const SymbolToken& st : kSymbols) {
      std::string sym = Symbol(p_, st.tok);
      if (At(s_, i, sym)) {
        part->push_back(st.token);
        return sym.size();
      }
    }
    part->insert(part->end(), {kLiteral, UInt8(s_[i])});
    return 1;
  }

  static FormatStatus Check(const Part& part) {
    int points = 0, exps = 0, percents = 0;
    for (size_t k = 0; k < part.size(); ++k) {
      if (part[k] == kLiteral) {
        ++k;
        continue;
      }
      points += part[k] == kDecPoint;
      exps += part[k] == kEPlus || part[k] == kEMinus;
      percents += part[k] == kPercent;
    }
    if (points > 1) return fExtraDecimal;
    if (exps > 1) return fExtraExp;
    if (percents > 1) return fExtraPercent;
    return fFormatOK;
  }

  const std::string& s_;
  const NumberParts& p_;
};

std::vector<Part> Decode(const NumFormatString* f) {
  std::vector<Part> parts;
  if (!f || f->fLength == 0) return parts;
  parts.emplace_back();
  for (size_t k = 0; k < f->fLength && k < sizeof f->data; ++k) {
    UInt8 b = UInt8(f->data[k]);
    if (b == kPartEnd) {
      parts.emplace_back();
    } else {
      parts.back().push_back(b);
      if (b == kLiteral && k + 1 < f->fLength) parts.back().push_back(UInt8(f->data[++k]));
    }
  }
  return parts;
}

bool Encode(const std::vector<Part>& parts, NumFormatString* out) {
  std::vector<UInt8> bytes;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) bytes.push_back(kPartEnd);
    bytes.insert(bytes.end(), parts[i].begin(), parts[i].end());
  }
  std::memset(out, 0, sizeof *out);
  out->fVersion = kFormatVersion;
  if (bytes.size() > sizeof out->data) return false;
  out->fLength = UInt8(bytes.size());
  if (!bytes.empty()) std::memcpy(out->data, bytes.data(), bytes.size());
  return true;
}

/// True when a literal byte would read as a token under these parts.
bool NeedsEscape(char c, const NumberParts& p) {
  for (int t = tokLeftQuote; t <= tokEMinus; ++t)
    if (Symbol(p, t) == std::string(1, c)) return true;
  std::string seqs[] = {Sequence(p.pePlus), Sequence(p.peMinus)};
  for (const std::string& s : seqs)
    if (!s.empty() && s[0] == c) return true;
  return false;
}

std::string TokenText(UInt8 t, const NumberParts& p) {
  switch (t) {
    case kEPlus: return Sequence(p.pePlus);
    case kEMinus: return Sequence(p.peMinus);
    default: break;
  }
  for (const SymbolToken& st : kSymbols)
    if (st.token == t) return Symbol(p, st.tok);
  return std::string();
}

// ---------------------------------------------------------------- writing

/// Writes `digits` into a run of placers, right-aligned; leading digits beyond
/// the placers go with the first one. Thousands separators every three digits.
class PlacerRun {
 public:
  PlacerRun(const std::string& digits, int placers, bool group, const NumberParts& p)
      : digits_(digits), placers_(placers), group_(group), p_(p) {}

  void Emit(UInt8 placer, std::string* out) {
    int j = next_++;
    if (j == 0)
      for (int k = 0; k + placers_ < int(digits_.size()); ++k) Digit(digits_[size_t(k)], int(digits_.size()) - 1 - k, out);
    int pos = placers_ - 1 - j;  // from the right
    int index = int(digits_.size()) - 1 - pos;
    if (index >= 0)
      Digit(digits_[size_t(index)], pos, out);
    else if (placer == kZeroLead)
      Digit('0', pos, out);
    else if (placer == kLeader)
      *out += Symbol(p_, tokLeadPlacer);
  }

 private:
  void Digit(char d, int pos, std::string* out) {
    out->push_back(d);
    if (group_ && pos > 0 && pos % 3 == 0) *out += Symbol(p_, tokThousands);
  }
  std::string digits_;
  int placers_;
  bool group_;
  const NumberParts& p_;
  int next_ = 0;
};

struct Layout {
  int intPlacers = 0, fracPlacers = 0, expPlacers = 0;
  bool group = false, percent = false, exponent = false;
  std::vector<UInt8> frac;  // the fraction placers, in order
};

Layout Measure(const Part& part) {
  Layout l;
  int region = 0;  // 0 integer, 1 fraction, 2 exponent
  for (size_t k = 0; k < part.size(); ++k) {
    UInt8 t = part[k];
    if (t == kLiteral) {
      ++k;
    } else if (t == kDecPoint) {
      region = region == 0 ? 1 : region;
    } else if (t == kEPlus || t == kEMinus) {
      region = 2;
      l.exponent = true;
    } else if (IsPlacer(t)) {
      int* count[] = {&l.intPlacers, &l.fracPlacers, &l.expPlacers};
      ++*count[region];
      if (region == 1) l.frac.push_back(t);
    }
    l.group |= t == kThousands && region == 0;
    l.percent |= t == kPercent;
  }
  return l;
}

/// Integer and fraction digits of v for the layout, and the decimal exponent.
void Digits(double v, const Layout& l, std::string* intDigits, std::string* fracDigits, int* exp10) {
  char buf[400];
  *exp10 = 0;
  if (l.exponent) {
    int intCount = l.intPlacers > 0 ? l.intPlacers : 1;
    std::snprintf(buf, sizeof buf, "%.*e", intCount + l.fracPlacers - 1, v);
    std::string all;
    const char* c = buf;
    for (; *c && *c != 'e'; ++c)
      if (*c != '.') all.push_back(*c);
    *exp10 = v == 0 ? 0 : std::atoi(c + 1) - (intCount - 1);
    *intDigits = all.substr(0, size_t(intCount));
    *fracDigits = all.substr(size_t(intCount));
  } else {
    std::snprintf(buf, sizeof buf, "%.*f", l.fracPlacers, v);
    std::string all = buf;
    size_t point = all.find('.');
    *intDigits = all.substr(0, point);
    *fracDigits = point == std::string::npos ? "" : all.substr(point + 1);
  }
  size_t first = intDigits->find_first_not_of('0');
  *intDigits = first == std::string::npos ? "" : intDigits->substr(first);
}

/// How many fraction digits are written: up to the last significant one or
/// the last placer that always writes.
int FractionShown(const Layout& l, const std::string& fracDigits) {
  int shown = 0;
  for (int i = 0; i < int(l.frac.size()); ++i)
    if (l.frac[size_t(i)] != kNonLeader || (i < int(fracDigits.size()) && fracDigits[size_t(i)] != '0'))
      shown = i + 1;
  for (int i = int(fracDigits.size()) - 1; i >= shown; --i)
    if (fracDigits[size_t(i)] != '0') return i + 1;
  return shown;
}

std::string WritePart(const Part& part, double v, const NumberParts& p) {
  Layout l = Measure(part);
  if (l.percent) v *= 100;
  std::string intDigits, fracDigits, out;
  int exp10 = 0;
  Digits(v, l, &intDigits, &fracDigits, &exp10);
  int fracShown = FractionShown(l, fracDigits);
  PlacerRun integer(intDigits, l.intPlacers, l.group, p);
  PlacerRun exponent(std::to_string(std::abs(exp10)), l.expPlacers, false, p);
  int region = 0, fracIndex = 0;
  for (size_t k = 0; k < part.size(); ++k) {
    UInt8 t = part[k];
    if (t == kLiteral) {
      out.push_back(char(part[++k]));
    } else if (t == kDecPoint) {
      if (region == 0 && fracShown > 0) out += Symbol(p, tokDecPoint);
      region = region == 0 ? 1 : region;
    } else if (t == kEPlus || t == kEMinus) {
      region = 2;
      std::string e = Sequence(exp10 < 0 ? p.peMinus : t == kEPlus ? p.pePlus : p.peMinusPlus);
      out += e;
    } else if (IsPlacer(t)) {
      if (region == 0) integer.Emit(t, &out);
      if (region == 1 && fracIndex < fracShown) out.push_back(fracDigits[size_t(fracIndex)]);
      if (region == 1) ++fracIndex;
      if (region == 2) exponent.Emit(t, &out);
    } else if (t != kThousands) {
      out += TokenText(t, p);
    }
  }
  return out;
}

std::string WriteGeneral(double v, const NumberParts& p) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  for (int digits = 1; digits < 17; ++digits) {  // the shortest text that reads back exactly
    char shorter[64];
    std::snprintf(shorter, sizeof shorter, "%.*g", digits, v);
    if (std::strtod(shorter, nullptr) == v) {
      std::strcpy(buf, shorter);
      break;
    }
  }
  std::string out;
  for (const char* c = buf; *c; ++c) {
    if (*c == '.') out += Symbol(p, tokDecPoint);
    else if (*c == '-') out += Symbol(p, tokMinusSign);
    else if (*c == 'e') {
      bool negative = c[1] == '-';
      out += Sequence(negative ? p.peMinus : p.pePlus);
      ++c;  // the exponent's sign is in the sequence
      while (c[1] == '0' && c[2]) ++c;
    } else out.push_back(*c);
  }
  return out;
}

FormatStatus ToPascal(const std::string& text, Str255 out) {
  size_t n = text.size() > 255 ? 255 : text.size();
  out[0] = UInt8(n);
  std::memcpy(out + 1, text.data(), n);
  return text.size() > 255 ? fFormatOverflow : fFormatOK;
}

// ---------------------------------------------------------------- reading

bool HasLiteral(const Part& part, char c) {
  for (size_t k = 0; k + 1 < part.size(); ++k)
    if (part[k] == kLiteral && part[k + 1] == UInt8(c)) return true;
  return false;
}

class NumberReader {
 public:
  NumberReader(const std::string& s, const std::vector<Part>& format, const NumberParts& p)
      : s_(s), format_(format), p_(p) {}

  FormatStatus Read(double* value) {
    for (size_t i = 0; i < s_.size();) i += Step(i);
    if (mantissa_.empty() || mantissa_ == ".") {
      *value = 0;
      return fSpuriousChars;
    }
    std::string text = mantissa_ + (expDigits_.empty() ? "" : "e" + expSign_ + expDigits_);
    *value = std::strtod(text.c_str(), nullptr) / (percent_ ? 100.0 : 1.0);
    if (negative_) *value = -*value;
    return status_;
  }

 private:
  size_t Step(size_t i) {
    char c = s_[i];
    if (c >= '0' && c <= '9') {
      (inExponent_ ? expDigits_ : mantissa_).push_back(c);
      return 1;
    }
    for (const WideCharArr* seq : {&p_.pePlus, &p_.peMinus, &p_.peMinusPlus})
      if (!inExponent_ && At(s_, i, Sequence(*seq))) {
        inExponent_ = true;
        expSign_ = seq == &p_.peMinus ? "-" : "";
        return Sequence(*seq).size();
      }
    return Symbolic(i);
  }

  size_t Symbolic(size_t i) {
    if (At(s_, i, Symbol(p_, tokDecPoint)) && !inExponent_) {
      if (mantissa_.find('.') != std::string::npos) status_ = fExtraDecimal;
      else mantissa_.push_back('.');
      return Symbol(p_, tokDecPoint).size();
    }
    if (At(s_, i, Symbol(p_, tokMinusSign))) {
      if (inExponent_) expSign_ = "-";
      else negative_ = true;
      return Symbol(p_, tokMinusSign).size();
    }
    if (At(s_, i, Symbol(p_, tokPercent))) {
      percent_ = true;
      return Symbol(p_, tokPercent).size();
    }
    for (int t : {int(tokThousands), int(tokPlusSign), int(tokLeadPlacer)})
      if (At(s_, i, Symbol(p_, t))) return Symbol(p_, t).size();
    Literal(s_[i]);
    return 1;
  }

  /// A literal of the negative part only (a parenthesis, say) marks a
  /// negative number; other literals of the format are skipped.
  void Literal(char c) {
    bool positive = !format_.empty() && HasLiteral(format_[0], c);
    bool negative = format_.size() > 1 && HasLiteral(format_[1], c);
    bool zero = format_.size() > 2 && HasLiteral(format_[2], c);
    if (negative && !positive) negative_ = true;
    if (!positive && !negative && !zero && c != ' ') status_ = fSpuriousChars;
  }

  const std::string& s_;
  const std::vector<Part>& format_;
  const NumberParts& p_;
  std::string mantissa_, expDigits_, expSign_;
  bool inExponent_ = false, negative_ = false, percent_ = false;
  FormatStatus status_ = fFormatOK;
};

}  // namespace

extern "C" {

FormatStatus StringToFormatRec(ConstStr255Param inString, const NumberParts* partsTable,
                               NumFormatString* outString) {
  if (!outString || !PartsUsable(partsTable)) return fBadPartsTable;
  std::vector<Part> parts;
  Encode(parts, outString);
  std::string text = toolbox::internal::PascalToString(inString);
  if (text.empty()) return fEmptyFormatString;
  FormatStatus st = FormatParser(text, *partsTable).Parse(&parts);
  if (st != fFormatOK) return st;
  if (!Encode(parts, outString)) {
    Encode({}, outString);
    return fFormatOverflow;
  }
  return fFormatOK;
}

FormatStatus FormatRecToString(const NumFormatString* myCanonical, const NumberParts* partsTable,
                               Str255 outString, TripleInt positions) {
  if (!outString || !PartsUsable(partsTable)) return fBadPartsTable;
  std::string text;
  std::vector<Part> parts = Decode(myCanonical);
  for (size_t i = 0; i < 3; ++i) {
    if (i > 0 && i < parts.size()) text += Symbol(*partsTable, tokSeparator);
    size_t start = text.size();
    for (size_t k = 0; i < parts.size() && k < parts[i].size(); ++k) {
      UInt8 t = parts[i][k];
      if (t != kLiteral) {
        text += TokenText(t, *partsTable);
        continue;
      }
      char c = char(parts[i][++k]);
      if (NeedsEscape(c, *partsTable)) text += Symbol(*partsTable, tokEscape);
      text.push_back(c);
    }
    if (positions) positions[i] = FVector{SInt16(i < parts.size() ? start + 1 : 0), SInt16(text.size() - start)};
  }
  return ToPascal(text, outString);
}

FormatStatus StringToExtended(ConstStr255Param source, const NumFormatString* myCanonical,
                              const NumberParts* partsTable, extended80* x) {
  if (!x || !PartsUsable(partsTable)) return fBadPartsTable;
  std::string text = toolbox::internal::PascalToString(source);
  std::vector<Part> format = Decode(myCanonical);
  double value = 0;
  FormatStatus st = NumberReader(text, format, *partsTable).Read(&value);
  dtox80(&value, x);
  return st;
}

FormatStatus ExtendedToString(const extended80* x, const NumFormatString* myCanonical,
                              const NumberParts* partsTable, Str255 outString) {
  if (!x || !outString || !PartsUsable(partsTable)) return fBadPartsTable;
  const NumberParts& p = *partsTable;
  double v = x80tod(x);
  if (std::isnan(v)) return ToPascal("NAN", outString) == fFormatOK ? fFormStrIsNAN : fFormatOverflow;
  if (std::isinf(v)) {
    ToPascal((v < 0 ? Symbol(p, tokMinusSign) : "") + "INF", outString);
    return fFormatOverflow;
  }
  std::vector<Part> parts = Decode(myCanonical);
  if (parts.empty()) return ToPascal(WriteGeneral(v, p), outString);
  if (v < 0 && parts.size() > 1) return ToPascal(WritePart(parts[1], -v, p), outString);
  if (v == 0 && parts.size() > 2) return ToPascal(WritePart(parts[2], 0, p), outString);
  std::string sign = std::signbit(v) && v != 0 ? Symbol(p, tokMinusSign) : "";
  return ToPascal(sign + WritePart(parts[0], std::fabs(v), p), outString);
}

}  // extern "C"
