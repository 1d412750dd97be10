// The order pass's receipt hook: prints the receipt of an invoice after the
// pass wrote it, or wrote a credit note against it. Called on the order worker
// thread. Prints through TPrintBillForm::PrintBillPro (the invoice net of its
// credit notes). A printer error costs only the receipt: it is logged as a
// status line and the pass goes on. A database error is thrown to the pass.
//
// A receipt that is due but not printed (the printer failed, or the program
// died between the commit and the print) stays on the problems list as
// "receipt:<invoice no>" (kind "receipt"): recorded before the print, removed
// once printed, and printed again at the start of every order pass until it
// is, or the owner dismisses it. With no receipt printer ("N/A") nothing
// awaits.
#pragma once

#include <string>

namespace ooa {

class TDatabaseModule;
struct TOrderPassState;

// orderId: the shop order the invoice belongs to (for the problems list).
void PrintOrderReceipt(TDatabaseModule& db, TOrderPassState& pass, const std::string& invoiceNo,
                       const std::string& orderId, bool signature, bool modified);

// Prints the receipts the problems list holds as awaited (not dismissed);
// each one printed leaves the list, one that fails again keeps its place with
// the new reason. A printer error leaves the rest for a later pass. Never
// ends the pass.
void PrintAwaitedReceipts(TDatabaseModule& db, TOrderPassState& pass);

}  // namespace ooa
