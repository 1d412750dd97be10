// The built-in T-SQL functions of the embedded engine. Each scalar function is
// written once on TValue and serves both the engine's own evaluator (variables
// and literals) and SQLite, where it is registered as t_<name> with the text
// collation TSQL and the helper functions the compiler emits (t_conv, t_add,
// t_like_lo, t_like_hi). Registration is per connection; the table is constant.
#pragma once

#include <string>
#include <vector>

#include <sqlite3.h>

#include "tsql/SqlType.h"
#include "tsql/Value.h"

namespace ooa::tsql {

using TScalarImpl = TValue (*)(std::vector<TValue>& args);

struct TFunction {
  const char* Name;     // lower case T-SQL name
  int MinArgs;
  int MaxArgs;
  bool Aggregate;
  const char* SqlName;  // what the SQLite text calls
  TScalarImpl Impl;     // scalar functions only
};

const TFunction* FindFunction(const std::string& lowerName);
// The static type of a call's result from its argument types.
TSqlType FunctionResultType(const TFunction& f, const std::vector<TSqlType>& argTypes);
// Registers the collation and every function on a connection.
void RegisterFunctions(sqlite3* db);
// The error number of the last function that failed inside SQLite on this thread
// (0 after it was read).
int TakeLastFunctionError();

// Shared by the evaluator and the SQL helpers.
TValue AddValues(const TValue& a, const TValue& b);
bool LikeMatch(std::string_view text, std::string_view pattern);

}  // namespace ooa::tsql
