// Text, number and international utilities: number <-> text, comparison and
// case conversion, number-format records and the decimal conversions.
#pragma once

#include "toolbox/types.h"

typedef SInt16 ScriptCode;
typedef SInt16 FormatStatus;

enum : ScriptCode {
  smSystemScript = -1,
  smCurrentScript = -2,
  smRoman = 0,
};

/// Table codes of GetIntlResourceTable.
enum : SInt16 {
  smWordSelectTable = 0,
  smWordWrapTable = 1,
  smNumberPartsTable = 2,
  smUnTokenTable = 3,
  smWhiteSpaceList = 4,
};

/// Token indices of NumberParts::data (entry k is data[k - 1]).
enum : SInt16 {
  tokLeftQuote = 1,
  tokRightQuote = 2,
  tokLeadPlacer = 3,
  tokLeader = 4,
  tokNonLeader = 5,
  tokZeroLead = 6,
  tokPercent = 7,
  tokPlusSign = 8,
  tokMinusSign = 9,
  tokThousands = 10,
  tokReserved = 11,
  tokSeparator = 12,
  tokEscape = 13,
  tokDecPoint = 14,
  tokEPlus = 15,
  tokEMinus = 16,
  tokMaxSymbols = 31,
};

/// Results of the number-format calls.
enum : FormatStatus {
  fFormatOK = 0,
  fBestGuess = 1,
  fOutOfSynch = 2,
  fSpuriousChars = 3,
  fMissingDelimiter = 4,
  fExtraDecimal = 5,
  fMissingLiteral = 6,
  fExtraExp = 7,
  fFormatOverflow = 8,
  fFormStrIsNAN = 9,
  fBadPartsTable = 10,
  fExtraPercent = 11,
  fExtraSeparator = 12,
  fEmptyFormatString = 13,
};

union WideChar {
  char a[2];  ///< a[0] 0 for a one-byte character
  SInt16 b;
};

struct WideCharArr {
  SInt16 size;
  WideChar data[10];
};

/// The characters a script uses to write numbers (172 bytes, the platform's layout).
struct NumberParts {
  SInt16 version;
  WideChar data[31];  ///< indexed by token - 1
  WideCharArr pePlus;
  WideCharArr peMinus;
  WideCharArr peMinusPlus;
  WideCharArr altNumTable;
  char reserved[20];
};
static_assert(sizeof(NumberParts) == 172, "NumberParts is 172 bytes");

/// A number format in its canonical (parsed) form, 256 bytes; its contents are
/// private to the text service.
struct NumFormatString {
  UInt8 fLength;
  UInt8 fVersion;
  char data[254];
};
static_assert(sizeof(NumFormatString) == 256, "NumFormatString is 256 bytes");

/// Start and length of the positive, negative and zero parts of a format text.
struct FVector {
  SInt16 start;
  SInt16 length;
};
typedef FVector TripleInt[3];

/// The 80-bit extended floating-point form: sign and 15-bit biased exponent,
/// then the 64-bit significand with its explicit leading bit, high word first.
struct extended80 {
  SInt16 exp;
  UInt16 man[4];
};

/// Decimal conversion records.
enum { FLOATDECIMAL = 0, FIXEDDECIMAL = 1, SIGDIGLEN = 36, DECSTROUTLEN = 80 };
struct decform {
  char style;  ///< FLOATDECIMAL or FIXEDDECIMAL
  char unused;
  SInt16 digits;  ///< significant digits (float) or digits after the point (fixed)
};
struct decimal {
  char sgn;  ///< 0 positive, 1 negative
  char unused;
  SInt16 exp;  ///< value = sig × 10^exp
  struct {
    unsigned char length;
    unsigned char text[SIGDIGLEN];  ///< digits, or "N..." for a NaN, "I" for infinity
    unsigned char unused;
  } sig;
};

extern "C" {

/// Decimal text of a 32-bit number: digits with a leading '-' for negative
/// numbers ("-2147483648" included).
TOOLBOX_EXPORT void NumToString(SInt32 theNum, Str255 theString);
/// The number a text spells, as the platform computes it: an optional leading
/// '+' or '-', then every following character adds (character - '0') to ten
/// times the value so far, in 32-bit arithmetic that wraps around; no
/// character is rejected (a non-digit gives a meaningless value, never a crash).
/// The empty text gives 0.
TOOLBOX_EXPORT void StringToNum(ConstStr255Param theString, SInt32* theNum);

/// Language-aware comparison of two texts: -1, 0 or 1. Texts are first compared
/// without regard to case (ASCII and the accented letters of the platform's
/// Roman character set), the shorter prefix first; when they are equal that
/// way, the first difference decides, an upper-case letter sorting before its
/// lower-case form. The table handle is ignored.
TOOLBOX_EXPORT SInt16 CompareText(const void* aPtr, const void* bPtr, SInt16 aLen, SInt16 bLen,
                                  Handle itl2Handle);
/// Converts text in place to upper case (diacritics kept). Negative lengths do nothing.
TOOLBOX_EXPORT void UppercaseText(Ptr textPtr, SInt16 len, ScriptCode script);

/// A handle to a script's international table and the table's place in it.
/// Only smNumberPartsTable exists (for every script): *itlHandle receives a
/// handle owned by the toolbox (a master pointer to the table, not a memory-
/// service block: read it, never resize or dispose of it; getting it
/// allocates nothing), *offset 0 and *length 172. Any other table, or a table
/// the host removed, gives a null handle and length 0.
TOOLBOX_EXPORT void GetIntlResourceTable(ScriptCode script, SInt16 tableCode, Handle* itlHandle,
                                         SInt32* offset, SInt32* length);

/// Parses a format text ("#,##0.00;-#,##0.00;0") written with the given number
/// parts into its canonical form.
TOOLBOX_EXPORT FormatStatus StringToFormatRec(ConstStr255Param inString,
                                              const NumberParts* partsTable,
                                              NumFormatString* outString);
/// Writes a canonical format back as text with the given number parts;
/// positions (may be null) receives where each of its three parts lies.
TOOLBOX_EXPORT FormatStatus FormatRecToString(const NumFormatString* myCanonical,
                                              const NumberParts* partsTable, Str255 outString,
                                              TripleInt positions);
/// Reads a number written in a format.
TOOLBOX_EXPORT FormatStatus StringToExtended(ConstStr255Param source,
                                             const NumFormatString* myCanonical,
                                             const NumberParts* partsTable, extended80* x);
/// Writes a number in a format.
TOOLBOX_EXPORT FormatStatus ExtendedToString(const extended80* x,
                                             const NumFormatString* myCanonical,
                                             const NumberParts* partsTable, Str255 outString);

/// Decimal record of a double, in the style and digit count of f.
TOOLBOX_EXPORT void num2dec(const decform* f, double x, decimal* d);
/// Zero-terminated text (at most DECSTROUTLEN characters) of a decimal record.
TOOLBOX_EXPORT void dec2str(const decform* f, const decimal* d, char* s);
/// Exact conversions between double and the 80-bit extended form (the way
/// back rounds to nearest).
TOOLBOX_EXPORT void dtox80(const double* x, extended80* x80);
TOOLBOX_EXPORT double x80tod(const extended80* x80);

}  // extern "C"
