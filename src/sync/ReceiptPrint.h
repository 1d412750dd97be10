// PrintBillPro: the receipt of one invoice of an online order (kind 6), net
// of every credit note that credits it, read from the POS database
// (db/receipt/ReceiptRows.h) and printed by the receipt layout
// (print/receipt/PrintBillForm.h). Called on the order worker thread by the
// order pass's receipt hook (sync/OrderReceipt.h).
#pragma once

#include <string>

namespace ooa {

class TDatabaseModule;

// Prints the receipt of invoiceNo. True when the receipt went to the printer
// in full; false, printing nothing, when the invoice is not found or the
// printer is "N/A" (then not even the invoice is read, so no query runs). A
// printer that cannot be opened, or any other printer error, is a
// TPrintError, a database error a TDbError, both thrown to the caller; the
// unfinished document is ended by the next receipt.
bool PrintBillPro(TDatabaseModule& db, const std::string& invoiceNo, bool signature, bool modified);

}  // namespace ooa
