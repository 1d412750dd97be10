#include "sync/catalog/CatalogFixture.h"

#include <httplib.h>

#include "config/UtilUnit.h"
#include "support/PosDatabase.h"

namespace ooa::test {
namespace {

// The real session, with a hook after each query.
class THookedSession : public IDbSession {
 public:
  THookedSession(std::unique_ptr<IDbSession> inner, std::function<void(IDbSession&, const std::string&)>& hook)
      : Inner(std::move(inner)), Hook(hook) {}
  void Open() override { Inner->Open(); }
  void Close() override { Inner->Close(); }
  bool IsOpen() const override { return Inner->IsOpen(); }
  TQueryResult Query(const std::string& batch) override {
    TQueryResult result = Inner->Query(batch);
    if (Hook) Hook(*Inner, batch);
    return result;
  }
  void Execute(const std::string& batch) override { Inner->Execute(batch); }

 private:
  std::unique_ptr<IDbSession> Inner;
  std::function<void(IDbSession&, const std::string&)>& Hook;
};

}  // namespace

std::unique_ptr<IDbSession> TCatalogTest::HookedSession(const TDbConnectParams& params) {
  return std::make_unique<THookedSession>(CreateDbSession(params), AfterQuery);
}

TCatalogTest::TCatalogTest() : File(Dir.File("POS.DB")) {
  CreatePosDatabase(File, {});
  Server.PointAt(Config, File);
  Config.Url = Shop.BaseUrl();
  Config.Key = "ck_standin";
  Config.Secret = "cs_standin";
  Config.Desc1 = 1;  // en
  Config.Desc2 = 2;  // zh-hans
  Config.Desc3 = 3;  // zh-hant
  Config.Desc4 = 0;  // N/A
  Config.Debug = true;
  SetConfig(Config);
  ActivityLog().SetSink(&Log);
  if (!Db.ConnectToServer(Config)) ADD_FAILURE() << "cannot open " << File;
  Woo.Init(Config);
}

TCatalogTest::~TCatalogTest() {
  ActivityLog().SetSink(nullptr);
  SetConfig(TConfig{});
}

void TCatalogTest::Exec(const std::string& sql) {
  std::string error;
  if (!Db.ExecQueryPro(sql, error)) ADD_FAILURE() << error << "\n" << sql;
}

TRecordSet TCatalogTest::Rows(const std::string& sql) {
  return Db.SelectRows(sql);
}

std::string TCatalogTest::Column(const std::string& code, const std::string& column) {
  TRecordSet rows = Rows("Select " + column + " From Category Where Category = " + SqlTextLiteral(code));
  return rows.RecordCount() ? rows.Rows[0][0].AsString() : "<no row>";
}

void TCatalogTest::Category(const TCategorySeed& s) {
  auto t = [](const std::string& text) { return SqlTextLiteral(text); };
  Exec("Insert Into Category (Category, CategoryGroup, IsGroup, Description, Description1, Description2, "
       "Description3, OnlineSales, WooID, Translate1, Translate2, Translate3, LastUpdatedAt, LastSyncedAt) Values (" +
       t(s.Code) + ", " + t(s.Group) + ", " + BoolToSqlBit(s.IsGroup) + ", " + t(s.Description) + ", " + t(s.D1) +
       ", " + t(s.D2) + ", " + t(s.D3) + ", " + BoolToSqlBit(s.Online) + ", " + t(s.WooID) + ", " + t(s.T1) + ", " +
       t(s.T2) + ", " + t(s.T3) + ", " + kChangeTime + ", Null);");
}

void TCatalogTest::Touch(const std::string& code) {
  FixedClock.Advance(60);
  Exec("Update Category Set LastUpdatedAt = " + SqlDateTimeLiteral(FixedClock.NowLocal()) +
       " Where Category = " + SqlTextLiteral(code) + ";");
  FixedClock.Advance(60);
}

std::string TCatalogTest::AdminGet(const std::string& path) {
  httplib::Client client(Shop.Origin());
  auto answer = client.Get(path);
  if (!answer) ADD_FAILURE() << "GET " << path << " failed";
  return answer ? answer->body : std::string();
}

void TCatalogTest::AdminPost(const std::string& path, const std::string& body) {
  httplib::Client client(Shop.Origin());
  auto answer = client.Post(path, body, "application/json");
  if (!answer || answer->status >= 300) ADD_FAILURE() << "POST " << path << ": " << (answer ? answer->body : "");
}

std::vector<std::string> TCatalogTest::CategoryRequests() {
  rapidjson::Document log;
  log.Parse(AdminGet("/standin/requests").c_str());
  std::vector<std::string> bodies;
  if (!log.IsArray()) return bodies;
  const std::string suffix = "products/categories/batch";
  for (const auto& entry : log.GetArray()) {
    const std::string path = entry["path"].GetString();
    if (path.size() >= suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0)
      bodies.push_back(entry["body"].GetString());
  }
  return bodies;
}

rapidjson::Document TCatalogTest::ShopCategories() {
  rapidjson::Document state;
  state.Parse(AdminGet("/standin/state").c_str());
  rapidjson::Document categories(rapidjson::kArrayType);
  if (state.IsObject() && state.HasMember("categories")) categories.CopyFrom(state["categories"], categories.GetAllocator());
  return categories;
}

void TCatalogTest::SeedCategories(const std::string& jsonArray) {
  AdminPost("/standin/state", "{\"categories\": " + jsonArray + "}");
}

int EntryCount(const std::string& body) {
  rapidjson::Document doc;
  doc.Parse(body.c_str());
  int count = 0;
  for (const char* name : {"create", "update", "delete"})
    if (doc.IsObject() && doc.HasMember(name)) count += static_cast<int>(doc[name].Size());
  return count;
}

}  // namespace ooa::test
