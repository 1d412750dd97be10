// The posdb tool (run as a program) and the schema it creates: every query
// the adaptor sends to the POS tables must find its tables and columns.
#include <gtest/gtest.h>

#include <filesystem>

#include "DbTestUtil.h"
#include "config/Config.h"
#include "db/DatabaseModule.h"

namespace ooa {
namespace {

using dbtest::RunPosdb;

TEST(Posdb, InitCreatesTheSchemaAndExecPrintsEveryResultSet) {
  dbtest::TScratchDir dir;
  const std::string db = dir.File("pos.db");
  auto init = RunPosdb({"init", db, "--warehouse", "1", "--warehouse", "MAIN"});
  ASSERT_EQ(init.ExitCode, 0) << init.Err;

  // A quote inside a text survives the round trip; NULL and tabs stay readable.
  auto r = RunPosdb({"exec", db, "-Q",
                     "Update Profile Set CompanyName = N'O''Neil''s Cellar', Fax = Null, "
                     "ABN = N'a\tb'; Select CompanyName, Fax, ABN From Profile; "
                     "Select StockQty1, StockValueMAIN, version From Product, Version"});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_EQ(r.Out,
            "CompanyName\tFax\tABN\n"
            "O'Neil's Cellar\tNULL\ta\\tb\n"
            "\n"
            "StockQty1\tStockValueMAIN\tversion\n");

  // The batch may come on standard input.
  r = RunPosdb({"exec", db}, "Select POSInit As Prefix, DefaultGSTRate From Profile");
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_EQ(r.Out, "Prefix\tDefaultGSTRate\nW\t10\n");
}

TEST(Posdb, ErrorsGoToStandardErrorWithAFailingExitCode) {
  dbtest::TScratchDir dir;
  const std::string db = dir.File("pos.db");
  ASSERT_EQ(RunPosdb({"init", db}).ExitCode, 0);

  struct TCase {
    const char* Name;
    std::vector<std::string> Args;
    std::string ErrContains;
  } cases[] = {
      {"missing column", {"exec", db, "-Q", "Select NoSuchColumn From Profile"}, "NoSuchColumn"},
      {"missing table", {"exec", db, "-Q", "Select * From NoSuchTable"}, "NoSuchTable"},
      {"existing file", {"init", db}, "already exists"},
      {"bad warehouse", {"init", dir.File("other.db"), "--warehouse", "1;Drop"}, "1;Drop"},
      {"missing file", {"exec", dir.File("none.db"), "-Q", "Select 1"}, "none.db"},
  };
  for (const TCase& c : cases) {
    auto r = RunPosdb(c.Args);
    EXPECT_NE(r.ExitCode, 0) << c.Name;
    EXPECT_NE(r.Err.find(c.ErrContains), std::string::npos) << c.Name << ": " << r.Err;
    EXPECT_EQ(r.Out, "") << c.Name;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("other.db")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("none.db")));
}

// A path that starts with '/' names a file on every platform: on Windows
// (and under Wine) it is taken from the root of the current drive, and it
// must never be read as a Windows-style "/option".
TEST(Posdb, APathFromTheRootIsAFileNotAnOption) {
  namespace fs = std::filesystem;
  const fs::path here = fs::current_path() / "posdb-root-path-test";
  fs::remove_all(here);
  fs::create_directories(here);
  const std::string fromRoot = (here / "pos.db").relative_path().generic_string();
  const std::string db = "/" + fromRoot;  // no drive letter
  auto r = RunPosdb({"init", db});
  EXPECT_EQ(r.ExitCode, 0) << db << ": " << r.Err;
  EXPECT_TRUE(fs::exists(here / "pos.db")) << db;
  r = RunPosdb({"exec", db, "-Q", "Select POSInit From Profile"});
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  fs::remove_all(here);
}

// The adaptor's own queries, verbatim, on the demo shop with one hand-made
// invoice: each must run (no missing or ambiguous column) and find its rows.
TEST(PosSchema, TheAdaptorsQueriesRunOnTheDemoShop) {
  dbtest::TScratchDir dir;
  dbtest::InitDatabase(dir.File("demo.db"));
  SetConfigPath(dir.File("OnlineService.ini"));
  TDatabaseModule m;
  ASSERT_TRUE(m.ConnectToServer(dbtest::EmbeddedConfig("demo.db")));
  ASSERT_TRUE(m.ExecQueryPro(
      "Insert Into InvoiceHead (InvoiceNo, KindFlag, InvoiceDate, CustomerCode) "
      "Values (N'W26000001', 6, '12/08/2026', N'M10001'); "
      "Insert Into InvoiceItem (InvoiceNo, ID, ProductCode, Qty, Price, KindFlag, ProductFamilyCode) "
      "Values (N'W26000001', 1, N'SHZ750', 2, 22, 6, N'WINE6'); "
      "Insert Into RecvAcct (InvoiceNo, IDNo, PaidAmount, PayBy) Values (N'W26000001', 1, 44, N'WECHAT');"));

  const std::string categoryBase =
      "Select c.Category, c.CategoryGroup, c.Description, c.Description1, c.Description2, c.Description3, "
      "c.WooID, cg.WooID as parentWooID, c.OnlineSales, c.Translate1, c.Translate2, c.Translate3,  "
      "cg.Translate1 As ParentTrans1, cg.Translate2 As ParentTrans2, cg.Translate3 As ParentTrans3 From "
      "Category c LEFT JOIN Category cg On c.CategoryGroup = cg.Category ";
  const std::string changed =
      "WHERE (c.OnlineSales = 1 Or (c.OnlineSales = 0 And (c.WooID <> '' And c.WooID IS NOT NULL))) And "
      "(c.LastSyncedAt < c.LastUpdatedAt Or c.LastSyncedAt Is Null)";
  struct TCase {
    const char* Name;
    std::string Sql;
    int Rows;
  } cases[] = {
      {"category groups", categoryBase + changed + " And c.IsGroup = 1", 2},
      {"categories (only the one without a group until the groups are in the shop)",
       categoryBase + changed + " And c.IsGroup <> 1 And (cg.Category IS NULL Or (cg.WooID <> '' Or cg.WooID Is Not Null))",
       1},
      {"category translations",
       categoryBase +
           "WHERE c.OnlineSales = 1 And c.WooID <> '' And c.WooID IS NOT NULL And ((c.Description1 <> '' And "
           "c.Description1 IS NOT NULL And (c.Translate1 IS NULL Or c.Translate1 = '')) Or (c.Description2 <> '' "
           "And c.Description2 IS NOT NULL And (c.Translate2 IS NULL Or c.Translate2 = '')) Or (c.Description3 <> "
           "'' And c.Description3 IS NOT NULL And (c.Translate3 IS NULL Or c.Translate3 = '')))",
       0},
      {"products",
       "Select p.*, pe.*, c.WooID as WooCateID, c.Translate1 as WooCateTrans1, c.Translate2 as WooCateTrans2, "
       "c.Translate3 as WooCateTrans3 From Product p Left Join ProductExtend pe ON p.ProductCode = pe.ProductCode "
       "Left Join Category c ON p.Category = c.Category Where (p.OnlineOrderItem = 1 Or (p.OnlineOrderItem = 0 "
       "And (pe.WooId <> '' And pe.WooID IS NOT NULL))) And (pe.LastSyncedAt < p.ModifyDate or pe.LastSyncedAt "
       "IS NULL) And c.WooID Is Not Null And c.WooID <> ''",
       0},
      {"stock",
       "Select p.*, pe.* From Product p Left Join ProductExtend pe ON p.ProductCode = pe.ProductCode Where "
       "(p.OnlineOrderItem = 1 And pe.WooId <> '' And pe.WooID IS NOT NULL) And (pe.LastStockSyncedAt < "
       "pe.LastStockUpdatedAt or pe.LastStockSyncedAt IS NULL)",
       0},
      {"product for the calculation", "Select * From Product Where ProductCode=N'LAGER330'", 1},
      {"default GST rate", "Select DefaultGSTRate From Profile", 1},
      {"invoice lookup", "Select * From InvoiceHead Where OnlineOrderId = N'1234'", 0},
      {"credited quantities",
       "Select SUM(Qty) As Qty, SUM(CreditedQty) As CreditedQty From InvoiceItem Where InvoiceNo=N'W26000001'", 1},
      {"receipt head",
       "Select InvoiceHead.Notes, InvoiceHead.GSTStatus, ExemptTax, Freight, FreightGSTRate, OtherCharge, "
       "OtherChargeGSTRate, RedeemPointsAsDollar, RedeemPointsGSTRate, DollarDiscount, VoucherAmount, "
       "InvoiceHead.DiscountKind, InvoiceDate, OtherChargeDescription, MachineID, OpName, InvoiceHead.InvoiceNo, "
       "Printed, TransferDateTime, Rounding, InvoiceHead.CustomerCode, CustomerName, CurrentPoints, OnlineOrder, "
       "OnlineOrderId, Delivery, InvoiceHead.DeliveryAddress From Customer, InvoiceHead Left Join (Select "
       "InvoiceNo, Sum(PaidAmount) As Rounding From RecvAcct Where PayBy=N'ROUNDING' Group By InvoiceNo) As "
       "PaymentTable On InvoiceHead.InvoiceNo=PaymentTable.InvoiceNo Where "
       "InvoiceHead.CustomerCode=Customer.CustomerCode and InvoiceHead.InvoiceNo=N'W26000001' and KindFlag=6",
       1},
      {"credit note sums",
       "Select SUM(Freight) As Freight, SUM(OtherCharge) As OtherCharge, SUM(RedeemPointsAsDollar) As "
       "RedeemPointsAsDollar, SUM(DollarDiscount) As DollarDiscount, SUM(VoucherAmount) As VoucherAmount, "
       "SUM(VoucherDiscount) As VoucherDiscount From InvoiceHead Where InvoiceHead.ReferenceNo=N'W26000001' and "
       "KindFlag=5",
       1},
      {"receipt items",
       "Select InvoiceItem.ProductCode, Description, Description1, Description2, Description3, Qty, Price, "
       "Discount As DiscountRate, InvoiceItem.GSTRate, ManuallyEnterWeight, SubDescription, SubDescription1, "
       "SubDescription2, SubDescription3, SubDescription4, SubDescription5, PriceKind, Scalable, TareWeight, "
       "OriginalPrice, IsMixMatchDiscountItem, DiscountItemCode, DiscountDescription, Barcode, Barcode1, "
       "Barcode2, Barcode3, Barcode4, Barcode5, Location, IsRewardItem From Product, InvoiceItem Left Join "
       "ProductFamily On InvoiceItem.ProductFamilyCode=ProductFamily.FamilyCode Where "
       "Product.ProductCode=InvoiceItem.ProductCode And (InvoiceNo=N'W26000001' Or InvoiceNo IN (SELECT "
       "InvoiceNo From InvoiceHead Where KindFlag = 5 And ReferenceNo=N'W26000001')) And Qty <> 0 And "
       "(KindFlag=6 Or KindFlag=5) Order By InvoiceItem.ID",
       1},
      {"receipt payments",
       "Select RecvAcct.*, Payment.LinkToDevice From RecvAcct Left Join Payment On Payment.Payment = "
       "RecvAcct.PayBy Where RecvAcct.PayBy<>'ROUNDING' and InvoiceNo=N'W26000001' Order By IDNo",
       1},
  };
  for (const TCase& c : cases) {
    try {
      const TRecordSet rows = m.SelectRows(c.Sql);
      EXPECT_EQ(rows.RecordCount(), c.Rows) << c.Name;
    } catch (const TDbError& e) {
      ADD_FAILURE() << c.Name << ": " << e.what();
    }
  }

  // The joined rows carry what the receipt reads from the other tables.
  auto sqlOf = [&](const std::string& name) {
    for (const TCase& c : cases)
      if (c.Name == name) return c.Sql;
    return std::string();
  };
  TRecordSet items, payments;
  ASSERT_NO_THROW(items = m.SelectRows(sqlOf("receipt items")));
  EXPECT_EQ(items.Field(0, "DiscountDescription").AsString(), "Mix 6 Wines 10% Off");
  EXPECT_EQ(items.Field(0, "Barcode").AsString(), "9312345000017");
  ASSERT_NO_THROW(payments = m.SelectRows(sqlOf("receipt payments")));
  EXPECT_EQ(payments.Field(0, "LinkToDevice").AsInteger(), 3);
  SetConfigPath("");
}

}  // namespace
}  // namespace ooa
