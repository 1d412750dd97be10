// ProcessCancelOrder: the cancellation of an imported invoice as a credit
// note. Amounts, rates and costs come from the credited invoice (no
// calculation), less what earlier credit notes of partial refunds credited.
#include <mutex>

#include "db/DatabaseModule.h"
#include "db/credit/CreditBatchRun.h"
#include "db/credit/CreditMessages.h"

namespace ooa {

bool TDatabaseModule::ProcessCancelOrder(const std::string& invoiceNo, std::string& creditNo, std::string& msg) {
  // The checks, the loading and the batch form one unit of work.
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  if (!IsInvoiceCredited(invoiceNo, msg)) return false;
  if (!GetOriginalInvoice(invoiceNo)) {
    msg = kMsgInvoiceMissing;
    return false;
  }
  if (!DeductEarlierCredits(*this, invoiceNo)) {
    msg = kMsgCreditedAlready;
    return false;
  }
  return RunCreditNoteBatch(*this, TCreditKind::Cancellation, creditNo, msg);
}

}  // namespace ooa
