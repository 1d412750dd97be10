// The database module's primitives on a real embedded POS database file.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <thread>

#include "DbTestUtil.h"
#include "FakeSession.h"
#include "config/Config.h"
#include "db/DatabaseModule.h"

namespace ooa {
namespace {

class ModulePrimitives : public ::testing::Test {
 protected:
  void SetUp() override {
    dbtest::InitDatabase(Dir.File("shop.db"));
    SetConfigPath(Dir.File("OnlineService.ini"));
    // The settings dialog upper-cases the name; the file is still found.
    ASSERT_TRUE(Module.ConnectToServer(dbtest::EmbeddedConfig("SHOP.DB")));
  }
  void TearDown() override { SetConfigPath(""); }

  dbtest::TScratchDir Dir;
  TDatabaseModule Module;
};

TEST(ModuleConnect, FailsOnEmptyNamesWithoutTouchingTheConnection) {
  std::vector<dbtest::TFakeSession::TCall> calls;
  int created = 0;
  TDatabaseModule module([&](const TDbConnectParams&) {
    ++created;
    return std::make_unique<dbtest::TFakeSession>(&calls);
  });
  TConfig config;
  config.ServerName = config.DatabaseName = "fake";
  ASSERT_TRUE(module.ConnectToServer(config));

  TConfig noServer = config, noDatabase = config;
  noServer.ServerName.clear();
  noDatabase.DatabaseName.clear();
  EXPECT_FALSE(module.ConnectToServer(noServer));
  EXPECT_FALSE(module.ConnectToServer(noDatabase));
  EXPECT_EQ(created, 1);
  EXPECT_TRUE(module.Connected());
}

TEST(ModuleConnect, AMissingEmbeddedFileIsAFailedConnectionAndNotCreated) {
  dbtest::TScratchDir dir;
  SetConfigPath(dir.File("OnlineService.ini"));
  TDatabaseModule module;
  EXPECT_FALSE(module.ConnectToServer(dbtest::EmbeddedConfig("NOSUCH.DB")));
  EXPECT_FALSE(module.Connected());
  EXPECT_FALSE(std::filesystem::exists(dir.File("NOSUCH.DB")));
  SetConfigPath("");
}

TEST_F(ModulePrimitives, ASyntaxErrorRaisesFromSelectAndFailsExecQueryPro) {
  const std::string bad = "Selec * From Profile";
  EXPECT_THROW(Module.Select(bad), TDbError);
  EXPECT_THROW(Module.SelectRows(bad), TDbError);
  std::string error;
  EXPECT_FALSE(Module.ExecQueryPro(bad));
  EXPECT_FALSE(Module.ExecQueryPro(bad, error));
  EXPECT_FALSE(error.empty());
  // The session is still usable.
  EXPECT_TRUE(Module.ExecQueryPro("Update Profile Set Fax = N'1'"));
}

TEST_F(ModulePrimitives, SelectHandsBackEveryResultSetAndSelectRowsTheFirst) {
  const std::string batch =
      "Declare @n nvarchar(15); Update Profile Set Fax = N'x'; "
      "Select CompanyName, POSInit From Profile; Select @n As Nothing, 2 As Two";
  TQueryResult all;
  ASSERT_NO_THROW(all = Module.Select(batch));
  ASSERT_EQ(all.Sets.size(), 2u);
  const TRecordSet q = Module.SelectRows(batch);
  ASSERT_EQ(q.RecordCount(), 1);
  EXPECT_EQ(q.FieldByName("companyname").AsString(), "Harbourside Grocer & Cellar");
  EXPECT_EQ(q.FieldByName("POSINIT").AsString(), "W");
  EXPECT_EQ(all.First().FieldByName("companyname").AsString(), "Harbourside Grocer & Cellar");
  const TRecordSet& second = all.Sets[1];
  EXPECT_TRUE(second.Field(0, "Nothing").IsNull());
  EXPECT_EQ(second.Field(0, "Nothing").AsString(), "");
  EXPECT_EQ(second.Field(0, "Two").AsInteger(), 2);

  // A batch without a select gives no rows and no result set.
  TQueryResult none;
  ASSERT_NO_THROW(none = Module.Select("Update Profile Set Fax = N'y'"));
  EXPECT_TRUE(none.Empty());
  EXPECT_EQ(Module.SelectRows("Update Profile Set Fax = N'y'").RecordCount(), 0);

  const std::optional<TRecordSet> company = Module.SelectCompanyRows();
  ASSERT_TRUE(company);
  EXPECT_EQ(company->Field(0, "ABN").AsString(), "51 824 753 556");
}

TEST_F(ModulePrimitives, EachThreadReadsItsOwnRowsWhileBothPassesRun) {
  const TRecordSet mine = Module.SelectRows("Select ProductCode From Product Where ProductCode = N'GIN700'");

  // Two passes at once: each writes and reads back its own sync event.
  std::atomic<int> failures{0};
  auto pass = [&](const std::string& event) {
    for (int i = 1; i <= 40; ++i) {
      Module.UpdateSyncLogPro(TDateTime::FromCivil(2024, 1, 1).AddSeconds(i), event);
      if (Module.GetLastSyncTime(event) != TDateTime::FromCivil(2024, 1, 1).AddSeconds(i)) ++failures;
      const TRecordSet rows =
          Module.SelectRows("Select Event From OnlineSyncLog Where Event = " + std::string("N'") + event + "'");
      if (rows.RecordCount() != 1 || rows.Field(0, "Event").AsString() != event) ++failures;
    }
  };
  std::thread catalogue(pass, "catalogue"), orders(pass, "orders");
  catalogue.join();
  orders.join();
  EXPECT_EQ(failures.load(), 0);

  // This thread's rows are untouched by the others' queries.
  ASSERT_EQ(mine.RecordCount(), 1);
  EXPECT_EQ(mine.Field(0, "ProductCode").AsString(), "GIN700");
}

}  // namespace
}  // namespace ooa
