// SyncOrders: one order sync pass on the second channel. Asks the shop for the
// orders modified since the last pass, imports new ones as invoices, hands
// cancellations and refunds to the credit-note import, prints a receipt for
// every document written, and stores how far it got in the sync log.
//
// Sync time: the pass's start, or the modification time of the earliest order
// whose writing failed in the database, minus 10 s, stored only when the pass
// reaches its end. An order that fails because of its own data (a parsing
// message) does not hold it back: it would fail the same way on every pass,
// and comes back by itself when the shop changes the order.
#include <string>

#include "config/ActivityLog.h"
#include "config/Clock.h"
#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "db/WarehouseCode.h"
#include "db/order/OrderJson.h"
#include "db/order/OrderMessages.h"
#include "shop/OrderCreditDispatch.h"
#include "shop/OrderReceipt.h"
#include "shop/OrderSyncPass.h"
#include "shop/WooModule.h"

namespace ooa {

namespace {

void ImportOrder(TWooModule& woo, TOrderPassState& pass, TOrderInPass& order) {
  LogLine(" |- Prcessing Order");
  std::string msg;
  bool modified = false;
  if (woo.Db().ProcessOrder(*order.Json, order.InvoiceNo, msg, modified)) {
    LogLine(" |- Order Received, InvoiceNo: " + order.InvoiceNo);
    PrintOrderReceipt(woo.Db(), order.InvoiceNo, false, modified);
    return;
  }
  const bool dataFailure = IsOrderDataFailure(msg);
  if (!dataFailure) pass.HoldBack(order.ModifiedAt);
  LogLine(" |- Receive Order " + order.InvoiceNo + " Failed");
  // Both kinds say why: the parsing message, or the database's refusal (a
  // text longer than its POS column, a lock that timed out, ...).
  if (!msg.empty()) LogLine(" |- " + msg);
}

void HandleOrder(TWooModule& woo, TOrderPassState& pass, const rapidjson::Value& json) {
  if (!json.IsObject()) throw TOrderDataError("An element of the order list is not a JSON object.");
  TOrderInPass order;
  order.Json = &json;
  order.Id = JsonText(json, "id");
  order.Status = JsonText(json, "status");
  order.ModifiedAt = JsonLocalDateTime(json, "date_modified_gmt");
  LogLine("Order ID: " + order.Id);
  LogLine(" |- Status: " + order.Status);
  order.InvoiceExists = woo.Db().CheckInvoiceExists(order.Id, order.InvoiceNo);

  if (order.Status == "cancelled") {
    HandleOrderCancellation(woo, pass, order);
    return;
  }
  if (order.Status != "completed" && order.Status != "processing" && order.Status != "refunded") {
    LogLine(" |- No further action.");
    return;
  }
  if (!order.InvoiceExists) ImportOrder(woo, pass, order);
  auto refunds = json.FindMember("refunds");
  if (refunds != json.MemberEnd() && refunds->value.IsArray() && !refunds->value.Empty())
    HandleOrderRefunds(woo, pass, order, refunds->value);
}

}  // namespace

void TWooModule::SyncOrders() {
  LogLine("Start Sync orders...");
  // The warehouse code completes stock column names in the invoice and credit
  // statements; a code that could not do so safely stops the pass before any
  // statement is sent, and the sync log stays where it was.
  const std::string warehouse = ConfigSnapshot().WarehouseCode;
  if (!IsSafeWarehouseCode(warehouse)) {
    StatusLine(WarehouseCodeRefusal(warehouse));
    return;
  }
  const TDateTime lastSync = Database.GetLastSyncTime("orders");
  // A local reading of the repeated hour maps to its earlier instant, one of
  // the skipped hour to where the gap begins, so no order is missed and the
  // pass never fails on the conversion.
  const TDateTime queryStart = Clock().LocalToUtc(lastSync);
  TOrderPassState pass;
  pass.SyncTime = Clock().NowLocal();
  pass.ModifiedAfter = FormatQueryTime(queryStart);
  LogLine("Last Synced At: " + pass.ModifiedAfter);

  std::vector<rapidjson::Document> pages;
  if (!FetchOrderPages(*RESTRequest2, pass.ModifiedAfter, pages)) return;
  size_t total = 0;
  for (const auto& page : pages) total += page.Size();
  if (total == 0) {
    LogLine("No Pending Orders");
  } else {
    LogLine("Start Process Orders, Total Pending Orders: " + std::to_string(total));
    for (const auto& page : pages)
      for (const auto& order : page.GetArray()) HandleOrder(*this, pass, order);
    LogLine("Finish Process Orders");
  }
  Database.UpdateSyncLogPro(pass.SyncTime.AddSeconds(-10), "orders");
}

}  // namespace ooa
