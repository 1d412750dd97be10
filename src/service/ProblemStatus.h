// --status: the problems list for a monitoring system or the owner at a
// terminal, and --status --dismiss ID. Runs in its own short-lived process,
// beside a running service if there is one (the list's file lock keeps both
// right). Main thread only.
#pragma once

#include <ostream>
#include <string>

namespace ooa {

// Dismisses `dismissId` first when it is not empty (an unknown id is an
// error), then prints every entry still open, one line each, and a summary.
// Returns 0 when nothing is open, 1 while entries are open, 2 on an error
// (an unknown id, a list that cannot be read).
int RunProblemStatus(const std::string& path, const std::string& dismissId, std::ostream& out, std::ostream& err);

}  // namespace ooa
