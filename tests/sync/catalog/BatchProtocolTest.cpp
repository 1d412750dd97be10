// The batch upload protocol shared by every catalogue upload, driven through
// the category group upload against the stand-in shop and an embedded POS
// database: how rows are cut into batches, what is sent and logged, how each
// answered element is resolved and written back, and what a failure leaves.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "sync/catalog/CatalogFixture.h"
#include "config/ProblemList.h"
#include "config/UtilUnit.h"
#include "sync/catalog/CatalogueProblems.h"
#include "support/TempDir.h"
#include "sync/catalog/CatalogueUploads.h"

namespace ooa::test {
namespace {

class BatchProtocolTest : public TCatalogTest {
 protected:
  // count new groups G01.. (one create entry each).
  void NewGroups(int count, int first = 1) {
    for (int i = first; i < first + count; ++i) {
      char code[8];
      std::snprintf(code, sizeof code, "G%02d", i);
      Category({.Code = code, .IsGroup = true, .Description = std::string("Group ") + code});
    }
  }
};

TEST_F(BatchProtocolTest, NoRowsLogsTwoLinesAndSendsNothing) {
  UploadCatgories(Woo, true);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"Getting Need to Upload Category Groups...", " |- No new data."}));
  EXPECT_TRUE(CategoryRequests().empty());
}

TEST_F(BatchProtocolTest, RowsAreCutIntoBatchesOfThirtyWithoutSplittingARow) {
  struct TCase {
    const char* Name;
    int Light;                 // rows of weight 1 (creates)
    bool Heavy;                // then one withdrawn row with three translations: weight 4
    std::vector<int> Batches;  // entries per request
  };
  const TCase cases[] = {
      {"thirty rows: one batch", 30, false, {30}},
      {"thirty-one rows: two batches", 31, false, {30, 1}},
      {"twenty-nine rows take a whole row of four", 29, true, {33}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Exec("Delete From Category;");
    ClearRequests();
    ClearLog();
    NewGroups(c.Light);
    if (c.Heavy) {
      Category({.Code = "Z-GONE", .IsGroup = true, .Online = false, .WooID = "9001", .T1 = "9002", .T2 = "9003",
                .T3 = "9004"});
    }
    UploadCatgories(Woo, true);

    std::vector<int> sent;
    for (const std::string& body : CategoryRequests()) sent.push_back(EntryCount(body));
    EXPECT_EQ(sent, c.Batches);
    const std::vector<std::string> log = LogLines();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[1], "Start Upload Category Groups, total batches: " + std::to_string(c.Batches.size()));
    // Every create was answered with an id and written back.
    EXPECT_EQ(Rows("Select Category From Category Where WooID Is Null Or WooID = ''").RecordCount(), c.Heavy ? 1 : 0);
  }
}

// Each element's id is its own: an error without "resource_id" yields none
// (even after an element that had one), a "resource_id" is adopted, ids come
// as numbers or strings. Rows without an id stay pending and go again.
TEST_F(BatchProtocolTest, EachAnsweredElementIsResolvedOnItsOwn) {
  NewGroups(5);
  AdminPost("/standin/faults", R"({"route": "categories/batch", "status": 200, "body": {"create": [
      {"id": 0, "error": {"code": "empty_term_name", "message": "x", "data": {"status": 400}}},
      {"id": 77, "name": "Group G02"},
      {"id": 0, "error": {"code": "woocommerce_rest_term_invalid", "message": "x", "data": {"status": 404}}},
      {"id": 0, "error": {"code": "term_exists", "message": "x", "data": {"status": 400, "resource_id": 58}}},
      {"id": "79", "name": "Group G05"}]}})");
  UploadCatgories(Woo, true);

  const std::vector<std::pair<std::string, std::string>> expected = {
      {"G01", ""}, {"G02", "77"}, {"G03", ""}, {"G04", "58"}, {"G05", "79"}};
  for (const auto& [code, id] : expected) {
    EXPECT_EQ(Column(code, "WooID"), id) << code;
    EXPECT_EQ(Column(code, "LastSyncedAt"), id.empty() ? "" : kUploadTimeText) << code;
  }

  ClearRequests();
  UploadCatgories(Woo, true);
  const std::vector<std::string> sent = CategoryRequests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0],
            R"({"create":[{"name":"Group G01","raw_name":"G01","lang":"en"},{"name":"Group G03","raw_name":"G03","lang":"en"}]})");
}

// Within a catalogue pass an object the shop refuses goes on the problems
// list with the shop's message, and leaves it when the shop accepts it; an
// error the upload handles (an id adopted) is no refusal.
TEST_F(BatchProtocolTest, RefusedObjectsAreListedUntilTheShopAcceptsThem) {
  TTempDir dir;
  TProblemList list(dir.File("OnlineService.state"));
  NewGroups(4);
  AdminPost("/standin/faults", R"({"route": "categories/batch", "status": 200, "body": {"create": [
      {"id": 0, "error": {"code": "empty_term_name", "message": "A name is required for this term.", "data": {"status": 400}}},
      {"id": 77, "name": "Group G02"},
      {"id": 0, "error": {"code": "term_exists", "message": "x", "data": {"status": 400, "resource_id": 58}}},
      {"id": 0, "error": {"message": "Sorry, you are not allowed to create terms."}}]}})");
  {
    TCatalogueProblems problems(list);
    TCatalogueProblemsScope scope(problems);
    UploadCatgories(Woo, true);
  }
  std::vector<TProblem> listed = list.Load();
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].Id, "category:G01");
  EXPECT_EQ(listed[0].Kind, "category");
  EXPECT_EQ(listed[0].Object, "G01");
  EXPECT_EQ(listed[0].Reason, "A name is required for this term. (empty_term_name)");
  EXPECT_EQ(ProblemSubject(listed[0]), "Category G01");
  EXPECT_EQ(listed[1].Id, "category:G04");
  EXPECT_EQ(listed[1].Reason, "Sorry, you are not allowed to create terms.");

  // Outside a pass nothing is listed or taken off.
  UploadCatgories(Woo, true);
  EXPECT_EQ(list.Load().size(), 2u);
  Exec("Update Category Set WooID = Null, LastSyncedAt = Null Where Category In (N'G01', N'G04');");
  {
    TCatalogueProblems problems(list);
    TCatalogueProblemsScope scope(problems);
    UploadCatgories(Woo, true);
  }
  EXPECT_TRUE(list.Load().empty());
}

