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

TWriteOutcome TDatabaseModule::ProcessOrderRefund(const rapidjson::Value& jsonData, const std::string& invoiceNo) {
  // The checks, the calculation's reads and the batch form one unit of work.
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  if (std::optional<TWriteOutcome> refusal = CreditRefusal(invoiceNo)) return *refusal;
  InitInvoice();
  TWriteOutcome out;
  out.Kind = TWriteKind::DataError;
  const rapidjson::Value* loyalty = nullptr;
  try {
    if (!ParseOrderRefundData(jsonData, invoiceNo, out.Message, loyalty)) {
      out.Fault = DataFault;
      return out;
    }
  } catch (const std::exception& e) {
    // A value read without a guard: this refund's data alone is at fault.
    out.Message = kMsgOrderDataError;
    DataFault = e.what();
    out.Fault = DataFault;
    return out;
  }
  CalcInvoice();
  if (!FitRefundToInvoice(*this, invoiceNo, out.Message) ||
      !DocumentFitsPos(Customer, InvoiceHead, InvoiceItem, Payment, DepositPayment, out.Message, DataFault)) {
    out.Fault = DataFault;
    return out;
  }
  return RunCreditNoteBatch(*this, TCreditKind::Refund);
}

bool TDatabaseModule::ProcessOrderRefund(const rapidjson::Value& jsonData, const std::string& invoiceNo,
                                         std::string& creditNo, std::string& msg) {
  return CreditOutcomeAsFlag(ProcessOrderRefund(jsonData, invoiceNo), creditNo, msg);
}

}  // namespace ooa
