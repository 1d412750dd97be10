#include "sync/OrderReceipt.h"

#include <exception>
#include <set>
#include <vector>

#include "config/ActivityLog.h"
#include "config/Config.h"
#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "print/PrinterOutput.h"
#include "sync/OrderSyncPass.h"
#include "sync/ReceiptPrint.h"

namespace ooa {

namespace {

const char* const kReceiptKind = "receipt";
const char* const kAwaited = "The receipt has not been printed yet.";

bool PrinterConfigured() { return ConfigSnapshot().PrinterName != "N/A"; }

// The list's entry for the receipt: written or renewed (with its reason). A
// list that cannot be written costs the entry, never the receipt.
void Note(TOrderPassState& pass, const std::string& invoiceNo, const std::string& orderId, const std::string& why) {
  try {
    TProblem problem;
    problem.Id = ReceiptProblemId(invoiceNo);
    problem.Kind = kReceiptKind;
    problem.OrderId = orderId;
    problem.InvoiceNo = invoiceNo;
    problem.Reason = why;
    pass.Refused(problem);
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

std::string OrderReceiptId(const std::string& orderId) { return ReceiptProblemId("order:" + orderId); }

// The invoice written for a shop order; "" for none.
std::string InvoiceOfOrder(TDatabaseModule& db, const std::string& orderId) {
  const TRecordSet rows =
      db.SelectRows("Select InvoiceNo From InvoiceHead Where OnlineOrderId=" + SqlTextLiteral(orderId) + " And KindFlag=6");
  return rows.RecordCount() > 0 ? rows.Field(0, "InvoiceNo").AsString() : std::string();
}

// The banner of the receipt as the pass last printed it: "MODIFIED ORDER"
// once the invoice has a credit note.
bool InvoiceCredited(TDatabaseModule& db, const std::string& invoiceNo) {
  const TRecordSet rows = db.SelectRows("Select Count(*) As Credits From InvoiceHead Where ReferenceNo=" +
                                         SqlTextLiteral(invoiceNo) + " and KindFlag=5");
  return rows.RecordCount() > 0 && rows.Field(0, "Credits").AsInteger() > 0;
}

}  // namespace

// A printer that is off, refuses the connection or drops it costs the receipt,
// not the pass: the document is written by then, and ending the pass would
// only hold back every later order in the list (and their receipts) while the
// printer stays off. A database error still ends the pass.
TReceiptResult PrintOrderReceipt(TOrderPassState& pass, TDatabaseModule& db, const std::string& orderId,
                                 const std::string& invoiceNo, bool signature, bool modified) {
  const bool printer = PrinterConfigured();
  // Listed before the print: a program killed now leaves it for the next pass.
  if (printer) Note(pass, invoiceNo, orderId, kAwaited);
  try {
    if (!PrintBillPro(db, invoiceNo, signature, modified)) {
      if (printer) Printed(pass, invoiceNo);  // the invoice is not there: nothing awaits
      return TReceiptResult::NothingToPrint;
    }
  } catch (const TPrintError& e) {
    const std::string why = e.what();
    StatusLine("Receipt of " + invoiceNo + " not printed: " + why);
    Note(pass, invoiceNo, orderId, why);
    return TReceiptResult::NotPrinted;
  }
  Printed(pass, invoiceNo);
  return TReceiptResult::Printed;
}

void AwaitOrderWrite(TOrderPassState& pass, const std::string& orderId) {
  if (!PrinterConfigured() || orderId.empty()) return;
  try {
    TProblem problem;
    problem.Id = OrderReceiptId(orderId);
    problem.Kind = kReceiptKind;
    problem.OrderId = orderId;
    problem.Reason = kAwaited;
    pass.Refused(problem);
  } catch (const std::exception& e) {
    StatusLine("The receipt of order " + orderId + " cannot be listed as awaited: " + std::string(e.what()));
  }
}

void OrderWriteEnded(TOrderPassState& pass, const std::string& orderId) {
  try {
    pass.Settled(OrderReceiptId(orderId));
  } catch (const std::exception& e) {
    StatusLine("The receipt of order " + orderId + " stays listed: " + std::string(e.what()));
  }
}

void PrintAwaitedReceipts(TOrderPassState& pass, TDatabaseModule& db) {
  // The list as the retry of listed orders read it at the pass's start, with
  // the pass's own changes since (the file is read once a pass); none after a
  // read or change that failed. A copy: the loop changes the list.
  if (!pass.Problems || !pass.Problems->LastSeen()) return;
  const std::vector<TProblem> problems = *pass.Problems->LastSeen();
  const bool printer = PrinterConfigured();
  auto isOfOrder = [](const TProblem& p) {
    return p.InvoiceNo.empty() && !p.OrderId.empty() && p.Id == OrderReceiptId(p.OrderId);
  };
  // Invoices with an entry of their own (dismissed ones too): an entry under
  // their order leaves them to it.
  std::set<std::string> ownEntries;
  for (const TProblem& p : problems)
    if (p.Kind == kReceiptKind && !isOfOrder(p)) ownEntries.insert(p.InvoiceNo.empty() ? p.Id.substr(p.Id.find(':') + 1) : p.InvoiceNo);
  for (const TProblem& p : problems) {
    if (p.Kind != kReceiptKind || p.Dismissed) continue;
    const bool ofOrder = isOfOrder(p);
    const std::string invoiceNo = ofOrder             ? InvoiceOfOrder(db, p.OrderId)
                                  : p.InvoiceNo.empty() ? p.Id.substr(p.Id.find(':') + 1)
                                                        : p.InvoiceNo;
    if (ofOrder) {
      // Killed around the order's write: the invoice, if written, gets its
      // own entry as it prints; without one the order comes again.
      TReceiptResult result = TReceiptResult::NothingToPrint;
      if (!invoiceNo.empty() && printer && !ownEntries.count(invoiceNo)) {
        LogLine("Printing the awaited receipt of " + invoiceNo);
        result = PrintOrderReceipt(pass, db, p.OrderId, invoiceNo, false, InvoiceCredited(db, invoiceNo));
      }
      OrderWriteEnded(pass, p.OrderId);
      if (result == TReceiptResult::NotPrinted) return;
      continue;
    }
    if (p.Reprint) {
      LogLine("Print Receipt Again: " + invoiceNo);
      // The request is used up either way; a receipt that fails again stays
      // listed with its new reason, for the owner to ask once more.
      pass.Problems->RequestReprint(p.Id, false);
      if (!printer) {
        StatusLine("Receipt of " + invoiceNo + " not printed again: the receipt printer is N/A.");
        continue;
      }
    } else {
      if (!printer) continue;
      LogLine("Printing the awaited receipt of " + invoiceNo);
    }
    switch (PrintOrderReceipt(pass, db, p.OrderId, invoiceNo, false, InvoiceCredited(db, invoiceNo))) {
      case TReceiptResult::Printed:
        if (p.Reprint) StatusLine("Receipt of " + invoiceNo + " printed again.");
        break;
      case TReceiptResult::NothingToPrint:
        StatusLine("Receipt of " + invoiceNo + " not printed again: the invoice is not in the POS database.");
        break;
      case TReceiptResult::NotPrinted:
        // The printer is failing: the rest wait for a later pass rather than
        // each costing the printer's time-out now.
        return;
    }
  }
}

}  // namespace ooa
