// Cancelled orders and refunds in the order pass: each becomes a credit note
// against the order's invoice, followed by the invoice's receipt.
//
// Sync time: a credit note the database did not write holds it back to the
// order's modification time, so the next pass tries again. These do not:
// - an invoice credited already (a cancellation credit note, or refunds that
//   left nothing to cancel): the credit is done;
// - a refund whose data cannot be parsed: it fails the same way every pass and
//   comes back with the order when the shop changes it;
// - a refund of an order that has no invoice: the import's own failure
//   decided the sync time, and the refund comes back with the order.
#include "shop/OrderCreditDispatch.h"

#include <stdexcept>
#include <string>

#include "config/ActivityLog.h"
#include "db/DatabaseModule.h"
#include "db/credit/CreditMessages.h"
#include "db/order/OrderJson.h"
#include "db/order/OrderMessages.h"
#include "shop/OrderReceipt.h"
#include "shop/WooModule.h"

namespace ooa {

void HandleOrderCancellation(TWooModule& woo, TOrderPassState& pass, TOrderInPass& order) {
  TDatabaseModule& db = woo.Db();
  std::string msg;
  if (!order.InvoiceExists || !db.IsInvoiceCredited(order.InvoiceNo, msg)) {
    LogLine(" |- No further action");
    return;
  }
  LogLine(" |- Cancelling Order");
  std::string creditNo;
  if (db.ProcessCancelOrder(order.InvoiceNo, creditNo, msg)) {
    LogLine(" |- Order " + order.InvoiceNo + " Cancelled, CreditNo: " + creditNo);
    PrintOrderReceipt(db, order.InvoiceNo, false, true);
    return;
  }
  if (msg == kMsgCreditedAlready) {
    // Its refunds credited everything already.
    LogLine(" |- No further action");
    return;
  }
  pass.HoldBack(order.ModifiedAt);
  LogLine(" |- Cancel Order " + order.InvoiceNo + " Failed");
  LogLine(" |- " + msg);
}

namespace {

void BookRefund(TDatabaseModule& db, TOrderPassState& pass, const TOrderInPass& order,
                const rapidjson::Value& refund, const std::string& refundId) {
  LogLine("  |- Refunding: " + refundId);
  std::string creditNo, msg;
  if (db.ProcessOrderRefund(refund, order.InvoiceNo, creditNo, msg)) {
    LogLine(" |- Order Refunded, InvoiceNo: " + order.InvoiceNo + ", CreditNo: " + creditNo);
    PrintOrderReceipt(db, order.InvoiceNo, false, true);
    return;
  }
  if (msg == kMsgCreditedAlready) {
    LogLine("  |- Refund " + refundId + " needs no credit note: " + msg);
    return;
  }
  if (!order.InvoiceNo.empty() && !IsOrderDataFailure(msg)) pass.HoldBack(order.ModifiedAt);
  LogLine(" |- Receive Order " + order.InvoiceNo + " Failed");
  LogLine("  |- " + msg);
}

}  // namespace

void HandleOrderRefunds(TWooModule& woo, TOrderPassState& pass, TOrderInPass& order,
                        const rapidjson::Value& refundSummaries) {
  LogLine(" |- Refunding Order, Total: " + std::to_string(refundSummaries.Size()));
  rapidjson::Document refunds;
  if (!FetchOrderRefunds(woo.Channel2(), pass, order.Id, refunds)) return;
  for (const auto& refund : refunds.GetArray()) {
    if (!refund.IsObject()) throw std::runtime_error("An element of the refund list is not a JSON object.");
    const std::string refundId = JsonText(refund, "id");
    std::string creditNo;
    if (woo.Db().CheckInvoiceExists(refundId, creditNo)) {
      LogLine("  |- Already Refund: " + refundId + ", CreditNo: " + creditNo);
      continue;
    }
    BookRefund(woo.Db(), pass, order, refund, refundId);
  }
}

}  // namespace ooa
