// ProcessCancelOrder: the cancellation of an imported invoice as a credit
// note. Amounts, rates and costs come from the credited invoice (no
// calculation), less what earlier credit notes of partial refunds credited.
#include <mutex>

#include "db/DatabaseModule.h"
#include "db/credit/CreditBatchRun.h"
#include "db/credit/CreditMessages.h"

namespace ooa {

TWriteOutcome TDatabaseModule::ProcessCancelOrder(const std::string& invoiceNo) {
  // The checks, the loading and the batch form one unit of work.
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  if (std::optional<TWriteOutcome> refusal = CreditRefusal(invoiceNo)) return *refusal;
  if (!GetOriginalInvoice(invoiceNo)) return WriteOutcome(TWriteKind::InvoiceMissing, kMsgInvoiceMissing);
  if (!DeductEarlierCredits(*this, invoiceNo)) return WriteOutcome(TWriteKind::AlreadyCredited, kMsgCreditedAlready);
  return RunCreditNoteBatch(*this, TCreditKind::Cancellation);
}

bool TDatabaseModule::ProcessCancelOrder(const std::string& invoiceNo, std::string& creditNo, std::string& msg) {
  return CreditOutcomeAsFlag(ProcessCancelOrder(invoiceNo), creditNo, msg);
}

}  // namespace ooa
