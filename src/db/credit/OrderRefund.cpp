// ProcessOrderRefund: one shop refund of an imported invoice as a credit
// note. Its lines and amounts come from the refund, completed by the same
// calculation as an order, and may not give back more of an invoice line than
// earlier credit notes left of it.
#include <mutex>

#include "config/ActivityLog.h"
#include "db/DatabaseModule.h"
#include "db/credit/CreditBatchRun.h"
#include "db/credit/EarlierCredits.h"
#include "db/order/OrderFigures.h"
#include "model/OrderMessages.h"

namespace ooa {

bool TDatabaseModule::ProcessOrderRefund(const rapidjson::Value& jsonData, const std::string& invoiceNo,
                                         std::string& creditNo, std::string& msg) {
  // The checks, the calculation's reads and the batch form one unit of work.
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  if (!IsInvoiceCredited(invoiceNo, msg)) return false;
  InitInvoice();
  const rapidjson::Value* loyalty = nullptr;
  try {
    if (!ParseOrderRefundData(jsonData, invoiceNo, msg, loyalty)) return false;
  } catch (const std::exception& e) {
    // A value read without a guard: this refund's data alone is at fault.
    msg = kMsgOrderDataError;
    DataFault = e.what();
    return false;
  }
  CalcInvoice();
  if (!FitRefundToInvoice(*this, invoiceNo, msg)) return false;
  if (!DocumentFitsPos(Customer, InvoiceHead, InvoiceItem, Payment, DepositPayment, msg, DataFault)) return false;
  return RunCreditNoteBatch(*this, TCreditKind::Refund, creditNo, msg);
}

}  // namespace ooa
