// Admin edits of orders and refunds: seed or replace orders, merge members into one,
// change its status, make a refund. Every change moves the order's modification
// time to the shop clock's now, as the shop does when it saves an order.
#include <cmath>

#include "Orders.h"

namespace ooa::standin {
namespace {

TShopResponse Answer(const TValue& value) {
  TShopResponse response;
  response.Body = ToText(value);
  response.Mutated = true;
  return response;
}

void Touch(TOrderRecord& rec, int64_t now) {
  rec.Modified = now;
  auto& a = rec.Json.GetAllocator();
  if (!rec.Raw || rec.Json.HasMember("date_modified_gmt")) {
    SetMember(rec.Json, "date_modified_gmt", Str(UtcText(now), a), a);
    SetMember(rec.Json, "date_modified", Str(UtcText(now), a), a);
  }
}

void SetDateIfNull(TOrderRecord& rec, const char* local, const char* gmt, int64_t now) {
  const TValue* value = Member(rec.Json, gmt);
  if (value && !value->IsNull()) return;
  if (rec.Raw && !value) return;
  auto& a = rec.Json.GetAllocator();
  SetMember(rec.Json, gmt, Str(UtcText(now), a), a);
  SetMember(rec.Json, local, Str(UtcText(now), a), a);
}

void ApplyStatus(TOrderRecord& rec, std::string status, int64_t now) {
  auto& a = rec.Json.GetAllocator();
  SetMember(rec.Json, "status", Str(status, a), a);
  if (status == "processing" || status == "completed") SetDateIfNull(rec, "date_paid", "date_paid_gmt", now);
  if (status == "completed") SetDateIfNull(rec, "date_completed", "date_completed_gmt", now);
  Touch(rec, now);
}

bool KnownStatus(const std::string& status) {
  for (const char* s : kOrderStatuses) {
    if (status == s) return true;
  }
  return false;
}

double Magnitude(const TValue* value) { return std::fabs(AmountOf(value)); }

// One refund line: negative quantity and money; defaults from the order line it names.
TValue RefundLine(TStore& store, const TValue& order, const TValue& sent, TAlloc& a) {
  const TValue* orderLine = nullptr;
  auto lineId = IdOf(Member(sent, "line_item_id"));
  if (const TValue* items = Member(order, "line_items"); lineId && items && items->IsArray()) {
    for (const auto& line : items->GetArray()) {
      if (IdOf(Member(line, "id")) == lineId) orderLine = &line;
    }
  }
  TValue line(rapidjson::kObjectType);
  line.AddMember("id", store.NextItemId++, a);
  auto copy = [&](const char* name, TValue fallback) {
    if (const TValue* v = Member(sent, name)) {
      line.AddMember(TValue(name, a), TValue(*v, a), a);
    } else if (const TValue* v = orderLine ? Member(*orderLine, name) : nullptr) {
      line.AddMember(TValue(name, a), TValue(*v, a), a);
    } else {
      line.AddMember(TValue(name, a), fallback, a);
    }
  };
  copy("name", TValue(""));
  copy("product_id", TValue(0));
  copy("variation_id", TValue(0));
  double quantity = Magnitude(Member(sent, "quantity"));
  if (!Member(sent, "quantity")) quantity = orderLine ? Magnitude(Member(*orderLine, "quantity")) : 1;
  line.AddMember("quantity", -quantity, a);
  if (quantity == std::floor(quantity)) line["quantity"] = TValue(static_cast<int64_t>(-quantity));
  copy("tax_class", TValue(""));
  double orderQuantity = orderLine ? Magnitude(Member(*orderLine, "quantity")) : 0;
  auto money = [&](const char* name, const char* alternative) {
    double amount = 0;
    if (Member(sent, name)) {
      amount = Magnitude(Member(sent, name));
    } else if (Member(sent, alternative)) {
      amount = Magnitude(Member(sent, alternative));
    } else if (orderLine && orderQuantity != 0) {
      amount = Magnitude(Member(*orderLine, name)) / orderQuantity * quantity;
    }
    line.AddMember(TValue(name, a), Str(Money(-amount), a), a);
    return amount;
  };
  double subtotal = money("subtotal", "total");
  money("subtotal_tax", "total_tax");
  money("total", "subtotal");
  money("total_tax", "subtotal_tax");
  line.AddMember("taxes", TValue(rapidjson::kArrayType), a);
  TValue meta(rapidjson::kArrayType);
  if (const TValue* m = Member(sent, "meta_data"); m && m->IsArray()) meta.CopyFrom(*m, a);
  if (lineId) {
    TValue entry(rapidjson::kObjectType);
    entry.AddMember("key", "_refunded_item_id", a);
    entry.AddMember("value", Str(std::to_string(*lineId), a), a);
    meta.PushBack(entry, a);
  }
  store.NumberMeta(meta, a);
  line.AddMember("meta_data", meta, a);
  copy("sku", TValue());
  line.AddMember("price", quantity != 0 ? subtotal / quantity : 0.0, a);
  return line;
}

}  // namespace

TShopResponse AdminPutOrders(TStore& store, const std::string& body, bool raw) {
  auto doc = ParseJson(body);
  if (!doc || !(doc->IsArray() || doc->IsObject())) {
    return JsonError(400, "standin_invalid_json", "The body must be a JSON array of orders or one order.");
  }
  std::vector<const TValue*> orders;
  if (doc->IsArray()) {
    for (const auto& order : doc->GetArray()) orders.push_back(&order);
  } else {
    orders.push_back(&*doc);
  }
  for (size_t i = 0; i < orders.size(); ++i) {
    const TValue* id = Member(*orders[i], "id");
    if (!orders[i]->IsObject() || (id && !IdOf(id))) {
      return JsonError(400, "standin_invalid_order",
                       "Order " + std::to_string(i) + " is not an object with a numeric id.");
    }
  }
  TJson answer(rapidjson::kArrayType);
  int64_t now = store.Now();
  for (const TValue* order : orders) {
    TJson copy = Copy(*order);
    if (!IdOf(Member(copy, "id"))) SetMember(copy, "id", TValue(store.TakePostId()), copy.GetAllocator());
    int64_t id = *IdOf(Member(copy, "id"));
    PutOrder(store, std::move(copy), raw, now);
    answer.PushBack(TValue(store.Orders[id].Json, answer.GetAllocator()), answer.GetAllocator());
  }
  return Answer(answer);
}

TShopResponse AdminEditOrder(TStore& store, int64_t id, const std::string& body) {
  auto it = store.Orders.find(id);
  if (it == store.Orders.end()) return JsonError(404, "standin_no_order", "No order " + std::to_string(id) + ".");
  auto doc = ParseJson(body);
  if (!doc || !doc->IsObject()) return JsonError(400, "standin_invalid_json", "The body must be a JSON object.");
  TOrderRecord& rec = it->second;
  auto& a = rec.Json.GetAllocator();
  for (const auto& m : doc->GetObject()) {
    if (std::string(m.name.GetString()) == "id") continue;
    SetMember(rec.Json, m.name.GetString(), TValue(m.value, a), a);
  }
  int64_t now = store.Now();
  if (!rec.Raw) CompleteOrder(store, rec.Json, now);
  if (auto modified = ParseUtc(TextOf(Member(*doc, "date_modified_gmt")))) {
    rec.Modified = *modified;
  } else {
    Touch(rec, now);
  }
  if (auto created = ParseUtc(TextOf(Member(rec.Json, "date_created_gmt")))) rec.Created = *created;
  return Answer(rec.Json);
}

TShopResponse AdminSetStatus(TStore& store, int64_t id, const std::string& body) {
  auto it = store.Orders.find(id);
  if (it == store.Orders.end()) return JsonError(404, "standin_no_order", "No order " + std::to_string(id) + ".");
  auto doc = ParseJson(body);
  std::string status = doc ? TextOf(Member(*doc, "status")) : "";
  if (status.rfind("wc-", 0) == 0) status = status.substr(3);
  if (!KnownStatus(status)) {
    return JsonError(400, "standin_invalid_status", "Unknown order status \"" + status + "\".");
  }
  ApplyStatus(it->second, status, store.Now());
  return Answer(it->second.Json);
}

TShopResponse AdminAddRefund(TStore& store, int64_t orderId, const std::string& body, bool raw) {
  auto it = store.Orders.find(orderId);
  if (it == store.Orders.end()) {
    return JsonError(404, "standin_no_order", "No order " + std::to_string(orderId) + ".");
  }
  auto doc = ParseJson(body.empty() ? std::string("{}") : body);
  if (!doc || !doc->IsObject()) return JsonError(400, "standin_invalid_json", "The body must be a JSON object.");
  const TValue* sentId = Member(*doc, "id");
  if (sentId && !IdOf(sentId)) return JsonError(400, "standin_invalid_refund", "The refund id is not numeric.");
  TOrderRecord& order = it->second;
  int64_t now = store.Now();
  int64_t id = sentId ? *IdOf(sentId) : store.TakePostId();
  if (id >= store.NextPostId) store.NextPostId = id + 1;

  TJson refund(rapidjson::kObjectType);
  auto& a = refund.GetAllocator();
  if (raw) {
    refund.CopyFrom(*doc, a);
    SetMember(refund, "id", TValue(id), a);
  } else {
    refund.AddMember("id", id, a);
    std::string created = UtcText(ParseUtc(TextOf(Member(*doc, "date_created_gmt"))).value_or(now));
    refund.AddMember("date_created", Str(created, a), a);
    refund.AddMember("date_created_gmt", Str(created, a), a);
    TValue lines(rapidjson::kArrayType);
    double linesTotal = 0;
    if (const TValue* sent = Member(*doc, "line_items"); sent && sent->IsArray()) {
      for (const auto& line : sent->GetArray()) {
        TValue built = RefundLine(store, order.Json, line, a);
        linesTotal += -AmountOf(Member(built, "total")) - AmountOf(Member(built, "total_tax"));
        lines.PushBack(built, a);
      }
    }
    double amount = Member(*doc, "amount") ? Magnitude(Member(*doc, "amount")) : linesTotal;
    refund.AddMember("amount", Str(Money(amount), a), a);
    refund.AddMember("reason", CopyOr(Member(*doc, "reason"), TValue(""), a), a);
    refund.AddMember("refunded_by", CopyOr(Member(*doc, "refunded_by"), TValue(1), a), a);
    refund.AddMember("refunded_payment", false, a);
    TValue meta(rapidjson::kArrayType);
    if (const TValue* m = Member(*doc, "meta_data"); m && m->IsArray()) meta.CopyFrom(*m, a);
    store.NumberMeta(meta, a);
    refund.AddMember("meta_data", meta, a);
    refund.AddMember("line_items", lines, a);
    for (const char* name : {"shipping_lines", "tax_lines", "fee_lines"}) {
      const TValue* sent = Member(*doc, name);
      refund.AddMember(TValue(name, a), sent ? TValue(*sent, a) : TValue(rapidjson::kArrayType), a);
    }
    for (const auto& m : doc->GetObject()) {
      if (!refund.HasMember(m.name) && std::string(m.name.GetString()) != "date_created_gmt") {
        refund.AddMember(TValue(m.name, a), TValue(m.value, a), a);
      }
    }
  }
  // The order lists its refunds newest first, each with a negative total.
  auto& oa = order.Json.GetAllocator();
  if (!order.Json.HasMember("refunds") || !order.Json["refunds"].IsArray()) {
    SetMember(order.Json, "refunds", TValue(rapidjson::kArrayType), oa);
  }
  TValue entry(rapidjson::kObjectType);
  entry.AddMember("id", id, oa);
  entry.AddMember("reason", CopyOr(Member(refund, "reason"), TValue(""), oa), oa);
  entry.AddMember("total", Str("-" + TextOf(Member(refund, "amount")), oa), oa);
  TValue list(rapidjson::kArrayType);
  list.PushBack(entry, oa);
  for (auto& old : order.Json["refunds"].GetArray()) {
    if (IdOf(Member(old, "id")) != id) list.PushBack(TValue(old, oa), oa);
  }
  order.Json["refunds"] = std::move(list);
  int64_t created = ParseUtc(TextOf(Member(refund, "date_created_gmt"))).value_or(now);
  store.Refunds[id] = TRefundRecord{std::move(refund), orderId, created};

  // A refund of the whole order total makes the order "refunded", as the shop does.
  double refunded = 0;
  for (const auto& [rid, rec] : store.Refunds) {
    if (rec.OrderId == orderId) refunded += AmountOf(Member(rec.Json, "amount"));
  }
  double total = AmountOf(Member(order.Json, "total"));
  if (!order.Raw && total > 0 && refunded >= total - 0.005) {
    ApplyStatus(order, "refunded", now);
  } else {
    Touch(order, now);
  }
  return Answer(store.Refunds[id].Json);
}

}  // namespace ooa::standin
