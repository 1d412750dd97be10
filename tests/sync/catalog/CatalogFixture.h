// The catalogue upload tests' world: a new embedded POS database (posdb init,
// no demo rows), the stand-in shop on loopback, a database and a shop module
// wired to both, the debug log captured, and a fixed clock (local = UTC).
// Test thread only; everything goes with the fixture.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include "config/ActivityLog.h"
#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "shop/WooModule.h"
#include "support/FixedClock.h"
#include "support/ShopStandin.h"
#include "support/PosServer.h"
#include "support/TempDir.h"

namespace ooa::test {

// The time every upload in these tests takes, and the change time of the rows
// inserted with Category() (earlier, so a synced row is no longer pending).
inline const TDateTime kUploadTime = TDateTime::FromCivil(2026, 12, 8, 23, 41, 48);
inline const char* const kUploadTimeText = "2026-12-08 23:41:48.000";
inline const char* const kChangeTime = "'12/01/2026 10:00:00'";

// One Category row; empty texts are written as Null.
struct TCategorySeed {
  std::string Code;
  std::string Group;
  bool IsGroup = false;
  bool Online = true;
  std::string Description;
  std::string D1, D2, D3;
  std::string WooID;
  std::string T1, T2, T3;
};

class TCatalogTest : public ::testing::Test {
 protected:
  TCatalogTest();
  ~TCatalogTest() override;

  // ---- POS database ----
  void Exec(const std::string& sql);
  TRecordSet Rows(const std::string& sql);
  // One column of one category ("" for Null).
  std::string Column(const std::string& code, const std::string& column);
  void Category(const TCategorySeed& row);
  // Marks a category as changed a minute after the last upload and moves the
  // clock on, so the next upload time is later than the change.
  void Touch(const std::string& code);

  // ---- Stand-in shop ----
  std::string AdminGet(const std::string& path);
  void AdminPost(const std::string& path, const std::string& body);
  // The bodies of the category batch requests received so far, in order.
  std::vector<std::string> CategoryRequests();
  void ClearRequests() { AdminPost("/standin/requests/clear", "{}"); }
  // The shop's stored categories (array of objects).
  rapidjson::Document ShopCategories();
  // Seeds the shop with categories: a JSON array of objects with ids.
  void SeedCategories(const std::string& jsonArray);

  std::unique_ptr<IDbSession> HookedSession(const TDbConnectParams& params);
  std::vector<std::string> LogLines() const { return Log.Lines(); }
  void ClearLog() { Log.Clear(); }

  TTempDir Dir;
  std::string File;
  TShopStandin Shop;
  TConfig Config;
  TFixedClock FixedClock{kUploadTime, 0};
  TScopedClock ClockScope{FixedClock};
  TMemoryLogSink Log;
  // Runs on the session right after every query batch the module sends
  // (a POS user's change between a query and its upload, for example).
  std::function<void(IDbSession& session, const std::string& batch)> AfterQuery;
  TPosServer Server;  // outlives Db
  TDatabaseModule Db{[this](const TDbConnectParams& params) { return HookedSession(params); }};
  TWooModule Woo{Db};
};

// Entries (create + update + delete) of a batch body.
int EntryCount(const std::string& body);

}  // namespace ooa::test
