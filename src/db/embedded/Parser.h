// Parses a T-SQL batch into statements (Ast.h). Statements are separated by ';'
// or simply follow each other, as T-SQL allows. Throws TDbError("Incorrect
// syntax near ...") naming the place of the first error. Any thread.
#pragma once

#include <string>

#include "db/embedded/Ast.h"

namespace ooa::tsql {

TBatch ParseBatch(const std::string& text);

}  // namespace ooa::tsql
