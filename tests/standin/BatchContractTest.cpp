// The catalogue batch endpoints: the item limit, results by position, the per-item
// errors that name the existing object, and what the shop keeps.
#include <gtest/gtest.h>

#include "StandinHarness.h"

namespace ooa::standin::test {
namespace {

class BatchContract : public ::testing::Test {
 protected:
  // POSTs a batch and answers the parsed result (the status must be 200).
  rapidjson::Document Batch(const std::string& resource, const std::string& json) {
    auto result = Shop.Post(resource, json);
    EXPECT_TRUE(result);
    EXPECT_EQ(result->status, 200) << result->body;
    return ParsedBody(result);
  }
  int64_t CreatedId(const std::string& resource, const std::string& entry) {
    auto answer = Batch(resource, R"({"create":[)" + entry + "]}");
    EXPECT_TRUE(answer["create"][0].HasMember("id") && !answer["create"][0].HasMember("error"))
        << entry;
    return answer["create"][0]["id"].GetInt64();
  }
  rapidjson::Document State() {
    rapidjson::Document doc;
    doc.Parse(Shop.AdminGet("/standin/state").c_str());
    return doc;
  }

  TStandinHarness Shop;
};

std::string Items(const char* section, int count, const std::string& item) {
  std::string json = std::string("\"") + section + "\":[";
  for (int i = 0; i < count; ++i) json += (i ? "," : "") + item;
  return json + "]";
}

TEST_F(BatchContract, AtMostOneHundredItemsCountingAllSections) {
  struct TCase {
    int Create, Update, Delete, Status;
  } cases[] = {{100, 0, 0, 200}, {50, 25, 25, 200}, {101, 0, 0, 413}, {40, 40, 21, 413}, {0, 0, 101, 413}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Create << "+" << c.Update << "+" << c.Delete);
    std::string json = "{" + Items("create", c.Create, R"({"name":"x"})") + "," +
                       Items("update", c.Update, R"({"id":"99999","name":"y"})") + "," +
                       Items("delete", c.Delete, R"("99999")") + "}";
    auto result = Shop.Post("products/batch", json);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, c.Status);
    if (c.Status == 413) {
      auto body = ParsedBody(result);
      EXPECT_STREQ(body["code"].GetString(), "woocommerce_rest_request_entity_too_large");
      EXPECT_STREQ(body["message"].GetString(), "Unable to accept more than 100 items for this request.");
    }
  }
  // The refused requests created nothing; the accepted ones 150 products.
  EXPECT_EQ(State()["products"].Size(), 150u);
}

TEST_F(BatchContract, AnswersOnlyTheSectionsSent) {
  EXPECT_EQ(Shop.Post("products/batch", "{}")->body, "[]");
  auto answer = Batch("products/categories/batch", R"({"create":[{"name":"Tea"}],"delete":[]})");
  EXPECT_TRUE(answer.HasMember("create"));
  EXPECT_FALSE(answer.HasMember("update"));
  EXPECT_FALSE(answer.HasMember("delete"));
}

TEST_F(BatchContract, CategoryErrorsByPosition) {
  int64_t tea = CreatedId("products/categories/batch", R"({"name":"Tea","raw_name":"TEA","lang":"en"})");
  auto answer = Batch("products/categories/batch", R"({"create":[
      {"name":"tea","lang":"en"},
      {"name":"Tea","lang":"zh-hans","translation_of":")" + std::to_string(tea) + R"("},
      {"name":"Tea","lang":"en","parent":")" + std::to_string(tea) + R"("},
      {"name":"Coffee","parent":"424242"},
      {"name":"Tea","lang":"en","parent":""},
      {"name":" TEA\t"},
      {"name":"Beer & Cider <b>x</b>","lang":"en"},
      {"name":"Beer &amp; Cider  x","lang":"en"}],
    "update":[{"id":"424242","name":"Gone"},{"id":")" + std::to_string(tea) + R"(","name":"Green tea"}],
    "delete":["424242"]})");
  const auto& created = answer["create"];
  ASSERT_EQ(created.Size(), 8u);
  // Same name (any case), same parent, same language: the existing term is named.
  EXPECT_EQ(ErrorCode(created[0]), "term_exists");
  EXPECT_EQ(created[0]["id"].GetInt(), 0);
  EXPECT_EQ(created[0]["error"]["data"]["resource_id"].GetInt64(), tea);
  EXPECT_EQ(created[0]["error"]["data"]["status"].GetInt(), 400);
  // Another language or another parent is a new category.
  EXPECT_EQ(ErrorCode(created[1]), "");
  EXPECT_STREQ(created[1]["lang"].GetString(), "zh-hans");
  EXPECT_EQ(ErrorCode(created[2]), "");
  EXPECT_EQ(created[2]["parent"].GetInt64(), tea);
  EXPECT_EQ(ErrorCode(created[3]), "missing_parent");
  EXPECT_EQ(created[3]["error"]["data"]["status"].GetInt(), 400);
  // The empty parent text is the top level, so the name is taken again.
  EXPECT_EQ(ErrorCode(created[4]), "term_exists");
  EXPECT_EQ(created[4]["error"]["data"]["resource_id"].GetInt64(), tea);
  // Without "lang" (all a shop without the multilingual extension sees) the
  // name meets every language; names compare in the shop's form (blanks and
  // tags out, "&" as an entity) and are answered in it.
  EXPECT_EQ(ErrorCode(created[5]), "term_exists");
  EXPECT_EQ(created[5]["error"]["data"]["resource_id"].GetInt64(), tea);
  EXPECT_STREQ(created[6]["name"].GetString(), "Beer &amp; Cider x");
  EXPECT_EQ(ErrorCode(created[7]), "term_exists");
  EXPECT_EQ(created[7]["error"]["data"]["resource_id"], created[6]["id"]);
  // An unknown id cannot be deleted: the shop says so with status 500.
  EXPECT_EQ(ErrorCode(answer["delete"][0]), "woocommerce_rest_cannot_delete");
  EXPECT_EQ(answer["delete"][0]["error"]["data"]["status"].GetInt(), 500);

  const auto& updated = answer["update"];
  EXPECT_EQ(ErrorCode(updated[0]), "invalid_taxonomy");
  EXPECT_STREQ(updated[0]["id"].GetString(), "424242");
  EXPECT_TRUE(updated[0]["error"]["data"].IsNull());
  EXPECT_STREQ(updated[1]["name"].GetString(), "Green tea");
  EXPECT_STREQ(updated[1]["raw_name"].GetString(), "TEA");

  // The translation keeps its link to the main category.
  auto state = State();
  bool found = false;
  for (const auto& c : state["categories"].GetArray()) {
    if (c["lang"] == "zh-hans") {
      EXPECT_EQ(c["translation_of"], std::to_string(tea).c_str());
      found = true;
    }
  }
  EXPECT_TRUE(found);
}

