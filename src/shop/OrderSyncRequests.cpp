// The order pass's requests on the second channel: the pages of modified
// orders and an order's refunds. The pass parses each answer into its own
// document, because the channel's next request replaces the response.
#include <cstdio>
#include <cstdlib>
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
  pages.clear();
  std::string previousFirstId;
  for (int page = 1;; ++page) {
    SetOrderQueryParameters(channel, modifiedAfter);
    channel.AddParameter("page", std::to_string(page));
    channel.SetResource("orders");
    channel.SetMethod("GET");
    channel.Execute();
    rapidjson::Document doc;
    if (!TakeJsonArray(channel, doc, "order list")) return false;
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

bool FetchOrderRefunds(TRestChannel& channel, const TOrderPassState& pass, const std::string& orderId,
                       rapidjson::Document& refunds) {
  // The order query's parameters go along, but never its page: the refund
  // list has one page, and page 2 of it would be empty.
  SetOrderQueryParameters(channel, pass.ModifiedAfter);
  channel.SetResource("orders/" + orderId + "/refunds");
  channel.SetMethod("GET");
  channel.Execute();
  return TakeJsonArray(channel, refunds, "refund list");
}

}  // namespace ooa
