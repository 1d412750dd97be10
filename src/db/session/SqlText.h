// How SQL Server writes numbers and date-times as text: the shortest float
// text, a number read from its text, and the date-time forms the POS database
// and its statements use. The session backends and the embedded engine share
// these, so a value reads the same whichever way it came.
// Plain functions; any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ooa {

// Shortest decimal form with up to 15 significant digits ("12.5", "-3", "0.1", "1E-5").
std::string SqlFloatText(double v);

// A number read from its text: an integer when it is written as one and fits
// 64 bits, otherwise a float.
struct TSqlNumber {
  bool IsInt = false;
  int64_t Int = 0;
  double Float = 0.0;
  double AsDouble() const { return IsInt ? static_cast<double>(Int) : Float; }
};
// Reads a whole text (blanks around allowed) as a number; false when it is none.
bool ReadSqlNumber(std::string_view text, TSqlNumber& out);

// Date-times. Canonical form "yyyy-mm-dd hh:mm:ss.zzz".
// Reads the canonical form (milliseconds optional), "yyyy-mm-dd", "yyyymmdd",
// "yyyy-mm-ddThh:mm:ss", and "mm/dd/yyyy[ hh:mm[:ss[.zzz]]]"; false for anything else.
bool ReadSqlDateTime(std::string_view text, std::string& canonical);
// Only the two forms that the system writes: 'mm/dd/yyyy hh:mm:ss' and 'mm/dd/yyyy'.
bool IsSystemDateLiteral(std::string_view text);
// The count digits at pos as a number; false when one of them is no digit.
bool ReadFixedDigits(std::string_view s, size_t pos, size_t count, int& out);
std::string CanonicalDateTime(int y, int mo, int d, int h, int mi, int s, int ms);

}  // namespace ooa
