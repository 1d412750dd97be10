// --status: the problems list for a monitoring system or the owner at a
// terminal, with --status --dismiss ID and --status --reprint ID. Runs in its
// own short-lived process, beside a running service if there is one (the
// list's file lock keeps both right). Main thread only.
#pragma once

#include <ostream>
#include <string>

namespace ooa {

struct TStatusActions {
  std::string DismissId;  // dismiss this entry first
  std::string ReprintId;  // ask for this receipt again (the next order pass prints it)
};

// Carries out the actions first (an unknown id, or a reprint of an entry
// that is no receipt, is an error), then prints every entry still open, one
// line each: id, reason, first and last try, and a requested reprint; then a
// summary. Returns 0 when nothing is open, 1 while entries are open, 2 on an
// error (an unknown id, a list that cannot be read).
int RunProblemStatus(const std::string& path, const TStatusActions& actions, std::ostream& out, std::ostream& err);
// The same with a dismissal only (empty: none).
int RunProblemStatus(const std::string& path, const std::string& dismissId, std::ostream& out, std::ostream& err);

}  // namespace ooa
