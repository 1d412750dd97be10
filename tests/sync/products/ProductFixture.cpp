#include "sync/products/ProductFixture.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "config/UtilUnit.h"

namespace ooa::test {

TProductTest::TProductTest() {
  Config.WarehouseCode = "1";
  SetConfig(Config);
  Category({.Code = "WINE", .Description = "Wine", .D1 = "Wine zh", .WooID = "20", .T1 = "21"});
}

void TProductTest::Product(const TProductSeed& s) {
  auto t = [](const std::string& text) { return SqlTextLiteral(text); };
  auto f = [](double v) { return FloatToText(v); };
  std::string cols = "ProductCode, Category, Description, Description1, Description2, Description3, OnlineOrderItem, "
                     "ModifyDate, Live, OpenPrice, Scalable, GSTRate, GSTStatus, DefaultSalesPrice, MultiplePrice, "
                     "StockControl, MeasureQty, StockQty1, BarCode";
  std::string vals = t(s.Code) + ", " + t(s.Category) + ", " + t(s.Description) + ", " + t(s.D1) + ", " + t(s.D2) +
                     ", " + t(s.D3) + ", " + BoolToSqlBit(s.Online) + ", " + kChangeTime + ", " +
                     BoolToSqlBit(s.Live) + ", " + BoolToSqlBit(s.OpenPrice) + ", " + BoolToSqlBit(s.Scalable) + ", " +
                     f(s.GSTRate) + ", " + BoolToSqlBit(s.GSTStatus) + ", " + std::to_string(s.DefaultSalesPrice) +
                     ", " + BoolToSqlBit(s.MultiplePrice) + ", " + BoolToSqlBit(s.StockControl) + ", " +
                     f(s.MeasureQty) + ", " + f(s.Stock) + ", " + t(s.BarCode);
  for (int level = 1; level <= 6; ++level) {
    const std::string n = std::to_string(level);
    const std::string suffix = level == 1 ? "" : std::to_string(level - 1);
    cols += ", SalesPrice" + n + ", OnlinePrice" + n + ", DeductStockQty" + suffix + ", SubDescription" + suffix;
    vals += ", " + f(s.Sales[level - 1]) + ", " + f(s.OnlinePrices[level - 1]) + ", " + f(s.Deduct[level - 1]) +
            ", " + t(s.Subs[level - 1]);
  }
  Exec("Insert Into Product (" + cols + ") Values (" + vals + ");");
  if (!s.Extend) return;
  std::string ecols = "ProductCode, WooID, Translate1, Translate2, Translate3, LastStockUpdatedAt";
  std::string evals = t(s.Code) + ", " + t(s.WooID) + ", " + t(s.T1) + ", " + t(s.T2) + ", " + t(s.T3) + ", " +
                      kChangeTime;
  for (int level = 1; level <= 6; ++level) {
    ecols += ", WooVarID" + std::to_string(level);
    evals += ", " + t(s.VarIDs[level - 1]);
  }
  Exec("Insert Into ProductExtend (" + ecols + ") Values (" + evals + ");");
}

std::string TProductTest::Extend(const std::string& code, const std::string& column) {
  TRecordSet rows = Rows("Select " + column + " From ProductExtend Where ProductCode = " + SqlTextLiteral(code));
  return rows.RecordCount() ? rows.Rows[0][0].AsString() : "<no row>";
}

void TProductTest::TouchProduct(const std::string& code) {
  FixedClock.Advance(60);
  Exec("Update Product Set ModifyDate = " + SqlDateTimeLiteral(FixedClock.NowLocal()) +
       " Where ProductCode = " + SqlTextLiteral(code) + ";");
  FixedClock.Advance(60);
}

void TProductTest::TouchStock(const std::string& code) {
  FixedClock.Advance(60);
  Exec("Update ProductExtend Set LastStockUpdatedAt = " + SqlDateTimeLiteral(FixedClock.NowLocal()) +
       " Where ProductCode = " + SqlTextLiteral(code) + ";");
  FixedClock.Advance(60);
}

std::vector<TShopRequest> TProductTest::Requests(const std::string& suffix) {
  rapidjson::Document log;
  log.Parse(AdminGet("/standin/requests").c_str());
  std::vector<TShopRequest> out;
  if (!log.IsArray()) return out;
  const std::string prefix = "/wp-json/wc/v3/";
  for (const auto& entry : log.GetArray()) {
    std::string path = entry["path"].GetString();
    if (path.rfind(prefix, 0) == 0) path = path.substr(prefix.size());
    if (path.size() < suffix.size() || path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    out.push_back({path, entry["body"].GetString()});
  }
  return out;
}

rapidjson::Document TProductTest::ShopTable(const char* table) {
  rapidjson::Document state = ParseJson(AdminGet("/standin/state"));
  rapidjson::Document out(rapidjson::kArrayType);
  if (state.IsObject() && state.HasMember(table)) out.CopyFrom(state[table], out.GetAllocator());
  return out;
}

void TProductTest::SeedShop(const std::string& products, const std::string& variations) {
  AdminPost("/standin/state", "{\"categories\": [{\"id\": 20, \"name\": \"Wine\", \"slug\": \"wine\"}], \"products\": " + products +
                                  ", \"variations\": " + variations + "}");
}

void TProductTest::Fault(const std::string& route, int status, const std::string& body) {
  rapidjson::Document fault(rapidjson::kObjectType);
  auto& a = fault.GetAllocator();
  fault.AddMember("route", rapidjson::Value(route, a), a);
  fault.AddMember("status", status, a);
  fault.AddMember("body", rapidjson::Value(body, a), a);
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  fault.Accept(writer);
  AdminPost("/standin/faults", buffer.GetString());
}

std::string RawMember(const std::string& body, const std::string& sku, const std::string& member) {
  const size_t at = body.find("\"sku\":\"" + sku + "\"");
  if (at == std::string::npos) return "";
  const size_t begin = body.find("\"" + member + "\":", at);
  if (begin == std::string::npos) return "";
  const size_t valueStart = begin + member.size() + 3;
  const size_t end = body.find_first_of(",}", valueStart);
  return body.substr(valueStart, end - valueStart);
}

rapidjson::Document ParseJson(const std::string& text) {
  rapidjson::Document doc;
  doc.Parse<rapidjson::kParseNumbersAsStringsFlag>(text.c_str(), text.size());
  return doc;
}

rapidjson::Value TProductTest::Stored(const char* table, const std::string& id) {
  rapidjson::Document rows = ShopTable(table);
  for (auto& row : rows.GetArray())
    if (MemberText(row, "id") == id) return rapidjson::Value(row, Scratch.GetAllocator());
  return rapidjson::Value();
}

}  // namespace ooa::test
