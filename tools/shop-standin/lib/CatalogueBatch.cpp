#include "CatalogueBatch.h"

#include <cctype>
#include <cstdio>

#include "Catalogue.h"
#include "ShopNames.h"

namespace ooa::standin {

TValue ItemError(TValue id, const std::string& code, const std::string& message, int status,
                 TAlloc& alloc) {
  TValue result(rapidjson::kObjectType);
  result.AddMember("id", id, alloc);
  result.AddMember("error", ErrorValue(code, message, status, alloc), alloc);
  return result;
}

TValue ItemErrorWithData(TValue id, const std::string& code, const std::string& message,
                         TValue data, TAlloc& alloc) {
  TValue error(rapidjson::kObjectType);
  error.AddMember("code", Str(code, alloc), alloc);
  error.AddMember("message", Str(message, alloc), alloc);
  error.AddMember("data", data, alloc);
  TValue result(rapidjson::kObjectType);
  result.AddMember("id", id, alloc);
  result.AddMember("error", error, alloc);
  return result;
}

TValue CategoryAnswer(const TValue& row, TAlloc& alloc) {
  TValue answer(row, alloc);
  if (const TValue* name = Member(row, "name"); name && name->IsString())
    SetMember(answer, "name", Str(ShopTermName(name->GetString()), alloc), alloc);
  return answer;
}

std::string DecimalText(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

TValue ProductAnswer(const TValue& row, TAlloc& alloc) {
  TValue answer(row, alloc);
  if (const TValue* regular = Member(row, "regular_price"); regular && regular->IsNumber())
    SetMember(answer, "regular_price", Str(DecimalText(regular->GetDouble()), alloc), alloc);
  if (const TValue* name = Member(row, "name"); name && name->IsString())
    SetMember(answer, "name", Str(ShopPostTitle(name->GetString()), alloc), alloc);
  if (TValue* categories = Member(answer, "categories"); categories && categories->IsArray()) {
    for (auto& ref : categories->GetArray()) {
      if (const TValue* name = Member(ref, "name"); name && name->IsString())
        SetMember(ref, "name", Str(ShopTermName(name->GetString()), alloc), alloc);
    }
  }
  return answer;
}

std::string Slugify(const std::string& text) {
  std::string slug;
  for (unsigned char c : text) {
    if (std::isalnum(c)) {
      slug += static_cast<char>(std::tolower(c));
    } else if (c >= 0x80) {
      slug += static_cast<char>(c);
    } else if (!slug.empty() && slug.back() != '-') {
      slug += '-';
    }
  }
  while (!slug.empty() && slug.back() == '-') slug.pop_back();
  return slug;
}

TShopResponse RunBatch(const std::string& body, const TBatchOps& ops) {
  auto doc = ParseJson(body.empty() ? std::string("{}") : body);
  if (!doc) return JsonError(400, "rest_invalid_json", "Invalid JSON body passed.");
  TJson answer(rapidjson::kObjectType);
  auto& a = answer.GetAllocator();
  TShopResponse response;
  if (!doc->IsObject()) {
    response.Body = "[]";
    return response;
  }
  size_t total = 0;
  for (const char* section : {"create", "update", "delete"}) {
    const TValue* items = Member(*doc, section);
    if (items && !items->IsNull() && !items->IsArray()) {
      return JsonError(400, "rest_invalid_param",
                       std::string("Invalid parameter(s): ") + section);
    }
    if (items && items->IsArray()) total += items->Size();
  }
  if (total > static_cast<size_t>(kBatchLimit)) {
    return JsonError(413, "woocommerce_rest_request_entity_too_large",
                     "Unable to accept more than " + std::to_string(kBatchLimit) +
                         " items for this request.");
  }
  // Sections run in the order create, update, delete.
  TValue created(rapidjson::kArrayType), updated(rapidjson::kArrayType), deleted(rapidjson::kArrayType);
  if (const TValue* items = Member(*doc, "create"); items && items->IsArray()) {
    for (const auto& item : items->GetArray()) {
      if (!item.IsObject()) {
        created.PushBack(ItemError(TValue(0), "rest_invalid_param", "Invalid parameter(s): create",
                                   400, a), a);
      } else {
        created.PushBack(ops.Create(item, a), a);
      }
    }
  }
  if (const TValue* items = Member(*doc, "update"); items && items->IsArray()) {
    for (const auto& item : items->GetArray()) {
      const TValue* id = Member(item, "id");
      if (!item.IsObject() || !id) {
        updated.PushBack(ItemError(TValue(), "rest_invalid_param", "Invalid parameter(s): id", 400,
                                   a), a);
      } else {
        updated.PushBack(ops.Update(item, a), a);
      }
    }
  }
  if (const TValue* items = Member(*doc, "delete"); items && items->IsArray()) {
    for (const auto& item : items->GetArray()) {
      auto id = IdOf(&item);
      if (!id || *id == 0) continue;  // the shop skips ids that read as 0
      deleted.PushBack(ops.Delete(*id, a), a);
    }
  }
  auto sectionSent = [&](const char* name) {
    const TValue* items = Member(*doc, name);
    return items && items->IsArray() && !items->Empty();
  };
  if (sectionSent("create")) answer.AddMember("create", created, a);
  if (sectionSent("update")) answer.AddMember("update", updated, a);
  if (sectionSent("delete")) answer.AddMember("delete", deleted, a);
  response.Body = answer.MemberCount() == 0 ? "[]" : ToText(answer);
  response.Mutated = answer.MemberCount() != 0;
  return response;
}

}  // namespace ooa::standin
