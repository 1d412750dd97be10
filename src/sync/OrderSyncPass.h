// The state of one order sync pass and the pieces of it that the pass's
// source files share (OrderSync*.cpp, OrderCreditDispatch.cpp). Everything here
// lives for one pass on the order worker thread; nothing outlives the pass
// except the "orders" row of the sync log and the problems list (the orders
// and refunds refused for their own data, fetched again by id).
#pragma once

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "config/DateTime.h"
#include "config/ProblemList.h"

namespace ooa {

class TRestChannel;
class TWooModule;

struct TOrderPassState {
  // The value the pass stores (minus 10 s) at its end: its start time (by
  // the shop's clock when that is behind the till's), moved back to the
  // modification time of any order whose writing failed.
  TDateTime SyncTime;
  // The query start as sent in modified_after ("yyyy-MM-dd hh:mm:ss", UTC).
  std::string ModifiedAfter;

  // A document the database did not write (or that could not be checked):
  // the sync time goes back to its order's modification time, and the pass
  // ends as failed, with the first reason, once it has stored that time.
  void HoldBack(TDateTime modifiedAt, const std::string& why) {
    if (modifiedAt < SyncTime) SyncTime = modifiedAt;
    if (Failures++ == 0) FirstFailure = why;
  }
  int Failures = 0;
  std::string FirstFailure;

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

// An answer of the shop that is not what the pass asked for: a refusal (its
// status and the shop's message), text that is not JSON or nests too deeply,
// or JSON that is not an array. The message says which.
class TShopAnswerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Ends a pass that reached its end and stored its sync time, but left
// documents unwritten for the database's reasons (a full disk, a read-only
// file, a lock that timed out): the pass failed, and says so.
class TOrderPassIncomplete : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads every page of modified orders (page 1, 2, ... while the shop's
// X-WP-TotalPages says there are more, or while a page comes back full).
// Throws TShopAnswerError when an answer is not a JSON array of orders.
// firstDate, when given, receives the Date header of the first answer.
void FetchOrderPages(TRestChannel& channel, const std::string& modifiedAfter,
                     std::vector<rapidjson::Document>& pages, std::string* firstDate = nullptr);

// GET orders/<id>: the order, or false (and the shop's message in whyNot)
// when the answer is not an order (an error object, or no JSON).
bool FetchOrder(TRestChannel& channel, const std::string& orderId, rapidjson::Document& order,
                std::string& whyNot);

// GET orders/<id>/refunds, every page of 100 (no modified_after: the shop
// would filter the refunds by their own creation time). Throws
// TShopAnswerError when an answer is not a JSON array.
void FetchOrderRefunds(TRestChannel& channel, const std::string& orderId, std::vector<rapidjson::Document>& pages);

}  // namespace ooa
