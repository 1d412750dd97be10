// TValue: one run-time value of the embedded T-SQL engine (a variable, a bound
// parameter, a function argument or result), plus the conversions and the text
// collation that the engine applies everywhere. Date-times are text in the one
// sortable form "yyyy-mm-dd hh:mm:ss.zzz"; whether a text is a date-time is a
// matter of the static type (see SqlType.h), not of the value.
// Plain values and free functions; any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "db/session/SqlText.h"

namespace ooa::tsql {

struct TValue {
  enum class TKind : uint8_t { Null, Int, Float, Text };
  TKind Kind = TKind::Null;
  int64_t Int = 0;
  double Float = 0.0;
  std::string Text;

  static TValue MakeNull() { return TValue(); }
  static TValue MakeInt(int64_t v) {
    TValue r;
    r.Kind = TKind::Int;
    r.Int = v;
    return r;
  }
  static TValue MakeFloat(double v) {
    TValue r;
    r.Kind = TKind::Float;
    r.Float = v;
    return r;
  }
  static TValue MakeText(std::string v) {
    TValue r;
    r.Kind = TKind::Text;
    r.Text = std::move(v);
    return r;
  }
  bool IsNull() const { return Kind == TKind::Null; }
  bool IsNumber() const { return Kind == TKind::Int || Kind == TKind::Float; }
  double AsDouble() const { return Kind == TKind::Int ? static_cast<double>(Int) : Float; }
};

// An error raised while a statement runs (conversion, overflow, ...): the
// statement fails, @@Error takes Number, the batch goes on.
struct TRuntimeError {
  int Number = 50000;
  std::string Message;
};

// Shortest decimal form with up to 15 significant digits ("12.5", "-3", "0.1", "1E-5").
std::string FormatFloat(double v);
// The value as text: numbers in their shortest form, NULL as empty text.
std::string ValueText(const TValue& v);
// Parses a whole text (blanks around allowed) as a number; false when it is none.
bool ParseNumber(std::string_view text, TValue& out);

// The collation of the POS database: without regard to (ASCII) case, trailing
// blanks ignored. Negative, 0 or positive like strcmp.
int CompareText(std::string_view a, std::string_view b);
// Text without its trailing blanks.
std::string_view TrimRight(std::string_view s);
// Number of characters (UTF-8 code points).
int64_t CharCount(std::string_view s);
// Byte offset of the character with the given 0-based index (clamped to size).
size_t ByteOffsetOfChar(std::string_view s, int64_t index);
// ASCII upper/lower case.
std::string AsciiUpper(std::string_view s);
std::string AsciiLower(std::string_view s);

// Date-times. Canonical form "yyyy-mm-dd hh:mm:ss.zzz"; the forms read are
// those of SQL Server's text (db/session/SqlText.h).
inline bool ParseDateTimeText(std::string_view text, std::string& canonical) {
  return ReadSqlDateTime(text, canonical);
}
using ooa::CanonicalDateTime;
using ooa::IsSystemDateLiteral;
// Days since 1900-01-01 (the POS database's day count for numbers) <-> canonical text.
std::string DateTimeFromDays1900(double days);
double DaysSince1900(std::string_view canonical);
// The local time now.
std::string NowCanonical();

}  // namespace ooa::tsql
