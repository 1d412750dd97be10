// GET orders, orders/<id> and orders/<id>/refunds: the collection parameters as the
// shop reads them (validated like the shop: one 400 rest_invalid_param naming every
// bad parameter), strict "modified after" to the second, paging headers.
#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <vector>

#include "Orders.h"

namespace ooa::standin {
namespace {

struct TQuery {
  int64_t Page = 1, PerPage = 10;
  bool Ascending = false;
  std::string OrderBy = "date";
  std::optional<int64_t> ModifiedAfter, ModifiedBefore, After, Before;
  std::vector<std::string> Statuses;  // empty: any
};

struct TInvalid {
  std::string Name, Code, Message;
};

std::optional<int64_t> IntegerOf(const std::string& text) {
  if (text.empty() || text.size() > 15) return std::nullopt;
  size_t start = text[0] == '-' || text[0] == '+' ? 1 : 0;
  if (start == text.size()) return std::nullopt;
  for (size_t i = start; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  }
  return std::stoll(text);
}

// Reads the collection parameters; fills invalid with every parameter the shop
// refuses, in the shop's order. "status" is one only where statuses is set.
TQuery ReadQuery(const TShopRequest& request, std::vector<TInvalid>& invalid, bool statuses) {
  TQuery q;
  auto integer = [&](const char* name, int64_t& target, int64_t min, int64_t max) {
    const std::string* v = request.QueryValue(name);
    if (!v) return;
    auto value = IntegerOf(*v);
    if (!value) {
      invalid.push_back({name, "rest_invalid_type", std::string(name) + " is not of type integer."});
    } else if (*value < min || *value > max) {
      std::string message = max == INT64_MAX
          ? std::string(name) + " must be greater than or equal to " + std::to_string(min)
          : std::string(name) + " must be between " + std::to_string(min) + " (inclusive) and " +
                std::to_string(max) + " (inclusive)";
      invalid.push_back({name, "rest_out_of_bounds", message});
    } else {
      target = *value;
    }
  };
  integer("page", q.Page, 1, INT64_MAX);
  integer("per_page", q.PerPage, 1, 100);
  // The shop's site time zone is UTC, so local and GMT readings of a date agree.
  auto date = [&](const char* name, std::optional<int64_t>& target) {
    const std::string* v = request.QueryValue(name);
    if (!v) return;
    target = ParseUtc(*v);
    if (!target) invalid.push_back({name, "rest_invalid_date", "Invalid date."});
  };
  date("after", q.After);
  date("before", q.Before);
  date("modified_after", q.ModifiedAfter);
  date("modified_before", q.ModifiedBefore);
  if (const std::string* v = request.QueryValue("dates_are_gmt")) {
    static const std::vector<std::string> allowed = {"", "0", "1", "true", "false"};
    if (std::find(allowed.begin(), allowed.end(), *v) == allowed.end()) {
      invalid.push_back({"dates_are_gmt", "rest_invalid_type", "dates_are_gmt is not of type boolean."});
    }
  }
  if (const std::string* v = request.QueryValue("order")) {
    if (*v == "asc" || *v == "desc") {
      q.Ascending = *v == "asc";
    } else {
      invalid.push_back({"order", "rest_not_in_enum", "order is not one of asc and desc."});
    }
  }
  if (const std::string* v = request.QueryValue("orderby")) {
    static const std::vector<std::string> allowed = {"date", "id", "include", "title", "slug", "modified"};
    if (std::find(allowed.begin(), allowed.end(), *v) != allowed.end()) {
      q.OrderBy = *v;
    } else {
      invalid.push_back({"orderby", "rest_not_in_enum",
                         "orderby is not one of date, id, include, title, slug, and modified."});
    }
  }
  // Only the statuses the shop knows, without the "wc-" of their stored form;
  // the first unknown one is named by its position.
  if (const std::string* v = statuses ? request.QueryValue("status") : nullptr) {
    static const std::vector<std::string> known = {"any",        "trash",     "auto-draft", "pending",
                                                   "processing", "on-hold",   "completed",  "cancelled",
                                                   "refunded",   "failed",    "checkout-draft"};
    std::stringstream list(*v);
    std::string status;
    bool any = false;
    for (int index = 0; std::getline(list, status, ','); ++index) {
      if (std::find(known.begin(), known.end(), status) == known.end()) {
        const std::string message = "status[" + std::to_string(index) +
                                    "] is not one of any, trash, auto-draft, pending, processing, on-hold, "
                                    "completed, cancelled, refunded, failed, and checkout-draft.";
        invalid.push_back({"status", "rest_not_in_enum", message});
        break;
      }
      if (status == "any") any = true;
      q.Statuses.push_back(status);
    }
    if (any) q.Statuses.clear();
  }
  return q;
}

TShopResponse InvalidParams(const std::vector<TInvalid>& invalid) {
  TJson doc(rapidjson::kObjectType);
  auto& a = doc.GetAllocator();
  std::string names;
  TValue params(rapidjson::kObjectType), details(rapidjson::kObjectType);
  for (const auto& bad : invalid) {
    names += (names.empty() ? "" : ", ") + bad.Name;
    params.AddMember(Str(bad.Name, a), Str(bad.Message, a), a);
    TValue detail(rapidjson::kObjectType);
    detail.AddMember("code", Str(bad.Code, a), a);
    detail.AddMember("message", Str(bad.Message, a), a);
    detail.AddMember("data", TValue(), a);
    details.AddMember(Str(bad.Name, a), detail, a);
  }
  doc.AddMember("code", "rest_invalid_param", a);
  doc.AddMember("message", Str("Invalid parameter(s): " + names, a), a);
  TValue data(rapidjson::kObjectType);
  data.AddMember("status", 400, a);
  data.AddMember("params", params, a);
  data.AddMember("details", details, a);
  doc.AddMember("data", data, a);
  TShopResponse response;
  response.Status = 400;
  response.Body = ToText(doc);
  return response;
}

struct TRow {
  int64_t Id, Created, Modified;
  std::string Status;
  const TJson* Json;
};

// Filters, sorts and pages rows; answers the page with X-WP-Total and X-WP-TotalPages.
TShopResponse Page(std::vector<TRow> rows, const TQuery& q, bool useStatus) {
  std::erase_if(rows, [&](const TRow& r) {
    if (q.ModifiedAfter && !(r.Modified > *q.ModifiedAfter)) return true;
    if (q.ModifiedBefore && !(r.Modified < *q.ModifiedBefore)) return true;
    if (q.After && !(r.Created > *q.After)) return true;
    if (q.Before && !(r.Created < *q.Before)) return true;
    if (useStatus && !q.Statuses.empty() &&
        std::find(q.Statuses.begin(), q.Statuses.end(), r.Status) == q.Statuses.end()) {
      return true;
    }
    return false;
  });
  std::function<int64_t(const TRow&)> key = [](const TRow& r) { return r.Id; };
  if (q.OrderBy == "date") key = [](const TRow& r) { return r.Created; };
  if (q.OrderBy == "modified") key = [](const TRow& r) { return r.Modified; };
  std::stable_sort(rows.begin(), rows.end(), [&](const TRow& x, const TRow& y) {
    auto kx = std::pair(key(x), x.Id), ky = std::pair(key(y), y.Id);
    return q.Ascending ? kx < ky : ky < kx;
  });
  int64_t total = static_cast<int64_t>(rows.size());
  int64_t pages = (total + q.PerPage - 1) / q.PerPage;
  TJson doc(rapidjson::kArrayType);
  auto& a = doc.GetAllocator();
  int64_t first = (q.Page - 1) * q.PerPage;
  for (int64_t i = first; i < total && i < first + q.PerPage; ++i) {
    doc.PushBack(TValue(*rows[i].Json, a), a);
  }
  TShopResponse response;
  response.Body = ToText(doc);
  response.Headers = {{"X-WP-Total", std::to_string(total)}, {"X-WP-TotalPages", std::to_string(pages)}};
  return response;
}

}  // namespace

TShopResponse ListOrders(TStore& store, const TShopRequest& request) {
  std::vector<TInvalid> invalid;
  TQuery q = ReadQuery(request, invalid, true);
  if (!invalid.empty()) return InvalidParams(invalid);
  std::vector<TRow> rows;
  for (const auto& [id, rec] : store.Orders) {
    rows.push_back({id, rec.Created, rec.Modified, TextOf(Member(rec.Json, "status")), &rec.Json});
  }
  return Page(std::move(rows), q, true);
}

TShopResponse GetOrder(TStore& store, int64_t id) {
  auto it = store.Orders.find(id);
  if (it == store.Orders.end()) {
    return JsonError(404, "woocommerce_rest_shop_order_invalid_id", "Invalid ID.");
  }
  TShopResponse response;
  response.Body = ToText(it->second.Json);
  return response;
}

// The refunds list takes the same collection parameters as the order list, and the
// shop applies them: "modified_after" also filters refunds, by their own time.
// An order the shop does not know has no refunds: an empty list, not an error.
TShopResponse ListRefunds(TStore& store, int64_t orderId, const TShopRequest& request) {
  std::vector<TInvalid> invalid;
  TQuery q = ReadQuery(request, invalid, false);
  if (!invalid.empty()) return InvalidParams(invalid);
  std::vector<TRow> rows;
  for (const auto& [id, rec] : store.Refunds) {
    if (rec.OrderId != orderId) continue;
    rows.push_back({id, rec.Created, rec.Created, "", &rec.Json});
  }
  return Page(std::move(rows), q, false);
}

}  // namespace ooa::standin
