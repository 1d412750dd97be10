// SyncOrders: one order sync pass on the second channel. First fetches again,
// by id, the orders and refunds the problems list holds; then asks the shop
// for the orders modified since the last pass, imports new ones as invoices,
// hands cancellations and refunds to the credit-note import, prints a receipt
// for every document written, and stores how far it got in the sync log.
//
// Sync time: the pass's start, or the modification time of the earliest order
// whose writing failed in the database, minus 10 s, stored only when the pass
// reaches its end. Such a failure still fails the pass, after the time is
// stored, so that nobody takes the pass for a success; so does an answer the
// pass cannot read, before anything is stored. An order that fails because
// of its own data (a parsing message, a key missing, a value of the wrong
// kind, a text too long for the POS) fails alone and does not hold it back:
// it would fail the same way on every pass. It goes on the problems list instead and is fetched by id on
// every pass until it imports, is cancelled, or the owner dismisses it.
#include <exception>
#include <string>

#include "sync/OrderSync.h"
#include "config/ActivityLog.h"
#include "config/Clock.h"
#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "db/order/InvoiceWrite.h"
#include "db/WarehouseCode.h"
#include "shop/woo/OrderJson.h"
#include "model/OrderMessages.h"
#include "sync/OrderCreditDispatch.h"
#include "sync/OrderImport.h"
#include "sync/OrderReceipt.h"
#include "sync/OrderSyncPass.h"
#include "sync/ShopClock.h"
#include "shop/WooModule.h"

