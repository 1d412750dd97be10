// The credit notes an invoice already has, read from the POS database and
// matched to the invoice's lines (db/credit/LineCredits.h). Used by the
// cancellation, which credits each line's remainder, and by the refund, which
// may not credit more of a line than remains. Called with the database
// module's lock held, on the order worker thread.
#pragma once

#include <string>
#include <vector>

#include "db/credit/LineCredits.h"

namespace ooa {

class TDatabaseModule;

struct TInvoiceCredits {
  std::vector<TSoldLine> Lines;   // the invoice's lines in ID order
  std::vector<double> Credited;   // per line, what its credit notes took back
};

// The lines of invoiceNo and what the lines of its credit notes (kind 5 heads
// whose ReferenceNo is the invoice) took back of each. Database errors are
// thrown.
TInvoiceCredits ReadInvoiceCredits(TDatabaseModule& db, const std::string& invoiceNo);

// Checks the refund credit note in the module's document (parsed and
// calculated) against what the lines of invoiceNo have left. Each refund line
// that gives goods back must find them on lines of its product code and price
// level; it then takes the stock units per unit those lines took, so the
// stock given back matches the sale. False with kMsgOrderItemsDataError, after
// a log line naming the line, when a refund line asks for more than remains:
// nothing of the refund is written.
bool FitRefundToInvoice(TDatabaseModule& db, const std::string& invoiceNo, std::string& msg);

}  // namespace ooa
