// The invoice write: WriteParsedOrder (calculate the parsed order, one batch
// in one transaction, read back the number) and CheckInvoiceExists.
//
// Success needs the commit. A database that reports a failed statement of the
// batch as an error, and one that only runs the batch's rollback, both give
// NotWritten with kMsgInvoiceNotWritten; errors before the batch (the calculation's
// queries) are thrown.
#include <mutex>

#include "config/ActivityLog.h"
#include "config/Clock.h"
#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "db/order/InvoiceWrite.h"
#include "db/order/OrderFigures.h"
#include "model/OrderMessages.h"
#include "db/order/OrderStatements.h"

namespace ooa {

bool CheckInvoiceExists(TDatabaseModule& db, const std::string& orderId, std::string& invoiceNo) {
  auto hold = db.HoldForOneOrder();
  const TRecordSet rows = db.SelectRows("Select * From InvoiceHead Where OnlineOrderId = " + SqlTextLiteral(orderId));
  if (rows.RecordCount() == 0) return false;
  invoiceNo = rows.Field(0, "InvoiceNo").AsString();
  return true;
}

std::string GenerateInvoiceHeadSQLCmd(TDatabaseModule& db) { return InvoiceHeadSqlCmd(db.InvoiceHead); }
std::string GenerateCustomerSQLCmd(TDatabaseModule& db) { return CustomerSqlCmd(db.Customer); }
std::string GenerateInvoiceItemSQLCmd(TDatabaseModule& db) { return InvoiceItemSqlCmd(db.InvoiceItem); }
std::string GeneratePaymentSQLCmd(TDatabaseModule& db) { return PaymentSqlCmd(db.Payment, Clock().NowLocal()); }
std::string GenerateDepositPaymentSQLCmd(TDatabaseModule& db) {
  return DepositPaymentSqlCmd(db.DepositPayment, Clock().NowLocal());
}

std::string GenerateInvoiceBatch(TDatabaseModule& db) {
  return InvoiceBatchSql({db.Customer, db.InvoiceHead, db.InvoiceItem, db.Payment, db.DepositPayment},
                         Clock().NowLocal());
}

TWriteOutcome WriteParsedOrder(TDatabaseModule& db) {
  // The caller holds the lock since the parse (HoldForOneOrder); this one
  // only keeps the calculation and the batch together when it does not.
  auto hold = db.HoldForOneOrder();
  TWriteOutcome out;
  out.Kind = TWriteKind::DataError;
  CalcInvoice(db);
  if (!DocumentFitsPos(db.Customer, db.InvoiceHead, db.InvoiceItem, db.Payment, db.DepositPayment, out.Message,
                       db.DataFault)) {
    out.Fault = db.DataFault;
    return out;
  }
  const std::string batch = GenerateInvoiceBatch(db);
  TQueryResult result;
  try {
    result = db.Select(batch);
  } catch (const TDbError& e) {
    // A statement of the batch failed: the batch rolled back (or the
    // database does so when it ends without a commit). The order is tried
    // again by the next pass.
    return WriteOutcome(TWriteKind::NotWritten, kMsgInvoiceNotWritten + " " + e.what());
  }

  // A new number is selected right after it is drawn, before anything is
  // written; only the closing select (InvoiceNo, Modified) shows that the batch
  // committed. Without it the batch rolled back and nothing was written.
  std::string found;
  if (FindAlreadyWritten(result, found)) return WriteOutcome(TWriteKind::AlreadyWritten, kMsgAlreadyWritten, found);
  const TRecordSet* closing = nullptr;
  for (const TRecordSet& set : result.Sets)
    if (set.ColumnIndex("Modified") >= 0) closing = &set;
  if (!closing || closing->RecordCount() == 0) return WriteOutcome(TWriteKind::NotWritten, kMsgInvoiceNotWritten);
  out = WriteOutcome(TWriteKind::Written, kMsgSuccess,
                     result.First().RecordCount() > 0 && !result.First().Rows[0].empty()
                         ? result.First().Rows[0][0].AsString()
                         : closing->Field(0, "InvoiceNo").AsString());
  out.Modified = closing->Field(0, "Modified").AsBoolean();
  return out;
}

}  // namespace ooa
