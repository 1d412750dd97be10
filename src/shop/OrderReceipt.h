// The order pass's receipt hook: prints the receipt of an invoice after the
// pass wrote it, or wrote a credit note against it, and the receipts the
// owner asked for again from the problems list. Called on the order worker
// thread. Prints through TPrintBillForm::PrintBillPro (the invoice net of its
// credit notes).
//
// A printer error costs only the receipt, whatever Debug says: the status
// line "Receipt of <invoice> not printed: <why>", and the receipt goes on the
// problems list ("receipt:<invoice>"); the pass goes on. A receipt that
// prints takes its invoice off the list. The printer "N/A" prints nothing
// and says nothing. A database error is thrown to the pass.
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

// The receipts of the problems list the owner asked to print again (listed
// is the list as the pass read it at its start): each is printed once more,
// its request cleared whether it prints or not.
void ReprintRequestedReceipts(TOrderPassState& pass, TDatabaseModule& db, const std::vector<TProblem>& listed);

}  // namespace ooa
