// The problems list: what the shop owner must see and may have to act on,
// kept in a small state file beside the settings file (OnlineService.state),
// never in the POS database. Today it holds the orders and refunds the order
// pass refused for their own data; the pass fetches those again by id at its
// start until they import, are cancelled, or the owner dismisses them.
//
// Every change is one locked read-modify-write of the file, replaced
// atomically, so a pass that is killed never loses an entry and a change made
// elsewhere (--status --dismiss) is never overwritten. The order worker
// records and resolves; the UI thread and --status read and dismiss. Objects
// hold only the path; any thread.
#pragma once

#include <string>
#include <vector>

namespace ooa {

struct TProblem {
  // "order:<order id>" or "refund:<order id>/<refund id>"; the owner names
  // an entry by it (--status --dismiss ID).
  std::string Id;
  std::string Kind;      // "order" or "refund"
  std::string OrderId;   // the shop's order id
  std::string RefundId;  // the shop's refund id (refunds only)
  std::string Reason;    // the import's message and, after " - ", its cause
  std::string FirstTry;  // local "yyyy-mm-dd hh:mm:ss"
  std::string LastTry;
  bool Dismissed = false;
};

std::string OrderProblemId(const std::string& orderId);
std::string RefundProblemId(const std::string& orderId, const std::string& refundId);

class TProblemList {
 public:
  explicit TProblemList(std::string path);
  const std::string& Path() const { return FilePath; }

  // Every entry, dismissed ones included, in the order they were first seen.
  // A missing file is an empty list. A file that cannot be read as a problems
  // list is kept aside as "<path>.damaged" and reads as empty (so the owner's
  // copy is not lost and the service goes on); throws when it cannot be read.
  std::vector<TProblem> Load() const;
  // Adds the entry, or updates the reason and last try of the one with its
  // id (its first try and dismissal stay). `now` is the local time text.
  void Record(const TProblem& problem, const std::string& now);
  // Removes the entry: its cause is gone. False when there was none.
  bool Resolve(const std::string& id);
  // Marks the entry dismissed by the owner. False when there is none.
  bool Dismiss(const std::string& id);

 private:
  std::string FilePath;
};

// OnlineService.state beside the settings file.
std::string ProblemListPath();

}  // namespace ooa
