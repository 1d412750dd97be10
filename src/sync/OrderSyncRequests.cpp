// The order pass's requests on the second channel: the pages of modified
// orders and an order's refunds. The pass takes each parsed answer over into
// its own document, because the channel's next request replaces the response.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "shop/woo/OrderJson.h"
#include "sync/OrderSyncPass.h"
#include "shop/rest/RestChannel.h"

namespace ooa {

namespace {

constexpr int kPageSize = 100;

// The channel's JSON answer, taken over into `out` (not copied: a copy would
// walk the document recursively). An answer that is no JSON array throws
// TShopAnswerError, saying why: the shop's status and message, or what is
// wrong with the text.
void TakeJsonArray(TRestChannel& channel, rapidjson::Document& out, const std::string& what) {
  const int status = channel.StatusCode();
  if (status < 200 || status >= 300)
    throw TShopAnswerError("The shop refused the " + what + ": " + std::to_string(status) + " " +
                           channel.StatusText() + ": " + channel.ErrorMessage());
  if (!channel.TakeJsonValue(out))
    throw TShopAnswerError("The shop's " + what + " cannot be read: " + channel.JsonError() + ".");
  if (!out.IsArray()) throw TShopAnswerError("The shop's " + what + " is not a JSON array.");
}

// The first order's id as JSON text, only to tell one page from the next. An
// id that is no single value is that order's problem, met when the pass reads
// it; it must not stop the list from being read.
std::string FirstIdOf(const rapidjson::Document& page) {
  if (page.Empty() || !page[0].IsObject()) return {};
  auto it = page[0].FindMember("id");
  if (it == page[0].MemberEnd()) return {};
  rapidjson::StringBuffer text;
  rapidjson::Writer<rapidjson::StringBuffer> writer(text);
  it->value.Accept(writer);
  return std::string(text.GetString(), text.GetSize());
}

// Every page of a list: page 1, 2, ... while the shop's X-WP-TotalPages says
// there are more, or while a page comes back full. putParameters(page) sets
// the request's parameters. Throws TShopAnswerError when an answer is not a
// JSON array. firstDate, when given, receives the Date header of page 1.
void ReadPages(TRestChannel& channel, const std::string& resource, const std::string& what,
               std::vector<rapidjson::Document>& pages, const std::function<void(int)>& putParameters,
               std::string* firstDate = nullptr) {
  pages.clear();
  std::string previousFirstId;
  for (int page = 1;; ++page) {
    putParameters(page);
    channel.SetResource(resource);
    channel.SetMethod("GET");
    channel.Execute();
    if (page == 1 && firstDate) *firstDate = channel.ResponseHeader("Date");
    rapidjson::Document doc;
    TakeJsonArray(channel, doc, what);
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

void FetchOrderPages(TRestChannel& channel, const std::string& modifiedAfter,
                     std::vector<rapidjson::Document>& pages, std::string* firstDate) {
  ReadPages(
      channel, "orders", "order list", pages,
      [&](int page) {
        SetOrderQueryParameters(channel, modifiedAfter);
        channel.AddParameter("page", std::to_string(page));
      },
      firstDate);
}

bool FetchOrder(TRestChannel& channel, const std::string& orderId, rapidjson::Document& order,
                std::string& whyNot) {
  channel.ClearParameters();
  channel.SetResource("orders/" + orderId);
  channel.SetMethod("GET");
  channel.Execute();
  if (!channel.TakeJsonValue(order)) {
    whyNot = "The shop's answer for order " + orderId + " cannot be read: " + channel.JsonError() + ".";
    return false;
  }
  if (!order.IsObject() || !order.HasMember("id") || order.HasMember("code")) {
    whyNot = "The shop did not return order " + orderId + " (status " + std::to_string(channel.StatusCode()) +
             ": " + channel.ErrorMessage() + ").";
    return false;
  }
  return true;
}

void FetchOrderRefunds(TRestChannel& channel, const std::string& orderId, std::vector<rapidjson::Document>& pages) {
  // No modified_after: the shop filters an order's refunds by their own
  // creation time, so a refund made before the last sync time (while its
  // order failed, or before an unrelated change to the order) would never
  // come back. Refunds booked before are recognised by their id; they are
  // read in id order, so their credit notes are numbered as they were made.
  ReadPages(channel, "orders/" + orderId + "/refunds", "refund list of order " + orderId, pages, [&](int page) {
    channel.ClearParameters();
    channel.AddParameter("per_page", std::to_string(kPageSize));
    channel.AddParameter("orderby", "id");
    channel.AddParameter("order", "asc");
    if (page > 1) channel.AddParameter("page", std::to_string(page));
  });
}

}  // namespace ooa
