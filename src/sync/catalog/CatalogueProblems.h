// The catalogue objects the shop refused, on the problems list (with the
// shop's message), and taken off it when the shop accepts them. One
// TCatalogueProblems serves one catalogue pass on the catalogue worker
// thread: RunCatalogPass installs it with TCatalogueProblemsScope, and the
// batch protocol (BatchUpload.cpp) tells it about every answered entry of an
// upload that names its problem kind. Outside a pass nothing is recorded.
//
// Reads the list once, when made; writes the file only to add or renew an
// entry, or to remove one that was listed.
#pragma once

#include <set>
#include <string>

#include "config/ProblemList.h"

namespace ooa {

class TCatalogueProblems {
 public:
  explicit TCatalogueProblems(TProblemList& list);

  // kind: "category", "product", ...; code: the object's POS code (or "#"
  // and its shop id when the request names it by that alone).
  void Refused(const std::string& kind, const std::string& code, const std::string& message);
  void Accepted(const std::string& kind, const std::string& code);

 private:
  TProblemList& List;
  std::set<std::string> Listed;
  bool Usable = true;  // false once the file failed: the pass goes on without it
};

// The calling thread's current instance, or nullptr.
TCatalogueProblems* CurrentCatalogueProblems();

// Makes problems the calling thread's current instance while it lives.
class TCatalogueProblemsScope {
 public:
  explicit TCatalogueProblemsScope(TCatalogueProblems& problems);
  ~TCatalogueProblemsScope();
  TCatalogueProblemsScope(const TCatalogueProblemsScope&) = delete;
  TCatalogueProblemsScope& operator=(const TCatalogueProblemsScope&) = delete;

 private:
  TCatalogueProblems* Previous;
};

}  // namespace ooa
