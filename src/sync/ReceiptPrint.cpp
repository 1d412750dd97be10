// PrintBillPro (see ReceiptPrint.h).
#include "sync/ReceiptPrint.h"

#include <optional>
#include <utility>

#include "db/receipt/ReceiptRows.h"
#include "print/receipt/PrintBillForm.h"

namespace ooa {

bool PrintBillPro(TDatabaseModule& db, const std::string& invoiceNo, bool signature, bool modified) {
  TPrintBillForm form;
  form.Signature = signature;
  form.Modified = modified;
  // Without a receipt printer nothing is read either: the receipt's queries
  // would only cost the order pass time.
  if (!form.PrinterWanted()) return false;
  std::optional<TReceiptHead> head = ReadReceiptHead(db, invoiceNo);
  if (!head) return false;  // no such invoice of an online order: nothing to print
  // The document starts once the invoice is known, before the rest is read:
  // a printer that cannot be opened costs no further query.
  if (!form.OpenPrinter(invoiceNo)) return false;
  form.PrintOutPro(ReadReceiptRest(db, invoiceNo, std::move(*head), form.Options().ConsolidateItemsOnReceipt));
  return true;
}

}  // namespace ooa
