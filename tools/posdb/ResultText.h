// How `posdb exec` prints result sets: per set a header line of column names,
// then one line per row, fields separated by tabs; a blank line between sets.
// NULL prints as NULL; a tab, line break or backslash inside a value prints as
// \t, \n, \r or \\ so every row stays on one line. Used by the posdb tool.
#pragma once

#include <string>

#include "db/session/DbSession.h"

namespace ooa {

std::string ResultText(const TQueryResult& result);

}  // namespace ooa
