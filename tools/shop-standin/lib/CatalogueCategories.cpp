// products/categories/batch: product categories (terms). A name must be unique
// under one parent within one language (an entry without "lang", as a shop
// without the multilingual extension sees every entry, meets the names of
// every language); names are compared, kept and answered in the shop's form
// (ShopNames.h). Deletes are permanent and move the children up to the
// deleted category's parent.
#include <algorithm>
#include <cctype>

#include "Catalogue.h"
#include "CatalogueBatch.h"
#include "ShopNames.h"

namespace ooa::standin {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The parent id of an entry: absent, null, "" and 0 mean top level. nullopt when the
// value names no stored category.
std::optional<int64_t> ParentOf(const TStore& store, const TValue* parent) {
  if (!parent || parent->IsNull() || (parent->IsString() && parent->GetStringLength() == 0)) {
    return 0;
  }
  auto id = IdOf(parent);
  if (!id) return std::nullopt;
  if (*id != 0 && !store.Categories.count(*id)) return std::nullopt;
  return *id;
}

std::string UniqueSlug(const TStore& store, const std::string& name, int64_t self) {
  std::string base = Slugify(name);
  if (base.empty()) base = "category";
  std::string slug = base;
  for (int n = 2;; ++n) {
    bool taken = std::any_of(store.Categories.begin(), store.Categories.end(), [&](const auto& row) {
      return row.first != self && TextOf(Member(row.second, "slug")) == slug;
    });
    if (!taken) return slug;
    slug = base + "-" + std::to_string(n);
  }
}

TValue CreateCategory(TStore& store, const TValue& item, TAlloc& a) {
  std::string name = TextOf(Member(item, "name"));
  if (name.empty()) {
    return ItemError(TValue(0), "empty_term_name", "A name is required for this term.", 400, a);
  }
  auto parent = ParentOf(store, Member(item, "parent"));
  if (!parent) {
    return ItemError(TValue(0), "missing_parent", "Parent term does not exist.", 400, a);
  }
  const TValue* lang = Member(item, "lang");
  const std::string shopName = Lower(ShopTermName(name));
  for (const auto& [id, row] : store.Categories) {
    if (IdOf(Member(row, "parent")).value_or(0) == *parent &&
        (!lang || TextOf(Member(row, "lang")) == TextOf(lang)) &&
        Lower(ShopTermName(TextOf(Member(row, "name")))) == shopName) {
      TValue data(rapidjson::kObjectType);
      data.AddMember("status", 400, a);
      data.AddMember("resource_id", id, a);
      return ItemErrorWithData(TValue(0), "term_exists",
                               "A term with the name provided already exists with this parent.",
                               std::move(data), a);
    }
  }
  int64_t id = store.NextTermId++;
  TJson row(rapidjson::kObjectType);
  auto& ra = row.GetAllocator();
  row.AddMember("id", id, ra);
  row.AddMember("name", Str(name, ra), ra);
  row.AddMember("slug", Str(UniqueSlug(store, name, id), ra), ra);
  row.AddMember("parent", *parent, ra);
  row.AddMember("description", "", ra);
  row.AddMember("display", "default", ra);
  row.AddMember("image", TValue(), ra);
  row.AddMember("menu_order", 0, ra);
  row.AddMember("count", 0, ra);
  for (const auto& m : item.GetObject()) {
    std::string key = m.name.GetString();
    if (key == "id" || key == "name" || key == "parent" || key == "slug") continue;
    SetMember(row, key, TValue(m.value, ra), ra);
  }
  TValue result = CategoryAnswer(row, a);
  store.Categories[id] = std::move(row);
  return result;
}

TValue UpdateCategory(TStore& store, const TValue& item, TAlloc& a) {
  const TValue* sentId = Member(item, "id");
  auto id = IdOf(sentId);
  auto it = id ? store.Categories.find(*id) : store.Categories.end();
  if (it == store.Categories.end()) {
    return ItemError(TValue(*sentId, a), "invalid_taxonomy", "Invalid taxonomy.", 0, a);
  }
  TJson& row = it->second;
  auto& ra = row.GetAllocator();
  if (const TValue* name = Member(item, "name"); name && TextOf(name).empty()) {
    return ItemError(TValue(*id), "empty_term_name", "A name is required for this term.", 0, a);
  }
  if (const TValue* parentValue = Member(item, "parent")) {
    auto parent = ParentOf(store, parentValue);
    if (!parent) {
      return ItemError(TValue(*id), "missing_parent", "Parent term does not exist.", 0, a);
    }
    // A category made its own parent goes to the top level.
    SetMember(row, "parent", TValue(*parent == *id ? 0 : *parent), ra);
  }
  for (const auto& m : item.GetObject()) {
    std::string key = m.name.GetString();
    if (key == "id" || key == "parent") continue;
    SetMember(row, key, TValue(m.value, ra), ra);
  }
  return CategoryAnswer(row, a);
}

TValue DeleteCategory(TStore& store, int64_t id, TAlloc& a) {
  auto it = store.Categories.find(id);
  if (it == store.Categories.end()) {
    return ItemError(TValue(id), "woocommerce_rest_cannot_delete", "The resource cannot be deleted.", 500, a);
  }
  TValue result = CategoryAnswer(it->second, a);
  int64_t parent = IdOf(Member(it->second, "parent")).value_or(0);
  store.Categories.erase(it);
  for (auto& [childId, child] : store.Categories) {
    if (IdOf(Member(child, "parent")).value_or(0) == id) {
      SetMember(child, "parent", TValue(parent), child.GetAllocator());
    }
  }
  return result;
}

}  // namespace

TShopResponse CategoryBatch(TStore& store, const std::string& body) {
  TBatchOps ops;
  ops.Create = [&](const TValue& item, TAlloc& a) { return CreateCategory(store, item, a); };
  ops.Update = [&](const TValue& item, TAlloc& a) { return UpdateCategory(store, item, a); };
  ops.Delete = [&](int64_t id, TAlloc& a) { return DeleteCategory(store, id, a); };
  return RunBatch(body, ops);
}

}  // namespace ooa::standin
