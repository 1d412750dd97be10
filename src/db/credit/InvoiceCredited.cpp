// CreditRefusal (and IsInvoiceCredited): whether an imported invoice may
// still be credited.
//
// The CreditedQty test alone misses a cancellation booked before: its credit
// lines add their negative quantity, so the sum never goes above 0 and a
// cancelled order the shop sends again would be credited once more. A
// cancellation credit note (kind 5 on the invoice without a shop refund id)
// therefore also counts as credited; refund credit notes carry the refund id
// and leave the invoice open for further partial refunds.
#include <mutex>

#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "db/credit/CreditNotes.h"
#include "db/credit/CreditMessages.h"

namespace ooa {

std::optional<TWriteOutcome> CreditRefusal(TDatabaseModule& db, const std::string& invoiceNo) {
  auto hold = db.HoldForOneOrder();
  const std::string invoice = SqlTextLiteral(invoiceNo);
  const TRecordSet sums = db.SelectRows(
      "Select SUM(Qty) As Qty, SUM(CreditedQty) As CreditedQty From InvoiceItem Where InvoiceNo=" + invoice);
  const double qty = sums.RecordCount() == 0 ? 0 : sums.Field(0, "Qty").AsFloat();
  const double credited = sums.RecordCount() == 0 ? 0 : sums.Field(0, "CreditedQty").AsFloat();
  if (qty == 0) return WriteOutcome(TWriteKind::InvoiceMissing, kMsgInvoiceMissing);
  if (credited > 0) return WriteOutcome(TWriteKind::AlreadyCredited, kMsgCreditedAlready);
  const TRecordSet notes = db.SelectRows("Select Count(*) As N From InvoiceHead Where KindFlag=5 And ReferenceNo=" +
                                         invoice + " And (OnlineOrderId Is Null Or OnlineOrderId=N'')");
  if (notes.RecordCount() > 0 && notes.Rows[0][0].AsInteger() > 0)
    return WriteOutcome(TWriteKind::AlreadyCredited, kMsgCreditedAlready);
  return std::nullopt;
}

bool IsInvoiceCredited(TDatabaseModule& db, const std::string& invoiceNo, std::string& msg) {
  const std::optional<TWriteOutcome> refusal = CreditRefusal(db, invoiceNo);
  if (refusal) msg = refusal->Message;
  return !refusal;
}

}  // namespace ooa
