// The order pass's receipt hook: prints the receipt of an invoice after the
// pass wrote it, or wrote a credit note against it, and the receipts the
// problems list still holds. Called on the order worker thread. Prints
// through PrintBillPro (sync/ReceiptPrint.h: the invoice net of its credit notes).
//
// A printer error costs only the receipt, whatever Debug says: the status
// line "Receipt of <invoice> not printed: <why>", and the receipt stays on the
// problems list ("receipt:<invoice>", kind "receipt") with that reason; the
// pass goes on. A database error is thrown to the pass.
//
// A receipt that is due is listed before it prints and taken off once it
// printed, so one lost to a crash between the commit and the print stays
// listed too. Every order pass prints the listed receipts again (those the
// owner dismissed excepted) until they print. With no receipt printer ("N/A")
// nothing is listed and nothing printed, silently.
#pragma once

#include <string>
#include <vector>

#include "config/ProblemList.h"

namespace ooa {

class TDatabaseModule;
struct TOrderPassState;

enum class TReceiptResult {
  Printed,
  NothingToPrint,  // the printer is "N/A", or the invoice is not there
  NotPrinted,      // a printer error: reported and listed
};

// orderId: the shop order of the invoice (for the list; may be empty).
TReceiptResult PrintOrderReceipt(TOrderPassState& pass, TDatabaseModule& db, const std::string& orderId,
                                 const std::string& invoiceNo, bool signature, bool modified);

// An order, or a credit note of it, about to be written: with a receipt
// printer its receipt is listed under the order ("receipt:order:<order id>")
// before the write, so that a program killed between the commit and the
// invoice's own entry leaves the receipt to the next pass (a kill before the
// commit may cost a second print of the invoice, never a lost one).
// OrderWriteEnded takes the entry off again once the invoice's entry stands,
// or nothing was written.
void AwaitOrderWrite(TOrderPassState& pass, const std::string& orderId);
void OrderWriteEnded(TOrderPassState& pass, const std::string& orderId);

// Prints the receipts the problems list holds (not dismissed), each once: the
// awaited ones and those the owner asked for again (whose request is cleared,
// printed or not); an entry under an order prints the order's invoice, or goes
// when the order has none. A printer error leaves the rest for a later pass. Never
// ends the pass. Works on the list as the pass last read or changed it
// (TProblemList::LastSeen), not on a new read of the file.
void PrintAwaitedReceipts(TOrderPassState& pass, TDatabaseModule& db);

}  // namespace ooa
