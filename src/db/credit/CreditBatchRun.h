// Running a credit note batch for the module's current order document: the
// warehouse check, the batch, and the reading of its result. Shared by the
// cancellation and the refund; called with the module's lock held, on the
// order worker thread.
#pragma once

#include <string>

#include "db/WriteOutcome.h"
#include "db/credit/CreditStatements.h"

namespace ooa {

class TDatabaseModule;

// Written only when the batch committed: message "Success", Number the new
// credit note. A line's warehouse code that cannot name a stock column sends
// nothing (NotWritten); a batch the database failed or rolled back gives
// NotWritten with kMsgCreditNoteNotWritten. A batch that finds the credit
// booked already (under its lock) writes nothing and gives AlreadyWritten
// with that credit note's number.
TWriteOutcome RunCreditNoteBatch(TDatabaseModule& db, TCreditKind kind);

// Lowers the cancellation document (loaded by GetOriginalInvoice) by what the
// earlier credit notes of invoiceNo (partial refunds) already credited: each
// line's quantity (db/credit/EarlierCredits.h), the head's goods figures by
// what that was worth on the invoice, charges and loyalty figures, and the
// payment and deposit reversals. False when nothing is left to credit.
bool DeductEarlierCredits(TDatabaseModule& db, const std::string& invoiceNo);

}  // namespace ooa
