#include "shop/OrderReceipt.h"

#include "config/ActivityLog.h"
#include "config/Config.h"
#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "print/PrinterOutput.h"
#include "print/receipt/PrintBillForm.h"
#include "shop/OrderSyncPass.h"

namespace ooa {

// A printer that is off, refuses the connection or drops it costs the receipt,
// not the pass: the document is written by then, and ending the pass would
// only hold back every later order in the list (and their receipts) while the
// printer stays off. A database error still ends the pass.
TReceiptResult PrintOrderReceipt(TOrderPassState& pass, TDatabaseModule& db, const std::string& orderId,
                                 const std::string& invoiceNo, bool signature, bool modified) {
  const std::string problemId = ReceiptProblemId(invoiceNo);
  try {
    if (!TPrintBillForm::PrintBillPro(db, invoiceNo, signature, modified)) return TReceiptResult::NothingToPrint;
  } catch (const TPrintError& e) {
    const std::string why = e.what();
    StatusLine("Receipt of " + invoiceNo + " not printed: " + why);
    TProblem problem;
    problem.Id = problemId;
    problem.Kind = "receipt";
    problem.OrderId = orderId;
    problem.InvoiceNo = invoiceNo;
    problem.Reason = why;
    pass.Refused(problem);
    return TReceiptResult::NotPrinted;
  }
  pass.Settled(problemId);
  return TReceiptResult::Printed;
}

namespace {

// The banner of the receipt as the pass last printed it: "MODIFIED ORDER"
// once the invoice has a credit note.
bool InvoiceCredited(TDatabaseModule& db, const std::string& invoiceNo) {
  db.OpenQuery("Select Count(*) As Credits From InvoiceHead Where ReferenceNo=" + SqlTextLiteral(invoiceNo) +
               " and KindFlag=5");
  return db.Query().RecordCount() > 0 && db.Query().Field(0, "Credits").AsInteger() > 0;
}

}  // namespace

void ReprintRequestedReceipts(TOrderPassState& pass, TDatabaseModule& db, const std::vector<TProblem>& listed) {
  for (const TProblem& p : listed) {
    if (p.Kind != "receipt" || !p.Reprint || p.Dismissed || p.InvoiceNo.empty()) continue;
    LogLine("Print Receipt Again: " + p.InvoiceNo);
    // The request is used up either way; a receipt that fails again stays
    // listed with its new reason, for the owner to ask once more.
    if (pass.Problems) pass.Problems->RequestReprint(p.Id, false);
    if (ConfigSnapshot().PrinterName == "N/A") {
      StatusLine("Receipt of " + p.InvoiceNo + " not printed again: the receipt printer is N/A.");
      continue;
    }
    switch (PrintOrderReceipt(pass, db, p.OrderId, p.InvoiceNo, false, InvoiceCredited(db, p.InvoiceNo))) {
      case TReceiptResult::Printed:
        StatusLine("Receipt of " + p.InvoiceNo + " printed again.");
        break;
      case TReceiptResult::NothingToPrint:
        StatusLine("Receipt of " + p.InvoiceNo + " not printed again: the invoice is not in the POS database.");
        break;
      case TReceiptResult::NotPrinted:
        break;  // the status line and the list say why
    }
  }
}

}  // namespace ooa
