// The stand-in's contract: one list of requests goes to the stand-in shop and
// to the real shop, and what the adaptor reads of the answers must agree:
// the HTTP status, each error's code and "data" (ids replaced by the names of
// the requests that made them, since the shops number differently), the
// result arrays by position, the members named per request, and the paging
// header. The stand-in keeps the multilingual extension's contract ("lang",
// "translation_of", "term_exists" for a variation that repeats one), which a
// plain shop lacks, so the list leaves those out.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>

#include "realshop/RealShop.h"
#include "support/ShopStandin.h"

namespace ooa::test {
namespace {

using TQuery = std::vector<std::pair<std::string, std::string>>;

struct TStep {
  std::string Name;
  std::string Method;  // GET or POST
  std::string Resource;
  std::string Body;
  TQuery Query;
  std::vector<std::pair<std::string, std::string>> Capture;  // placeholder name -> member path
  std::vector<std::string> Compare;                          // member paths compared besides errors
};

// One shop's side of the run: its client and the ids its answers gave.
struct TSide {
  TShopClient& Client;
  std::map<std::string, std::string> Ids;

  std::string Fill(std::string text) const {
    for (const auto& [name, id] : Ids) {
      const std::string key = "{" + name + "}";
      for (size_t at; (at = text.find(key)) != std::string::npos;) text.replace(at, key.size(), id);
    }
    return text;
  }
};

std::string Text(const rapidjson::Value& v) {
  if (v.IsString()) return v.GetString();
  if (v.IsInt64()) return std::to_string(v.GetInt64());
  if (v.IsUint64()) return std::to_string(v.GetUint64());
  return JsonOf(v);
}

// The value at a path of members and array positions ("create/0/id").
const rapidjson::Value* At(const rapidjson::Value& root, const std::string& path) {
  const rapidjson::Value* v = &root;
  std::stringstream parts(path);
  for (std::string part; std::getline(parts, part, '/');) {
    if (v->IsArray()) {
      const auto index = static_cast<rapidjson::SizeType>(std::stoul(part));
      if (index >= v->Size()) return nullptr;
      v = &(*v)[index];
    } else if (v->IsObject() && v->HasMember(part.c_str())) {
      v = &(*v)[part.c_str()];
    } else {
      return nullptr;
    }
  }
  return v;
}

// A value's JSON with the ids of this side written as their placeholder names
// (in members that hold ids: "id", "resource_id", "parent", "parent_id" and
// the elements of "variations").
std::string Normalised(const rapidjson::Value& v, const TSide& side, bool holdsId = false) {
  if (holdsId && (v.IsString() || v.IsNumber())) {
    const std::string text = Text(v);
    for (const auto& [name, id] : side.Ids)
      if (id == text) return "{" + name + "}";
  }
  if (v.IsObject()) {
    std::string out = "{";
    for (const auto& m : v.GetObject()) {
      const std::string name = m.name.GetString();
      const bool ids = name == "id" || name == "resource_id" || name == "parent" || name == "parent_id" ||
                       name == "variations";
      out += (out.size() > 1 ? "," : "") + name + ":" + Normalised(m.value, side, ids);
    }
    return out + "}";
  }
  if (v.IsArray()) {
    std::string out = "[";
    for (const auto& e : v.GetArray()) out += (out.size() > 1 ? "," : "") + Normalised(e, side, holdsId);
    return out + "]";
  }
  return Text(v);
}

std::string ErrorSummary(const rapidjson::Value& error, const TSide& side) {
  const rapidjson::Value* code = At(error, "code");
  const rapidjson::Value* data = At(error, "data");
  return "error " + (code ? Text(*code) : "?") + " data " + (data ? Normalised(*data, side) : "-");
}

// What the adaptor reads of one answer, in a form both shops can share.
std::string Summary(const TStep& step, const TShopAnswer& answer, const TSide& side) {
  std::string out = "status " + std::to_string(answer.Status);
  const rapidjson::Value& json = answer.Json;
  if (json.IsObject() && json.HasMember("code")) return out + "; " + ErrorSummary(json, side);
  if (json.IsArray()) out += "; " + std::to_string(json.Size()) + " items, X-WP-Total " + answer.Header("X-WP-Total");
  for (const char* array : {"create", "update", "delete"}) {
    const rapidjson::Value* results = json.IsObject() ? At(json, array) : nullptr;
    if (!results || !results->IsArray()) continue;
    for (rapidjson::SizeType i = 0; i < results->Size(); ++i) {
      const rapidjson::Value& element = (*results)[i];
      out += "; " + std::string(array) + "[" + std::to_string(i) + "] ";
      const rapidjson::Value* error = At(element, "error");
      out += error && !error->IsNull() ? ErrorSummary(*error, side) : "id " + Normalised(*At(element, "id"), side, true);
    }
  }
  for (const std::string& path : step.Compare) {
    const rapidjson::Value* v = At(json, path);
    const std::string last = path.substr(path.rfind('/') + 1);
    const bool ids = last == "id" || last == "parent" || last == "parent_id" || last == "variations";
    out += "; " + path + " = " + (v ? Normalised(*v, side, ids) : "-");
  }
  return out;
}

std::string RunStep(const TStep& step, TSide& side) {
  const std::string resource = side.Fill(step.Resource);
  TQuery query;
  for (const auto& [name, value] : step.Query) query.emplace_back(name, side.Fill(value));
  TShopAnswer answer =
      step.Method == "GET" ? side.Client.Get(resource, query) : side.Client.Post(resource, side.Fill(step.Body));
  for (const auto& [name, path] : step.Capture) {
    if (const rapidjson::Value* v = answer.Json.IsNull() ? nullptr : At(answer.Json, path)) side.Ids[name] = Text(*v);
  }
  return Summary(step, answer, side);
}

std::vector<TStep> Steps() {
  const std::string p = RunTag();
  const std::string unknown = "999999999";
  std::string tooMany = R"({"delete":[)";
  for (int i = 0; i < 101; ++i) tooMany += (i ? "," : "") + Quoted(unknown);
  tooMany += "]}";
  const std::string categories = "products/categories/batch";
  return {
      {"category create", "POST", categories, R"({"create":[{"name":)" + Quoted(p + " Beer & Cider") + "}]}",
       {}, {{"cat", "create/0/id"}}, {"create/0/name", "create/0/parent"}},
      {"category same name and parent, unknown parent", "POST", categories,
       R"({"create":[{"name":)" + Quoted(p + " Beer & Cider") + R"(},{"name":)" + Quoted(p + " beer  &amp; cider") +
           R"(},{"name":)" + Quoted(p + " Child") + R"(,"parent":"{cat}"},{"name":"x","parent":")" + unknown +
           R"("},{"name":""}]})",
       {}, {{"child", "create/2/id"}}, {"create/2/parent"}},
      {"category updates", "POST", categories,
       R"({"update":[{"id":"{child}","name":)" + Quoted(p + " Child 2") + R"(},{"id":")" + unknown +
           R"(","name":"x"},{"id":"{child}","parent":")" + unknown + R"("}]})",
       {}, {}, {"update/0/name"}},
      {"category deletes", "POST", categories, R"({"delete":[")" + unknown + R"(","{child}"]})"},
      {"product creates", "POST", "products/batch",
       R"({"create":[{"name":)" + Quoted(p + " Fish & Chips") + R"(,"sku":)" + Quoted(p + "-S1") +
           R"(,"regular_price":  5.00,"type":"simple","manage_stock":true,"stock_quantity":3,"stock_status":"instock",)"
           R"("categories":[{"id":"{cat}"}],"meta_data":[{"key":"barcode","value":"123"}]},{"name":)" +
           Quoted(p + " Lager") + R"(,"sku":)" + Quoted(p + "-V") +
           R"(,"type":"variable","attributes":[{"name":"Variations","visible":true,"variation":true,)"
           R"("options":["Single","Six"]}]},{"name":"again","sku":)" + Quoted(p + "-S1") + "}]}",
       {}, {{"simple", "create/0/id"}, {"variable", "create/1/id"}},
       {"create/0/name", "create/0/sku", "create/0/stock_quantity", "create/0/price", "create/0/regular_price",
        "create/0/categories/0/id", "create/1/type"}},
      {"variation creates", "POST", "products/{variable}/variations/batch",
       R"({"create":[{"sku":)" + Quoted(p + "-V-PK1") +
           R"(,"manage_stock":true,"stock_quantity":4,"stock_status":"instock","regular_price":  3.30,)"
           R"("attributes":[{"name":"Variations","option":"Single"}]},{"sku":)" + Quoted(p + "-S1") +
           R"(,"attributes":[{"name":"Variations","option":"Six"}]}]})",
       {}, {{"pk1", "create/0/id"}}, {"create/0/sku", "create/0/stock_quantity", "create/0/price"}},
      {"a product lists its variations", "GET", "products/{variable}", "", {}, {}, {"variations", "type"}},
      {"updates and deletes of unknown products", "POST", "products/batch",
       R"({"update":[{"id":")" + unknown + R"(","stock_quantity":1}],"delete":[")" + unknown + R"("]})"},
      {"updates and deletes of unknown variations", "POST", "products/{variable}/variations/batch",
       R"({"update":[{"id":")" + unknown + R"(","stock_quantity":1},{"id":"{pk1}","stock_quantity":7,)"
           R"("stock_status":"instock"}],"delete":[")" + unknown + R"("]})",
       {}, {}, {"update/1/stock_quantity"}},
      {"more than 100 items", "POST", "products/batch", tooMany},
      {"orders of an unknown status", "GET", "orders", "", {{"status", "bogus"}}},
      {"orders of a status in its stored form", "GET", "orders", "", {{"status", "wc-processing"}}},
      {"orders with bad parameters", "GET", "orders", "", {{"per_page", "101"}, {"modified_after", "2024-03-05"}}},
      {"orders modified after a time to come", "GET", "orders", "",
       {{"modified_after", "2099-01-01T00:00:00"}, {"dates_are_gmt", "1"}, {"per_page", "100"}, {"orderby", "id"},
        {"order", "asc"}}},
      {"refunds of an unknown order", "GET", "orders/" + unknown + "/refunds", "", {{"per_page", "100"}}},
      {"an unknown order", "GET", "orders/" + unknown},
      {"a doubled slash", "GET", "/orders"},
      {"product deletes", "POST", "products/batch", R"({"delete":["{simple}","{variable}"]})"},
      {"category delete", "POST", categories, R"({"delete":["{cat}"]})"},
  };
}

