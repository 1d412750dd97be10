// ProcessCancelOrder: the cancellation of an imported invoice as a credit
// note. Amounts, rates and costs come from the credited invoice (no
// calculation), less what earlier credit notes of partial refunds credited.
#include <mutex>

#include "db/DatabaseModule.h"
#include "db/credit/CreditNotes.h"
#include "db/credit/CreditBatchRun.h"
#include "db/credit/CreditMessages.h"

namespace ooa {

TWriteOutcome ProcessCancelOrder(TDatabaseModule& db, const std::string& invoiceNo) {
  // The checks, the loading and the batch form one unit of work.
  auto hold = db.HoldForOneOrder();
  if (std::optional<TWriteOutcome> refusal = CreditRefusal(db, invoiceNo)) return *refusal;
  if (!GetOriginalInvoice(db, invoiceNo)) return WriteOutcome(TWriteKind::InvoiceMissing, kMsgInvoiceMissing);
  if (!DeductEarlierCredits(db, invoiceNo)) return WriteOutcome(TWriteKind::AlreadyCredited, kMsgCreditedAlready);
  return RunCreditNoteBatch(db, TCreditKind::Cancellation);
}

bool ProcessCancelOrder(TDatabaseModule& db, const std::string& invoiceNo, std::string& creditNo, std::string& msg) {
  return OutcomeAsFlag(ProcessCancelOrder(db, invoiceNo), creditNo, msg);
}

}  // namespace ooa
