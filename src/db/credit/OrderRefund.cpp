// WriteParsedOrderRefund: one shop refund of an imported invoice, parsed into
// the order document, booked as a credit note. Its lines and amounts come from
// the refund, completed by the same calculation as an order, and may not give
// back more of an invoice line than earlier credit notes left of it.
#include <mutex>

#include "config/ActivityLog.h"
#include "db/DatabaseModule.h"
#include "db/credit/CreditNotes.h"
#include "db/order/InvoiceWrite.h"
#include "db/credit/CreditBatchRun.h"
#include "db/credit/EarlierCredits.h"
#include "db/order/OrderFigures.h"
#include "model/OrderMessages.h"

namespace ooa {

TWriteOutcome WriteParsedOrderRefund(TDatabaseModule& db, const std::string& invoiceNo) {
  // The caller holds the lock since the refusal check (HoldForOneOrder).
  auto hold = db.HoldForOneOrder();
  TWriteOutcome out;
  out.Kind = TWriteKind::DataError;
  CalcInvoice(db);
  if (!FitRefundToInvoice(db, invoiceNo, out.Message) ||
      !DocumentFitsPos(db.Customer, db.InvoiceHead, db.InvoiceItem, db.Payment, db.DepositPayment, out.Message,
                       db.DataFault)) {
    out.Fault = db.DataFault;
    return out;
  }
  return RunCreditNoteBatch(db, TCreditKind::Refund);
}

}  // namespace ooa