TEST(StandinContract, AnswersAsTheRealShopDoes) {
  OOA_REQUIRE_REAL_SHOP(shop);
  TShopStandin standin;
  TShopClient real(shop.Url, shop.Key, shop.Secret);
  TShopClient stand(standin.BaseUrl(), "ck_standin", "cs_standin");
  TSide realSide{real, {}}, standSide{stand, {}};
  for (const TStep& step : Steps()) {
    const std::string expected = RunStep(step, realSide);
    const std::string got = RunStep(step, standSide);
    EXPECT_EQ(got, expected) << step.Name;
    std::cout << "[contract] " << step.Name << ": " << (got == expected ? "same" : "DIFFERENT") << "\n  real:     "
              << expected << "\n";
    if (got != expected) std::cout << "  stand-in: " << got << "\n";
  }

  // A wrong secret: the shop's 401 and its code.
  TShopClient wrongReal(shop.Url, shop.Key, shop.Secret + "x"), wrongStand(standin.BaseUrl(), "ck_standin", "nope");
  TSide a{wrongReal, {}}, b{wrongStand, {}};
  const TStep wrong{"a wrong secret", "GET", "orders"};
  EXPECT_EQ(RunStep(wrong, b), RunStep(wrong, a));
}

}  // namespace
}  // namespace ooa::test
