// The adaptor's write batches, in the shape the order import and the credit
// notes send them, on the demo shop: every table and column they name exists,
// and the rows land where the receipt reads them.
#include <gtest/gtest.h>

#include "DbTestUtil.h"
#include "support/InvoiceHeadColumns.h"
#include "config/Config.h"
#include "db/DatabaseModule.h"

namespace ooa {
namespace {

const std::string kInvoiceBatch =
    "Declare @v Float; Begin Tran Select @v= [version] From Version (TabLockX); "
    // customer upsert
    "Declare @CustomerCode nvarchar(15); Select @CustomerCode=CustomerCode From Customer Where "
    "CustomerCode=N'OnlineUser-7'; if @CustomerCode Is Null Begin "
    "Insert Into Customer(CustomerCode, CustomerName, Contact, Telephone, Fax, Mobile, Birthday, "
    "EMail, ABN, Address, Suburb, State, PostCode, Country, AutoPrintStatement, DeliveryAddress, "
    "DeliverySuburb, DeliveryState, DeliveryPostCode, DeliveryCountry, CreditLimit, CreditTerm, "
    "AccountManager, Live, PriceFlag, MapReference, Notes, DefaultDiscountRate, Grade, "
    "SpecialCustomer, GroupName, AccType, Gender, IsMember) Values(N'OnlineUser-7',N'Olivia Martin', Null, "
    "N'0298765432', Null, N'0400111222', Null, N'olivia@example.com', Null, N'3 O''Neil St',N'Balmain',N'NSW',"
    "N'2041', N'AU', 1, N'3 O''Neil St',N'Balmain',N'NSW',N'2041', N'AU', 0, 0, Null, 1, 0, Null, Null, 0, 0, 0, "
    "Null, 0, 0, 1); End ELSE Begin Update Customer Set CustomerName=N'Olivia Martin', Telephone=Null, "
    "Mobile=Null, Email=Null, Address=Null, Suburb=Null, PostCode=Null, State=Null, Country=Null, "
    "DeliveryAddress=Null, DeliverySuburb=Null, DeliveryPostCode=Null, DeliveryState=Null, DeliveryCountry=Null "
    "Where CustomerCode=@CustomerCode; End; if @@Error <> 0 Begin GoTo BRK End; "
    // head: numbering and insert
    "Declare @InvoiceNo nvarchar(15), @Modified Bit, @InvoiceInit nvarchar(3), @GenerateInvoiceNoKind "
    "Integer;Select @InvoiceNo=InvoiceNo From InvoiceHead Where OnlineOrderId=N'1234';"
    "if @InvoiceNo Is Null Begin Select @Modified=0;Declare @i int; Declare @Y nvarchar(6); "
    "Select @GenerateInvoiceNoKind = GenerateInvoiceNoKind, @InvoiceInit = POSInit From Profile; "
    "if @GenerateInvoiceNoKind = 0 Begin Set @Y='26'; Select @i = Cast(SubString(Max(InvoiceNo), "
    "Len(@InvoiceInit) + 3, 6) As Int) + 1 From InvoiceHead Where InvoiceNO Like @InvoiceInit + @Y + '%'; "
    "Set @InvoiceNo=Cast(IsNull(@i, 1) as varchar(6)); Set @InvoiceNo=Replicate('0', 6 - Len(@InvoiceNo)) + "
    "@InvoiceNo; Set @InvoiceNo=@InvoiceInit + @Y + @InvoiceNo; Select @InvoiceNo End "
    "Else Begin Set @Y='261208'; Select @i=Cast(SubString(Max(InvoiceNo), Len(@InvoiceInit) + 7, 4) As Int) + 1 "
    "From InvoiceHead Where InvoiceNo Like @InvoiceInit + @Y + '%'; Set @InvoiceNo=Cast(IsNull(@i, 1) as "
    "varchar(4)); Set @InvoiceNo=Replicate('0', 4 - Len(@InvoiceNo)) + @InvoiceNo; Set "
    "@InvoiceNo=@InvoiceInit + @Y + @InvoiceNo; Select @InvoiceNo End; End Else begin Select @Modified=1;"
    "Delete From InvoiceHead Where InvoiceNo=@InvoiceNo; if @@Error <> 0 Begin GoTo BRK End; Delete From "
    "InvoiceItem Where InvoiceNo=@InvoiceNo; if @@Error <> 0 Begin GoTo BRK End; Delete From RecvAcct Where "
    "InvoiceNo=@InvoiceNo; if @@Error <> 0 Begin GoTo BRK End; end;" +
    test::kInvoiceHeadInsert +
    "Values(Null, @InvoiceNo, '12/08/2026',N'OnlineUser-7',1,0,Null,N'Online',N'Online',0,"
    "Null,23,40,4,0,0,10,10,Null,0,N'1234',6,0,N'Online',N'1',0,'12/08/2026 23:41:48',0,1,1,0,Null,0,10,0,0,0,"
    "0,0,0,10,0,Null,0,0, 0, 1, 1, N'1234', N'processing'); if @@Error <> 0 Begin GoTo BRK End; "
    // one line with its stock deduction
    "Insert Into InvoiceItem(InvoiceNo, ProductCode, Qty, Price, NetPrice, Discount, GSTRate, "
    "UnitCost, KindFlag, PriceKind, DeductStockQty, OriginalPrice, ID, WarehouseCode, CreditedQty, InvoiceItemID, "
    "ManuallyEnterWeight, IsMixMatchDiscountItem, ProductFamilyCode, IsRedeemItem, RedeemItemPoints) "
    "Values(@InvoiceNo, N'LAGER330',2,21,21,0,10,1.6,6,1,6,21,1,N'1',0,0,0,0,Null,0,0); "
    "IF @@Error <> 0 begin goto BRK end; "
    "Update Product Set StockQty1=StockQty1-(2 * 6),StockValue1=StockValue1-(2 * 6 * 1.6) Where "
    "ProductCode=N'LAGER330';IF @@Error <> 0 begin goto BRK end; "
    // payment, deposit and paid total
    "Declare @Id Integer; "
    "Select @Id=Max(IDNo) From RecvAcct Where InvoiceNo=@InvoiceNo;If @Id Is Null Select @Id=1 else Select @Id = "
    "@Id + 1; Insert Into RecvAcct(InvoiceNo, AccountDate, PaidAmount, PayBy, Notes, Bank, Transfer, IDNo, "
    "OpName, RecordDateTime, MachineID, Deposit, PaymentID, Repayment, GiftCardBalance, GiftCardExpireDate, "
    "EFTPOSNote, GiftCardCode, GiftCard, DepositBalance) Values(@InvoiceNo,'12/08/2026 23:41:48',30,N'stripe',"
    "N'Online Payment', Null, 0, @Id, N'Online','12/08/2026 23:42:00',N'Online', 0, 0, 0, 0, Null, Null, '', 0, "
    "0); if @@Error <> 0 Begin GoTo BRK End; "
    "Select @Id=Max(IDNo) From RecvAcct Where InvoiceNo=@InvoiceNo;If @Id Is Null Select @Id=1 else Select @Id = "
    "@Id + 1; Insert Into RecvAcct(InvoiceNo, AccountDate, PaidAmount, PayBy, Notes, Bank, Transfer, IDNo, "
    "OpName, RecordDateTime, MachineID, Deposit, PaymentID, Repayment, GiftCardBalance, GiftCardExpireDate, "
    "EFTPOSNote, GiftCardCode, GiftCard, DepositBalance) Values(@InvoiceNo,'12/08/2026 23:41:48',12,N'Deposit',"
    "N'Online Payment', Null, 0, @Id, N'Online','12/08/2026 23:42:00',N'Online', 1, 0, 0, 0, Null, Null, '', 0, "
    "88); if @@Error <> 0 Begin GoTo BRK End; "
    "Declare @TotalPaid Float; Select @TotalPaid=Sum(PaidAmount) From RecvAcct Where InvoiceNo=@InvoiceNo; "
    "Update InvoiceHead Set PaidAmount=@TotalPaid Where InvoiceNo=@InvoiceNo;if @@Error <> 0 Begin GoTo BRK End; "
    "Commit Tran; Select @InvoiceNo As InvoiceNo, @Modified As Modified; GoTo ended; BRK: rollback tran; ended:";

// The cancellation credit note of that invoice (head, note, line, the
// credit-notes row and the reversals of payment and deposit).
const std::string kCreditBatch =
    "Declare @v Float; Begin Tran Select @v=[version] From Version (TabLockX); "
    "Declare @CreditNo nvarchar(15), @Y Nvarchar(2), @i int, @InvoiceNo nvarchar(15);Select "
    "@InvoiceNo=N'W26000001';Set @Y='26'; Select @i = Cast(SubString(Max(InvoiceNo), 5, 5) As Int) + 1 From "
    "InvoiceHead Where InvoiceNo Like 'CN'+ @Y + '%'; Set @CreditNo=Cast(IsNull(@i, 1) as varchar(5)); Set "
    "@CreditNo=Replicate('0', 5 - Len(@CreditNo)) + @CreditNo; Set @CreditNo='CN' + @Y + @CreditNo; Select "
    "@CreditNo; " +
    test::kInvoiceHeadInsert +
    "Values(@InvoiceNo, @CreditNo, '12/09/2026 00:00:00',N'OnlineUser-7',1,0,Null,N'Online',N'Online',0,Null,-23,"
    "-40,-4,0,0,10,10,Null,0,Null,5,0,N'Online',N'1',0,'12/09/2026 10:00:00',6,1,1,0,Null,0,0,1,0,0,0,0,0,0,0,Null,"
    "0,0,0,1,1,Null,Null); if @@Error <> 0 Begin GoTo BRK End; "
    "Declare @Notes nvarchar(2048); Declare @T Integer; Declare @CreditNotes varchar(2048); Select "
    "@CreditNotes=N'This Invoice has been credited: ' + @CreditNo; Select @Notes=Notes From InvoiceHead Where "
    "InvoiceNo=@InvoiceNo;Select @T = CHARINDEX(@CreditNotes, @Notes); if (@T = 0) or (@T Is Null) Begin If "
    "@Notes Is Null Begin Update InvoiceHead Set Notes=@CreditNotes Where InvoiceNo=@InvoiceNo End Else Begin "
    "Update InvoiceHead Set Notes=Notes + '\r\n' + @CreditNotes Where InvoiceNo=@InvoiceNo End; End; if @@Error "
    "<> 0 Begin GoTo BRK End;"
    "Update InvoiceItem Set CreditedQty=CreditedQty+(-2) Where InvoiceNo=@InvoiceNo And ProductCode=N'LAGER330';"
    "if @@Error <> 0 Begin GoTo BRK End;"
    "Insert Into InvoiceItem(InvoiceNo, ProductCode, Qty, Price, NetPrice, Discount, GSTRate, UnitCost, KindFlag, "
    "PriceKind, DeductStockQty, OriginalPrice, ID, WarehouseCode, CreditedQty, InvoiceItemID, ManuallyEnterWeight, "
    "IsMixMatchDiscountItem, ProductFamilyCode) Values(@CreditNo, N'LAGER330',-2,21,21,0,10,1.6,5,1,6,21,1,"
    "N'1',0,1,0,0,Null); IF @@Error <> 0 begin goto BRK end; "
    "Update Product Set StockQty1=StockQty1-(-2 * 6),StockValue1=StockValue1-(-2 * 6 * 1.6) Where "
    "ProductCode=N'LAGER330';IF @@Error <> 0 begin goto BRK end; "
    "Declare @Id Integer; Delete From RecvAcct Where Repayment=0 and Notes=@CreditNo; if @@Error <> 0 Begin GoTo "
    "BRK End; Select @Id=Max(IDNo) From RecvAcct Where InvoiceNo=@InvoiceNo;If @Id Is Null Select @Id=1 else "
    "Select @Id = @Id + 1; Insert Into RecvAcct(InvoiceNo, AccountDate, PaidAmount, PayBy, Notes, Bank, "
    "Transfer, IDNo, OpName, RecordDateTime, MachineID, Deposit, PaymentID, Repayment, GiftCardBalance, "
    "GiftCardExpireDate, EFTPOSNote) Values(@InvoiceNo,'12/09/2026 00:00:00',42,N'CREDIT NOTES', @CreditNo, "
    "Null, 0, @Id, N'Online','12/09/2026 10:00:00',N'Online', 0, 0, 0, 0, 0, Null);if @@Error <> 0 Begin GoTo "
    "BRK End;"
    "Select @Id=Max(IDNo) From RecvAcct Where InvoiceNo=@InvoiceNo;If @Id Is Null Select @Id=1 else Select @Id = "
    "@Id + 1; Insert Into RecvAcct(InvoiceNo, AccountDate, PaidAmount, PayBy, Notes, Bank, Transfer, IDNo, "
    "OpName, RecordDateTime, MachineID, Deposit, PaymentID, Repayment, GiftCardBalance, GiftCardExpireDate, "
    "EFTPOSNote, GiftCardCode, GiftCard, DepositBalance) Values(@InvoiceNo,'12/09/2026 00:00:00',-30,N'stripe',"
    "N'SALE REFUND: '+@CreditNo, Null, 0, @Id, N'Online','12/09/2026 10:00:00',N'Online', 0, 0, 0, 0, Null, Null, "
    "'', 0, 0); if @@Error <> 0 Begin GoTo BRK End; "
    "Select @Id=Max(IDNo) From RecvAcct Where InvoiceNo=@InvoiceNo;If @Id Is Null Select @Id=1 else Select @Id = "
    "@Id + 1; Insert Into RecvAcct(InvoiceNo, AccountDate, PaidAmount, PayBy, Notes, Bank, Transfer, IDNo, "
    "OpName, RecordDateTime, MachineID, Deposit, PaymentID, Repayment, GiftCardBalance, GiftCardExpireDate, "
    "EFTPOSNote, GiftCardCode, GiftCard, DepositBalance) Values(@InvoiceNo,'12/09/2026 00:00:00',-12,N'Deposit',"
    "N'SALE REFUND: '+@CreditNo, Null, 0, @Id, N'Online','12/09/2026 10:00:00',N'Online', 1, 0, 0, 0, Null, Null, "
    "'', 0, 0); if @@Error <> 0 Begin GoTo BRK End; "
    "Declare @TotalPaid Float; Select @TotalPaid=Sum(PaidAmount) From RecvAcct Where InvoiceNo=@InvoiceNo; "
    "Update InvoiceHead Set PaidAmount=@TotalPaid Where InvoiceNo=@InvoiceNo;if @@Error <> 0 Begin GoTo BRK End; "
    "Commit Tran; Select @CreditNo GoTo ended; BRK: rollback tran; ended:";

TEST(PosSchema, TakesTheInvoiceAndCreditNoteBatches) {
  dbtest::TScratchDir dir;
  dbtest::InitDatabase(dir.File("demo.db"));
  SetConfigPath(dir.File("OnlineService.ini"));
  TDatabaseModule m;
  ASSERT_TRUE(m.ConnectToServer(dbtest::EmbeddedConfig("DEMO.DB")));

  TQueryResult invoice;
  ASSERT_NO_THROW(invoice = m.Select(kInvoiceBatch));
  ASSERT_EQ(invoice.Sets.size(), 2u);  // the new number, then the closing select
  EXPECT_EQ(invoice.First().Rows.at(0).at(0).AsString(), "W26000001");
  EXPECT_EQ(invoice.Sets[1].Field(0, "Modified").AsBoolean(), false);

  TQueryResult credit;
  ASSERT_NO_THROW(credit = m.Select(kCreditBatch));
  EXPECT_EQ(credit.Sets.size(), 2u);
  EXPECT_EQ(credit.First().Rows.at(0).at(0).AsString(), "CN2600001");

  struct TCheck {
    const char* Sql;
    std::string Expected;  // first column of the first row
  } checks[] = {
      {"Select Address From Customer Where CustomerCode = N'OnlineUser-7'", "3 O'Neil St"},
      {"Select PaidAmount From InvoiceHead Where InvoiceNo = N'W26000001'", "42"},
      {"Select Notes From InvoiceHead Where InvoiceNo = N'W26000001'", "This Invoice has been credited: CN2600001"},
      {"Select Count(*) From RecvAcct Where InvoiceNo = N'W26000001'", "5"},
      {"Select Notes From RecvAcct Where InvoiceNo = N'W26000001' And IDNo = 5", "SALE REFUND: CN2600001"},
      {"Select CreditedQty From InvoiceItem Where InvoiceNo = N'W26000001'", "-2"},
      {"Select StockQty1 From Product Where ProductCode = N'LAGER330'", "240"},
      {"Select ReferenceNo From InvoiceHead Where InvoiceNo = N'CN2600001' And KindFlag = 5", "W26000001"},
  };
  for (const TCheck& c : checks) {
    TRecordSet rows;
    ASSERT_NO_THROW(rows = m.SelectRows(c.Sql)) << c.Sql;
    ASSERT_EQ(rows.RecordCount(), 1) << c.Sql;
    EXPECT_EQ(rows.Rows[0][0].AsString(), c.Expected) << c.Sql;
  }
  SetConfigPath("");
}

}  // namespace
}  // namespace ooa
