#include "db/order/OrderStatements.h"

#include <cstdio>

#include "config/UtilUnit.h"
#include "db/session/DbSession.h"
#include "db/WarehouseCode.h"
#include "db/order/StatementValues.h"

namespace ooa {

using namespace statement_values;

std::string YyMmDd(TDateTime date) {
  const TCivilTime c = date.ToCivil();
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d%02d%02d", c.Year % 100, c.Month, c.Day);
  return buf;
}

std::string CustomerSqlCmd(const TCustomer& c) {
  std::string s;
  s.reserve(1500);
  s += "Declare @CustomerCode nvarchar(15); Select @CustomerCode=CustomerCode From Customer Where CustomerCode=" +
       T(c.CustomerCode) + "; ";
  s += "if @CustomerCode Is Null Begin ";
  s += "Insert Into Customer(CustomerCode, CustomerName, Contact, Telephone, Fax, Mobile, Birthday, "
       "EMail, ABN, Address, Suburb, State, PostCode, Country, AutoPrintStatement, DeliveryAddress, "
       "DeliverySuburb, DeliveryState, DeliveryPostCode, DeliveryCountry, CreditLimit, CreditTerm, "
       "AccountManager, Live, PriceFlag, MapReference, Notes, DefaultDiscountRate, Grade, "
       "SpecialCustomer, GroupName, AccType, Gender, IsMember) Values(";
  s += T(c.CustomerCode) + "," + T(c.CustomerName) + ", Null, " + T(c.Telephone) + ", Null, " + T(c.Mobile) +
       ", Null, " + T(c.Email) + ", Null, " + T(c.Address) + "," + T(c.Suburb) + "," + T(c.State) + "," +
       T(c.PostCode) + ", " + T(c.Country) + ", 1, " + T(c.DeliveryAddress) + "," + T(c.DeliverySuburb) + "," +
       T(c.DeliveryState) + "," + T(c.DeliveryPostCode) + ", " + T(c.DeliveryCountry) +
       ", 0, 0, Null, 1, 0, Null, Null, 0, 0, 0, Null, 0, 0, 1); ";
  s += "End ELSE ";
  s += "Begin Update Customer Set CustomerName=" + T(c.CustomerName) + ", Telephone=" + T(c.Telephone) +
       ", Mobile=" + T(c.Mobile) + ", Email=" + T(c.Email) + ", Address=" + T(c.Address) +
       ", Suburb=" + T(c.Suburb) + ", PostCode=" + T(c.PostCode) + ", State=" + T(c.State) +
       ", Country=" + T(c.Country) + ", DeliveryAddress=" + T(c.DeliveryAddress) +
       ", DeliverySuburb=" + T(c.DeliverySuburb) + ", DeliveryPostCode=" + T(c.DeliveryPostCode) +
       ", DeliveryState=" + T(c.DeliveryState) + ", DeliveryCountry=" + T(c.DeliveryCountry) +
       " Where CustomerCode=@CustomerCode; End; if @@Error <> 0 Begin GoTo BRK End; ";
  return s;
}

std::string InvoiceHeadSqlCmd(const TInvoiceHead& h) {
  const std::string d = YyMmDd(h.InvoiceDate);
  std::string s;
  s.reserve(3000);
  s += "Declare @InvoiceNo nvarchar(15), @Modified Bit, @InvoiceInit nvarchar(3), @GenerateInvoiceNoKind "
       "Integer;Select @InvoiceNo=InvoiceNo From InvoiceHead Where OnlineOrderId=" +
       T(h.OnlineOrderId) + ";";
  s += "if @InvoiceNo Is Null "
       "Begin "
       "Select @Modified=0;"
       "Declare @i int; Declare @Y nvarchar(6); "
       "Select @GenerateInvoiceNoKind = GenerateInvoiceNoKind, @InvoiceInit = POSInit From Profile; ";
  s += "if @GenerateInvoiceNoKind = 0 "
       "Begin "
       "Set @Y='" + d.substr(0, 2) + "'; "
       "Select @i = Cast(SubString(Max(InvoiceNo), Len(@InvoiceInit) + 3, 6) As Int) + 1 "
       "From InvoiceHead Where InvoiceNO Like @InvoiceInit + @Y + '%'; "
       "Set @InvoiceNo=Cast(IsNull(@i, 1) as varchar(6)); "
       "Set @InvoiceNo=Replicate('0', 6 - Len(@InvoiceNo)) + @InvoiceNo; "
       "Set @InvoiceNo=@InvoiceInit + @Y + @InvoiceNo; "
       "Select @InvoiceNo "
       "End ";
  s += "Else "
       "Begin "
       "Set @Y='" + d + "'; "
       "Select @i=Cast(SubString(Max(InvoiceNo), Len(@InvoiceInit) + 7, 4) As Int) + 1 "
       "From InvoiceHead Where InvoiceNo Like @InvoiceInit + @Y + '%'; "
       "Set @InvoiceNo=Cast(IsNull(@i, 1) as varchar(4)); "
       "Set @InvoiceNo=Replicate('0', 4 - Len(@InvoiceNo)) + @InvoiceNo; "
       "Set @InvoiceNo=@InvoiceInit + @Y + @InvoiceNo; "
       "Select @InvoiceNo "
       "End; ";
  s += "End "
       "Else "
       "begin "
       "Select @Modified=1;"
       "Delete From InvoiceHead Where InvoiceNo=@InvoiceNo; if @@Error <> 0 Begin GoTo BRK End; "
       "Delete From InvoiceItem Where InvoiceNo=@InvoiceNo; if @@Error <> 0 Begin GoTo BRK End; "
       "Delete From RecvAcct Where InvoiceNo=@InvoiceNo; if @@Error <> 0 Begin GoTo BRK End; "
       "end;";
  s += kInvoiceHeadInsert;
  s += "Values(";
  s += T(h.ReferenceNo) + ", @InvoiceNo, " + SqlDateLiteral(h.InvoiceDate) + "," + T(h.CustomerCode) + "," +
       B(h.GSTStatus) + "," + B(h.ExemptTax) + "," + T(h.Notes) + "," + T(h.SalesName) + "," + T(h.OpName) +
       "," + B(h.Delivery) + "," + T(h.DeliveryAddress) + "," + F(h.TotalCost) + "," + F(h.Amount) + "," +
       F(h.GST) + "," + F(h.Freight) + "," + F(h.OtherCharge) + "," + F(h.FreightGSTRate) + "," +
       F(h.OtherChargeGSTRate) + "," + T(h.OtherChargeDescription) + "," + F(h.PaidAmount) + "," +
       T(h.CustomerOrderNo) + "," + I(h.KindFlag) + "," + I(h.LayByFlag) + "," + T(h.MachineId) + "," +
       T(h.WarehouseCode) + "," + B(h.Printed) + "," + SqlDateTimeLiteral(h.InvoiceDate) + "," +
       I(h.CreditInvoiceKind) + "," + B(h.Calc) + "," + B(h.Confirmed) + "," + B(h.Transfered) + "," +
       T(h.InternalNotes) + "," + F(h.RedeemPointsAsDollar) + "," + F(h.RedeemPointsGSTRate) + "," +
       B(h.PointsUploaded) + "," + F(h.DollarDiscount) + "," + I(h.DiscountKind) + "," + F(h.CurrentPoints) +
       "," + F(h.VoucherAmount) + "," + F(h.VoucherDiscount) + "," + F(h.CurrentGSTRate) + "," +
       B(h.CrossStoreSalesRefund) + "," + T(h.VoucherId) + "," + F(h.TotalRedeemPoints) + "," +
       F(h.RedeemBasePoints) + ", 0, 1, " + B(h.OnlineOrder) + ", " + T(h.OnlineOrderId) + ", " +
       T(h.OnlineOrderStatus);
  s += "); ";
  s += kErrorTest;
  return s;
}

std::string InvoiceItemValues(const TInvoiceItem& it, int id) {
  return T(it.ProductCode) + "," + F(it.Qty) + "," + F(it.Price) + "," + F(it.NetPrice) + "," + F(it.Discount) +
         "," + F(it.GSTRate) + "," + F(it.UnitCost) + "," + I(it.KindFlag) + "," + I(it.PriceKind) + "," +
         F(it.DeductStockQty) + "," + F(it.OriginalPrice) + "," + I(id) + "," + T(it.WarehouseCode) + "," +
         F(it.CreditedQty) + "," + I(it.InvoiceItemId) + "," + B(it.ManuallyEnterWeight) + "," +
         B(it.IsMaxMatchDiscountItem) + "," + T(it.ProductFamilyCode);
}

std::string StockDeductionSql(const TInvoiceItem& it) {
  const std::string& w = it.WarehouseCode;
  if (!IsSafeWarehouseCode(w)) throw TDbError(WarehouseCodeRefusal(w));
  return "Update Product Set StockQty" + w + "=StockQty" + w + "-(" + F(it.Qty) + " * " + F(it.DeductStockQty) +
         ")," + "StockValue" + w + "=StockValue" + w + "-(" + F(it.Qty) + " * " + F(it.DeductStockQty) + " * " +
         F(it.UnitCost) + ") Where ProductCode=" + T(it.ProductCode) + ";";
}

std::string InvoiceItemSqlCmd(const std::vector<TInvoiceItem>& items) {
  std::string s;
  s.reserve(items.size() * 900);
  for (size_t i = 0; i < items.size(); ++i) {
    const TInvoiceItem& it = items[i];
    const std::string& w = it.WarehouseCode;
    if (!IsSafeWarehouseCode(w)) throw TDbError(WarehouseCodeRefusal(w));
    s += "Insert Into InvoiceItem(InvoiceNo, ProductCode, Qty, Price, NetPrice, Discount, GSTRate, "
         "UnitCost, KindFlag, PriceKind, DeductStockQty, OriginalPrice, ID, WarehouseCode, CreditedQty, "
         "InvoiceItemID, "
         "ManuallyEnterWeight, IsMixMatchDiscountItem, ProductFamilyCode, IsRedeemItem, RedeemItemPoints) "
         "Values(@InvoiceNo, ";
    s += InvoiceItemValues(it, static_cast<int>(i) + 1) + "," + B(it.IsRedeemItem) + "," + F(it.RedeemItemPoints);
    s += "); ";
    s += kLineErrorTest;
    s += StockDeductionSql(it);
    s += kLineErrorTest;
  }
  return s;
}

const char* const kRecvAcctPrefix =
    "Select @Id=Max(IDNo) From RecvAcct Where InvoiceNo=@InvoiceNo;If @Id Is Null Select @Id=1 else Select @Id = "
    "@Id + 1; Insert Into RecvAcct(InvoiceNo, AccountDate, PaidAmount, PayBy, Notes, Bank, Transfer, IDNo, "
    "OpName, RecordDateTime, MachineID, Deposit, PaymentID, Repayment, GiftCardBalance, GiftCardExpireDate, "
    "EFTPOSNote, GiftCardCode, GiftCard, DepositBalance) Values(@InvoiceNo,";

namespace {

std::string RecvAcctHead(const TPayment& p, TDateTime now) {
  return std::string(kRecvAcctPrefix) + SqlDateTimeLiteral(p.PaymentDate) + "," + F(p.PaidAmount) + "," +
         T(p.PayMethod) + "," + T("Online Payment") + ", Null, 0, @Id, " + T("Online") + "," +
         SqlDateTimeLiteral(now) + "," + T("Online");
}

}  // namespace

std::string PaymentSqlCmd(const TPayment& payment, TDateTime now) {
  return RecvAcctHead(payment, now) + ", 0, 0, 0, 0, Null, Null, " + "''" + ", 0, 0); " + kErrorTest;
}

std::string DepositPaymentSqlCmd(const TPayment& payment, TDateTime now) {
  return RecvAcctHead(payment, now) + ", 1, 0, 0, 0, Null, Null, " + "''" + ", 0, " + F(payment.Balance) +
         "); " + kErrorTest;
}

std::string AlreadyWrittenCheck(const std::string& findDone) {
  return "Declare @Done nvarchar(15); " + findDone +
         " if @Done Is Not Null Begin Commit Tran; Select @Done As AlreadyWritten; GoTo ended End; ";
}

bool FindAlreadyWritten(const TQueryResult& result, std::string& number) {
  for (const TRecordSet& set : result.Sets) {
    if (set.ColumnIndex(kAlreadyWrittenColumn) < 0 || set.RecordCount() == 0) continue;
    number = set.Field(0, kAlreadyWrittenColumn).AsString();
    return true;
  }
  return false;
}

std::string InvoiceBatchSql(const TOrderDocumentView& doc, TDateTime now) {
  std::string s = "Declare @v Float; Begin Tran Select @v= [version] From Version (TabLockX); ";
  s += AlreadyWrittenCheck("Select @Done=InvoiceNo From InvoiceHead Where OnlineOrderId=" +
                           T(doc.Head.OnlineOrderId) + ";");
  s += CustomerSqlCmd(doc.Customer);
  s += InvoiceHeadSqlCmd(doc.Head);
  s += InvoiceItemSqlCmd(doc.Items);
  if (doc.Payment.PaidAmount != 0 || doc.DepositPayment.PaidAmount != 0) {
    s += "Declare @Id Integer; ";
    if (doc.Payment.PaidAmount != 0) s += PaymentSqlCmd(doc.Payment, now);
    if (doc.DepositPayment.PaidAmount != 0) s += DepositPaymentSqlCmd(doc.DepositPayment, now);
    s += "Declare @TotalPaid Float; "
         "Select @TotalPaid=Sum(PaidAmount) From RecvAcct Where InvoiceNo=@InvoiceNo; "
         "Update InvoiceHead Set PaidAmount=@TotalPaid Where InvoiceNo=@InvoiceNo;"
         "if @@Error <> 0 Begin GoTo BRK End; ";
  }
  s += "Commit Tran; Select @InvoiceNo As InvoiceNo, @Modified As Modified; GoTo ended; BRK: rollback tran; "
       "ended:";
  return s;
}

}  // namespace ooa
