#include "sync/catalog/CatalogueProblems.h"

#include <exception>

#include "config/ActivityLog.h"
#include "config/Clock.h"
#include "sync/OrderSyncPass.h"

namespace ooa {

namespace {
thread_local TCatalogueProblems* Current = nullptr;
}

TCatalogueProblems::TCatalogueProblems(TProblemList& list) : List(list) {
  try {
    for (const TProblem& p : List.Load()) Listed.insert(p.Id);
  } catch (const std::exception& e) {
    StatusLine(std::string("The problems list cannot be read: ") + e.what());
    Usable = false;
  }
}

void TCatalogueProblems::Refused(const std::string& kind, const std::string& code, const std::string& message) {
  if (!Usable) return;
  TProblem p;
  p.Id = CatalogueProblemId(kind, code);
  p.Kind = kind;
  p.Object = code;
  p.Reason = message;
  try {
    List.Record(p, FormatQueryTime(Clock().NowLocal()));
    Listed.insert(p.Id);
  } catch (const std::exception& e) {
    StatusLine(std::string("The problems list cannot be written: ") + e.what());
    Usable = false;
  }
}

void TCatalogueProblems::Accepted(const std::string& kind, const std::string& code) {
  if (!Usable) return;
  const std::string id = CatalogueProblemId(kind, code);
  if (Listed.erase(id) == 0) return;
  try {
    List.Resolve(id);
  } catch (const std::exception& e) {
    StatusLine(std::string("The problems list cannot be written: ") + e.what());
    Usable = false;
  }
}

TCatalogueProblems* CurrentCatalogueProblems() { return Current; }

TCatalogueProblemsScope::TCatalogueProblemsScope(TCatalogueProblems& problems) : Previous(Current) {
  Current = &problems;
}

TCatalogueProblemsScope::~TCatalogueProblemsScope() { Current = Previous; }

}  // namespace ooa
