// Text forms of the receipt: fixed-decimal numbers, amounts in the currency
// form, padding to columns, dates, and cutting 8-bit text into lines. Column
// widths count bytes of the 8-bit receipt text; a double-byte character takes
// two columns. Pure functions; any thread.
#pragma once

#include <string>
#include <vector>

#include "config/DateTime.h"
#include "print/receipt/ReceiptLocale.h"

namespace ooa {

// The value with the given number of decimals, rounded on its decimal
// expansion (15 significant digits) with halves away from zero, so 0.335
// gives 0.34 and 1.005 gives 1.01. No thousands separator; `decimal` is the
// separator; no minus sign when the rounded value is zero.
std::string FixedText(double value, int decimals, const std::string& decimal = ".");
// The value rounded to two decimals that way, as a number ("%4.2f" read back).
double Money2(double value);
// Nearest integer, halves to the even neighbour.
double RoundHalfEven(double value);

// "%<width>.<decimals>m": the amount in the currency form of the locale,
// right-aligned in width columns (longer texts are kept whole).
std::string MoneyText(double value, int decimals, int width, const TReceiptLocale& locale);
// "%<width>.<decimals>f" with the locale's decimal separator.
std::string NumberText(double value, int decimals, int width, const TReceiptLocale& locale);
// The short form: shortest decimal form, up to 15 significant digits.
std::string ShortNumberText(double value, const TReceiptLocale& locale);

// "%<width>s": right-aligned; "%-<width>s": padded on the right. Never cut.
std::string AlignRight(const std::string& text, int width);
std::string PadRight(const std::string& text, int width);
// "%s%<n>s%s" with an empty middle text: a, |n| spaces, b.
std::string JoinWithGap(const std::string& a, int n, const std::string& b);

// "dd/mm/yyyy" and "dd/mm/yyyy hh:mm:ss".
std::string ReceiptDate(TDateTime value);
std::string ReceiptDateTime(TDateTime value);

// Upper case of the ASCII letters only (8-bit bytes stay).
std::string UpperAscii(std::string text);

// The 8-bit text cut into pieces of at most width bytes; a double-byte
// character of the receipt code page is never split (its piece ends early).
std::vector<std::string> CutIntoColumns(const std::string& ansiText, int width);
// Bytes of the character starting at pos in 8-bit receipt text (1 or 2).
int AnsiCharLength(const std::string& ansiText, size_t pos);

// The lines of a text: CR LF, a lone CR and a lone LF each end one. A break
// at the very end opens no further line; an empty text has none.
std::vector<std::string> SplitLines(const std::string& text);
// One line of 8-bit text as receipt lines of at most width bytes, broken at
// spaces (the spaces at a break are dropped); a word longer than a line is
// cut as CutIntoColumns cuts, never inside a double-byte character. An empty
// line gives one empty piece.
std::vector<std::string> WrapWords(const std::string& ansiLine, int width);

}  // namespace ooa
