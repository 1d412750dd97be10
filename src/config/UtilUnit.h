// Small shared helpers: SQL literals, shop date-times, amounts, text files and
// the 8-bit receipt code page. Free functions without shared state; any thread.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/DateTime.h"

namespace ooa {

// Raised for malformed input of the parsing helpers; what() is the message the
// user sees (for example "'x' is not a valid date and time").
class TConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "yyyy-MM-dd" + any non-digits + "hh:mm:ss" or "hh:mm"; no zone conversion.
TDateTime ParseShopDateTime(const std::string& text);
// 'mm/dd/yyyy hh:mm:ss' with the quotes.
std::string SqlDateTimeLiteral(TDateTime value);
// 'mm/dd/yyyy' with the quotes.
std::string SqlDateLiteral(TDateTime value);
// Null for empty text, otherwise N'...' with every quote doubled.
std::string SqlTextLiteral(const std::string& text);
// "1" or "0".
std::string BoolToSqlBit(bool value);
// Keeps ( + - . and digits, "(" becomes "-"; empty -> 0; otherwise a number or TConvertError.
double TextToAmount(const std::string& text);
// Distance in milliseconds between 1970-01-01 00:00 and the value (never negative).
int64_t DateTimeToUnixMs(TDateTime value);
// Waits the given milliseconds (bounded by the monotonic clock).
void Delay(int ms);
// Position of the first exact (case-sensitive) match, or -1.
int IndexOfString(const std::vector<std::string>& list, const std::string& text);
// The file as UTF-8: UTF-16 LE when it starts with FF FE, otherwise decoded
// from the configured 8-bit code page. A missing file gives empty text.
std::string ReadTextFile(const std::string& path);

// The 8-bit code page of receipt text (what the POS calls the ANSI code page).
// Default "CP1252"; any iconv name works, for example "GBK" for Chinese receipts.
std::string AnsiCodePage();
void SetAnsiCodePage(const std::string& name);
// UTF-8 <-> the configured code page (characters it cannot hold become '?').
std::string Utf8ToAnsi(const std::string& utf8);
std::string AnsiToUtf8(const std::string& ansi);

// Number as text with '.' as decimal separator whatever the locale:
// the shortest form with up to 15 significant digits (1.5, 12, 0.1).
std::string FloatToText(double value);

}  // namespace ooa