namespace ooa {

namespace {
// The stored sync time lies this far before the pass's start.
constexpr double kSyncOverlapSeconds = 10;
}  // namespace

std::string ProblemReason(const std::string& msg, const std::string& fault) {
  return fault.empty() ? msg : msg + " - " + fault;
}

void TOrderPassState::Refused(TProblem problem) {
  if (!Problems) return;
  // The reason may quote what the shop sent, and so the secret it echoed.
  problem.Reason = MaskedText(problem.Reason);
  Listed.insert(problem.Id);
  Problems->Record(problem, FormatQueryTime(Clock().NowLocal()));
}

void TOrderPassState::Settled(const std::string& id) {
  if (!Problems || Listed.erase(id) == 0) return;
  Problems->Resolve(id);
}

namespace {

void ImportOrder(TWooModule& woo, TOrderPassState& pass, TOrderInPass& order) {
  LogLine(" |- Prcessing Order");
  TDatabaseModule& db = woo.Db();
  AwaitOrderWrite(pass, order.Id);
  const TWriteOutcome out = ProcessOrder(db, *order.Json);
  if (out.Kind == TWriteKind::Written || out.Kind == TWriteKind::AlreadyWritten) order.InvoiceNo = out.Number;
  if (out.Written()) {
    LogLine(" |- Order Received, InvoiceNo: " + order.InvoiceNo);
    pass.Settled(OrderProblemId(order.Id));
    PrintOrderReceipt(pass, db, order.Id, order.InvoiceNo, false, out.Modified);  // lists the invoice's receipt first
  }
  OrderWriteEnded(pass, order.Id);
  if (out.Written()) return;
  if (out.Kind == TWriteKind::AlreadyWritten) {
    // Another copy of the service wrote it since this pass looked.
    LogLine(" |- Already written: " + order.InvoiceNo);
    pass.Settled(OrderProblemId(order.Id));
    return;
  }
  const bool dataFailure = out.Kind == TWriteKind::DataError;
  if (!dataFailure) pass.HoldBack(order.ModifiedAt, "order " + order.Id + ": " + out.Message);
  LogLine(" |- Receive Order " + order.InvoiceNo + " Failed");
  // Both kinds say why: the parsing message and its cause, or the database's
  // refusal (a lock that timed out, ...).
  if (!out.Message.empty()) LogLine(" |- " + out.Message);
  if (dataFailure && !out.Fault.empty()) LogLine(" |- " + out.Fault);
  if (dataFailure)
    pass.Refused({OrderProblemId(order.Id), "order", order.Id, "", ProblemReason(out.Message, out.Fault)});
}

// One element of the order list (or an order fetched by id). Data faults of
// the order's own values are the caller's to catch.
void HandleOrderJson(TWooModule& woo, TOrderPassState& pass, const rapidjson::Value& json, TOrderInPass& order) {
  if (!json.IsObject()) throw TOrderDataError("An element of the order list is not a JSON object.");
  order.Json = &json;
  order.Id = JsonText(json, "id");
  order.Status = JsonText(json, "status");
  LogLine("Order ID: " + order.Id);
  LogLine(" |- Status: " + order.Status);
  order.ModifiedAt = JsonLocalDateTime(json, "date_modified_gmt");
  order.InvoiceExists = CheckInvoiceExists(woo.Db(), order.Id, order.InvoiceNo);

  if (order.Status == "cancelled") {
    HandleOrderCancellation(woo, pass, order);
    return;
  }
  if (order.Status != "completed" && order.Status != "processing" && order.Status != "refunded") {
    LogLine(" |- No further action.");
    return;
  }
  if (!order.InvoiceExists)
    ImportOrder(woo, pass, order);
  else
    pass.Settled(OrderProblemId(order.Id));
  auto refunds = json.FindMember("refunds");
  if (refunds != json.MemberEnd() && refunds->value.IsArray() && !refunds->value.Empty())
    HandleOrderRefunds(woo, pass, order, refunds->value);
}

// The failure lines of a fault in the order's own values, with the cause;
// the order is listed when its id is known.
void LogOrderDataFault(TOrderPassState& pass, const TOrderInPass& order, const std::string& fault) {
  if (order.Id.empty()) LogLine("Order ID: ?");
  LogLine(" |- Receive Order " + order.InvoiceNo + " Failed");
  LogLine(" |- " + kMsgOrderDataError);
  LogLine(" |- " + fault);
  if (!order.Id.empty())
    pass.Refused({OrderProblemId(order.Id), "order", order.Id, "", ProblemReason(kMsgOrderDataError, fault)});
}

// A fault in one order's own data (a missing key, a value of the wrong kind)
// costs that order alone: logged with its cause, listed when its id is known,
// and the pass goes on with the next order.
void HandleOrder(TWooModule& woo, TOrderPassState& pass, const rapidjson::Value& json) {
  TOrderInPass order;
  try {
    HandleOrderJson(woo, pass, json, order);
  } catch (const TOrderDataError& e) {
    LogOrderDataFault(pass, order, e.what());
  } catch (const TJsonReadError& e) {
    LogOrderDataFault(pass, order, e.what());
  }
}

// The orders and refunds of the problems list, fetched by id before the
// modified ones; dismissed entries are left alone.
void RetryListedOrders(TWooModule& woo, TOrderPassState& pass) {
  std::vector<TProblem> problems;
  try {
    problems = pass.Problems->Load();
  } catch (const std::exception& e) {
    StatusLine(std::string("The problems list cannot be read: ") + e.what());
    pass.Problems = nullptr;
    return;
  }
  std::vector<std::string> orderIds;
  for (const TProblem& p : problems) {
    pass.Listed.insert(p.Id);
    if (p.Dismissed || (p.Kind != "order" && p.Kind != "refund") || p.OrderId.empty()) continue;
    if (std::find(orderIds.begin(), orderIds.end(), p.OrderId) == orderIds.end()) orderIds.push_back(p.OrderId);
  }
  if (orderIds.empty()) return;
  LogLine("Retry Orders, Total: " + std::to_string(orderIds.size()));
  for (const std::string& id : orderIds) {
    rapidjson::Document order;
    std::string whyNot;
    if (!FetchOrder(woo.Channel2(), id, order, whyNot)) {
      LogLine("Order ID: " + id);
      LogLine(" |- " + whyNot);
      continue;
    }
    HandleOrder(woo, pass, order);
  }
}

}  // namespace

void SyncOrders(TWooModule& woo) {
  LogLine("Start Sync orders...");
  // The warehouse code completes stock column names in the invoice and credit
  // statements; a code that could not do so safely stops the pass before any
  // statement is sent, and the sync log stays where it was.
  const std::string warehouse = ConfigSnapshot().WarehouseCode;
  if (!IsSafeWarehouseCode(warehouse)) {
    StatusLine(WarehouseCodeRefusal(warehouse));
    return;
  }
  const TDateTime lastSync = woo.Db().GetLastSyncTime("orders");
  // A local reading of the repeated hour maps to its earlier instant, one of
  // the skipped hour to where the gap begins, so no order is missed and the
  // pass never fails on the conversion.
  const TDateTime queryStart = Clock().LocalToUtc(lastSync);
  TOrderPassState pass;
  pass.SyncTime = Clock().NowLocal();
  pass.ModifiedAfter = FormatQueryTime(queryStart);
  TProblemList problems(ProblemListPath());
  pass.Problems = &problems;
  RetryListedOrders(woo, pass);
  PrintAwaitedReceipts(pass, woo.Db());
  LogLine("Last Synced At: " + pass.ModifiedAfter);

  std::vector<rapidjson::Document> pages;
  std::string shopDate;
  FetchOrderPages(woo.Channel2(), pass.ModifiedAfter, pages, &shopDate);
  // The shop stamps its orders with its own clock: with that clock behind
  // the till's, the till's time would pass over the orders placed meanwhile.
  pass.SyncTime = SyncTimeFromShopClock(pass.SyncTime, shopDate, kSyncOverlapSeconds);
  size_t total = 0;
  for (const auto& page : pages) total += page.Size();
  if (total == 0) {
    LogLine("No Pending Orders");
  } else {
    LogLine("Start Process Orders, Total Pending Orders: " + std::to_string(total));
    for (const auto& page : pages)
      for (const auto& order : page.GetArray()) HandleOrder(woo, pass, order);
    LogLine("Finish Process Orders");
  }
  std::string error;
  if (!woo.Db().UpdateSyncLogPro(pass.SyncTime.AddSeconds(-kSyncOverlapSeconds), "orders", error))
    throw TDbError("The order sync time was not stored: " + error);
  if (pass.Failures > 0)
    throw TOrderPassIncomplete(std::to_string(pass.Failures) + (pass.Failures == 1 ? " document was" : " documents were") +
                               " not written (the next pass tries again); the first: " + pass.FirstFailure);
}

}  // namespace ooa
