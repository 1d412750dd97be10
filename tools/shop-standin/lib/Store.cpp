#include "Store.h"

#include <ctime>

namespace ooa::standin {

int64_t TStore::Now() const {
  return FrozenNow ? *FrozenNow : static_cast<int64_t>(std::time(nullptr));
}

void TStore::Clear() {
  Categories.clear();
  Products.clear();
  Variations.clear();
  ProductSkus.clear();
  VariationSkus.clear();
  Orders.clear();
  Refunds.clear();
  NextTermId = 15;
  NextPostId = 100;
  NextMetaId = 1000;
  NextItemId = 1;
  FrozenNow.reset();
}

int64_t TStore::FindSku(const std::string& sku, int64_t except) const {
  if (sku.empty()) return 0;
  for (const auto* index : {&ProductSkus, &VariationSkus}) {
    auto it = index->find(sku);
    if (it == index->end()) continue;
    for (int64_t id : it->second)
      if (id != except) return id;
  }
  return 0;
}

void TStore::IndexSku(const std::string& sku, int64_t id, bool variation, bool add) {
  if (sku.empty()) return;
  auto& index = variation ? VariationSkus : ProductSkus;
  if (add) {
    index[sku].insert(id);
    return;
  }
  auto it = index.find(sku);
  if (it == index.end()) return;
  it->second.erase(id);
  if (it->second.empty()) index.erase(it);
}

void TStore::RebuildSkuIndex() {
  ProductSkus.clear();
  VariationSkus.clear();
  for (const auto& [id, json] : Products) IndexSku(TextOf(Member(json, "sku")), id, false, true);
  for (const auto& [id, json] : Variations) IndexSku(TextOf(Member(json, "sku")), id, true, true);
}

void TStore::NumberMeta(TValue& metaArray, TAlloc& alloc) {
  if (!metaArray.IsArray()) return;
  for (auto& entry : metaArray.GetArray()) {
    if (auto id = IdOf(Member(entry, "id")); id && *id >= NextMetaId) NextMetaId = *id + 1;
  }
  for (auto& entry : metaArray.GetArray()) {
    if (entry.IsObject() && !entry.HasMember("id")) {
      TValue copy(rapidjson::kObjectType);
      copy.AddMember("id", NextMetaId++, alloc);
      for (auto& m : entry.GetObject()) copy.AddMember(m.name, m.value, alloc);
      entry = std::move(copy);
    }
  }
}

std::string TStore::StateText() const {
  TJson doc(rapidjson::kObjectType);
  auto& a = doc.GetAllocator();
  auto table = [&](const std::map<int64_t, TJson>& rows) {
    TValue array(rapidjson::kArrayType);
    for (const auto& [id, json] : rows) array.PushBack(TValue(json, a), a);
    return array;
  };
  doc.AddMember("categories", table(Categories), a);
  doc.AddMember("products", table(Products), a);
  doc.AddMember("variations", table(Variations), a);
  TValue orders(rapidjson::kArrayType);
  for (const auto& [id, rec] : Orders) orders.PushBack(TValue(rec.Json, a), a);
  doc.AddMember("orders", orders, a);
  TValue refunds(rapidjson::kArrayType);
  for (const auto& [id, rec] : Refunds) {
    TValue entry(rapidjson::kObjectType);
    entry.AddMember("order_id", rec.OrderId, a);
    entry.AddMember("created", rec.Created, a);
    entry.AddMember("refund", TValue(rec.Json, a), a);
    refunds.PushBack(entry, a);
  }
  doc.AddMember("refunds", refunds, a);
  TValue internal(rapidjson::kObjectType);
  internal.AddMember("next_term_id", NextTermId, a);
  internal.AddMember("next_post_id", NextPostId, a);
  internal.AddMember("next_meta_id", NextMetaId, a);
  internal.AddMember("next_item_id", NextItemId, a);
  TValue orderTimes(rapidjson::kArrayType);
  for (const auto& [id, rec] : Orders) {
    TValue t(rapidjson::kObjectType);
    t.AddMember("id", id, a);
    t.AddMember("modified", rec.Modified, a);
    t.AddMember("created", rec.Created, a);
    t.AddMember("raw", rec.Raw, a);
    orderTimes.PushBack(t, a);
  }
  internal.AddMember("orders", orderTimes, a);
  doc.AddMember("internal", internal, a);
  return ToText(doc);
}

bool TStore::LoadState(const std::string& text, std::string& error) {
  auto doc = ParseJson(text);
  if (!doc || !doc->IsObject()) {
    error = "the state is not a JSON object";
    return false;
  }
  TStore loaded;
  auto readTable = [&](const char* name, std::map<int64_t, TJson>& rows) {
    const TValue* array = Member(*doc, name);
    if (!array) return true;
    if (!array->IsArray()) return false;
    for (const auto& row : array->GetArray()) {
      auto id = IdOf(Member(row, "id"));
      if (!id) return false;
      rows[*id] = Copy(row);
    }
    return true;
  };
  if (!readTable("categories", loaded.Categories) || !readTable("products", loaded.Products) ||
      !readTable("variations", loaded.Variations)) {
    error = "a catalogue table is not an array of objects with ids";
    return false;
  }
  std::map<int64_t, TJson> orders;
  if (!readTable("orders", orders)) {
    error = "\"orders\" is not an array of objects with ids";
    return false;
  }
  for (auto& [id, json] : orders) {
    TOrderRecord rec;
    auto modified = ParseUtc(TextOf(Member(json, "date_modified_gmt")));
    auto created = ParseUtc(TextOf(Member(json, "date_created_gmt")));
    rec.Modified = modified.value_or(0);
    rec.Created = created.value_or(rec.Modified);
    rec.Json = std::move(json);
    loaded.Orders[id] = std::move(rec);
  }
  if (const TValue* refunds = Member(*doc, "refunds"); refunds && refunds->IsArray()) {
    for (const auto& entry : refunds->GetArray()) {
      auto orderId = IdOf(Member(entry, "order_id"));
      const TValue* refund = Member(entry, "refund");
      auto id = refund ? IdOf(Member(*refund, "id")) : std::nullopt;
      if (!orderId || !id) {
        error = "a refund entry lacks order_id or refund.id";
        return false;
      }
      int64_t created = IdOf(Member(entry, "created"))
                            .value_or(ParseUtc(TextOf(Member(*refund, "date_created_gmt"))).value_or(0));
      loaded.Refunds[*id] = TRefundRecord{Copy(*refund), *orderId, created};
    }
  }
  int64_t maxPost = 99;
  for (const auto* rows : {&loaded.Products, &loaded.Variations}) {
    for (const auto& [id, _] : *rows) maxPost = std::max(maxPost, id);
  }
  for (const auto& [id, _] : loaded.Orders) maxPost = std::max(maxPost, id);
  for (const auto& [id, _] : loaded.Refunds) maxPost = std::max(maxPost, id);
  loaded.NextPostId = maxPost + 1;
  int64_t maxTerm = 14;
  for (const auto& [id, _] : loaded.Categories) maxTerm = std::max(maxTerm, id);
  loaded.NextTermId = maxTerm + 1;
  if (const TValue* internal = Member(*doc, "internal"); internal && internal->IsObject()) {
    auto counter = [&](const char* name, int64_t& value) {
      if (auto v = IdOf(Member(*internal, name)); v && *v > value) value = *v;
    };
    counter("next_term_id", loaded.NextTermId);
    counter("next_post_id", loaded.NextPostId);
    counter("next_meta_id", loaded.NextMetaId);
    counter("next_item_id", loaded.NextItemId);
    if (const TValue* times = Member(*internal, "orders"); times && times->IsArray()) {
      for (const auto& t : times->GetArray()) {
        auto id = IdOf(Member(t, "id"));
        auto it = id ? loaded.Orders.find(*id) : loaded.Orders.end();
        if (it == loaded.Orders.end()) continue;
        if (auto m = IdOf(Member(t, "modified"))) it->second.Modified = *m;
        if (auto c = IdOf(Member(t, "created"))) it->second.Created = *c;
        if (const TValue* raw = Member(t, "raw"); raw && raw->IsBool()) it->second.Raw = raw->GetBool();
      }
    }
  }
  Categories = std::move(loaded.Categories);
  Products = std::move(loaded.Products);
  Variations = std::move(loaded.Variations);
  RebuildSkuIndex();
  Orders = std::move(loaded.Orders);
  Refunds = std::move(loaded.Refunds);
  NextTermId = loaded.NextTermId;
  NextPostId = loaded.NextPostId;
  NextMetaId = loaded.NextMetaId;
  NextItemId = loaded.NextItemId;
  return true;
}

}  // namespace ooa::standin
