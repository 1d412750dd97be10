// The outcome of writing one shop document (an order as an invoice, a
// cancellation or a refund as a credit note) to the POS database. The import
// sets the kind where it decides; the order pass acts on the kind alone and
// only logs the message.
//
// A plain value: made by TDatabaseModule on the order worker thread and
// handed to the caller, who owns it.
#pragma once

#include <string>
#include <utility>

namespace ooa {

enum class TWriteKind {
  // The batch committed; Number is the new invoice or credit note.
  Written,
  // The batch found, under its lock, the document written already (by another
  // copy of the service); it wrote nothing and Number is the one that is there.
  AlreadyWritten,
  // The invoice was credited already (a cancellation, or refunds that left
  // nothing to credit): nothing more to do.
  AlreadyCredited,
  // The invoice to credit is not in the POS (or has no lines).
  InvoiceMissing,
  // The document's own data cannot be written (a parsing message, a value
  // missing or out of range, a text too long for its column); it fails the
  // same way until the shop changes it. Fault says why, when known.
  DataError,
  // The database did not write it (the batch rolled back, or a warehouse code
  // that names no stock column); the next pass tries again.
  NotWritten,
};

struct TWriteOutcome {
  TWriteKind Kind = TWriteKind::NotWritten;
  // The import's message for the log ("Success" when written).
  std::string Message;
  // The invoice or credit note number (Written, AlreadyWritten); else empty.
  std::string Number;
  // The cause of a data error (the module's DataFault), or empty.
  std::string Fault;
  // The invoice's Modified flag as the batch read it back (orders only).
  bool Modified = false;

  bool Written() const { return Kind == TWriteKind::Written; }
};

inline TWriteOutcome WriteOutcome(TWriteKind kind, std::string message, std::string number = {}) {
  TWriteOutcome outcome;
  outcome.Kind = kind;
  outcome.Message = std::move(message);
  outcome.Number = std::move(number);
  return outcome;
}

// The old flag form of an outcome (the bool calls of the order and credit
// note imports): true when written; msg the message; number set when written
// or found written, else left as it was.
inline bool OutcomeAsFlag(const TWriteOutcome& outcome, std::string& number, std::string& msg) {
  msg = outcome.Message;
  if (outcome.Kind == TWriteKind::Written || outcome.Kind == TWriteKind::AlreadyWritten) number = outcome.Number;
  return outcome.Written();
}

}  // namespace ooa
