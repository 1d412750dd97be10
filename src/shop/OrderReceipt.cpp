#include "shop/OrderReceipt.h"

#include "config/ActivityLog.h"
#include "print/PrinterOutput.h"
#include "print/receipt/PrintBillForm.h"

namespace ooa {

// A printer that is off, refuses the connection or drops it costs the receipt,
// not the pass: the document is written by then, and ending the pass would
// only hold back every later order in the list (and their receipts) while the
// printer stays off. A database error still ends the pass.
void PrintOrderReceipt(TDatabaseModule& db, const std::string& invoiceNo, bool signature, bool modified) {
  try {
    TPrintBillForm::PrintBillPro(db, invoiceNo, signature, modified);
  } catch (const TPrintError& e) {
    StatusLine("Receipt of " + invoiceNo + " not printed: " + std::string(e.what()));
  }
}

}  // namespace ooa