TEST_F(BatchContract, SkuAndVariationErrorsNameTheExistingObject) {
  auto answer = Batch("products/batch", R"({"create":[
      {"name":"Wine","sku":"WINE","regular_price":  12.50,"type":"variable","lang":"en"},
      {"name":"Wine again","sku":"WINE"},
      {"name":"Wine zh","lang":"zh-hans","translation_of":"1"}]})");
  const auto& created = answer["create"];
  ASSERT_EQ(created.Size(), 3u);
  int64_t wine = created[0]["id"].GetInt64();
  EXPECT_STREQ(created[0]["price"].GetString(), "12.5");  // a bare number is accepted, as the shop writes it
  EXPECT_EQ(ErrorCode(created[1]), "product_invalid_sku");
  EXPECT_EQ(created[1]["error"]["data"]["resource_id"].GetInt64(), wine);
  EXPECT_STREQ(created[1]["error"]["data"]["unique_sku"].GetString(), "WINE-1");
  EXPECT_EQ(ErrorCode(created[2]), "");  // a translation has no SKU

  const std::string variations = "products/" + std::to_string(wine) + "/variations/batch";
  auto small = R"({"sku":"WINE-PK1","regular_price":10.00,"attributes":[{"name":"Variations","option":"Small"}]})";
  int64_t pk1 = CreatedId(variations, small);
  answer = Batch(variations, R"({"create":[
      {"sku":"WINE-PK2","attributes":[{"name":"Variations","option":"Small"}]},
      {"sku":"WINE","attributes":[{"name":"Variations","option":"Large"}]},
      {"sku":"WINE-PK2","attributes":[{"name":"Variations","option":"Large"}]}],
    "update":[{"id":")" + std::to_string(pk1) + R"(","stock_quantity":3},{"id":"1","stock_quantity":1}]})");
  const auto& v = answer["create"];
  EXPECT_EQ(ErrorCode(v[0]), "term_exists");  // same option, other SKU
  EXPECT_EQ(v[0]["error"]["data"]["resource_id"].GetInt64(), pk1);
  EXPECT_EQ(ErrorCode(v[1]), "product_invalid_sku");  // the SKU check comes first
  EXPECT_EQ(v[1]["error"]["data"]["resource_id"].GetInt64(), wine);
  EXPECT_EQ(ErrorCode(v[2]), "");
  EXPECT_EQ(v[2]["parent_id"].GetInt64(), wine);
  EXPECT_EQ(answer["update"][0]["stock_quantity"].GetInt(), 3);
  EXPECT_EQ(ErrorCode(answer["update"][1]), "woocommerce_rest_product_variation_invalid_id");

  answer = Batch("products/batch", R"({"update":[{"id":"777777","name":"x"}],"delete":[")" +
                                       std::to_string(wine) + R"(","777777"]})");
  EXPECT_EQ(ErrorCode(answer["update"][0]), "woocommerce_rest_product_invalid_id");
  EXPECT_EQ(answer["update"][0]["error"]["data"]["status"].GetInt(), 400);
  EXPECT_EQ(answer["delete"][0]["id"].GetInt64(), wine);
  EXPECT_EQ(ErrorCode(answer["delete"][1]), "woocommerce_rest_product_invalid_id");
  EXPECT_EQ(answer["delete"][1]["error"]["data"]["status"].GetInt(), 404);

  // Deletes are permanent and take the variations along; the SKU is free again.
  auto state = State();
  EXPECT_EQ(state["products"].Size(), 1u);
  EXPECT_EQ(state["variations"].Size(), 0u);
  EXPECT_EQ(ErrorCode(Batch("products/batch", R"({"create":[{"sku":"WINE"}]})")["create"][0]), "");
}

TEST_F(BatchContract, BodyMustBeJson) {
  auto result = Shop.Post("products/batch", "{not json");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 400);
  EXPECT_EQ(ErrorCode(ParsedBody(result)), "rest_invalid_json");
}

}  // namespace
}  // namespace ooa::standin::test
