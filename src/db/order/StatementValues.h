// How the invoice and credit-note statements render their values, one way per
// type: texts with SqlTextLiteral, flags with BoolToSqlBit, integers as
// digits, doubles with FloatToText; and the error tests that follow each
// statement of a batch. Short names, for the statement builders' .cpp files
// only (`using namespace statement_values;`). Pure; any thread.
#pragma once

#include <string>

#include "config/UtilUnit.h"

namespace ooa::statement_values {

inline std::string T(const std::string& text) { return SqlTextLiteral(text); }
inline std::string B(bool value) { return BoolToSqlBit(value); }
inline std::string I(int value) { return std::to_string(value); }
inline std::string F(double value) { return FloatToText(value); }

inline constexpr const char* kErrorTest = "if @@Error <> 0 Begin GoTo BRK End; ";
inline constexpr const char* kLineErrorTest = "IF @@Error <> 0 begin goto BRK end; ";

}  // namespace ooa::statement_values
