// The batch upload protocol shared by every catalogue upload, driven through
// the category group upload against the stand-in shop and an embedded POS
// database: how rows are cut into batches, what is sent and logged, how each
// answered element is resolved and written back, and what a failure leaves.
#include <string>
#include <vector>

#include "catalog/CatalogFixture.h"

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
  Woo.UploadCatgories(true);
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
    Woo.UploadCatgories(true);

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

}  // namespace
}  // namespace ooa::test
