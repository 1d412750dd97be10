// The warehouse code completes stock column names as plain text: only
// letters, digits and '_' pass, and a refused code stops the order pass with
// one clear log line before any statement reaches the POS database.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "db/session/DbSession.h"
#include "db/PosSchema.h"
#include "db/WarehouseCode.h"
#include "db/order/OrderStatements.h"
#include "hardening/OrderWorld.h"
#include "sync/OrderSync.h"

namespace ooa::test {
namespace {

const char* const kBillingOk = R"("first_name": "Ann", "last_name": "Lee", "email": "ann@x.au")";

TEST(WarehouseCode, OnlyAsciiLettersDigitsAndUnderscorePass) {
  struct TCase {
    std::string Code;
    bool Safe;
  };
  const TCase cases[] = {
      {"1", true},
      {"", true},  // the plain StockQty and StockValue columns
      {"Main_2", true},
      {"ABCDEFGHIJKLMNOP", true},  // long, but safe: a missing column is the database's error
      {"1;", false},
      {"1 ", false},
      {"1-1", false},
      {"1=StockQty1", false},
      {"1'", false},
      {"1/*", false},
      {"1\n", false},
      {std::string("1\0", 2), false},
      {"\xC3\xA9", false},  // é: a letter, but not one a column name may carry here
      {"\xEF\xBC\x91", false},  // fullwidth digit one
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Code);
    EXPECT_EQ(IsSafeWarehouseCode(c.Code), c.Safe);
    // The schema's rule is the same one, within its column width.
    EXPECT_EQ(IsValidWarehouseCode(c.Code), c.Safe && c.Code.size() <= 10);
  }
}

TEST(WarehouseCode, RefusalShowsTheCodeOnOneLine) {
  const std::string line = WarehouseCodeRefusal("1\r\n2");
  EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
  EXPECT_NE(line.find("'1\\x0D\\x0A2'"), std::string::npos) << line;
}

TEST(WarehouseCode, LineStatementsRefuseAnUnsafeCode) {
  TInvoiceItem line;
  line.ProductCode = "BEER";
  line.Qty = 1;
  line.WarehouseCode = "1=0,StockQty1";
  try {
    InvoiceItemSqlCmd({line});
    FAIL() << "statements were built";
  } catch (const TDbError& e) {
    EXPECT_EQ(std::string(e.what()), WarehouseCodeRefusal(line.WarehouseCode));
  }
}

class WarehouseCodeInSettings : public TOrderWorld {};

TEST_F(WarehouseCodeInSettings, RefusedCodeStopsTheOrderPassBeforeAnyStatement) {
  AdminPost("/standin/orders", MemberOrder(8101, "M8101", kBillingOk, ""));
  const double stockBefore = Pos.Value("Select StockQty1 From Product Where ProductCode=N'BEER'").AsFloat();
  const std::string badCodes[] = {"1; Delete From Product; --", "1=0,StockQty1", "1 ", "\xC3\xA9", "1\n"};
  for (const std::string& code : badCodes) {
    SCOPED_TRACE(code);
    TConfig config = Settings();
    config.WarehouseCode = code;
    config.Debug = false;  // the refusal is a status line: shown without debug too
    Configure(config);
    Log.Clear();
    AdminPost("/standin/requests/clear", "{}");

    SyncOrders(Woo);

    EXPECT_EQ(LogLines(), std::vector<std::string>{WarehouseCodeRefusal(code)});
    EXPECT_EQ(ShopRequestCount(), 0u);
    EXPECT_EQ(Count("Select Count(*) From InvoiceHead"), 0);
    EXPECT_EQ(Count("Select Count(*) From Customer"), 0);
    EXPECT_EQ(Count("Select Count(*) From OnlineSyncLog"), 0);
    EXPECT_DOUBLE_EQ(Pos.Value("Select StockQty1 From Product Where ProductCode=N'BEER'").AsFloat(), stockBefore);
  }

  // Mended settings: the same order goes in on the next pass.
  TConfig config = Settings();
  config.WarehouseCode = "1";
  Configure(config);
  SyncOrders(Woo);
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'8101'"), 1);
  EXPECT_DOUBLE_EQ(Pos.Value("Select StockQty1 From Product Where ProductCode=N'BEER'").AsFloat(), stockBefore - 12);
}

}  // namespace
}  // namespace ooa::test
