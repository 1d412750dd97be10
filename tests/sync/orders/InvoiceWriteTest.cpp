// The invoice write on a real embedded POS database: the fixture order's exact
// batch and the rows it leaves, the rewrite of an existing invoice, invoice
// numbering, the calculation cases, and a batch that rolls back.
#include <string>

#include <gtest/gtest.h>

#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "db/order/InvoiceWrite.h"
#include "model/OrderMessages.h"
#include "shop/woo/OrderParsing.h"
#include "sync/OrderImport.h"
#include "sync/orders/OrderFixture.h"
#include "support/InvoiceHeadColumns.h"
#include "support/PosFixture.h"
#include "support/FixedClock.h"

namespace ooa {
namespace {

using test::FixtureOrderJson;
using test::ParseShopJson;

const std::string kItemColumns =
    "Insert Into InvoiceItem(InvoiceNo, ProductCode, Qty, Price, NetPrice, Discount, GSTRate, "
    "UnitCost, KindFlag, PriceKind, DeductStockQty, OriginalPrice, ID, WarehouseCode, CreditedQty, InvoiceItemID, "
    "ManuallyEnterWeight, IsMixMatchDiscountItem, ProductFamilyCode, IsRedeemItem, RedeemItemPoints) "
    "Values(@InvoiceNo, ";

const std::string kRecvAcct =
    "Select @Id=Max(IDNo) From RecvAcct Where InvoiceNo=@InvoiceNo;If @Id Is Null Select @Id=1 else Select @Id = "
    "@Id + 1; Insert Into RecvAcct(InvoiceNo, AccountDate, PaidAmount, PayBy, Notes, Bank, Transfer, IDNo, OpName, "
    "RecordDateTime, MachineID, Deposit, PaymentID, Repayment, GiftCardBalance, GiftCardExpireDate, EFTPOSNote, "
    "GiftCardCode, GiftCard, DepositBalance) Values(@InvoiceNo,";

const std::string kFixtureBatch =
    "Declare @v Float; Begin Tran Select @v= [version] From Version (TabLockX); "
    // written meanwhile?
    "Declare @Done nvarchar(15); Select @Done=InvoiceNo From InvoiceHead Where OnlineOrderId=N'5001'; if @Done Is "
    "Not Null Begin Commit Tran; Select @Done As AlreadyWritten; GoTo ended End; "
    // customer
    "Declare @CustomerCode nvarchar(15); Select @CustomerCode=CustomerCode From Customer Where "
    "CustomerCode=N'M1001'; if @CustomerCode Is Null Begin Insert Into Customer(CustomerCode, CustomerName, "
    "Contact, Telephone, Fax, Mobile, Birthday, EMail, ABN, Address, Suburb, State, PostCode, Country, "
    "AutoPrintStatement, DeliveryAddress, DeliverySuburb, DeliveryState, DeliveryPostCode, DeliveryCountry, "
    "CreditLimit, CreditTerm, AccountManager, Live, PriceFlag, MapReference, Notes, DefaultDiscountRate, Grade, "
    "SpecialCustomer, GroupName, AccType, Gender, IsMember) Values(N'M1001',N'Ann O''Neil', Null, N'0411', Null, "
    "N'0422', Null, N'ann@x.au', Null, N'1 Main St Unit 2',N'Hobart',N'TAS',N'7000', N'AU', 1, N'Ann O''Neil, "
    "0422, 1 Main St Unit 2',N'Hobart',N'TAS',N'7000', N'AU', 0, 0, Null, 1, 0, Null, Null, 0, 0, 0, Null, 0, 0, "
    "1); End ELSE Begin Update Customer Set CustomerName=N'Ann O''Neil', Telephone=N'0411', Mobile=N'0422', "
    "Email=N'ann@x.au', Address=N'1 Main St Unit 2', Suburb=N'Hobart', PostCode=N'7000', State=N'TAS', "
    "Country=N'AU', DeliveryAddress=N'Ann O''Neil, 0422, 1 Main St Unit 2', DeliverySuburb=N'Hobart', "
    "DeliveryPostCode=N'7000', DeliveryState=N'TAS', DeliveryCountry=N'AU' Where CustomerCode=@CustomerCode; "
    "End; if @@Error <> 0 Begin GoTo BRK End; "
    // head: lookup, numbering, rewrite branch, insert
    "Declare @InvoiceNo nvarchar(15), @Modified Bit, @InvoiceInit nvarchar(3), @GenerateInvoiceNoKind "
    "Integer;Select @InvoiceNo=InvoiceNo From InvoiceHead Where OnlineOrderId=N'5001';"
    "if @InvoiceNo Is Null Begin Select @Modified=0;Declare @i int; Declare @Y nvarchar(6); "
    "Select @GenerateInvoiceNoKind = GenerateInvoiceNoKind, @InvoiceInit = POSInit From Profile; "
    "if @GenerateInvoiceNoKind = 0 Begin Set @Y='26'; "
    "Select @i = Cast(SubString(Max(InvoiceNo), Len(@InvoiceInit) + 3, 6) As Int) + 1 "
    "From InvoiceHead Where InvoiceNO Like @InvoiceInit + @Y + '%'; "
    "Set @InvoiceNo=Cast(IsNull(@i, 1) as varchar(6)); "
    "Set @InvoiceNo=Replicate('0', 6 - Len(@InvoiceNo)) + @InvoiceNo; "
    "Set @InvoiceNo=@InvoiceInit + @Y + @InvoiceNo; Select @InvoiceNo End "
    "Else Begin Set @Y='261208'; "
    "Select @i=Cast(SubString(Max(InvoiceNo), Len(@InvoiceInit) + 7, 4) As Int) + 1 "
    "From InvoiceHead Where InvoiceNo Like @InvoiceInit + @Y + '%'; "
    "Set @InvoiceNo=Cast(IsNull(@i, 1) as varchar(4)); "
    "Set @InvoiceNo=Replicate('0', 4 - Len(@InvoiceNo)) + @InvoiceNo; "
    "Set @InvoiceNo=@InvoiceInit + @Y + @InvoiceNo; Select @InvoiceNo End; "
    "End Else begin Select @Modified=1;"
    "Delete From InvoiceHead Where InvoiceNo=@InvoiceNo; if @@Error <> 0 Begin GoTo BRK End; "
    "Delete From InvoiceItem Where InvoiceNo=@InvoiceNo; if @@Error <> 0 Begin GoTo BRK End; "
    "Delete From RecvAcct Where InvoiceNo=@InvoiceNo; if @@Error <> 0 Begin GoTo BRK End; end;" +
    test::kInvoiceHeadInsert +
    "Values(Null, @InvoiceNo, '12/08/2026',N'M1001',1,0,Null,N'Online',N'Online',1,N'Ann O''Neil, 0422, "
    "1 Main St Unit 2, Hobart 7000, TAS, AU',36.5,60,7,11,0,10,10,Null,0,Null,6,0,N'Online',N'1',0,"
    "'12/08/2026 13:30:00',-1,1,1,0,Null,2,10,1,0,3,350,5,5,10,0,N'C-77',200,100, 0, 1, 1, N'5001', "
    "N'processing'); if @@Error <> 0 Begin GoTo BRK End; " +
    // lines
    kItemColumns +
    "N'BEER',2,22,22,0,10,2,6,1,6,19.8,1,N'1',0,0,0,0,Null,1,0); IF @@Error <> 0 begin goto BRK end; "
    "Update Product Set StockQty1=StockQty1-(2 * 6),StockValue1=StockValue1-(2 * 6 * 2) Where "
    "ProductCode=N'BEER';IF @@Error <> 0 begin goto BRK end; " +
    kItemColumns +
    "N'WINE',1,22,22,0,10,12.5,6,0,1,22,2,N'1',0,0,0,0,Null,1,0); IF @@Error <> 0 begin goto BRK end; "
    "Update Product Set StockQty1=StockQty1-(1 * 1),StockValue1=StockValue1-(1 * 1 * 12.5) Where "
    "ProductCode=N'WINE';IF @@Error <> 0 begin goto BRK end; "
    // payments
    "Declare @Id Integer; " +
    kRecvAcct +
    "'12/08/2026 13:30:30',50,N'stripe',N'Online Payment', Null, 0, @Id, N'Online','12/10/2026 09:00:00',"
    "N'Online', 0, 0, 0, 0, Null, Null, '', 0, 0); if @@Error <> 0 Begin GoTo BRK End; " +
    kRecvAcct +
    "'12/08/2026 13:30:00',20,N'Deposit',N'Online Payment', Null, 0, @Id, N'Online','12/10/2026 09:00:00',"
    "N'Online', 1, 0, 0, 0, Null, Null, '', 0, 30); if @@Error <> 0 Begin GoTo BRK End; "
    "Declare @TotalPaid Float; Select @TotalPaid=Sum(PaidAmount) From RecvAcct Where InvoiceNo=@InvoiceNo; "
    "Update InvoiceHead Set PaidAmount=@TotalPaid Where InvoiceNo=@InvoiceNo;if @@Error <> 0 Begin GoTo BRK "
    "End; "
    "Commit Tran; Select @InvoiceNo As InvoiceNo, @Modified As Modified; GoTo ended; BRK: rollback tran; ended:";

class InvoiceWrite : public ::testing::Test {
 protected:
  void SetUp() override { ParseShopJson(Order, FixtureOrderJson()); }

