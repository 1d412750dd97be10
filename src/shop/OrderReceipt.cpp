#include "shop/OrderReceipt.h"

#include <exception>
#include <vector>

#include "config/ActivityLog.h"
#include "config/Clock.h"
#include "config/Config.h"
#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "print/PrinterOutput.h"
#include "print/receipt/PrintBillForm.h"
#include "shop/OrderSyncPass.h"

namespace ooa {

namespace {

const char* const kReceiptKind = "receipt";
const char* const kAwaited = "The receipt has not been printed yet.";

std::string ReceiptProblemId(const std::string& invoiceNo) { return std::string(kReceiptKind) + ":" + invoiceNo; }

bool PrinterConfigured() { return ConfigSnapshot().PrinterName != "N/A"; }

// The list's entry for the receipt: written or renewed (its reason), or
// removed. A list that cannot be written costs the entry, never the receipt.
void Note(TOrderPassState& pass, const std::string& invoiceNo, const std::string& orderId, const std::string& why) {
  if (!pass.Problems) return;
  try {
    const std::string id = ReceiptProblemId(invoiceNo);
    pass.Listed.insert(id);
    pass.Problems->Record({id, kReceiptKind, orderId, "", MaskedText(why)}, FormatQueryTime(Clock().NowLocal()));
  } catch (const std::exception& e) {
    StatusLine("The receipt of " + invoiceNo + " cannot be listed as awaited: " + std::string(e.what()));
  }
}

void Printed(TOrderPassState& pass, const std::string& invoiceNo) {
  try {
    pass.Settled(ReceiptProblemId(invoiceNo));
  } catch (const std::exception& e) {
    StatusLine("The receipt of " + invoiceNo + " stays listed: " + std::string(e.what()));
  }
}

}  // namespace

// A printer that is off, refuses the connection or drops it costs the receipt,
// not the pass: the document is written by then, and ending the pass would
// only hold back every later order in the list (and their receipts) while the
// printer stays off. A database error still ends the pass.
void PrintOrderReceipt(TDatabaseModule& db, TOrderPassState& pass, const std::string& invoiceNo,
                       const std::string& orderId, bool signature, bool modified) {
  const bool printer = PrinterConfigured();
  // Listed before the print: a program killed now leaves it for the next pass.
  if (printer) Note(pass, invoiceNo, orderId, kAwaited);
  try {
    TPrintBillForm::PrintBillPro(db, invoiceNo, signature, modified);
  } catch (const TPrintError& e) {
    StatusLine("Receipt of " + invoiceNo + " not printed: " + std::string(e.what()));
    if (printer) Note(pass, invoiceNo, orderId, "The receipt was not printed: " + std::string(e.what()));
    return;
  }
  if (printer) Printed(pass, invoiceNo);
}

void PrintAwaitedReceipts(TDatabaseModule& db, TOrderPassState& pass) {
  if (!pass.Problems || !PrinterConfigured()) return;
  std::vector<TProblem> problems;
  try {
    problems = pass.Problems->Load();
  } catch (const std::exception&) {
    return;  // the retry of listed orders has said so
  }
  for (const TProblem& p : problems) {
    if (p.Kind != kReceiptKind || p.Dismissed) continue;
    const std::string invoiceNo = p.Id.substr(p.Id.find(':') + 1);
    LogLine("Printing the awaited receipt of " + invoiceNo);
    try {
      // "MODIFIED ORDER" when credit notes changed the invoice since.
      db.OpenQuery("Select Count(*) As Credits From InvoiceHead Where KindFlag=5 And ReferenceNo=" +
                   SqlTextLiteral(invoiceNo));
      const bool credited = db.Query().RecordCount() > 0 && db.Query().Field(0, "Credits").AsInteger() > 0;
      TPrintBillForm::PrintBillPro(db, invoiceNo, false, credited);
    } catch (const TPrintError& e) {
      // The printer is failing: the rest wait for a later pass rather than
      // each costing the printer's time-out now.
      StatusLine("Receipt of " + invoiceNo + " not printed: " + std::string(e.what()));
      Note(pass, invoiceNo, p.OrderId, "The receipt was not printed: " + std::string(e.what()));
      return;
    } catch (const std::exception& e) {
      StatusLine("Receipt of " + invoiceNo + " not printed: " + std::string(e.what()));
      Note(pass, invoiceNo, p.OrderId, "The receipt was not printed: " + std::string(e.what()));
      continue;
    }
    Printed(pass, invoiceNo);
  }
}

}  // namespace ooa
