// TSqlType: the T-SQL data types that the embedded engine knows, as declared in
// Create Table, Declare and Cast, and the conversion of a run-time value to one
// of them (assignment to a variable or column, Cast). Plain values; any thread.
#pragma once

#include <string>

#include "db/session/DbSession.h"
#include "tsql/Value.h"

namespace ooa::tsql {

enum class TTypeClass : uint8_t { Unknown, Int, Bit, Float, Decimal, DateTime, Text };

struct TSqlType {
  TTypeClass Class = TTypeClass::Unknown;
  int Length = 0;  // text: maximum characters, -1 for max, 0 when not limited
  int Scale = 0;   // decimal places of decimal(p,s) / numeric(p,s)
  std::string Name;  // as SQLite keeps it, e.g. "nvarchar(15)", "datetime", "int"

  bool IsUnknown() const { return Class == TTypeClass::Unknown; }
  bool IsText() const { return Class == TTypeClass::Text; }
  bool IsNumeric() const {
    return Class == TTypeClass::Int || Class == TTypeClass::Bit || Class == TTypeClass::Float ||
           Class == TTypeClass::Decimal;
  }
  bool IsExactInt() const { return Class == TTypeClass::Int || Class == TTypeClass::Bit; }
  static TSqlType Of(TTypeClass c, int length = 0) {
    TSqlType t;
    t.Class = c;
    t.Length = length;
    return t;
  }
};

// A T-SQL type by name with its arguments (nvarchar, 15) or (decimal, 10, 2);
// false for a name the engine does not know.
bool MakeSqlType(const std::string& name, int arg1, int arg2, bool hasArg1, bool isMax, TSqlType& out);
// The type of a column as SQLite reports its declared type.
TSqlType TypeFromDeclared(const std::string& declared);
// How result values of this type reach the caller.
TDbValue::TKind ResultKind(const TSqlType& t);

// How a conversion treats text longer than the target.
enum class TConvertMode : uint8_t {
  Cast,   // Cast/Convert and variables: cut to length
  Store,  // a column: too long is an error, nothing is cut
};
// Converts v to the type; NULL stays NULL. Throws TRuntimeError when it cannot.
TValue ConvertTo(const TValue& v, const TSqlType& t, TConvertMode mode, const char* target = nullptr);
// Numeric type code used to pass a type to the SQL functions (class*1e6 + length...).
int64_t EncodeType(const TSqlType& t);
TSqlType DecodeType(int64_t code);

}  // namespace ooa::tsql
