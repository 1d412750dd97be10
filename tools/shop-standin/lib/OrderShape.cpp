// The shop's order shape: fills in what a seeded order leaves out, so every order
// the stand-in serves looks like the shop's (money as strings with two decimals,
// ids and quantities as numbers, dates as yyyy-mm-ddThh:mm:ss or null).
#include <cmath>
#include <cstdio>

#include "Orders.h"

namespace ooa::standin {
namespace {

const int kGstRateId = 1;

void Default(TJson& doc, TValue& object, const char* name, TValue value) {
  if (!object.HasMember(name)) object.AddMember(TValue(name, doc.GetAllocator()), value, doc.GetAllocator());
}

void Money(TJson& doc, TValue& object, const char* name) {
  auto& a = doc.GetAllocator();
  if (TValue* v = Member(object, name)) {
    *v = MoneyValue(*v, a);
  } else {
    object.AddMember(TValue(name, a), TValue("0.00"), a);
  }
}

void Address(TJson& doc, TValue& order, const char* name, bool email) {
  auto& a = doc.GetAllocator();
  if (!order.HasMember(name) || !order[name].IsObject()) {
    SetMember(order, name, TValue(rapidjson::kObjectType), a);
  }
  TValue& address = order[name];
  for (const char* key : {"first_name", "last_name", "company", "address_1", "address_2", "city",
                          "state", "postcode", "country", "phone"}) {
    Default(doc, address, key, TValue(""));
  }
  if (email) Default(doc, address, "email", TValue(""));
}

void Lines(TStore& store, TJson& doc, TValue& order, const char* name,
           void (*complete)(TStore&, TJson&, TValue&)) {
  auto& a = doc.GetAllocator();
  if (!order.HasMember(name) || !order[name].IsArray()) {
    SetMember(order, name, TValue(rapidjson::kArrayType), a);
  }
  // Ids the seed brings along are kept; new ones never repeat them.
  for (auto& line : order[name].GetArray()) {
    if (auto id = IdOf(Member(line, "id")); id && *id >= store.NextItemId) store.NextItemId = *id + 1;
  }
  for (auto& line : order[name].GetArray()) {
    if (!line.IsObject()) continue;
    if (!line.HasMember("id")) {
      TValue copy(rapidjson::kObjectType);
      copy.AddMember("id", store.NextItemId++, a);
      for (auto& m : line.GetObject()) copy.AddMember(m.name, m.value, a);
      line = std::move(copy);
    }
    complete(store, doc, line);
    Default(doc, line, "meta_data", TValue(rapidjson::kArrayType));
    store.NumberMeta(line["meta_data"], a);
  }
}

std::string SkuOf(const TStore& store, int64_t productId, int64_t variationId, bool& found) {
  for (auto [table, id] : {std::pair{&store.Variations, variationId}, std::pair{&store.Products, productId}}) {
    if (id == 0) continue;
    if (auto it = table->find(id); it != table->end()) {
      found = true;
      return TextOf(Member(it->second, "sku"));
    }
  }
  found = false;
  return "";
}

void LineItem(TStore& store, TJson& doc, TValue& line) {
  auto& a = doc.GetAllocator();
  Default(doc, line, "name", TValue(""));
  Default(doc, line, "product_id", TValue(0));
  Default(doc, line, "variation_id", TValue(0));
  Default(doc, line, "quantity", TValue(1));
  Default(doc, line, "tax_class", TValue(""));
  if (!line.HasMember("subtotal") && line.HasMember("total")) {
    line.AddMember("subtotal", TValue(line["total"], a), a);
  }
  if (!line.HasMember("total") && line.HasMember("subtotal")) {
    line.AddMember("total", TValue(line["subtotal"], a), a);
  }
  if (!line.HasMember("subtotal_tax") && line.HasMember("total_tax")) {
    line.AddMember("subtotal_tax", TValue(line["total_tax"], a), a);
  }
  if (!line.HasMember("total_tax") && line.HasMember("subtotal_tax")) {
    line.AddMember("total_tax", TValue(line["subtotal_tax"], a), a);
  }
  for (const char* money : {"subtotal", "subtotal_tax", "total", "total_tax"}) Money(doc, line, money);
  // The shop's tax of the line by rate (the stand-in's one rate, GST, id 1),
  // with six decimals.
  if (!line.HasMember("taxes")) {
    TValue taxes(rapidjson::kArrayType);
    const double total = AmountOf(Member(line, "total_tax")), subtotal = AmountOf(Member(line, "subtotal_tax"));
    if (total != 0 || subtotal != 0) {
      char text[2][40];
      std::snprintf(text[0], sizeof text[0], "%.6f", total);
      std::snprintf(text[1], sizeof text[1], "%.6f", subtotal);
      TValue tax(rapidjson::kObjectType);
      tax.AddMember("id", kGstRateId, a);
      tax.AddMember("total", Str(text[0], a), a);
      tax.AddMember("subtotal", Str(text[1], a), a);
      taxes.PushBack(tax, a);
    }
    line.AddMember("taxes", taxes, a);
  }
  Default(doc, line, "parent_name", TValue());
  if (!line.HasMember("sku")) {
    bool found = false;
    std::string sku = SkuOf(store, IdOf(Member(line, "product_id")).value_or(0),
                            IdOf(Member(line, "variation_id")).value_or(0), found);
    line.AddMember("sku", found ? Str(sku, a) : TValue(), a);
  }
  if (TValue* price = Member(line, "price"); price && price->IsString()) {
    char* end = nullptr;
    double value = std::strtod(price->GetString(), &end);
    if (end && *end == '\0' && price->GetStringLength() > 0) *price = TValue(value);
  }
  if (!line.HasMember("price")) {
    double quantity = AmountOf(Member(line, "quantity"));
    double total = AmountOf(Member(line, "total"));
    line.AddMember("price", quantity != 0 ? total / quantity : 0.0, a);
  }
}

void ShippingLine(TStore&, TJson& doc, TValue& line) {
  Default(doc, line, "method_title", TValue(""));
  Default(doc, line, "method_id", TValue(""));
  Default(doc, line, "instance_id", TValue(""));
  Money(doc, line, "total");
  Money(doc, line, "total_tax");
  Default(doc, line, "taxes", TValue(rapidjson::kArrayType));
}

void OtherLine(TStore&, TJson&, TValue&) {}

// The order's tax lines, one per rate, when it has none: the stand-in's one
// rate (GST, 10 %) over the lines' and the shipping's tax.
void TaxLines(TStore& store, TJson& order) {
  auto& a = order.GetAllocator();
  if (TValue* lines = Member(order, "tax_lines"); lines && lines->IsArray() && !lines->Empty()) return;
  double lineTax = 0;
  if (const TValue* items = Member(order, "line_items"); items && items->IsArray())
    for (const auto& line : items->GetArray()) lineTax += AmountOf(Member(line, "total_tax"));
  const double shippingTax = AmountOf(Member(order, "shipping_tax"));
  TValue lines(rapidjson::kArrayType);
  if (lineTax != 0 || shippingTax != 0) {
    TValue tax(rapidjson::kObjectType);
    tax.AddMember("id", store.NextItemId++, a);
    tax.AddMember("rate_code", "AU-GST-1", a);
    tax.AddMember("rate_id", kGstRateId, a);
    tax.AddMember("label", "GST", a);
    tax.AddMember("compound", false, a);
    tax.AddMember("tax_total", Str(ooa::standin::Money(lineTax), a), a);
    tax.AddMember("shipping_tax_total", Str(ooa::standin::Money(shippingTax), a), a);
    tax.AddMember("rate_percent", 10, a);
    tax.AddMember("meta_data", TValue(rapidjson::kArrayType), a);
    lines.PushBack(tax, a);
  }
  SetMember(order, "tax_lines", std::move(lines), a);
}

void DatePair(TJson& doc, TValue& order, const char* local, const char* gmt, TValue value) {
  auto& a = doc.GetAllocator();
  if (!order.HasMember(gmt)) order.AddMember(TValue(gmt, a), TValue(value, a), a);
  if (!order.HasMember(local)) order.AddMember(TValue(local, a), TValue(order[gmt], a), a);
}

}  // namespace

void CompleteOrder(TStore& store, TJson& order, int64_t now) {
  auto& a = order.GetAllocator();
  if (!IdOf(Member(order, "id"))) SetMember(order, "id", TValue(store.TakePostId()), a);
  int64_t id = *IdOf(Member(order, "id"));
  SetMember(order, "id", TValue(id), a);
  if (id >= store.NextPostId) store.NextPostId = id + 1;
  std::string status = TextOf(Member(order, "status"));
  if (status.rfind("wc-", 0) == 0) status = status.substr(3);
  if (status.empty()) status = "processing";
  SetMember(order, "status", Str(status, a), a);
  Default(order, order, "parent_id", TValue(0));
  Default(order, order, "number", Str(std::to_string(id), a));
  Default(order, order, "order_key", Str("wc_order_standin" + std::to_string(id), a));
  Default(order, order, "created_via", TValue("checkout"));
  Default(order, order, "currency", TValue("AUD"));
  std::string nowText = UtcText(now);
  DatePair(order, order, "date_created", "date_created_gmt", Str(nowText, a));
  DatePair(order, order, "date_modified", "date_modified_gmt", Str(nowText, a));
  for (const char* money : {"discount_total", "discount_tax", "shipping_total", "shipping_tax",
                            "cart_tax", "total", "total_tax"}) {
    Money(order, order, money);
  }
  Default(order, order, "prices_include_tax", TValue(false));
  Default(order, order, "customer_id", TValue(0));
  Default(order, order, "customer_note", TValue(""));
  Address(order, order, "billing", true);
  Address(order, order, "shipping", false);
  Default(order, order, "payment_method", TValue("stripe"));
  Default(order, order, "payment_method_title", TValue("Credit card"));
  Default(order, order, "transaction_id", TValue(""));
  bool paid = status == "processing" || status == "completed" || status == "refunded";
  DatePair(order, order, "date_paid", "date_paid_gmt",
           paid ? TValue(order["date_created_gmt"], a) : TValue());
  DatePair(order, order, "date_completed", "date_completed_gmt",
           status == "completed" ? TValue(order["date_modified_gmt"], a) : TValue());
  Default(order, order, "meta_data", TValue(rapidjson::kArrayType));
  store.NumberMeta(order["meta_data"], a);
  Lines(store, order, order, "line_items", LineItem);
  Lines(store, order, order, "shipping_lines", ShippingLine);
  TaxLines(store, order);
  Lines(store, order, order, "tax_lines", OtherLine);
  Lines(store, order, order, "fee_lines", OtherLine);
  Lines(store, order, order, "coupon_lines", OtherLine);
  Default(order, order, "refunds", TValue(rapidjson::kArrayType));
}

void PutOrder(TStore& store, TJson order, bool raw, int64_t now) {
  auto id = IdOf(Member(order, "id"));
  if (!id) {
    id = store.TakePostId();
    SetMember(order, "id", TValue(*id), order.GetAllocator());
  }
  if (*id >= store.NextPostId) store.NextPostId = *id + 1;
  // A replaced order keeps the refund list of the refunds it already has.
  if (!order.HasMember("refunds")) {
    TValue refunds(rapidjson::kArrayType);
    for (auto it = store.Refunds.rbegin(); it != store.Refunds.rend(); ++it) {
      if (it->second.OrderId != *id) continue;
      auto& a = order.GetAllocator();
      TValue entry(rapidjson::kObjectType);
      entry.AddMember("id", it->first, a);
      entry.AddMember("reason", CopyOr(Member(it->second.Json, "reason"), TValue(""), a), a);
      std::string amount = TextOf(Member(it->second.Json, "amount"));
      entry.AddMember("total", Str("-" + amount, a), a);
      refunds.PushBack(entry, a);
    }
    if (!refunds.Empty() || !raw) SetMember(order, "refunds", std::move(refunds), order.GetAllocator());
  }
  if (!raw) CompleteOrder(store, order, now);
  TOrderRecord rec;
  rec.Raw = raw;
  rec.Modified = ParseUtc(TextOf(Member(order, "date_modified_gmt"))).value_or(now);
  rec.Created = ParseUtc(TextOf(Member(order, "date_created_gmt"))).value_or(rec.Modified);
  rec.Json = std::move(order);
  store.Orders[*id] = std::move(rec);
}

}  // namespace ooa::standin
