// The order pass's entry point, over the shop module's second channel and
// into its database module (TWooModule::Channel2, Db). Order worker thread.
#pragma once

#include "shop/WooModule.h"

namespace ooa {

// One order sync pass on the second channel (order worker thread): imports
// the orders modified since the last pass, hands cancellations and refunds
// to the credit-note import, prints receipts, advances the "orders" sync
// log. Errors (transport, HTTP >= 500, answers that are no JSON array or
// nest too deeply, refusals of the order request, database) are thrown and
// leave the sync log unchanged. Documents the database did not write fail
// the pass too (TOrderPassIncomplete), once it has stored the time they
// hold back.
void SyncOrders(TWooModule& woo);

}  // namespace ooa
