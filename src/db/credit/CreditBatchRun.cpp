#include "db/credit/CreditBatchRun.h"

#include "config/Clock.h"
#include "db/DatabaseModule.h"
#include "db/WarehouseCode.h"
#include "db/credit/CreditMessages.h"
#include "model/OrderMessages.h"
#include "db/order/OrderStatements.h"

namespace ooa {

bool RunCreditNoteBatch(TDatabaseModule& db, TCreditKind kind, std::string& creditNo, std::string& msg) {
  std::string unsafe;
  if (FindUnsafeWarehouseCode(db.InvoiceItem, unsafe)) {
    msg = WarehouseCodeRefusal(unsafe);
    return false;
  }
  const std::string batch =
      CreditNoteBatchSql({db.InvoiceHead, db.InvoiceItem, db.Payment, db.DepositPayment}, kind, Clock().NowLocal());
  try {
    db.OpenQuery(batch);
  } catch (const TDbError& e) {
    // A statement of the batch failed and the batch rolled back; the pass
    // tries again next time.
    msg = kMsgCreditNoteNotWritten + " " + e.what();
    return false;
  }
  const TQueryResult& result = db.LastResult();
  if (FindAlreadyWritten(result, creditNo)) {
    msg = kMsgAlreadyWritten;
    return false;
  }
  if (!CreditNoteCommitted(result)) {
    msg = kMsgCreditNoteNotWritten;
    return false;
  }
  creditNo = result.First().Rows[0][0].AsString();
  msg = kMsgSuccess;
  return true;
}

}  // namespace ooa
