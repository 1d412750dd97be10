// Cancelled orders and refunds in the order pass: each becomes a credit note
// against the order's invoice, followed by the invoice's receipt.
//
// Sync time: a credit note the database did not write holds it back to the
// order's modification time, so the next pass tries again. These do not:
// - an invoice credited already (a cancellation credit note, or refunds that
//   left nothing to cancel): the credit is done;
// - a credit note the batch found written already (by another copy of the
//   service): nothing more to do;
// - a refund whose data cannot be read: it fails the same way every pass; it
//   goes on the problems list and is fetched again by its order's id;
// - a refund of an order that has no invoice: the import's own failure
//   decided the sync time (or listed the order), and the refund comes back
//   with the order.
#include "sync/OrderCreditDispatch.h"

#include <string>

#include "config/ActivityLog.h"
#include "db/DatabaseModule.h"
#include "db/credit/CreditNotes.h"
#include "db/order/InvoiceWrite.h"
#include "model/OrderMessages.h"
#include "shop/woo/OrderJson.h"
#include "sync/OrderImport.h"
#include "sync/OrderReceipt.h"
#include "shop/WooModule.h"

namespace ooa {

void HandleOrderCancellation(TWooModule& woo, TOrderPassState& pass, TOrderInPass& order) {
  TDatabaseModule& db = woo.Db();
  // Cancelled: nothing of the order is left to import (or retry).
  pass.Settled(OrderProblemId(order.Id));
  if (!order.InvoiceExists || CreditRefusal(db, order.InvoiceNo)) {
    LogLine(" |- No further action");
    return;
  }
  LogLine(" |- Cancelling Order");
  AwaitOrderWrite(pass, order.Id);
  const TWriteOutcome out = ProcessCancelOrder(db, order.InvoiceNo);
  if (out.Written()) {
    LogLine(" |- Order " + order.InvoiceNo + " Cancelled, CreditNo: " + out.Number);
    PrintOrderReceipt(pass, db, order.Id, order.InvoiceNo, false, true);
  }
  OrderWriteEnded(pass, order.Id);
  switch (out.Kind) {
    case TWriteKind::Written:
      return;
    case TWriteKind::AlreadyWritten:
      LogLine(" |- Already written: " + out.Number);
      return;
    case TWriteKind::AlreadyCredited:
      // Its refunds credited everything already.
      LogLine(" |- No further action");
      return;
    case TWriteKind::InvoiceMissing:
    case TWriteKind::DataError:
    case TWriteKind::NotWritten:
      break;
  }
  pass.HoldBack(order.ModifiedAt, "cancellation of order " + order.Id + ": " + out.Message);
  LogLine(" |- Cancel Order " + order.InvoiceNo + " Failed");
  LogLine(" |- " + out.Message);
}

namespace {

void BookRefund(TDatabaseModule& db, TOrderPassState& pass, const TOrderInPass& order,
                const rapidjson::Value& refund, const std::string& refundId) {
  LogLine("  |- Refunding: " + refundId);
  const std::string problemId = RefundProblemId(order.Id, refundId);
  AwaitOrderWrite(pass, order.Id);
  const TWriteOutcome out = ProcessOrderRefund(db, refund, order.InvoiceNo);
  if (out.Written()) {
    LogLine(" |- Order Refunded, InvoiceNo: " + order.InvoiceNo + ", CreditNo: " + out.Number);
    pass.Settled(problemId);
    PrintOrderReceipt(pass, db, order.Id, order.InvoiceNo, false, true);
  }
  OrderWriteEnded(pass, order.Id);
  switch (out.Kind) {
    case TWriteKind::Written:
      return;
    case TWriteKind::AlreadyWritten:
      LogLine("  |- Already written: " + out.Number);
      pass.Settled(problemId);
      return;
    case TWriteKind::AlreadyCredited:
      LogLine("  |- Refund " + refundId + " needs no credit note: " + out.Message);
      pass.Settled(problemId);
      return;
    case TWriteKind::InvoiceMissing:
    case TWriteKind::DataError:
    case TWriteKind::NotWritten:
      break;
  }
  const bool dataFailure = out.Kind == TWriteKind::DataError;
  if (!order.InvoiceNo.empty() && !dataFailure)
    pass.HoldBack(order.ModifiedAt, "refund " + refundId + " of order " + order.Id + ": " + out.Message);
  LogLine(" |- Receive Order " + order.InvoiceNo + " Failed");
  LogLine("  |- " + out.Message);
  if (dataFailure && !out.Fault.empty()) LogLine("  |- " + out.Fault);
  // A refund of an order without an invoice comes back with its order.
  if (dataFailure && !order.InvoiceNo.empty())
    pass.Refused({problemId, "refund", order.Id, refundId, ProblemReason(out.Message, out.Fault)});
}

}  // namespace

void HandleOrderRefunds(TWooModule& woo, TOrderPassState& pass, TOrderInPass& order,
                        const rapidjson::Value& refundSummaries) {
  LogLine(" |- Refunding Order, Total: " + std::to_string(refundSummaries.Size()));
  std::vector<rapidjson::Document> pages;
  try {
    FetchOrderRefunds(woo.Channel2(), order.Id, pages);
  } catch (const TShopAnswerError& e) {
    // Without the list no refund can be checked; the order comes again.
    LogLine("  |- " + std::string(e.what()));
    pass.HoldBack(order.ModifiedAt, e.what());
    return;
  }
  for (const auto& page : pages) {
    for (const auto& refund : page.GetArray()) {
      // A fault in one refund's own data costs that refund alone.
      std::string refundId;
      try {
        if (!refund.IsObject()) throw TJsonReadError("An element of the refund list is not a JSON object.");
        refundId = JsonText(refund, "id");
      } catch (const TJsonReadError& e) {
        LogLine("  |- " + kMsgOrderDataError);
        LogLine("  |- " + std::string(e.what()));
        continue;
      }
      std::string creditNo;
      if (CheckInvoiceExists(woo.Db(), refundId, creditNo)) {
        LogLine("  |- Already Refund: " + refundId + ", CreditNo: " + creditNo);
        pass.Settled(RefundProblemId(order.Id, refundId));
        continue;
      }
      BookRefund(woo.Db(), pass, order, refund, refundId);
    }
  }
}

}  // namespace ooa
