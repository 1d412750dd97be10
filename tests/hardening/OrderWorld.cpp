#include "hardening/OrderWorld.h"

#include <httplib.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace ooa::test {

TOrderWorld::TOrderWorld() {
  TConfig config = Pos.Config;
  config.Url = Shop.BaseUrl();
  config.Key = ShopOptions.Key;
  config.Secret = ShopOptions.Secret;
  config.Debug = true;
  Configure(config);
  ActivityLog().SetSink(&Log);
}

TOrderWorld::~TOrderWorld() { ActivityLog().SetSink(nullptr); }

void TOrderWorld::Configure(const TConfig& config) {
  SetConfig(config);
  Woo.Init(config);
}

TConfig TOrderWorld::Settings() const { return ConfigSnapshot(); }

void TOrderWorld::AdminPost(const std::string& path, const std::string& body) {
  httplib::Client client(Shop.Origin());
  auto answer = client.Post(path, body, "application/json");
  ASSERT_TRUE(answer) << path;
  ASSERT_LT(answer->status, 300) << path << ": " << answer->body;
}

std::string TOrderWorld::AdminGet(const std::string& path) {
  httplib::Client client(Shop.Origin());
  auto answer = client.Get(path);
  return answer ? answer->body : std::string();
}

size_t TOrderWorld::ShopRequestCount() {
  rapidjson::Document log;
  log.Parse(AdminGet("/standin/requests").c_str());
  return log.IsArray() ? log.Size() : 0;
}

std::string JsonString(const std::string& text) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
  return buffer.GetString();
}

std::string MemberOrder(int id, const std::string& memberCode, const std::string& billing,
                        const std::string& shipping, const std::string& couponId, const std::string& extraSku) {
  const std::string extraLine =
      extraSku.empty() ? std::string()
                       : R"(, {"id": 12, "sku": )" + JsonString(extraSku) +
                             R"(, "quantity": 1, "subtotal": "1.00", "subtotal_tax": "0.10"})";
  return R"({"id": )" + std::to_string(id) + R"(, "status": "processing", "customer_id": 57,
  "payment_method": "stripe", "shipping_total": "0.00", "total": "44.00",
  "billing": {)" + billing + R"(}, "shipping": {)" + shipping + R"(},
  "shipping_lines": [{"id": 1, "method_id": "flat_rate", "total": "0.00"}],
  "line_items": [{"id": 11, "sku": "BEER-PK2", "quantity": 2, "subtotal": "40.00", "subtotal_tax": "4.00"})" + extraLine + R"(],
  "meta_data": [{"id": 91, "key": "_qev_loyalty_redemption", "value": {
      "memberCode": )" + JsonString(memberCode) + R"(, "redeemPointsDollar": "0", "pointsBalance": "0",
      "redeemPoints": "0", "redeemBasePoints": "0", "dealCouponDiscount": "0", "couponId": )" +
         JsonString(couponId) + R"(, "depositPayment": "0", "depositBalance": "0"}}],
  "refunds": []})";
}

}  // namespace ooa::test
