// Orders and refunds of the stand-in shop: the shop's read endpoints (GET orders,
// orders/<id>, orders/<id>/refunds) and the admin edits that seed orders, change
// their status and make refunds. The caller holds the store's mutex for each call.
#pragma once

#include <cstdint>
#include <string>

#include "ShopRequest.h"
#include "Store.h"

namespace ooa::standin {

inline const char* const kOrderStatuses[] = {"pending",   "processing", "on-hold", "completed",
                                             "cancelled", "refunded",   "failed",  "checkout-draft"};

// Shop side.
TShopResponse ListOrders(TStore& store, const TShopRequest& request);
TShopResponse GetOrder(TStore& store, int64_t id);
TShopResponse ListRefunds(TStore& store, int64_t orderId, const TShopRequest& request);

// Admin side. Bodies are JSON; answers carry the stored objects.
// Creates or replaces orders (an array or one object). Without raw, missing members
// are completed in the shop's shape (money as strings with two decimals, ids for
// lines and meta entries, dates); with raw the orders are kept exactly as sent.
TShopResponse AdminPutOrders(TStore& store, const std::string& body, bool raw);
// Merges the members sent into an order and moves its modification time.
TShopResponse AdminEditOrder(TStore& store, int64_t id, const std::string& body);
// {"status": "cancelled"}: the status changes and the modification time moves.
TShopResponse AdminSetStatus(TStore& store, int64_t id, const std::string& body);
// Makes a refund of an order (amount positive, line quantities and money negative),
// lists it in the order's "refunds" and moves the order's modification time.
TShopResponse AdminAddRefund(TStore& store, int64_t orderId, const std::string& body, bool raw);

// Completes one order in the shop's shape (used by AdminPutOrders and the seed file).
void CompleteOrder(TStore& store, TJson& order, int64_t now);
// Stores a completed (or raw) order; takes its times from its date members.
void PutOrder(TStore& store, TJson order, bool raw, int64_t now);

}  // namespace ooa::standin
