// The problems list: what the shop owner must see and may have to act on,
// kept in a small state file beside the settings file (OnlineService.state),
// never in the POS database. It holds
//  - the orders and refunds the order pass refused for their own data; the
//    pass fetches those again by id at its start until they import, are
//    cancelled, or the owner dismisses them;
//  - the receipts that were not printed; an entry goes when the receipt of
//    its invoice prints (a reprint the owner asked for, or the next receipt of
//    that invoice after a credit note);
//  - the catalogue objects the shop refused, with the shop's message; an
//    entry goes when the shop accepts the object.
//
// Every change is one locked read-modify-write of the file, replaced
// atomically, so a pass that is killed never loses an entry and a change made
// elsewhere (--status --dismiss) is never overwritten. The order worker
// records and resolves; the UI thread and --status read and dismiss. An
// object holds the path and the entries as it last read or changed them; it
// belongs to the thread that made it (each pass, panel or command makes its
// own).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ooa {

struct TProblem {
  // "order:<order id>", "refund:<order id>/<refund id>", "receipt:<invoice
  // no>" ("receipt:order:<order id>" while the order or its credit note is
  // being written) or "<catalogue kind>:<POS code>" (such as
  // "product:BEER"); the owner names an entry by it (--status --dismiss ID).
  std::string Id;
  // "order", "refund", "receipt", or a catalogue kind: "category",
  // "product", "variation", "stock", "translation".
  std::string Kind;
  std::string OrderId;   // the shop's order id (orders, refunds; receipts when known)
  std::string RefundId;  // the shop's refund id (refunds only)
  // Why: the import's message and, after " - ", its cause; the printer's
  // failure; the shop's message about a catalogue object.
  std::string Reason;
  std::string FirstTry;  // local "yyyy-mm-dd hh:mm:ss"
  std::string LastTry;
  bool Dismissed = false;
  std::string InvoiceNo;  // the POS invoice (receipts)
  std::string Object;     // the POS code of a catalogue object, as the shop was sent it
  // Receipts: the owner asked for the receipt again; the next order pass
  // prints it (and clears the request, printed or not).
  bool Reprint = false;
};

std::string OrderProblemId(const std::string& orderId);
std::string RefundProblemId(const std::string& orderId, const std::string& refundId);
std::string ReceiptProblemId(const std::string& invoiceNo);
// kind: "category", "product", ...; code: the object's POS code.
std::string CatalogueProblemId(const std::string& kind, const std::string& code);
bool IsCatalogueProblemKind(const std::string& kind);

// What the entry is about, for a person: "Order 5001", "Refund 77 of order
// 5001", "Receipt of W26000002", "Product BEER".
std::string ProblemSubject(const TProblem& problem);

class TProblemList {
 public:
  explicit TProblemList(std::string path);
  const std::string& Path() const { return FilePath; }

  // Every entry, dismissed ones included, in the order they were first seen.
  // A missing file is an empty list. A file that cannot be read as a problems
  // list is kept aside as "<path>.damaged" and reads as empty (so the owner's
  // copy is not lost and the service goes on); throws when it cannot be read.
  std::vector<TProblem> Load() const;
  // The entries as this object last read (Load) or changed them, without
  // reading the file again: what a Load would give unless another object
  // changed the file since. Nothing before the first read, and after a read
  // or change that failed.
  const std::optional<std::vector<TProblem>>& LastSeen() const { return Seen; }
  // Adds the entry, or updates the reason and last try of the one with its
  // id (its first try and dismissal stay). `now` is the local time text.
  void Record(const TProblem& problem, const std::string& now);
  // Removes the entry: its cause is gone. False when there was none.
  bool Resolve(const std::string& id);
  // Marks the entry dismissed by the owner. False when there is none.
  bool Dismiss(const std::string& id);
  // Sets or clears the reprint request of a receipt entry. False when there
  // is no receipt entry with the id.
  bool RequestReprint(const std::string& id, bool requested = true);

 private:
  std::string FilePath;
  mutable std::optional<std::vector<TProblem>> Seen;
};

// OnlineService.state beside the settings file.
std::string ProblemListPath();

}  // namespace ooa
