#include "db/credit/CreditBatchRun.h"

#include "config/Clock.h"
#include "db/DatabaseModule.h"
#include "db/WarehouseCode.h"
#include "db/credit/CreditMessages.h"
#include "model/OrderMessages.h"
#include "db/order/OrderStatements.h"

namespace ooa {

TWriteOutcome RunCreditNoteBatch(TDatabaseModule& db, TCreditKind kind) {
  std::string unsafe;
  if (FindUnsafeWarehouseCode(db.InvoiceItem, unsafe))
    return WriteOutcome(TWriteKind::NotWritten, WarehouseCodeRefusal(unsafe));
  const std::string batch =
      CreditNoteBatchSql({db.InvoiceHead, db.InvoiceItem, db.Payment, db.DepositPayment}, kind, Clock().NowLocal());
  TQueryResult result;
  try {
    result = db.Select(batch);
  } catch (const TDbError& e) {
    // A statement of the batch failed and the batch rolled back; the pass
    // tries again next time.
    return WriteOutcome(TWriteKind::NotWritten, kMsgCreditNoteNotWritten + " " + e.what());
  }
  std::string found;
  if (FindAlreadyWritten(result, found)) return WriteOutcome(TWriteKind::AlreadyWritten, kMsgAlreadyWritten, found);
  if (!CreditNoteCommitted(result)) return WriteOutcome(TWriteKind::NotWritten, kMsgCreditNoteNotWritten);
  return WriteOutcome(TWriteKind::Written, kMsgSuccess, result.First().Rows[0][0].AsString());
}

}  // namespace ooa
