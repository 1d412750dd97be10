// Where the order sync pass hands cancelled orders and shop refunds over to
// the credit-note import. Called on the order worker thread, once per order.
#pragma once

#include <rapidjson/document.h>

#include "sync/OrderSyncPass.h"

namespace ooa {

// An order with status "cancelled" (its refunds are not looked at).
void HandleOrderCancellation(TWooModule& woo, TOrderPassState& pass, TOrderInPass& order);

// An order with status "completed", "processing" or "refunded" whose "refunds"
// is a non-empty array (refundSummaries); order.InvoiceNo is the invoice
// (empty when the import just failed).
void HandleOrderRefunds(TWooModule& woo, TOrderPassState& pass, TOrderInPass& order,
                        const rapidjson::Value& refundSummaries);

}  // namespace ooa
