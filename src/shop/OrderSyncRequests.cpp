// The order pass's requests on the second channel: the pages of modified
// orders and an order's refunds. The pass parses each answer into its own
// document, because the channel's next request replaces the response.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>

#include "db/order/OrderJson.h"
#include "shop/OrderSyncPass.h"
#include "shop/RestChannel.h"

namespace ooa {

namespace {

constexpr int kPageSize = 100;

// The channel's JSON answer copied into `out`; false when it carries none.
bool TakeJsonArray(TRestChannel& channel, rapidjson::Document& out, const char* what) {
  const rapidjson::Document* json = channel.JsonValue();
  if (!json) return false;
  if (!json->IsArray()) throw std::runtime_error(std::string("The shop's ") + what + " is not a JSON array.");
  out.CopyFrom(*json, out.GetAllocator());
  return true;
}

std::string FirstIdOf(const rapidjson::Document& page) {
  if (page.Empty() || !page[0].IsObject()) return {};
  auto it = page[0].FindMember("id");
  return it == page[0].MemberEnd() ? std::string() : JsonValueText(it->value, "id");
}

// Every page of a list: page 1, 2, ... while the shop's X-WP-TotalPages says
// there are more, or while a page comes back full. putParameters(page) sets
// the request's parameters. False when an answer carries no JSON; throws when
// one is not an array.
bool ReadPages(TRestChannel& channel, const std::string& resource, const char* what,
               std::vector<rapidjson::Document>& pages, const std::function<void(int)>& putParameters) {
  pages.clear();
  std::string previousFirstId;
  for (int page = 1;; ++page) {
    putParameters(page);
    channel.SetResource(resource);
    channel.SetMethod("GET");
    channel.Execute();
    rapidjson::Document doc;
    if (!TakeJsonArray(channel, doc, what)) return false;
    const int count = static_cast<int>(doc.Size());
    if (count == 0) break;
    // A shop that ignores "page" would answer the first page for ever.
    const std::string firstId = FirstIdOf(doc);
    if (page > 1 && !firstId.empty() && firstId == previousFirstId) break;
    previousFirstId = firstId;
    pages.push_back(std::move(doc));
    const std::string totalPages = channel.ResponseHeader("X-WP-TotalPages");
    const bool moreByHeader = !totalPages.empty() && page < std::atoi(totalPages.c_str());
    if (!moreByHeader && count < kPageSize) break;
  }
  return true;
}

}  // namespace

std::string FormatQueryTime(TDateTime value) {
  const TCivilTime c = value.ToCivil();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", c.Year, c.Month, c.Day, c.Hour, c.Minute,
                c.Second);
  return buf;
}

void SetOrderQueryParameters(TRestChannel& channel, const std::string& modifiedAfter) {
  channel.ClearParameters();
  channel.AddParameter("modified_after", modifiedAfter);
  channel.AddParameter("dates_are_gmt", "1");
  channel.AddParameter("per_page", std::to_string(kPageSize));
  channel.AddParameter("orderby", "id");
  channel.AddParameter("order", "asc");
}

bool FetchOrderPages(TRestChannel& channel, const std::string& modifiedAfter,
                     std::vector<rapidjson::Document>& pages) {
  return ReadPages(channel, "orders", "order list", pages, [&](int page) {
    SetOrderQueryParameters(channel, modifiedAfter);
    channel.AddParameter("page", std::to_string(page));
  });
}

bool FetchOrder(TRestChannel& channel, const std::string& orderId, rapidjson::Document& order,
                std::string& whyNot) {
  channel.ClearParameters();
  channel.SetResource("orders/" + orderId);
  channel.SetMethod("GET");
  channel.Execute();
  const rapidjson::Document* json = channel.JsonValue();
  if (!json) {
    whyNot = "The shop's answer for order " + orderId + " is not JSON.";
    return false;
  }
  if (!json->IsObject() || !json->HasMember("id") || json->HasMember("code")) {
    std::string message;
    if (json->IsObject()) {
      const auto it = json->FindMember("message");
      if (it != json->MemberEnd() && it->value.IsString()) message = std::string(": ") + it->value.GetString();
    }
    whyNot = "The shop did not return order " + orderId + " (status " + std::to_string(channel.StatusCode()) +
             message + ").";
    return false;
  }
  order.CopyFrom(*json, order.GetAllocator());
  return true;
}

bool FetchOrderRefunds(TRestChannel& channel, const std::string& orderId, std::vector<rapidjson::Document>& pages) {
  // No modified_after: the shop filters an order's refunds by their own
  // creation time, so a refund made before the last sync time (while its
  // order failed, or before an unrelated change to the order) would never
  // come back. Refunds booked before are recognised by their id; they are
  // read in id order, so their credit notes are numbered as they were made.
  return ReadPages(channel, "orders/" + orderId + "/refunds", "refund list", pages, [&](int page) {
    channel.ClearParameters();
    channel.AddParameter("per_page", std::to_string(kPageSize));
    channel.AddParameter("orderby", "id");
    channel.AddParameter("order", "asc");
    if (page > 1) channel.AddParameter("page", std::to_string(page));
  });
}

}  // namespace ooa
