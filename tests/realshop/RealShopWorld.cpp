#include "realshop/RealShopWorld.h"

#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>

#include "config/Clock.h"
#include "config/UtilUnit.h"
#include "sync/Passes.h"
#include "support/PosDatabase.h"

namespace ooa::test {

void TRealShopTest::SetUp() {
  auto address = RealShopAddress();
  if (!address) GTEST_SKIP() << "WOO_URL, WOO_KEY and WOO_SECRET name no shop";
  Address = *address;
  Shop = std::make_unique<TShopClient>(Address.Url, Address.Key, Address.Secret);
  ActivityLog().SetSink(&Log);
}

void TRealShopTest::TearDown() {
  if (HasFailure()) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::ofstream out(std::string("realshop-") + info->name() + ".log");
    for (const std::string& line : Log.Lines()) out << line << "\n";
  }
  Woo.reset();
  Db.reset();
  ActivityLog().SetSink(nullptr);
  SetConfig(TConfig{});
}

void TRealShopTest::OpenPos(bool demo) {
  Woo.reset();
  Db.reset();
  const std::string file = Dir.File("POS" + std::to_string(++Opened) + ".DB");
  CreatePosDatabase(file, demo ? std::vector<std::string>{"--demo"} : std::vector<std::string>{});
  Config = TConfig{};
  Config.ServerName = "(EMBEDDED)";
  Config.DatabaseName = file;
  Config.Url = Address.Url;
  Config.Key = Address.Key;
  Config.Secret = Address.Secret;
  Config.PrinterName = "N/A";
  Config.WarehouseCode = "1";
  Config.Desc1 = 1;  // en; a plain shop has no translations
  Config.Debug = true;
  SetConfig(Config);
  Db = std::make_unique<TDatabaseModule>();
  Woo = std::make_unique<TWooModule>(*Db);
  ASSERT_TRUE(Db->ConnectToServer(Config)) << "cannot open " << file;
  Woo->Init(Config);
}

void TRealShopTest::Exec(const std::string& sql) {
  std::string error;
  if (!Db->ExecQueryPro(sql, error)) ADD_FAILURE() << error << "\n" << sql;
}

TRecordSet TRealShopTest::Rows(const std::string& sql) {
  return Db->SelectRows(sql);
}

std::string TRealShopTest::Value(const std::string& sql) {
  TRecordSet rows = Rows(sql);
  return rows.RecordCount() ? rows.Rows[0][0].AsString() : "";
}

namespace {

int CountRequests(const std::vector<std::string>& lines, size_t from) {
  int n = 0;
  for (size_t i = from; i < lines.size(); ++i)
    if (lines[i].rfind("URI: ", 0) == 0) ++n;
  return n;
}

}  // namespace

void TRealShopTest::CataloguePass() {
  LinesBefore = Log.Lines().size();
  RunCatalogPass(*Woo);
  LastPassRequests = CountRequests(Log.Lines(), LinesBefore);
}

void TRealShopTest::OrderPass() {
  LinesBefore = Log.Lines().size();
  RunOrderPass(*Woo);
  LastPassRequests = CountRequests(Log.Lines(), LinesBefore);
}

void TRealShopTest::NextSecond() { std::this_thread::sleep_for(std::chrono::milliseconds(1100)); }

double Number(const rapidjson::Value* value) {
  if (!value) return std::nan("");
  if (value->IsNumber()) return value->GetDouble();
  if (value->IsString()) {
    char* end = nullptr;
    const double d = std::strtod(value->GetString(), &end);
    if (end != value->GetString()) return d;
  }
  return std::nan("");
}

}  // namespace ooa::test
