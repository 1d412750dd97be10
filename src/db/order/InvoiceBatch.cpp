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
#include "db/order/OrderFigures.h"
#include "model/OrderMessages.h"
#include "db/order/OrderStatements.h"

namespace ooa {

bool TDatabaseModule::CheckInvoiceExists(const std::string& orderId, std::string& invoiceNo) {
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  const TRecordSet rows = SelectRows("Select * From InvoiceHead Where OnlineOrderId = " + SqlTextLiteral(orderId));
  if (rows.RecordCount() == 0) return false;
  invoiceNo = rows.Field(0, "InvoiceNo").AsString();
  return true;
}

std::string TDatabaseModule::GenerateInvoiceHeadSQLCmd() { return InvoiceHeadSqlCmd(InvoiceHead); }
std::string TDatabaseModule::GenerateCustomerSQLCmd() { return CustomerSqlCmd(Customer); }
std::string TDatabaseModule::GenerateInvoiceItemSQLCmd() { return InvoiceItemSqlCmd(InvoiceItem); }
std::string TDatabaseModule::GeneratePaymentSQLCmd() { return PaymentSqlCmd(Payment, Clock().NowLocal()); }
std::string TDatabaseModule::GenerateDepositPaymentSQLCmd() {
  return DepositPaymentSqlCmd(DepositPayment, Clock().NowLocal());
}

std::string TDatabaseModule::GenerateInvoiceBatch() {
  return InvoiceBatchSql({Customer, InvoiceHead, InvoiceItem, Payment, DepositPayment}, Clock().NowLocal());
}

TWriteOutcome TDatabaseModule::WriteParsedOrder() {
  // The caller holds the lock since the parse (HoldForOneOrder); this one
  // only keeps the calculation and the batch together when it does not.
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  TWriteOutcome out;
  out.Kind = TWriteKind::DataError;
  CalcInvoice();
  if (!DocumentFitsPos(Customer, InvoiceHead, InvoiceItem, Payment, DepositPayment, out.Message, DataFault)) {
    out.Fault = DataFault;
    return out;
  }
  const std::string batch = GenerateInvoiceBatch();
  TQueryResult result;
  try {
    result = Select(batch);
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
