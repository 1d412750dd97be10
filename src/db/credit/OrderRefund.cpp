// WriteParsedOrderRefund: one shop refund of an imported invoice, parsed into
// the order document, booked as a credit note. Its lines and amounts come from
// the refund, completed by the same calculation as an order, and may not give
// back more of an invoice line than earlier credit notes left of it.
#include <mutex>

#include "config/ActivityLog.h"
#include "db/DatabaseModule.h"
#include "db/order/InvoiceWrite.h"
#include "db/credit/CreditBatchRun.h"
#include "db/credit/EarlierCredits.h"
#include "db/order/OrderFigures.h"
#include "model/OrderMessages.h"

namespace ooa {

TWriteOutcome TDatabaseModule::WriteParsedOrderRefund(const std::string& invoiceNo) {
  // The caller holds the lock since the refusal check (HoldForOneOrder).
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  TWriteOutcome out;
  out.Kind = TWriteKind::DataError;
  CalcInvoice(*this);
  if (!FitRefundToInvoice(*this, invoiceNo, out.Message) ||
      !DocumentFitsPos(Customer, InvoiceHead, InvoiceItem, Payment, DepositPayment, out.Message, DataFault)) {
    out.Fault = DataFault;
    return out;
  }
  return RunCreditNoteBatch(*this, TCreditKind::Refund);
}

}  // namespace ooa
