#include "service/ProblemStatus.h"

#include <exception>
#include <vector>

#include "config/ProblemList.h"

namespace ooa {

int RunProblemStatus(const std::string& path, const TStatusActions& actions, std::ostream& out, std::ostream& err) {
  TProblemList list(path);
  std::vector<TProblem> problems;
  try {
    if (!actions.DismissId.empty() && !list.Dismiss(actions.DismissId)) {
      err << "No problem with the id " << actions.DismissId << " in " << path << ".\n";
      return 2;
    }
    if (!actions.ReprintId.empty()) {
      if (!list.RequestReprint(actions.ReprintId)) {
        err << "No receipt with the id " << actions.ReprintId << " in " << path << ".\n";
        return 2;
      }
      out << "The next order pass prints " << actions.ReprintId << " again.\n";
    }
    problems = list.Load();
  } catch (const std::exception& e) {
    err << e.what() << "\n";
    return 2;
  }
  size_t open = 0, dismissed = 0;
  for (const TProblem& p : problems) {
    if (p.Dismissed) {
      ++dismissed;
      continue;
    }
    ++open;
    out << p.Id << "\t" << p.Reason << "\tfirst try " << p.FirstTry << ", last try " << p.LastTry;
    if (p.Reprint) out << "\treprint requested";
    out << "\n";
  }
  if (open == 0)
    out << "No problems.";
  else
    out << open << (open == 1 ? " problem" : " problems") << " open.";
  if (dismissed > 0) out << " " << dismissed << " dismissed.";
  out << "\n";
  return open == 0 ? 0 : 1;
}

int RunProblemStatus(const std::string& path, const std::string& dismissId, std::ostream& out, std::ostream& err) {
  TStatusActions actions;
  actions.DismissId = dismissId;
  return RunProblemStatus(path, actions, out, err);
}

}  // namespace ooa