// The write-backs of one answer go to the database together; one that the
// database refuses (an id too long for WooID) costs its own row only, before
// and after it the ids are written.
TEST_F(BatchProtocolTest, ARefusedWriteBackCostsOnlyItsOwnRow) {
  NewGroups(4);
  AdminPost("/standin/faults", R"({"route": "categories/batch", "status": 200, "body": {"create": [
      {"id": 77}, {"id": "123456789012345678901234567890"}, {"id": 79}, {"id": 80}]}})");
  UploadCatgories(Woo, true);

  const std::vector<std::pair<std::string, std::string>> expected = {
      {"G01", "77"}, {"G02", ""}, {"G03", "79"}, {"G04", "80"}};
  for (const auto& [code, id] : expected) {
    EXPECT_EQ(Column(code, "WooID"), id) << code;
    EXPECT_EQ(Column(code, "LastSyncedAt"), id.empty() ? "" : kUploadTimeText) << code;
  }
}

// A failure in the second of three batches costs that batch only: its rows
// stay pending, the third batch is still sent and written back.
TEST_F(BatchProtocolTest, AFailedBatchIsLoggedAndTheNextOneIsStillSent) {
  struct TCase {
    const char* Fault;  // for the second request
    const char* Line;
  };
  const TCase cases[] = {
      {R"({"route": "categories/batch", "status": 500})", "Connect to server fail."},
      {R"({"route": "categories/batch", "kind": "drop"})", "Connect to server fail."},
      {R"({"route": "categories/batch", "kind": "notjson"})", "Request Failed."},
      {R"({"route": "categories/batch", "status": 200, "body": {"create": "not an array of results"}})", nullptr},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Fault);
    Exec("Delete From Category;");
    AdminPost("/standin/reset", "{}");
    ClearLog();
    NewGroups(61);  // batches of 30, 30 and 1
    AdminPost("/standin/faults", R"({"route": "categories/batch", "kind": "delay", "delay_ms": 0})");
    AdminPost("/standin/faults", c.Fault);
    UploadCatgories(Woo, true);

    EXPECT_EQ(CategoryRequests().size(), 3u);
    const std::vector<std::string> log = LogLines();
    const auto count = [&](const std::string& line) { return std::count(log.begin(), log.end(), line); };
    EXPECT_EQ(count("Connect to server fail."), c.Line && std::string(c.Line) == "Connect to server fail." ? 1 : 0);
    EXPECT_EQ(count("Request Failed."), c.Line && std::string(c.Line) == "Request Failed." ? 1 : 0);
    EXPECT_EQ(count("Finished Upload Category Groups"), c.Line ? 2 : 3);
    EXPECT_NE(Column("G30", "WooID"), "");
    EXPECT_EQ(Column("G31", "WooID"), "");
    EXPECT_EQ(Column("G60", "WooID"), "");
    EXPECT_NE(Column("G61", "WooID"), "");
    EXPECT_EQ(Rows("Select Category From Category Where WooID Is Null").RecordCount(), 30);
  }
}

// A clock that moves one second on every reading.
class TTickingClock : public TFixedClock {
 public:
  using TFixedClock::TFixedClock;
  TDateTime NowLocal() const override {
    ++Readings;
    return TDateTime(TFixedClock::NowLocal().Value + Readings / 86400.0);
  }
  mutable int Readings = 0;
};

// One upload time for every row of a run, taken before the query: a row the
// POS changes after the query read it (here: right after the query, at a
// later clock reading) keeps a change time later than its sync time and goes
// again in the next run.
TEST_F(BatchProtocolTest, OneUploadTimeTakenBeforeTheQuery) {
  NewGroups(45);
  TTickingClock ticking(kUploadTime, 0);
  TScopedClock scope(ticking);
  AfterQuery = [](IDbSession& session, const std::string& batch) {
    if (batch.rfind("Select c.Category", 0) == 0)
      session.Execute("Update Category Set LastUpdatedAt = " + SqlDateTimeLiteral(Clock().NowLocal()) +
                      " Where Category = N'G07';");
  };
  UploadCatgories(Woo, true);
  AfterQuery = nullptr;

  TRecordSet times = Rows("Select Distinct LastSyncedAt From Category");
  ASSERT_EQ(times.RecordCount(), 1);
  EXPECT_EQ(times.Rows[0][0].AsString(), "2026-12-08 23:41:49.000");

  ClearRequests();
  UploadCatgories(Woo, true);
  const std::vector<std::string> sent = CategoryRequests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], R"({"update":[{"name":"Group G07","raw_name":"G07","lang":"en","id":")" + Column("G07", "WooID") +
                         R"("}]})");
}

}  // namespace
}  // namespace ooa::test
