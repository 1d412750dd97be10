// The state of one order sync pass and the pieces of it that the pass's
// source files share (OrderSync*.cpp, OrderCreditDispatch.cpp). Everything here
// lives for one pass on the order worker thread; nothing outlives the pass
// except the "orders" row of the sync log.
#pragma once

#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "config/DateTime.h"

namespace ooa {

class TRestChannel;
class TWooModule;

struct TOrderPassState {
  // The value the pass stores (minus 10 s) at its end: its start time, moved
  // back to the modification time of any order whose writing failed.
  TDateTime SyncTime;
  // The query start as sent in modified_after ("yyyy-MM-dd hh:mm:ss", UTC).
  std::string ModifiedAfter;

  void HoldBack(TDateTime modifiedAt) {
    if (modifiedAt < SyncTime) SyncTime = modifiedAt;
  }
};

// The order being handled.
struct TOrderInPass {
  const rapidjson::Value* Json = nullptr;  // the order object, owned by the pass's page list
  std::string Id;
  std::string Status;
  TDateTime ModifiedAt;  // "date_modified_gmt" as local time
  bool InvoiceExists = false;
  std::string InvoiceNo;  // empty until found or written
};

// "yyyy-MM-dd hh:mm:ss" of a date-time.
std::string FormatQueryTime(TDateTime value);

// Puts the order query's parameters on the channel (replacing all others):
// modified_after, dates_are_gmt, per_page, orderby, order.
void SetOrderQueryParameters(TRestChannel& channel, const std::string& modifiedAfter);

// Reads every page of modified orders (page 1, 2, ... while the shop's
// X-WP-TotalPages says there are more, or while a page comes back full).
// False when a response carries no JSON; throws when one is not an array.
bool FetchOrderPages(TRestChannel& channel, const std::string& modifiedAfter,
                     std::vector<rapidjson::Document>& pages);

// GET orders/<id>/refunds with the order query's parameters (no page). False
// when the response carries no JSON; throws when it is not an array.
bool FetchOrderRefunds(TRestChannel& channel, const TOrderPassState& pass, const std::string& orderId,
                       rapidjson::Document& refunds);

}  // namespace ooa
