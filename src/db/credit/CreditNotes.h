// Credit notes: whether an imported invoice may be credited, its loading as
// a credit note, the statements of the credit note batch, the cancellation
// and the shop refund, each on db's order document (TDatabaseModule::
// Document). Called on the order worker thread by the order pass
// (sync/OrderCreditDispatch.h) and the order import (sync/OrderImport.h);
// each keeps its reads and its batch together under the module's lock
// (HoldForOneOrder).
#pragma once

#include <optional>
#include <string>

#include "db/WriteOutcome.h"

namespace ooa {

class TDatabaseModule;

// Nothing when invoiceNo has lines and has not been credited; otherwise the
// refusal: InvoiceMissing ("This invoice dose not exsits.") or
// AlreadyCredited ("This invoice credited already."). Credited already: a
// line's CreditedQty above 0, or a cancellation credit note (kind 5,
// ReferenceNo the invoice, no shop refund id) on the invoice. A database
// error is thrown.
std::optional<TWriteOutcome> CreditRefusal(TDatabaseModule& db, const std::string& invoiceNo);
// The same as a flag: true when invoiceNo may be credited; otherwise false
// with the refusal's message.
bool IsInvoiceCredited(TDatabaseModule& db, const std::string& invoiceNo, std::string& msg);
// Fills the order document as the credit note of invoiceNo (head and lines
// negated, the first payment and deposit row reversed); false when the
// invoice head or its lines are missing. A database error is thrown.
bool GetOriginalInvoice(TDatabaseModule& db, const std::string& invoiceNo);
// Statements of the credit note batch for the current document (numbering,
// head and note on the credited invoice; lines; the reversal rows of the
// payment and the deposit). db/credit/CreditStatements.h renders them.
std::string GenerateCreditNotesHeadSQLCmd(TDatabaseModule& db);
std::string GenerateCreditNotesItemSQLCmd(TDatabaseModule& db);
std::string GenerateCreditNotesPaymentSQLCmd(TDatabaseModule& db);
std::string GenerateCreditNotesDepositPaymentSQLCmd(TDatabaseModule& db);
// Books the cancellation of invoiceNo as a credit note in one transaction.
// It credits what earlier credit notes (partial refunds) left: per line the
// quantity not yet credited (their lines matched by product code and price
// level), the head amounts and payments less what they credited; nothing
// left is AlreadyCredited ("This invoice credited already."). Written only
// when the batch committed: message "Success", Number the credit note.
// Otherwise the refusal of CreditRefusal, InvoiceMissing when the invoice
// cannot be loaded, AlreadyWritten with the credit note that is there, or
// NotWritten when a line's warehouse code is unsafe or the batch rolled
// back. Errors while loading the invoice are thrown.
TWriteOutcome ProcessCancelOrder(TDatabaseModule& db, const std::string& invoiceNo);
// The same as a flag: true when written; msg the outcome's message; creditNo
// set when written or found written.
bool ProcessCancelOrder(TDatabaseModule& db, const std::string& invoiceNo, std::string& creditNo, std::string& msg);
// Books the shop refund parsed into db.Document as a credit note of invoiceNo
// (the order import checks CreditRefusal and parses it under
// HoldForOneOrder): calculates it, then one batch. Written only when the
// batch committed: message "Success", Number the credit note. DataError
// with the message and Fault for a line that gives back more of an invoice
// line than remains ("Order items data error.") or a document the POS
// cannot hold; AlreadyWritten with the credit note that is there;
// NotWritten for an unsafe warehouse code or a batch that rolled back.
// Database errors before the batch are thrown.
TWriteOutcome WriteParsedOrderRefund(TDatabaseModule& db, const std::string& invoiceNo);

}  // namespace ooa
