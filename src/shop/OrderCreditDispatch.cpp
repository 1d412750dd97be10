// Cancelled orders and refunds until credit notes are booked: the pass reports
// what it sees and writes nothing, and holds the sync time back for none of it.
// The credit-note import replaces these two functions.
#include "shop/OrderCreditDispatch.h"

#include <stdexcept>
#include <string>

#include "config/ActivityLog.h"
#include "db/DatabaseModule.h"
#include "db/order/OrderJson.h"
#include "shop/WooModule.h"

namespace ooa {

void HandleOrderCancellation(TWooModule& woo, TOrderPassState& pass, TOrderInPass& order) {
  LogLine(" |- No further action");
}

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
    LogLine("  |- Refunding: " + refundId);
  }
}

}  // namespace ooa
