// products/batch and products/<id>/variations/batch. The SKU must be unique over
// products and variations (checked first, as the shop does); a variation's
// attribute options must be unique within its product. Objects keep every member
// sent, plus the id and the members the shop adds.
#include <algorithm>
#include <cctype>
#include <set>

#include "Catalogue.h"
#include "CatalogueBatch.h"

namespace ooa::standin {
namespace {

const char* kInvalidId = "Invalid ID.";

TValue SkuError(TStore& store, int64_t existing, const std::string& sku, TAlloc& a) {
  std::string unique;
  for (int n = 1;; ++n) {
    unique = sku + "-" + std::to_string(n);
    if (!store.FindSku(unique)) break;
  }
  TValue data(rapidjson::kObjectType);
  data.AddMember("status", 400, a);
  data.AddMember("resource_id", existing, a);
  data.AddMember("unique_sku", Str(unique, a), a);
  return ItemErrorWithData(TValue(0), "product_invalid_sku", "Invalid or duplicated SKU.",
                           std::move(data), a);
}

void SetTimes(TJson& row, int64_t now, bool created) {
  auto& ra = row.GetAllocator();
  std::string text = UtcText(now);
  if (created) {
    SetMember(row, "date_created", Str(text, ra), ra);
    SetMember(row, "date_created_gmt", Str(text, ra), ra);
  }
  SetMember(row, "date_modified", Str(text, ra), ra);
  SetMember(row, "date_modified_gmt", Str(text, ra), ra);
}

// Copies the sent members over the stored object (never its id or parent).
void Overlay(TJson& row, const TValue& item) {
  auto& ra = row.GetAllocator();
  for (const auto& m : item.GetObject()) {
    std::string key = m.name.GetString();
    if (key == "id" || key == "parent_id") continue;
    SetMember(row, key, TValue(m.value, ra), ra);
  }
}

// The shop's own readings of sent members: "price" follows "regular_price" (a
// bare number as the shop's shortest decimal text: 5.00 is "5"), category
// references carry numeric ids (and name and slug when known), meta entries get ids.
void Complete(TStore& store, TJson& row) {
  auto& ra = row.GetAllocator();
  const TValue* regular = Member(row, "regular_price");
  std::string price;
  if (regular && regular->IsNumber()) {
    price = DecimalText(regular->GetDouble());
  } else {
    price = TextOf(regular);
  }
  SetMember(row, "price", Str(price, ra), ra);
  if (TValue* categories = Member(row, "categories"); categories && categories->IsArray()) {
    for (auto& ref : categories->GetArray()) {
      auto id = IdOf(Member(ref, "id"));
      if (!id) continue;
      SetMember(ref, "id", TValue(*id), ra);
      if (auto it = store.Categories.find(*id); it != store.Categories.end()) {
        SetMember(ref, "name", TValue(*Member(it->second, "name"), ra), ra);
        SetMember(ref, "slug", TValue(*Member(it->second, "slug"), ra), ra);
      }
    }
  }
  if (TValue* meta = Member(row, "meta_data")) store.NumberMeta(*meta, ra);
}

// "name=option" pairs of a variation, sorted; empty when it has no attributes.
std::set<std::string> OptionsOf(const TValue& variation) {
  std::set<std::string> options;
  const TValue* attributes = Member(variation, "attributes");
  if (!attributes || !attributes->IsArray()) return options;
  for (const auto& attribute : attributes->GetArray()) {
    std::string name = TextOf(Member(attribute, "name"));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    options.insert(name + "=" + TextOf(Member(attribute, "option")));
  }
  return options;
}

void LinkVariation(TStore& store, int64_t productId, int64_t variationId, bool add) {
  auto it = store.Products.find(productId);
  if (it == store.Products.end()) return;
  TJson& product = it->second;
  auto& ra = product.GetAllocator();
  TValue* list = Member(product, "variations");
  if (!list || !list->IsArray()) {
    SetMember(product, "variations", TValue(rapidjson::kArrayType), ra);
    list = Member(product, "variations");
  }
  TValue rebuilt(rapidjson::kArrayType);
  for (const auto& v : list->GetArray()) {
    if (IdOf(&v) != variationId) rebuilt.PushBack(TValue(v, ra), ra);
  }
  if (add) rebuilt.PushBack(variationId, ra);
  *list = std::move(rebuilt);
}

// The multilingual extension keeps one translation of a product per
// language: a second one is refused, naming the first.
TValue TranslationExists(const TStore& store, const TValue& item, TAlloc& a) {
  auto of = IdOf(Member(item, "translation_of"));
  if (!of || *of == 0) return TValue();
  const std::string lang = TextOf(Member(item, "lang"));
  for (const auto& [id, row] : store.Products) {
    if (IdOf(Member(row, "translation_of")) != of || TextOf(Member(row, "lang")) != lang) continue;
    TValue data(rapidjson::kObjectType);
    data.AddMember("status", 400, a);
    data.AddMember("resource_id", id, a);
    return ItemErrorWithData(TValue(0), "translation_exists",
                             "A translation of this product in this language already exists.", std::move(data), a);
  }
  return TValue();
}

TValue CreateProduct(TStore& store, const TValue& item, TAlloc& a) {
  std::string sku = TextOf(Member(item, "sku"));
  if (int64_t existing = store.FindSku(sku)) return SkuError(store, existing, sku, a);
  if (TValue exists = TranslationExists(store, item, a); !exists.IsNull()) return exists;
  int64_t id = store.TakePostId();
  TJson row(rapidjson::kObjectType);
  auto& ra = row.GetAllocator();
  row.AddMember("id", id, ra);
  row.AddMember("name", "", ra);
  row.AddMember("slug", "", ra);
  row.AddMember("type", "simple", ra);
  row.AddMember("status", "publish", ra);
  row.AddMember("sku", "", ra);
  row.AddMember("regular_price", "", ra);
  row.AddMember("sale_price", "", ra);
  row.AddMember("tax_class", "", ra);
  row.AddMember("manage_stock", false, ra);
  row.AddMember("stock_quantity", TValue(), ra);
  row.AddMember("stock_status", "instock", ra);
  row.AddMember("categories", TValue(rapidjson::kArrayType), ra);
  row.AddMember("attributes", TValue(rapidjson::kArrayType), ra);
  row.AddMember("default_attributes", TValue(rapidjson::kArrayType), ra);
  row.AddMember("variations", TValue(rapidjson::kArrayType), ra);
  row.AddMember("meta_data", TValue(rapidjson::kArrayType), ra);
  Overlay(row, item);
  std::string slug = Slugify(TextOf(Member(row, "name")));
  SetMember(row, "slug", Str(slug.empty() ? "product-" + std::to_string(id) : slug, ra), ra);
  SetMember(row, "permalink", Str("/product/" + std::to_string(id) + "/", ra), ra);
  SetTimes(row, store.Now(), true);
  Complete(store, row);
  TValue result = ProductAnswer(row, a);
  store.IndexSku(TextOf(Member(row, "sku")), id, false, true);
  store.Products[id] = std::move(row);
  return result;
}

TValue UpdateProduct(TStore& store, const TValue& item, TAlloc& a) {
  const TValue* sentId = Member(item, "id");
  auto id = IdOf(sentId);
  auto it = id ? store.Products.find(*id) : store.Products.end();
  if (it == store.Products.end()) {
    return ItemError(TValue(*sentId, a), "woocommerce_rest_product_invalid_id", kInvalidId, 400, a);
  }
  if (Member(item, "sku")) {
    std::string sku = TextOf(Member(item, "sku"));
    if (int64_t existing = store.FindSku(sku, *id)) {
      TValue error = SkuError(store, existing, sku, a);
      error["id"] = TValue(*sentId, a);
      return error;
    }
  }
  store.IndexSku(TextOf(Member(it->second, "sku")), *id, false, false);
  Overlay(it->second, item);
  store.IndexSku(TextOf(Member(it->second, "sku")), *id, false, true);
  SetTimes(it->second, store.Now(), false);
  Complete(store, it->second);
  return ProductAnswer(it->second, a);
}

TValue DeleteProduct(TStore& store, int64_t id, TAlloc& a) {
  auto it = store.Products.find(id);
  if (it == store.Products.end()) {
    return ItemError(TValue(id), "woocommerce_rest_product_invalid_id", kInvalidId, 404, a);
  }
  TValue result = ProductAnswer(it->second, a);
  store.IndexSku(TextOf(Member(it->second, "sku")), id, false, false);
  store.Products.erase(it);
  for (auto v = store.Variations.begin(); v != store.Variations.end();) {
    if (IdOf(Member(v->second, "parent_id")) != id) {
      ++v;
      continue;
    }
    store.IndexSku(TextOf(Member(v->second, "sku")), v->first, true, false);
    v = store.Variations.erase(v);
  }
  return result;
}

TValue CreateVariation(TStore& store, int64_t productId, const TValue& item, TAlloc& a) {
  if (!store.Products.count(productId)) {
    return ItemError(TValue(0), "woocommerce_rest_product_invalid_id", kInvalidId, 404, a);
  }
  std::string sku = TextOf(Member(item, "sku"));
  if (int64_t existing = store.FindSku(sku)) return SkuError(store, existing, sku, a);
  auto options = OptionsOf(item);
  if (!options.empty()) {
    for (const auto& [vid, variation] : store.Variations) {
      if (IdOf(Member(variation, "parent_id")) == productId && OptionsOf(variation) == options) {
        TValue data(rapidjson::kObjectType);
        data.AddMember("status", 400, a);
        data.AddMember("resource_id", vid, a);
        return ItemErrorWithData(TValue(0), "term_exists",
                                 "A variation with these attribute options already exists.",
                                 std::move(data), a);
      }
    }
  }
  int64_t id = store.TakePostId();
  TJson row(rapidjson::kObjectType);
  auto& ra = row.GetAllocator();
  row.AddMember("id", id, ra);
  row.AddMember("parent_id", productId, ra);
  row.AddMember("status", "publish", ra);
  row.AddMember("sku", "", ra);
  row.AddMember("regular_price", "", ra);
  row.AddMember("sale_price", "", ra);
  row.AddMember("manage_stock", false, ra);
  row.AddMember("stock_quantity", TValue(), ra);
  row.AddMember("stock_status", "instock", ra);
  row.AddMember("attributes", TValue(rapidjson::kArrayType), ra);
  row.AddMember("meta_data", TValue(rapidjson::kArrayType), ra);
  Overlay(row, item);
  SetMember(row, "permalink", Str("/product/" + std::to_string(productId) + "/?variation=" +
                                      std::to_string(id), ra), ra);
  SetTimes(row, store.Now(), true);
  Complete(store, row);
  TValue result = ProductAnswer(row, a);
  store.IndexSku(TextOf(Member(row, "sku")), id, true, true);
  store.Variations[id] = std::move(row);
  LinkVariation(store, productId, id, true);
  return result;
}

std::map<int64_t, TJson>::iterator FindVariation(TStore& store, int64_t productId,
                                                 std::optional<int64_t> id) {
  auto it = id ? store.Variations.find(*id) : store.Variations.end();
  if (it != store.Variations.end() && IdOf(Member(it->second, "parent_id")) != productId) {
    return store.Variations.end();
  }
  return it;
}

TValue UpdateVariation(TStore& store, int64_t productId, const TValue& item, TAlloc& a) {
  const TValue* sentId = Member(item, "id");
  auto id = IdOf(sentId);
  auto it = FindVariation(store, productId, id);
  if (it == store.Variations.end()) {
    return ItemError(TValue(*sentId, a), "woocommerce_rest_product_variation_invalid_id", kInvalidId,
                     400, a);
  }
  if (Member(item, "sku")) {
    std::string sku = TextOf(Member(item, "sku"));
    if (int64_t existing = store.FindSku(sku, *id)) {
      TValue error = SkuError(store, existing, sku, a);
      error["id"] = TValue(*sentId, a);
      return error;
    }
  }
  store.IndexSku(TextOf(Member(it->second, "sku")), *id, true, false);
  Overlay(it->second, item);
  store.IndexSku(TextOf(Member(it->second, "sku")), *id, true, true);
  SetTimes(it->second, store.Now(), false);
  Complete(store, it->second);
  return ProductAnswer(it->second, a);
}

TValue DeleteVariation(TStore& store, int64_t productId, int64_t id, TAlloc& a) {
  auto it = FindVariation(store, productId, id);
  if (it == store.Variations.end()) {
    return ItemError(TValue(id), "woocommerce_rest_product_variation_invalid_id", kInvalidId, 404, a);
  }
  TValue result = ProductAnswer(it->second, a);
  store.IndexSku(TextOf(Member(it->second, "sku")), id, true, false);
  store.Variations.erase(it);
  LinkVariation(store, productId, id, false);
  return result;
}

}  // namespace

TShopResponse ProductBatch(TStore& store, const std::string& body) {
  TBatchOps ops;
  ops.Create = [&](const TValue& item, TAlloc& a) { return CreateProduct(store, item, a); };
  ops.Update = [&](const TValue& item, TAlloc& a) { return UpdateProduct(store, item, a); };
  ops.Delete = [&](int64_t id, TAlloc& a) { return DeleteProduct(store, id, a); };
  return RunBatch(body, ops);
}

TShopResponse VariationBatch(TStore& store, int64_t productId, const std::string& body) {
  TBatchOps ops;
  ops.Create = [&](const TValue& item, TAlloc& a) { return CreateVariation(store, productId, item, a); };
  ops.Update = [&](const TValue& item, TAlloc& a) { return UpdateVariation(store, productId, item, a); };
  ops.Delete = [&](int64_t id, TAlloc& a) { return DeleteVariation(store, productId, id, a); };
  return RunBatch(body, ops);
}

}  // namespace ooa::standin
