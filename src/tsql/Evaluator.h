// Evaluates the simple expressions of a batch (literals, variables, operators,
// scalar functions, Cast, Case) in the engine itself, without SQLite: the
// right sides of Set and Select @x = ..., If conditions, a bare Select @x.
// Throws TRuntimeError like a failing statement. One batch, one thread.
#pragma once

#include <vector>

#include "tsql/Ast.h"

namespace ooa::tsql {

// Values of the batch's variables, by slot.
TValue Evaluate(const TExpr& e, const std::vector<TValue>& vars);
// A condition: true, false, or unknown (NULL), which counts as false.
bool EvaluateCondition(const TExpr& e, const std::vector<TValue>& vars);

}  // namespace ooa::tsql
