// The sync log: the exact statements sent, and the real embedded table.
#include <gtest/gtest.h>

#include "DbTestUtil.h"
#include "FakeSession.h"
#include "config/Config.h"
#include "db/DatabaseModule.h"

namespace ooa {
namespace {

using dbtest::TFakeSession;

// A module connected to a fake session whose OnlineSyncLog holds `rows`.
struct TFakeModule {
  std::vector<TFakeSession::TCall> Calls;
  std::vector<std::vector<TDbValue>> Rows;
  bool FailWrites = false;
  TDatabaseModule Module{[this](const TDbConnectParams&) {
    auto s = std::make_unique<TFakeSession>(&Calls);
    s->Answer = [this](const std::string& batch) -> TQueryResult {
      if (batch.rfind("Select", 0) == 0) return dbtest::OneSet({"LastSyncAt"}, Rows);
      if (FailWrites) throw TDbError("write refused");
      return TQueryResult();
    };
    return s;
  }};
  TFakeModule() {
    TConfig config;
    config.ServerName = "fake";
    config.DatabaseName = "fake";
    EXPECT_TRUE(Module.ConnectToServer(config));
  }
};

TEST(SyncLog, ReadsTheLastSyncTimeOrItsDefaults) {
  struct TCase {
    const char* Name;
    std::vector<std::vector<TDbValue>> Rows;
    TDateTime Expected;
  } cases[] = {
      {"no row: 1 January 2000", {}, TDateTime::FromCivil(2000, 1, 1)},
      {"stored time", {{dbtest::DateTimeValue("2024-03-05 14:06:59.000")}}, TDateTime::FromCivil(2024, 3, 5, 14, 6, 59)},
      {"NULL: day 0", {{TDbValue()}}, TDateTime(0)},
  };
  for (TCase& c : cases) {
    TFakeModule f;
    f.Rows = c.Rows;
    EXPECT_EQ(f.Module.GetLastSyncTime("orders"), c.Expected) << c.Name;
    ASSERT_EQ(f.Calls.size(), 1u);
    EXPECT_EQ(f.Calls[0].Batch, "Select LastSyncAt From OnlineSyncLog Where Event=N'orders'");
  }
}

TEST(SyncLog, InsertsTheFirstTimeAndUpdatesLater) {
  TFakeModule f;
  f.Module.UpdateSyncLogPro(TDateTime::FromCivil(2024, 3, 5, 14, 6, 59), "orders");
  f.Rows = {{dbtest::DateTimeValue("2024-03-05 14:06:59.000")}};
  f.Module.UpdateSyncLogPro(TDateTime::FromCivil(2024, 3, 5, 14, 16, 59), "orders");

  std::vector<std::pair<bool, std::string>> sent;
  for (auto& c : f.Calls) sent.emplace_back(c.IsQuery, c.Batch);
  std::vector<std::pair<bool, std::string>> expected = {
      {true, "Select * From OnlineSyncLog Where Event=N'orders'"},
      {false, "Insert OnlineSyncLog (Event, LastSyncAt) Values (N'orders', '03/05/2024 14:06:59')"},
      {true, "Select * From OnlineSyncLog Where Event=N'orders'"},
      {false, "Update OnlineSyncLog Set LastSyncAt = '03/05/2024 14:16:59' Where Event = N'orders'"},
  };
  EXPECT_EQ(sent, expected);
}

TEST(SyncLog, AFailedWriteIsIgnoredButAFailedReadRaises) {
  TFakeModule f;
  f.FailWrites = true;
  EXPECT_NO_THROW(f.Module.UpdateSyncLogPro(TDateTime::FromCivil(2024, 3, 5), "orders"));
  EXPECT_EQ(f.Calls.size(), 2u);

  TDatabaseModule broken([](const TDbConnectParams&) {
    static std::vector<TFakeSession::TCall> calls;
    auto s = std::make_unique<TFakeSession>(&calls);
    s->Answer = [](const std::string&) -> TQueryResult { throw TDbError("Invalid object name 'OnlineSyncLog'"); };
    return s;
  });
  TConfig config;
  config.ServerName = config.DatabaseName = "fake";
  ASSERT_TRUE(broken.ConnectToServer(config));
  EXPECT_THROW(broken.GetLastSyncTime("orders"), TDbError);
  EXPECT_THROW(broken.UpdateSyncLogPro(TDateTime::FromCivil(2024, 3, 5), "orders"), TDbError);
}

TEST(SyncLog, KeepsOneRowPerEventInTheEmbeddedDatabase) {
  dbtest::TScratchDir dir;
  dbtest::InitDatabase(dir.File("pos.db"), {});
  SetConfigPath(dir.File("OnlineService.ini"));
  TDatabaseModule module;
  ASSERT_TRUE(module.ConnectToServer(dbtest::EmbeddedConfig("POS.DB")));

  EXPECT_EQ(module.GetLastSyncTime("orders"), TDateTime::FromCivil(2000, 1, 1));
  module.UpdateSyncLogPro(TDateTime::FromCivil(2024, 3, 5, 14, 6, 59), "orders");
  module.UpdateSyncLogPro(TDateTime::FromCivil(2024, 3, 5, 14, 16, 59), "orders");
  module.UpdateSyncLogPro(TDateTime::FromCivil(2023, 1, 2, 3, 4, 5), "it's other");

  EXPECT_EQ(module.GetLastSyncTime("orders"), TDateTime::FromCivil(2024, 3, 5, 14, 16, 59));
  EXPECT_EQ(module.GetLastSyncTime("it's other"), TDateTime::FromCivil(2023, 1, 2, 3, 4, 5));
  TRecordSet events;
  ASSERT_NO_THROW(events = module.SelectRows("Select Event, Count(*) As N From OnlineSyncLog Group By Event Order By Event"));
  ASSERT_EQ(events.RecordCount(), 2);
  EXPECT_EQ(events.Field(0, "N").AsInteger(), 1);
  EXPECT_EQ(events.Field(1, "n").AsInteger(), 1);
  SetConfigPath("");
}

}  // namespace
}  // namespace ooa
