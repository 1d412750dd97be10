// The shop side of the order and refund fuzz targets: a transport that
// answers the order pass's requests from memory, so that a fuzz input reaches
// the pass as a shop answer does (the channel's reading of the body, its
// depth limit, the pass's checks of the list) instead of a parse of its own.
// Used by one fuzz process on its one thread.
#pragma once

#include <rapidjson/document.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "db/DatabaseModule.h"

namespace ooa::fuzz {

// The body of the answer to a request for `resource` (the path below the
// REST base, "orders", "orders/7/refunds", ...); status 200. An empty result
// answers 404 with the shop's error object.
using TShopAnswers = std::function<std::string(const std::string& resource)>;

// The fuzz input as the shop would send a list: the input itself, or, when it
// is one object, a list of it.
std::string ShopListBody(const uint8_t* data, size_t size);

// Reads body as the pass reads the order list (kind "orders") or an order's
// refund list (kind "refunds") and hands each object of it to handle, with
// the module connected to the fuzz POS database. An answer the pass refuses
// hands nothing.
void ForEachListedObject(const std::string& body, const char* kind, TDatabaseModule& db,
                         const std::function<void(TDatabaseModule&, const rapidjson::Value&)>& handle);

// One whole order pass (SyncOrders) against the answers, on the fuzz POS
// database, receipts off and the problems list emptied first. Whatever the
// pass throws ends it, as in the service; a crash or a sanitizer report is
// the finding.
void RunOrderPass(TDatabaseModule& db, const TShopAnswers& answers);

// The module connected to the fuzz POS database, for the whole process.
TDatabaseModule& FuzzDatabase();

}  // namespace ooa::fuzz
