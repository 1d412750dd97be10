// The catalogue and receipt queries as the system sends them, over a small
// shop: which rows each one selects.
#include <gtest/gtest.h>

#include "EngineFixture.h"

namespace ooa::test {
namespace {

const char* kShop = R"(
Create Table Category (Category nvarchar(20) Primary Key, CategoryGroup nvarchar(20), IsGroup bit, Description nvarchar(60),
  Description1 nvarchar(60), Description2 nvarchar(60), Description3 nvarchar(60), OnlineSales bit, WooID nvarchar(20),
  Translate1 nvarchar(20), Translate2 nvarchar(20), Translate3 nvarchar(20), LastUpdatedAt datetime, LastSyncedAt datetime);
Create Table Product (ProductCode nvarchar(30) Primary Key, Category nvarchar(20), Description nvarchar(60), Description1 nvarchar(60),
  Description2 nvarchar(60), Description3 nvarchar(60), SubDescription nvarchar(30), SubDescription1 nvarchar(30),
  SubDescription2 nvarchar(30), SubDescription3 nvarchar(30), SubDescription4 nvarchar(30), SubDescription5 nvarchar(30),
  OnlineOrderItem bit, ModifyDate datetime, Scalable bit, TareWeight float, Barcode nvarchar(30), Barcode1 nvarchar(30),
  Barcode2 nvarchar(30), Barcode3 nvarchar(30), Barcode4 nvarchar(30), Barcode5 nvarchar(30), Location nvarchar(20),
  DiscountItemCode nvarchar(30), StockQty1 float Default 0);
Create Table ProductExtend (ProductCode nvarchar(30) Primary Key, WooID nvarchar(20), Translate1 nvarchar(20), Translate2 nvarchar(20),
  Translate3 nvarchar(20), LastSyncedAt datetime, LastStockUpdatedAt datetime, LastStockSyncedAt datetime);
Create Table ProductFamily (FamilyCode nvarchar(20) Primary Key, DiscountDescription nvarchar(60), IsRewardItem bit);
Create Table Customer (CustomerCode nvarchar(15) Primary Key, CustomerName nvarchar(60));
Create Table InvoiceHead (InvoiceNo nvarchar(15) Primary Key, ReferenceNo nvarchar(15), KindFlag int, Notes nvarchar(max), GSTStatus bit,
  ExemptTax bit, Freight float, FreightGSTRate float, OtherCharge float, OtherChargeGSTRate float, RedeemPointsAsDollar float,
  RedeemPointsGSTRate float, DollarDiscount float, VoucherAmount float, VoucherDiscount float, DiscountKind int, InvoiceDate datetime,
  OtherChargeDescription nvarchar(60), MachineID nvarchar(20), OpName nvarchar(20), Printed bit, TransferDateTime datetime,
  CustomerCode nvarchar(15), CurrentPoints float, OnlineOrder bit, OnlineOrderId nvarchar(30), Delivery bit, DeliveryAddress nvarchar(200));
Create Table InvoiceItem (InvoiceNo nvarchar(15), ID int, ProductCode nvarchar(30), Qty float, Price float, Discount float, GSTRate float,
  ManuallyEnterWeight bit, PriceKind int, OriginalPrice float, IsMixMatchDiscountItem bit, ProductFamilyCode nvarchar(20), KindFlag int,
  CreditedQty float Default 0);
Create Table RecvAcct (InvoiceNo nvarchar(15), IDNo int, PaidAmount float, PayBy nvarchar(30));
Create Table Payment (Payment nvarchar(30) Primary Key, LinkToDevice int);

Insert Category (Category, CategoryGroup, IsGroup, Description, OnlineSales, WooID, LastUpdatedAt, LastSyncedAt) Values
  (N'DRINK', Null, 1, N'Drinks', 1, N'10', '12/08/2026 10:00:00', '12/08/2026 09:00:00'),
  (N'TEA', N'DRINK', 0, N'Tea', 1, Null, '12/08/2026 10:00:00', Null),
  (N'OLD', Null, 0, N'Old stuff', 0, N'', '12/08/2026 10:00:00', Null),
  (N'GONE', N'NOGROUP', 0, N'Withdrawn', 0, N'12', '12/08/2026 10:00:00', '12/01/2026 10:00:00'),
  (N'SAME', Null, 0, N'Unchanged', 1, N'13', '12/08/2026 10:00:00', '12/08/2026 10:00:00');
Insert Category (Category, IsGroup, Description, Description1, OnlineSales, WooID) Values (N'FRUIT', 0, N'Fruit', N'Obst', 1, N'57');
Insert Product (ProductCode, Category, Description, OnlineOrderItem, ModifyDate, StockQty1) Values
  (N'GREEN', N'TEA', N'Green tea', 1, '12/08/2026 10:00:00', 5),
  (N'APPLE', N'FRUIT', N'Apple', 1, '12/08/2026 10:00:00', 7),
  (N'PEAR', N'FRUIT', N'Pear', 1, '12/07/2026 10:00:00', 0);
Insert ProductExtend (ProductCode, WooID, LastSyncedAt, LastStockUpdatedAt, LastStockSyncedAt) Values
  (N'APPLE', N'55', '12/08/2026 09:00:00', '12/08/2026 11:00:00', '12/08/2026 09:00:00'),
  (N'PEAR', N'56', '12/08/2026 09:00:00', '12/08/2026 08:00:00', '12/08/2026 09:00:00');
Insert ProductFamily Values (N'FAM', N'Family deal', 1);
Insert Customer Values (N'C1', N'Ann');
Insert InvoiceHead (InvoiceNo, KindFlag, CustomerCode, Freight, InvoiceDate, Notes) Values (N'W26000001', 6, N'C1', 5, '12/08/2026', N'x');
Insert InvoiceHead (InvoiceNo, ReferenceNo, KindFlag, CustomerCode, Freight) Values (N'CN2600001', N'W26000001', 5, N'C1', -5);
Insert InvoiceItem (InvoiceNo, ID, ProductCode, Qty, Price, KindFlag, ProductFamilyCode) Values
  (N'W26000001', 1, N'APPLE', 2, 1.5, 6, N'FAM'), (N'W26000001', 2, N'PEAR', 1, 2, 6, Null), (N'W26000001', 3, N'GREEN', 0, 2, 6, Null),
  (N'CN2600001', 1, N'APPLE', -2, 1.5, 5, Null);
Insert RecvAcct Values (N'W26000001', 1, 10, N'card'), (N'W26000001', 2, -0.02, N'ROUNDING'), (N'W26000001', 3, 3, N'CREDIT NOTES');
Insert Payment Values (N'card', 0);
)";

const std::string kCategoryBase =
    "Select c.Category, c.CategoryGroup, c.Description, c.Description1, c.Description2, c.Description3, c.WooID, cg.WooID as "
    "parentWooID, c.OnlineSales, c.Translate1, c.Translate2, c.Translate3,  cg.Translate1 As ParentTrans1, cg.Translate2 As "
    "ParentTrans2, cg.Translate3 As ParentTrans3 From Category c LEFT JOIN Category cg On c.CategoryGroup = cg.Category WHERE "
    "(c.OnlineSales = 1 Or (c.OnlineSales = 0 And (c.WooID <> '' And c.WooID IS NOT NULL))) And (c.LastSyncedAt < "
    "c.LastUpdatedAt Or c.LastSyncedAt Is Null)";

struct TQueryCase {
  const char* Name;
  std::string Sql;
  std::string Rows;  // first column of every row, joined with ","
};

void PrintTo(const TQueryCase& c, std::ostream* os) { *os << c.Name; }

class EngineQueries : public EngineTest, public ::testing::WithParamInterface<TQueryCase> {};

TEST_P(EngineQueries, SelectTheRightRows) {
  Exec(kShop);
  TQueryResult r = Query(GetParam().Sql);
  std::string rows;
  for (auto& row : r.First().Rows) rows += (rows.empty() ? "" : ",") + row[0].AsString();
  EXPECT_EQ(rows, GetParam().Rows);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, EngineQueries,
    ::testing::Values(
        TQueryCase{"CategoryGroups", kCategoryBase + " And c.IsGroup = 1", "DRINK"},
        TQueryCase{"Categories",
                   kCategoryBase + " And c.IsGroup <> 1 And (cg.Category IS NULL Or (cg.WooID <> '' Or cg.WooID Is Not Null))" +
                       " Order By c.Category",
                   "FRUIT,GONE,TEA"},
        TQueryCase{"CategoryTranslations",
                   "Select c.Category, c.CategoryGroup, c.Description, c.Description1, c.Description2, c.Description3, c.WooID, "
                   "cg.WooID as parentWooID, c.OnlineSales, c.Translate1, c.Translate2, c.Translate3,  cg.Translate1 As "
                   "ParentTrans1, cg.Translate2 As ParentTrans2, cg.Translate3 As ParentTrans3 From Category c LEFT JOIN Category "
                   "cg On c.CategoryGroup = cg.Category WHERE c.OnlineSales = 1 And c.WooID <> '' And c.WooID IS NOT NULL And "
                   "((c.Description1 <> '' And c.Description1 IS NOT NULL And (c.Translate1 IS NULL Or c.Translate1 = '')) Or "
                   "(c.Description2 <> '' And c.Description2 IS NOT NULL And (c.Translate2 IS NULL Or c.Translate2 = '')) Or "
                   "(c.Description3 <> '' And c.Description3 IS NOT NULL And (c.Translate3 IS NULL Or c.Translate3 = '')))",
                   "FRUIT"},
        TQueryCase{"Products",
                   "Select p.*, pe.*, c.WooID as WooCateID, c.Translate1 as WooCateTrans1, c.Translate2 as WooCateTrans2, "
                   "c.Translate3 as WooCateTrans3 From Product p Left Join ProductExtend pe ON p.ProductCode = pe.ProductCode Left "
                   "Join Category c ON p.Category = c.Category Where (p.OnlineOrderItem = 1 Or (p.OnlineOrderItem = 0 And "
                   "(pe.WooId <> '' And pe.WooID IS NOT NULL))) And (pe.LastSyncedAt < p.ModifyDate or pe.LastSyncedAt IS NULL) "
                   "And c.WooID Is Not Null And c.WooID <> ''",
                   "APPLE"},
        TQueryCase{"Stock",
                   "Select p.*, pe.* From Product p Left Join ProductExtend pe ON p.ProductCode = pe.ProductCode Where "
                   "(p.OnlineOrderItem = 1 And pe.WooId <> '' And pe.WooID IS NOT NULL) And (pe.LastStockSyncedAt < "
                   "pe.LastStockUpdatedAt or pe.LastStockSyncedAt IS NULL)",
                   "APPLE"},
        TQueryCase{"ReceiptItems",
                   "Select InvoiceItem.ProductCode, Description, Description1, Description2, Description3, Qty, Price, Discount As "
                   "DiscountRate, InvoiceItem.GSTRate, ManuallyEnterWeight, SubDescription, SubDescription1, SubDescription2, "
                   "SubDescription3, SubDescription4, SubDescription5, PriceKind, Scalable, TareWeight, OriginalPrice, "
                   "IsMixMatchDiscountItem, DiscountItemCode, DiscountDescription, Barcode, Barcode1, Barcode2, Barcode3, Barcode4, "
                   "Barcode5, Location, IsRewardItem From Product, InvoiceItem Left Join ProductFamily On "
                   "InvoiceItem.ProductFamilyCode=ProductFamily.FamilyCode Where Product.ProductCode=InvoiceItem.ProductCode And "
                   "(InvoiceNo=N'W26000001' Or InvoiceNo IN (SELECT InvoiceNo From InvoiceHead Where KindFlag = 5 And "
                   "ReferenceNo=N'W26000001')) And Qty <> 0 And (KindFlag=6 Or KindFlag=5) Order By InvoiceItem.ID",
                   "APPLE,APPLE,PEAR"},
        TQueryCase{"ReceiptItemsByDescription",
                   "Select InvoiceItem.ProductCode, Description From Product, InvoiceItem Where "
                   "Product.ProductCode=InvoiceItem.ProductCode And InvoiceNo=N'W26000001' Order By Description",
                   "APPLE,GREEN,PEAR"},
        TQueryCase{"ReceiptHead",
                   "Select InvoiceHead.Notes, InvoiceHead.GSTStatus, ExemptTax, Freight, FreightGSTRate, OtherCharge, "
                   "OtherChargeGSTRate, RedeemPointsAsDollar, RedeemPointsGSTRate, DollarDiscount, VoucherAmount, "
                   "InvoiceHead.DiscountKind, InvoiceDate, OtherChargeDescription, MachineID, OpName, InvoiceHead.InvoiceNo, Printed, "
                   "TransferDateTime, Rounding, InvoiceHead.CustomerCode, CustomerName, CurrentPoints, OnlineOrder, OnlineOrderId, "
                   "Delivery, InvoiceHead.DeliveryAddress From Customer, InvoiceHead Left Join (Select InvoiceNo, Sum(PaidAmount) As "
                   "Rounding From RecvAcct Where PayBy=N'ROUNDING' Group By InvoiceNo) As PaymentTable On "
                   "InvoiceHead.InvoiceNo=PaymentTable.InvoiceNo Where InvoiceHead.CustomerCode=Customer.CustomerCode and "
                   "InvoiceHead.InvoiceNo=N'W26000001' and KindFlag=6; Select 1",
                   "x"},
        TQueryCase{"ReceiptRounding",
                   "Select Rounding From Customer, InvoiceHead Left Join (Select InvoiceNo, Sum(PaidAmount) As Rounding From "
                   "RecvAcct Where PayBy=N'ROUNDING' Group By InvoiceNo) As PaymentTable On "
                   "InvoiceHead.InvoiceNo=PaymentTable.InvoiceNo Where InvoiceHead.CustomerCode=Customer.CustomerCode and "
                   "InvoiceHead.InvoiceNo=N'W26000001' and KindFlag=6",
                   "-0.02"},
        TQueryCase{"CreditNoteSums",
                   "Select SUM(Freight) As Freight, SUM(OtherCharge) As OtherCharge, SUM(RedeemPointsAsDollar) As "
                   "RedeemPointsAsDollar, SUM(DollarDiscount) As DollarDiscount, SUM(VoucherAmount) As VoucherAmount, "
                   "SUM(VoucherDiscount) As VoucherDiscount From InvoiceHead Where InvoiceHead.ReferenceNo=N'W26000001' and "
                   "KindFlag=5",
                   "-5"},
        TQueryCase{"ReceiptPayments",
                   "Select RecvAcct.*, Payment.LinkToDevice From RecvAcct Left Join Payment On Payment.Payment = RecvAcct.PayBy "
                   "Where RecvAcct.PayBy<>'ROUNDING' and InvoiceNo=N'W26000001' Order By IDNo",
                   "W26000001,W26000001"},
        TQueryCase{"IsInvoiceCredited",
                   "Select SUM(Qty) As Qty, SUM(CreditedQty) As CreditedQty From InvoiceItem Where InvoiceNo=N'W26000001'", "3"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(EngineQueries, AmbiguousColumnIsRefused) {
  Exec(kShop);
  EXPECT_NE(ErrorOf("Select Description From Product, Category").find("Ambiguous column name 'Description'"),
            std::string::npos);
}

}  // namespace
}  // namespace ooa::test
