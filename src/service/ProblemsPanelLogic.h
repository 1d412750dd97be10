// The problems panel's rules apart from any window toolkit, so that every
// edition's panel (Qt and Win32) lists, reads and acts alike: which entries
// it shows and how each entry's line reads, when Reprint and Dismiss are
// enabled, and what the status line says after a refresh or an action. The
// window that owns the panel calls these on its UI thread; they touch no
// state but the list file.
#pragma once

#include <string>
#include <vector>

#include "config/ProblemList.h"

namespace ooa {

// The status line of a panel with nothing open.
inline constexpr const char* kNoProblemsText = "No problems.";

struct TOpenProblems {
  std::vector<TProblem> Entries;  // the entries not dismissed, in the list's order
  std::string Error;              // when the list cannot be read: the status line's text
};
TOpenProblems LoadOpenProblems(const std::string& path);

// An entry's line: its subject, and " - printing again" while the receipt
// waits for the next order pass.
std::string ProblemLine(const TProblem& problem);

// Reprint: a receipt entry with no reprint waiting. Dismiss: any entry.
bool CanReprint(const TProblem* selected);
bool CanDismiss(const TProblem* selected);

// The status line after a refresh: "No problems." when nothing is open; a
// "No problems." left from before is cleared once entries are open; any
// other text stays.
std::string StatusAfterRefresh(const std::string& current, bool nothingOpen);

// Ask for the receipt again, or dismiss the entry, in the list at `path`.
// Each gives the status line's text: what will happen, or why the list could
// not be written.
std::string ReprintProblem(const std::string& path, const TProblem& problem);
std::string DismissProblem(const std::string& path, const TProblem& problem);

}  // namespace ooa
