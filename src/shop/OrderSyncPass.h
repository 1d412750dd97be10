// The state of one order sync pass and the pieces of it that the pass's
// source files share (OrderSync*.cpp, OrderCreditDispatch.cpp). Everything here
// lives for one pass on the order worker thread; nothing outlives the pass
// except the "orders" row of the sync log and the problems list (the orders
// and refunds refused for their own data, fetched again by id).
#pragma once

#include <set>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "config/DateTime.h"
#include "config/ProblemList.h"

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

  // The problems list and the ids it held at the start of the pass (and was
  // given since), so that a document written without trouble costs no look
  // at the file.
  TProblemList* Problems = nullptr;
  std::set<std::string> Listed;
  // An order or refund refused for its own data: listed (or its last try and
  // reason renewed), so later passes fetch it again by id.
  void Refused(TProblem problem);
  // The entry's cause is gone (the document is written, or needs none).
  void Settled(const std::string& id);
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

// The problems list's reason: the import's message and, when known, its cause.
std::string ProblemReason(const std::string& msg, const std::string& fault);

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

// GET orders/<id>: the order, or false (and the shop's message in whyNot)
// when the answer is not an order (an error object, or no JSON).
bool FetchOrder(TRestChannel& channel, const std::string& orderId, rapidjson::Document& order,
                std::string& whyNot);

// GET orders/<id>/refunds, every page of 100 (no modified_after: the shop
// would filter the refunds by their own creation time). False when an
// answer carries no JSON; throws when one is not an array.
bool FetchOrderRefunds(TRestChannel& channel, const std::string& orderId, std::vector<rapidjson::Document>& pages);

}  // namespace ooa
