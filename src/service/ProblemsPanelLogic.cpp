// The problems panel's rules (see ProblemsPanelLogic.h).
#include "service/ProblemsPanelLogic.h"

#include <exception>
#include <utility>

namespace ooa {

TOpenProblems LoadOpenProblems(const std::string& path) {
  TOpenProblems open;
  try {
    for (TProblem& p : TProblemList(path).Load())
      if (!p.Dismissed) open.Entries.push_back(std::move(p));
  } catch (const std::exception& e) {
    open.Entries.clear();
    open.Error = std::string("The problems list cannot be read: ") + e.what();
  }
  return open;
}

std::string ProblemLine(const TProblem& problem) {
  std::string line = ProblemSubject(problem);
  if (problem.Reprint) line += " - printing again";
  return line;
}

bool CanReprint(const TProblem* selected) { return selected && selected->Kind == "receipt" && !selected->Reprint; }

bool CanDismiss(const TProblem* selected) { return selected != nullptr; }

std::string StatusAfterRefresh(const std::string& current, bool nothingOpen) {
  if (nothingOpen) return kNoProblemsText;
  return current == kNoProblemsText ? std::string() : current;
}

std::string ReprintProblem(const std::string& path, const TProblem& problem) {
  try {
    TProblemList(path).RequestReprint(problem.Id);
    return "The next order pass prints the receipt of " + problem.InvoiceNo + " again.";
  } catch (const std::exception& e) {
    return std::string("The problems list cannot be written: ") + e.what();
  }
}

std::string DismissProblem(const std::string& path, const TProblem& problem) {
  try {
    TProblemList(path).Dismiss(problem.Id);
    return ProblemSubject(problem) + " dismissed.";
  } catch (const std::exception& e) {
    return std::string("The problems list cannot be written: ") + e.what();
  }
}

}  // namespace ooa