  bool Process(const rapidjson::Value& order) {
    Outcome = ProcessOrder(Pos.Db, order);
    InvoiceNo = Outcome.Number;
    Msg = Outcome.Message;
    Modified = Outcome.Modified;
    return Outcome.Written();
  }

  test::TFixedClock Clock{TDateTime::FromCivil(2026, 12, 9, 23, 0, 0), test::kFixtureUtcOffsetMinutes};
  test::TScopedClock UseClock{Clock};
  test::TPosFixture Pos;
  rapidjson::Document Order;
  TWriteOutcome Outcome;
  std::string InvoiceNo, Msg;
  bool Modified = false;
};

TEST_F(InvoiceWrite, FixtureOrderBatchAndRows) {
  // The batch, piece by piece.
  TDatabaseModule& db = Pos.Db;
  InitInvoice(db);
  const rapidjson::Value* loyalty = nullptr;
  std::string msg;
  ASSERT_TRUE(ParseOrderData(db.Document, ConfigSnapshot().WarehouseCode, Order, msg, loyalty)) << msg;
  CalcInvoice(db);
  EXPECT_EQ(GenerateInvoiceBatch(db), kFixtureBatch);

  ASSERT_TRUE(Process(Order)) << Msg;
  EXPECT_EQ(Msg, "Success");
  EXPECT_EQ(InvoiceNo, "W26000001");
  EXPECT_FALSE(Modified);

  TRecordSet customer = Pos.Rows("Select * From Customer Where CustomerCode=N'M1001'");
  ASSERT_EQ(customer.RecordCount(), 1);
  EXPECT_EQ(customer.Field(0, "CustomerName").AsString(), "Ann O'Neil");
  EXPECT_EQ(customer.Field(0, "EMail").AsString(), "ann@x.au");
  EXPECT_EQ(customer.Field(0, "DeliveryAddress").AsString(), "Ann O'Neil, 0422, 1 Main St Unit 2");
  EXPECT_TRUE(customer.Field(0, "IsMember").AsBoolean());
  EXPECT_TRUE(customer.Field(0, "AutoPrintStatement").AsBoolean());

  TRecordSet head = Pos.Rows("Select * From InvoiceHead");
  ASSERT_EQ(head.RecordCount(), 1);
  EXPECT_EQ(head.Field(0, "InvoiceNo").AsString(), "W26000001");
  EXPECT_EQ(head.Field(0, "CustomerCode").AsString(), "M1001");
  EXPECT_EQ(head.Field(0, "InvoiceDate").AsDateTime(), TDateTime::FromCivil(2026, 12, 8));
  EXPECT_EQ(head.Field(0, "TransferDateTime").AsDateTime(), TDateTime::FromCivil(2026, 12, 8, 13, 30));
  EXPECT_EQ(head.Field(0, "Amount").AsFloat(), 60);
  EXPECT_EQ(head.Field(0, "GST").AsFloat(), 7);
  EXPECT_EQ(head.Field(0, "TotalCost").AsFloat(), 36.5);
  EXPECT_EQ(head.Field(0, "Freight").AsFloat(), 11);
  EXPECT_EQ(head.Field(0, "PaidAmount").AsFloat(), 70);
  EXPECT_EQ(head.Field(0, "KindFlag").AsInteger(), 6);
  EXPECT_EQ(head.Field(0, "OnlineOrderId").AsString(), "5001");
  EXPECT_EQ(head.Field(0, "VoucherId").AsString(), "C-77");
  EXPECT_TRUE(head.Field(0, "OnlineOrder").AsBoolean());

  TRecordSet lines = Pos.Rows("Select * From InvoiceItem Where InvoiceNo=N'W26000001' Order By ID");
  ASSERT_EQ(lines.RecordCount(), 2);
  EXPECT_EQ(lines.Field(0, "ID").AsInteger(), 1);
  EXPECT_EQ(lines.Field(0, "ProductCode").AsString(), "BEER");
  EXPECT_EQ(lines.Field(0, "PriceKind").AsInteger(), 1);
  EXPECT_EQ(lines.Field(0, "DeductStockQty").AsFloat(), 6);
  EXPECT_EQ(lines.Field(1, "ID").AsInteger(), 2);
  EXPECT_EQ(lines.Field(1, "ProductCode").AsString(), "WINE");
  EXPECT_EQ(lines.Field(1, "UnitCost").AsFloat(), 12.5);
  EXPECT_TRUE(lines.Field(1, "IsRedeemItem").AsBoolean());

  TRecordSet stock = Pos.Rows("Select ProductCode, StockQty1, StockValue1 From Product Order By ProductCode");
  EXPECT_EQ(stock.Field(0, "StockQty1").AsFloat(), 108);
  EXPECT_EQ(stock.Field(0, "StockValue1").AsFloat(), 216);
  EXPECT_EQ(stock.Field(1, "StockQty1").AsFloat(), 9);
  EXPECT_EQ(stock.Field(1, "StockValue1").AsFloat(), 87.5);

  TRecordSet paid = Pos.Rows("Select * From RecvAcct Where InvoiceNo=N'W26000001' Order By IDNo");
  ASSERT_EQ(paid.RecordCount(), 2);
  EXPECT_EQ(paid.Field(0, "IDNo").AsInteger(), 1);
  EXPECT_EQ(paid.Field(0, "PayBy").AsString(), "stripe");
  EXPECT_EQ(paid.Field(0, "PaidAmount").AsFloat(), 50);
  EXPECT_FALSE(paid.Field(0, "Deposit").AsBoolean());
  EXPECT_EQ(paid.Field(1, "IDNo").AsInteger(), 2);
  EXPECT_EQ(paid.Field(1, "PayBy").AsString(), "Deposit");
  EXPECT_EQ(paid.Field(1, "PaidAmount").AsFloat(), 20);
  EXPECT_TRUE(paid.Field(1, "Deposit").AsBoolean());
  EXPECT_EQ(paid.Field(1, "DepositBalance").AsFloat(), 30);

  // The same order again is recognised by its shop id.
  std::string found;
  EXPECT_TRUE(CheckInvoiceExists(db, "5001", found));
  EXPECT_EQ(found, "W26000001");
  std::string untouched = "keep";
  EXPECT_FALSE(CheckInvoiceExists(db, "5002", untouched));
  EXPECT_EQ(untouched, "keep");
}

// Another copy of the service may write the order between the pass's look
// and the batch: the batch looks again under its lock, writes nothing, and
// names the invoice that is there. The stock is taken once.
TEST_F(InvoiceWrite, OrderWrittenMeanwhileIsFoundByTheBatchAndLeftAlone) {
  ASSERT_TRUE(Process(Order)) << Msg;
  EXPECT_FALSE(Process(Order));  // the pass's look is skipped: the batch finds it
  EXPECT_EQ(Msg, kMsgAlreadyWritten);
  EXPECT_EQ(InvoiceNo, "W26000001");
  EXPECT_EQ(Outcome.Kind, TWriteKind::AlreadyWritten);
  EXPECT_EQ(Pos.Value("Select Count(*) From InvoiceHead").AsInteger(), 1);
  EXPECT_EQ(Pos.Value("Select Count(*) From InvoiceItem").AsInteger(), 2);
  EXPECT_EQ(Pos.Value("Select Count(*) From RecvAcct").AsInteger(), 2);
  TRecordSet stock = Pos.Rows("Select ProductCode, StockQty1, StockValue1 From Product Order By ProductCode");
  EXPECT_EQ(stock.Field(0, "StockQty1").AsFloat(), 108);  // as after one import
  EXPECT_EQ(stock.Field(0, "StockValue1").AsFloat(), 216);
  EXPECT_EQ(stock.Field(1, "StockQty1").AsFloat(), 9);
  EXPECT_EQ(stock.Field(1, "StockValue1").AsFloat(), 87.5);
}

TEST_F(InvoiceWrite, InvoiceNumbering) {
  struct TCase {
    const char* Name;
    int Kind;
    const char* Prefix;
    const char* Existing;  // an invoice already in the POS, or ""
    const char* Expected;
  };
  const TCase cases[] = {
      {"yearly, next of the year", 0, "W", "W26000041", "W26000042"},
      {"yearly, older year ignored", 0, "W", "W25000041", "W26000001"},
      {"daily", 1, "W", "W2612080041", "W2612080042"},
      {"daily, other day ignored", 1, "W", "W2612070041", "W2612080001"},
      {"prefix cut to three", 0, "ABCD", "", "ABC26000001"},
  };
  int orderId = 6000;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Pos.Exec("Delete From InvoiceHead; Update Profile Set GenerateInvoiceNoKind=" + std::to_string(c.Kind) +
             ", POSInit=N'" + c.Prefix + "';");
    if (*c.Existing) Pos.Exec(std::string("Insert Into InvoiceHead(InvoiceNo) Values(N'") + c.Existing + "');");
    ParseShopJson(Order, FixtureOrderJson(std::to_string(++orderId)));
    ASSERT_TRUE(Process(Order)) << Msg;
    EXPECT_EQ(InvoiceNo, c.Expected);
  }
}

TEST_F(InvoiceWrite, RolledBackBatchIsAFailureAndWritesNothing) {
  // A line that the POS already holds under the number the batch will draw
  // makes the second line insert fail after the number was selected.
  Pos.Exec("Insert Into InvoiceItem(InvoiceNo, ID, ProductCode) Values(N'W26000001', 2, N'OLD');");
  EXPECT_FALSE(Process(Order));
  EXPECT_EQ(Msg.rfind(kMsgInvoiceNotWritten, 0), 0u) << Msg;
  EXPECT_EQ(Outcome.Kind, TWriteKind::NotWritten);
  EXPECT_EQ(Pos.Value("Select Count(*) From InvoiceHead").AsInteger(), 0);
  EXPECT_EQ(Pos.Value("Select Count(*) From Customer").AsInteger(), 0);
  EXPECT_EQ(Pos.Value("Select Count(*) From RecvAcct").AsInteger(), 0);
  EXPECT_EQ(Pos.Value("Select StockQty1 From Product Where ProductCode=N'BEER'").AsFloat(), 120);
}

TEST_F(InvoiceWrite, OrderTextIsStoredExactlyAsSent) {
  const std::string odd = "Zoë's \"shop\"; DROP TABLE Customer;--\t\x01 上海";
  Order["billing"]["address_1"].SetString(odd.c_str(), Order.GetAllocator());
  Order["shipping"]["city"].SetString(odd.c_str(), Order.GetAllocator());
  ASSERT_TRUE(Process(Order)) << Msg;
  EXPECT_EQ(Pos.Value("Select Address From Customer").AsString(), odd + " Unit 2");
  EXPECT_EQ(Pos.Value("Select DeliverySuburb From Customer").AsString(), odd);
}

TEST_F(InvoiceWrite, CalculationCases) {
  Pos.Exec(
      "Insert Into Product(ProductCode, GSTRate, MeasureQty, DeductStockQty, DeductStockQty1, StockQty1, "
      "StockValue1, CalcSalesCostKind, LastOrderPrice, SalesPrice1, SalesPrice2) Values"
      "(N'HALF', 10, 0.5, 7, 7, 10, 55, 0, 4, 10, 0);"
      "Insert Into Product(ProductCode, GSTRate, MeasureQty, DeductStockQty, DeductStockQty1, StockQty1, "
      "StockValue1, CalcSalesCostKind, LastOrderPrice, SalesPrice1, SalesPrice2) Values"
      "(N'GRAM', 15, 1000, 1000, 250, 0.0005, 3, 0, 4, 10, 20);"
      "Insert Into Product(ProductCode, GSTRate, MeasureQty, DeductStockQty, DeductStockQty1, StockQty1, "
      "StockValue1, CalcSalesCostKind, LastOrderPrice, SalesPrice1, SalesPrice2) Values"
      "(N'LAST', 0, 1, 1, 1, 10, 55, 1, 4, 10, 0);"
      "Insert Into Product(ProductCode, GSTRate, MeasureQty, DeductStockQty, DeductStockQty1, StockQty1, "
      "StockValue1, CalcSalesCostKind, LastOrderPrice, SalesPrice1, SalesPrice2) Values"
      "(N'X-PK2', 10, 1, 1, 1, 10, 30, 0, 4, 5, 50);");
  struct TCase {
    const char* Sku;
    double Qty;
    const char* Code;
    int PriceKind;
    double GstRate, Deduct, UnitCost, OriginalPrice;
  };
  const TCase cases[] = {
      {"HALF", 1, "HALF", 0, 10, 1, 5.5, 11},        // below 0.9999: one unit; average cost 55/10
      {"GRAM-PK2", 2, "GRAM", 1, 15, 0.25, 4, 23},   // 250/1000; stock too small: last order price
      {"LAST", 3, "LAST", 0, 0, 1, 4, 10},           // cost kind 1: last order price
      {"X-PK2", 1, "X-PK2", 0, 10, 1, 3, 5.5},       // the whole SKU is a product
      {"NONE-PK3", 4, "NONE", 2, 0, 1, 0, 0},        // not in the POS
  };
  TDatabaseModule& db = Pos.Db;
  InitInvoice(db);
  db.InvoiceHead.Freight = 11;
  double amount = 0, gst = 0, cost = 0;
  for (const TCase& c : cases) {
    rapidjson::Document line;
    ParseShopJson(line, std::string(R"([{"sku":")") + c.Sku + R"(","quantity":)" + std::to_string(c.Qty) +
                            R"(,"subtotal":"10.00","subtotal_tax":"1.00"}])");
    ASSERT_TRUE(ParseInvoiceItems(db.Document, ConfigSnapshot().WarehouseCode, line, false));
    amount += 11;
    gst += 1;
    cost += c.Deduct * c.Qty * c.UnitCost;
  }
  ASSERT_TRUE(CalcInvoice(db));
  for (size_t i = 0; i < std::size(cases); ++i) {
    const TCase& c = cases[i];
    const TInvoiceItem& item = db.InvoiceItem[i];
    SCOPED_TRACE(c.Sku);
    EXPECT_EQ(item.ProductCode, c.Code);
    EXPECT_EQ(item.PriceKind, c.PriceKind);
    EXPECT_DOUBLE_EQ(item.GSTRate, c.GstRate);
    EXPECT_DOUBLE_EQ(item.DeductStockQty, c.Deduct);
    EXPECT_DOUBLE_EQ(item.UnitCost, c.UnitCost);
    EXPECT_DOUBLE_EQ(item.OriginalPrice, c.OriginalPrice);
    EXPECT_EQ(item.NetPrice, item.Price);
    EXPECT_EQ(item.WarehouseCode, "1");
  }
  EXPECT_DOUBLE_EQ(db.InvoiceHead.Amount, amount - gst);
  EXPECT_DOUBLE_EQ(db.InvoiceHead.GST, gst + 1);  // freight 11.00 at 10 % carries 1.00
  EXPECT_DOUBLE_EQ(db.InvoiceHead.TotalCost, cost);
  EXPECT_EQ(db.InvoiceHead.FreightGSTRate, 10);
  EXPECT_EQ(db.InvoiceHead.CurrentGSTRate, 10);
  EXPECT_EQ(db.InvoiceHead.TransferDateTime, Clock.NowLocal());
}

// Figures each within range that overflow once divided, totalled or
// multiplied would fail in the database on every pass; they are bad order data.
TEST_F(InvoiceWrite, FiguresThatOverflowAreBadOrderDataAndWriteNothing) {
  struct TCase {
    const char* Name;
    const char* Member;  // of the first line, or of the order when Line is false
    const char* Value;
    bool Line;
    const char* TaxOfTheLine = nullptr;  // the first line's subtotal_tax too
    // Figures beyond what an order can hold are refused as they are read,
    // a line's as items data; the others once calculated.
    std::string Msg = kMsgOrderDataError;
  };
  const TCase cases[] = {
      {"line amount", "subtotal", "1.7e308", true, "1.7e308", kMsgOrderItemsDataError},
      {"price of a tiny quantity", "quantity", "1e-307", true},
      {"stock units of a huge quantity", "quantity", "1e308", true, nullptr, kMsgOrderItemsDataError},
      {"GST share of the freight", "shipping_total", "1.7e308", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    rapidjson::Document order;
    ParseShopJson(order, FixtureOrderJson());
    rapidjson::Value& target = c.Line ? order["line_items"][0] : static_cast<rapidjson::Value&>(order);
    target[c.Member].SetString(c.Value, order.GetAllocator());
    if (c.TaxOfTheLine) order["line_items"][0]["subtotal_tax"].SetString(c.TaxOfTheLine, order.GetAllocator());
    EXPECT_FALSE(Process(order));
    EXPECT_EQ(Msg, c.Msg);
    EXPECT_EQ(Outcome.Kind, TWriteKind::DataError);
    EXPECT_EQ(Pos.Value("Select Count(*) From InvoiceHead").AsInteger(), 0);
    EXPECT_EQ(Pos.Value("Select StockQty1 From Product Where ProductCode=N'BEER'").AsFloat(), 120);
  }
}

// Figures no till takes are refused as the order's own data, with the reason,
// before anything is written: a quantity beyond 100,000 a line or of the
// wrong sign (it would raise stock), an amount beyond a billion.
TEST_F(InvoiceWrite, ImplausibleFiguresAreRefusedAsTheOrdersDataWithTheirReason) {
  struct TCase {
    const char* Member;  // of the first line, or of the order when Line is false
    const char* Value;
    bool Line;
    std::string Msg, Fault;
  };
  const TCase cases[] = {
      {"quantity", "1e300", true, kMsgOrderItemsDataError,
       "'1e300' of \"quantity\" is beyond what an order can hold (1000000000 at most, either sign)."},
      {"quantity", "100001", true, kMsgOrderItemsDataError, "A line's \"quantity\" 100001 is beyond 100000 for one line."},
      {"quantity", "-5", true, kMsgOrderItemsDataError,
       "An order line's \"quantity\" -5 has the wrong sign (an order's lines are positive)."},
      {"total", "1e20", false, kMsgOrderDataError,
       "Order data cannot be read: '1e20' of \"total\" is beyond what an order can hold (1000000000 at most, "
       "either sign)."},
      {"shipping_total", "-2e9", false, kMsgOrderDataError,
       "'-2e9' of \"shipping_total\" is beyond what an order can hold (1000000000 at most, either sign)."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Member) + " " + c.Value);
    rapidjson::Document order;
    ParseShopJson(order, FixtureOrderJson());
    rapidjson::Value& target = c.Line ? order["line_items"][0] : static_cast<rapidjson::Value&>(order);
    target[c.Member].SetString(c.Value, order.GetAllocator());
    EXPECT_FALSE(Process(order));
    EXPECT_EQ(Msg, c.Msg);
    EXPECT_EQ(Pos.Db.DataFault, c.Fault);
    EXPECT_EQ(Pos.Value("Select Count(*) From InvoiceHead").AsInteger(), 0);
    EXPECT_EQ(Pos.Value("Select StockQty1 From Product Where ProductCode=N'BEER'").AsFloat(), 120);
  }
  // At the bounds the order is booked.
  rapidjson::Document order;
  ParseShopJson(order, FixtureOrderJson());
  order["line_items"][1]["quantity"].SetString("100000", order.GetAllocator());
  EXPECT_TRUE(Process(order)) << Msg << " " << Pos.Db.DataFault;
}

// A text longer than its POS column would fail the write on every pass; it is
// bad order data. Widths count characters, not bytes.
TEST_F(InvoiceWrite, TextsLongerThanTheirColumnsAreBadOrderDataAndWriteNothing) {
  auto repeat = [](const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
  };
  struct TCase {
    const char* Name;
    const char* Part;  // "line", "billing" or "order"
    const char* Member;
    std::string Value;
    std::string Msg;  // empty: written
  };
  const TCase cases[] = {
      {"SKU of 30 characters", "line", "sku", repeat("\xE4\xB8\x8A", 30), ""},
      {"SKU of 31 characters", "line", "sku", repeat("S", 31), kMsgOrderItemsDataError},
      {"billing address of 202 characters", "billing", "address_1", repeat("a", 195), kMsgCustomerDataError},
      {"payment method of 31 characters", "order", "payment_method", repeat("p", 31), kMsgOrderPaymentDataError},
      {"status of 31 characters", "order", "status", repeat("s", 31), kMsgOrderDataError},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    test::TPosFixture pos;
    rapidjson::Document order;
    ParseShopJson(order, FixtureOrderJson());
    rapidjson::Value& part = std::string(c.Part) == "line"      ? order["line_items"][0]
                             : std::string(c.Part) == "billing" ? order["billing"]
                                                                : static_cast<rapidjson::Value&>(order);
    part[c.Member].SetString(c.Value.c_str(), order.GetAllocator());
    const TWriteOutcome out = ProcessOrder(pos.Db, order);
    const bool written = out.Written();
    EXPECT_EQ(written, c.Msg.empty()) << out.Message;
    EXPECT_EQ(pos.Value("Select Count(*) From InvoiceHead").AsInteger(), written ? 1 : 0);
    if (!written) {
      EXPECT_EQ(out.Message, c.Msg);
      EXPECT_EQ(out.Kind, TWriteKind::DataError);
    }
  }
}

TEST_F(InvoiceWrite, WarehouseWithoutStockColumnsEndsTheOrder) {
  TConfig config = Pos.Config;
  config.WarehouseCode = "9";
  SetConfig(config);
  EXPECT_THROW(Process(Order), TDbError);
  config.WarehouseCode = "1;Drop";
  SetConfig(config);
  EXPECT_THROW(Process(Order), TDbError);
  EXPECT_EQ(Pos.Value("Select Count(*) From InvoiceHead").AsInteger(), 0);
}

}  // namespace
}  // namespace ooa
