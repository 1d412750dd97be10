// Just the POS tables and columns that the engine tests write, in the shape
// the POS keeps them, and the invoice / credit note batches as the order import
// assembles them.
#pragma once

#include <string>
#include <vector>

namespace ooa::test {

inline const char* kPosTables = R"(
Create Table Version ([version] float Not Null);
Create Table Profile (CompanyName nvarchar(60), GenerateInvoiceNoKind int Default 0, POSInit nvarchar(10), DefaultGSTRate float);
Create Table Customer (CustomerCode nvarchar(15) Not Null Primary Key, CustomerName nvarchar(60), Address nvarchar(120), Live bit Default 1);
Create Table Product (ProductCode nvarchar(30) Not Null Primary Key, Description nvarchar(60), StockQty1 float Default 0, StockValue1 float Default 0);
Create Table InvoiceHead (InvoiceNo nvarchar(15) Not Null Primary Key, ReferenceNo nvarchar(15), KindFlag int, InvoiceDate datetime,
  CustomerCode nvarchar(15), Notes nvarchar(max), Amount float Default 0, PaidAmount float Default 0, OnlineOrderId nvarchar(30));
Create Index IX_InvoiceHead_OnlineOrderId On InvoiceHead (OnlineOrderId);
Create Table InvoiceItem (InvoiceNo nvarchar(15) Not Null, ID int Not Null, ProductCode nvarchar(30), Qty float, Price float,
  DeductStockQty float, UnitCost float, CreditedQty float Default 0, Primary Key (InvoiceNo, ID));
Create Table RecvAcct (InvoiceNo nvarchar(15) Not Null, IDNo int Not Null, AccountDate datetime, PaidAmount float, PayBy nvarchar(30),
  Notes nvarchar(60), Deposit bit Default 0, Repayment bit Default 0, Primary Key (InvoiceNo, IDNo));
Insert Version Values (1);
)";

struct TTestLine {
  std::string ProductCode;
  double Qty;
  double Price;
};

// The invoice write batch of one shop order: Version lock, customer upsert,
// numbering, head, lines with stock deduction, one payment, paid total.
inline std::string InvoiceBatch(const std::string& orderId, const std::string& yymmdd, const std::string& customer,
                                const std::vector<TTestLine>& lines, double paid, const std::string& date = "12/08/2026") {
  std::string b = "Declare @v Float; Begin Tran Select @v= [version] From Version (TabLockX); ";
  b += "Declare @CustomerCode nvarchar(15); Select @CustomerCode=CustomerCode From Customer Where CustomerCode=N'" +
       customer + "'; if @CustomerCode Is Null Begin Insert Into Customer(CustomerCode, CustomerName, Address, Live) Values(N'" +
       customer + "', N'Ann O''Neil', N'1 O''Neil St', 1); End ELSE Begin Update Customer Set CustomerName=N'Ann O''Neil' Where CustomerCode=@CustomerCode; End; if @@Error <> 0 Begin GoTo BRK End; ";
  b += "Declare @InvoiceNo nvarchar(15), @Modified Bit, @InvoiceInit nvarchar(3), @GenerateInvoiceNoKind Integer;"
       "Select @InvoiceNo=InvoiceNo From InvoiceHead Where OnlineOrderId=N'" + orderId + "';"
       "if @InvoiceNo Is Null Begin Select @Modified=0;Declare @i int; Declare @Y nvarchar(6); "
       "Select @GenerateInvoiceNoKind = GenerateInvoiceNoKind, @InvoiceInit = POSInit From Profile; "
       "if @GenerateInvoiceNoKind = 0 Begin Set @Y='" + yymmdd.substr(0, 2) + "'; "
       "Select @i = Cast(SubString(Max(InvoiceNo), Len(@InvoiceInit) + 3, 6) As Int) + 1 From InvoiceHead Where InvoiceNO Like @InvoiceInit + @Y + '%'; "
       "Set @InvoiceNo=Cast(IsNull(@i, 1) as varchar(6)); Set @InvoiceNo=Replicate('0', 6 - Len(@InvoiceNo)) + @InvoiceNo; "
       "Set @InvoiceNo=@InvoiceInit + @Y + @InvoiceNo; Select @InvoiceNo End "
       "Else Begin Set @Y='" + yymmdd + "'; "
       "Select @i=Cast(SubString(Max(InvoiceNo), Len(@InvoiceInit) + 7, 4) As Int) + 1 From InvoiceHead Where InvoiceNo Like @InvoiceInit + @Y + '%'; "
       "Set @InvoiceNo=Cast(IsNull(@i, 1) as varchar(4)); Set @InvoiceNo=Replicate('0', 4 - Len(@InvoiceNo)) + @InvoiceNo; "
       "Set @InvoiceNo=@InvoiceInit + @Y + @InvoiceNo; Select @InvoiceNo End; "
       "End Else begin Select @Modified=1;Delete From InvoiceHead Where InvoiceNo=@InvoiceNo; if @@Error <> 0 Begin GoTo BRK End; "
       "Delete From InvoiceItem Where InvoiceNo=@InvoiceNo; if @@Error <> 0 Begin GoTo BRK End; "
       "Delete From RecvAcct Where InvoiceNo=@InvoiceNo; if @@Error <> 0 Begin GoTo BRK End; end;";
  b += "Insert Into InvoiceHead(ReferenceNo, InvoiceNo, InvoiceDate, CustomerCode, KindFlag, Notes, PaidAmount, OnlineOrderId) Values(Null, @InvoiceNo, '" +
       date + "', N'" + customer + "', 6, Null, 0, N'" + orderId + "'); if @@Error <> 0 Begin GoTo BRK End; ";
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto& l = lines[i];
    b += "Insert Into InvoiceItem(InvoiceNo, ProductCode, Qty, Price, DeductStockQty, UnitCost, ID) Values(@InvoiceNo, N'" +
         l.ProductCode + "'," + std::to_string(l.Qty) + "," + std::to_string(l.Price) + ",1,4," + std::to_string(i + 1) +
         "); IF @@Error <> 0 begin goto BRK end; ";
    b += "Update Product Set StockQty1=StockQty1-(" + std::to_string(l.Qty) + " * 1),StockValue1=StockValue1-(" +
         std::to_string(l.Qty) + " * 1 * 4) Where ProductCode=N'" + l.ProductCode + "';IF @@Error <> 0 begin goto BRK end; ";
  }
  if (paid != 0) {
    b += "Declare @Id Integer; Select @Id=Max(IDNo) From RecvAcct Where InvoiceNo=@InvoiceNo;If @Id Is Null Select @Id=1 else Select @Id = @Id + 1; "
         "Insert Into RecvAcct(InvoiceNo, AccountDate, PaidAmount, PayBy, Notes, Deposit, Repayment, IDNo) Values(@InvoiceNo,'" +
         date + " 10:15:00'," + std::to_string(paid) + ",N'stripe',N'Online Payment', 0, 0, @Id);if @@Error <> 0 Begin GoTo BRK End; "
         "Declare @TotalPaid Float; Select @TotalPaid=Sum(PaidAmount) From RecvAcct Where InvoiceNo=@InvoiceNo; "
         "Update InvoiceHead Set PaidAmount=@TotalPaid Where InvoiceNo=@InvoiceNo;if @@Error <> 0 Begin GoTo BRK End; ";
  }
  b += "Commit Tran; Select @InvoiceNo As InvoiceNo, @Modified As Modified; GoTo ended; BRK: rollback tran; ended:";
  return b;
}

// The head part of a cancellation credit note batch for one invoice.
inline std::string CreditNoteBatch(const std::string& invoiceNo, const std::string& yy) {
  return "Declare @v Float; Begin Tran Select @v=[version] From Version (TabLockX); "
         "Declare @CreditNo nvarchar(15), @Y Nvarchar(2), @i int, @InvoiceNo nvarchar(15);Select @InvoiceNo=N'" + invoiceNo +
         "';Set @Y='" + yy + "'; Select @i = Cast(SubString(Max(InvoiceNo), 5, 5) As Int) + 1 From InvoiceHead Where InvoiceNo Like 'CN'+ @Y + '%'; "
         "Set @CreditNo=Cast(IsNull(@i, 1) as varchar(5)); Set @CreditNo=Replicate('0', 5 - Len(@CreditNo)) + @CreditNo; "
         "Set @CreditNo='CN' + @Y + @CreditNo; Select @CreditNo; "
         "Insert Into InvoiceHead(ReferenceNo, InvoiceNo, InvoiceDate, KindFlag) Values(@InvoiceNo, @CreditNo, '12/09/2026 09:00:00', 5); if @@Error <> 0 Begin GoTo BRK End; "
         "Declare @Notes nvarchar(2048); Declare @T Integer; Declare @CreditNotes varchar(2048); "
         "Select @CreditNotes=N'This Invoice has been credited: ' + @CreditNo; "
         "Select @Notes=Notes From InvoiceHead Where InvoiceNo=@InvoiceNo;Select @T = CHARINDEX(@CreditNotes, @Notes); "
         "if (@T = 0) or (@T Is Null) Begin If @Notes Is Null Begin Update InvoiceHead Set Notes=@CreditNotes Where InvoiceNo=@InvoiceNo End "
         "Else Begin Update InvoiceHead Set Notes=Notes + '\r\n' + @CreditNotes Where InvoiceNo=@InvoiceNo End; End; if @@Error <> 0 Begin GoTo BRK End;"
         "Commit Tran; Select @CreditNo GoTo ended; BRK: rollback tran; ended:";
}

}  // namespace ooa::test
