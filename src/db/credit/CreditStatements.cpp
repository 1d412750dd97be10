#include "db/credit/CreditStatements.h"

#include <cstdio>

#include "config/UtilUnit.h"
#include "db/WarehouseCode.h"
#include "db/order/StatementValues.h"
#include "db/order/OrderStatements.h"

namespace ooa {

using namespace statement_values;

namespace {

std::string TwoDigitYear(TDateTime date) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", date.ToCivil().Year % 100);
  return buf;
}

}  // namespace

std::string CreditNoteHeadSqlCmd(const TInvoiceHead& h, TDateTime now) {
  std::string s;
  s.reserve(3500);
  s += "Declare @CreditNo nvarchar(15), @Y Nvarchar(2), @i int, @InvoiceNo nvarchar(15);Select @InvoiceNo=" +
       T(h.ReferenceNo) + ";" + "Set @Y='" + TwoDigitYear(h.InvoiceDate) + "'; ";
  s += "Select @i = Cast(SubString(Max(InvoiceNo), 5, 5) As Int) + 1 "
       "From InvoiceHead Where InvoiceNo Like 'CN'+ @Y + '%'; ";
  s += "Set @CreditNo=Cast(IsNull(@i, 1) as varchar(5)); "
       "Set @CreditNo=Replicate('0', 5 - Len(@CreditNo)) + @CreditNo; "
       "Set @CreditNo='CN' + @Y + @CreditNo; "
       "Select @CreditNo; ";
  s += kInvoiceHeadInsert;
  s += "Values(@InvoiceNo, @CreditNo, ";
  s += SqlDateTimeLiteral(h.InvoiceDate) + "," + T(h.CustomerCode) + "," + B(h.GSTStatus) + "," +
       B(h.ExemptTax) + "," + T(h.Notes) + "," + T(h.SalesName) + "," + T(h.OpName) + "," + B(h.Delivery) + "," +
       T(h.DeliveryAddress) + "," + F(h.TotalCost) + "," + F(h.Amount) + "," + F(h.GST) + "," + F(h.Freight) +
       "," + F(h.OtherCharge) + "," + F(h.FreightGSTRate) + "," + F(h.OtherChargeGSTRate) + "," +
       T(h.OtherChargeDescription) + "," + F(h.PaidAmount) + "," + T(h.CustomerOrderNo) + "," + I(h.KindFlag) +
       "," + I(h.LayByFlag) + "," + T(h.MachineId) + "," + T(h.WarehouseCode) + "," + B(h.Printed) + "," +
       SqlDateTimeLiteral(now) + "," + I(h.CreditInvoiceKind) + "," + B(h.Calc) + "," + B(h.Confirmed) + "," +
       B(h.Transfered) + "," + T(h.InternalNotes) + "," + F(h.RedeemPointsAsDollar) + "," +
       F(h.RedeemPointsGSTRate) + "," + B(h.PointsUploaded) + "," + F(h.DollarDiscount) + "," +
       I(h.DiscountKind) + "," + F(h.CurrentPoints) + "," + F(h.VoucherAmount) + "," + F(h.VoucherDiscount) +
       "," + F(h.CurrentGSTRate) + "," + B(h.CrossStoreSalesRefund) + "," + T(h.VoucherId) + "," +
       F(h.TotalRedeemPoints) + "," + F(h.RedeemBasePoints) + "," + B(h.IsWholesale) + "," + I(h.SyncStatus) +
       "," + B(h.OnlineOrder) + "," + T(h.OnlineOrderId) + "," + T(h.OnlineOrderStatus);
  s += "); ";
  s += kErrorTest;
  s += "Declare @Notes nvarchar(2048); Declare @T Integer; Declare @CreditNotes varchar(2048); "
       "Select @CreditNotes=" +
       T("This Invoice has been credited: ") +
       " + @CreditNo; "
       "Select @Notes=Notes From InvoiceHead Where InvoiceNo=@InvoiceNo;"
       "Select @T = CHARINDEX(@CreditNotes, @Notes); "
       "if (@T = 0) or (@T Is Null) "
       "Begin "
       "If @Notes Is Null "
       "Begin Update InvoiceHead Set Notes=@CreditNotes Where InvoiceNo=@InvoiceNo End "
       "Else Begin Update InvoiceHead Set Notes=Notes + '\r\n' + @CreditNotes Where InvoiceNo=@InvoiceNo End; "
       "End; "
       "if @@Error <> 0 Begin GoTo BRK End;";
  return s;
}

bool FindUnsafeWarehouseCode(const std::vector<TInvoiceItem>& items, std::string& code) {
  for (const TInvoiceItem& it : items) {
    if (!IsSafeWarehouseCode(it.WarehouseCode)) {
      code = it.WarehouseCode;
      return true;
    }
  }
  return false;
}

std::string CreditNoteItemSqlCmd(const std::vector<TInvoiceItem>& items) {
  std::string unsafe;
  if (FindUnsafeWarehouseCode(items, unsafe))
    throw TDbError(WarehouseCodeRefusal(unsafe));
  std::string s;
  s.reserve(items.size() * 1000);
  for (size_t i = 0; i < items.size(); ++i) {
    const TInvoiceItem& it = items[i];
    s += "Update InvoiceItem Set CreditedQty=CreditedQty+(" + F(it.Qty) +
         ") Where InvoiceNo=@InvoiceNo And ProductCode=" + T(it.ProductCode) + ";" +
         "if @@Error <> 0 Begin GoTo BRK End;";
    s += "Insert Into InvoiceItem(InvoiceNo, ProductCode, Qty, Price, NetPrice, "
         "Discount, GSTRate, UnitCost, KindFlag, PriceKind, DeductStockQty, OriginalPrice, ID, "
         "WarehouseCode, CreditedQty, InvoiceItemID, ManuallyEnterWeight, IsMixMatchDiscountItem, "
         "ProductFamilyCode) Values(@CreditNo, ";
    s += InvoiceItemValues(it, static_cast<int>(i) + 1);
    s += "); ";
    s += kLineErrorTest;
    s += StockDeductionSql(it);
    s += kLineErrorTest;
  }
  return s;
}

namespace {

std::string RefundRowHead(const TPayment& p, TDateTime now) {
  return std::string(kRecvAcctPrefix) + SqlDateTimeLiteral(p.PaymentDate) + "," + F(p.PaidAmount) + "," +
         T(p.PayMethod) + "," + T("SALE REFUND: ") + "+@CreditNo, Null, 0, @Id, " + T("Online") + "," +
         SqlDateTimeLiteral(now) + "," + T("Online");
}

// The row that books the credit note itself as a payment of the credited
// invoice: the positive total being reversed.
std::string CreditNotesRow(double total, TDateTime now) {
  return "Select @Id=Max(IDNo) From RecvAcct Where InvoiceNo=@InvoiceNo;"
         "If @Id Is Null Select @Id=1 else Select @Id = @Id + 1; "
         "Insert Into RecvAcct(InvoiceNo, AccountDate, PaidAmount, PayBy, Notes, Bank, Transfer, "
         "IDNo, OpName, RecordDateTime, MachineID, Deposit, PaymentID, Repayment, GiftCardBalance, "
         "GiftCardExpireDate, EFTPOSNote) Values(@InvoiceNo," +
         SqlDateTimeLiteral(now.DateOnly()) + "," + F(total) + "," + T("CREDIT NOTES") +
         ", @CreditNo, Null, 0, @Id, " + T("Online") + "," + SqlDateTimeLiteral(now) + "," + T("Online") +
         ", 0, 0, 0, 0, 0, Null);" + "if @@Error <> 0 Begin GoTo BRK End;";
}

}  // namespace

std::string CreditNotePaymentSqlCmd(const TPayment& payment, TDateTime now) {
  return RefundRowHead(payment, now) + ", 0, 0, 0, 0, Null, Null, " + "''" + ", 0, 0); " + kErrorTest;
}

std::string CreditNoteDepositPaymentSqlCmd(const TPayment& payment, TDateTime now) {
  return RefundRowHead(payment, now) + ", 1, 0, 0, 0, Null, Null, " + "''" + ", 0, " + F(payment.Balance) +
         "); " + kErrorTest;
}

std::string CreditNoteBatchSql(const TCreditNoteView& doc, TCreditKind kind, TDateTime now) {
  std::string s = kind == TCreditKind::Cancellation
                      ? "Declare @v Float; Begin Tran Select @v=[version] From Version (TabLockX); "
                      : "Declare @v Float; Begin Tran Select @v= [version] From Version (TabLockX); ";
  // Under the lock, the credit is looked for again: another copy of the
  // service may have booked it since the pass looked. A cancellation is done
  // when the invoice has a cancellation credit note; a refund when its id has
  // a credit note, or when the invoice was cancelled (which credited all).
  const std::string cancellation = "(KindFlag=5 And ReferenceNo=" + T(doc.Head.ReferenceNo) +
                                   " And (OnlineOrderId Is Null Or OnlineOrderId=N''))";
  s += AlreadyWrittenCheck(
      kind == TCreditKind::Cancellation
          ? "Select @Done=InvoiceNo From InvoiceHead Where " + cancellation + ";"
          : "Select @Done=InvoiceNo From InvoiceHead Where OnlineOrderId=" + T(doc.Head.OnlineOrderId) + " Or " +
                cancellation + ";");
  s += CreditNoteHeadSqlCmd(doc.Head, now);
  s += CreditNoteItemSqlCmd(doc.Items);
  const double paid = doc.Payment.PaidAmount;
  const double deposit = doc.DepositPayment.PaidAmount;
  if (paid != 0 || deposit != 0) {
    s += "Declare @Id Integer; "
         "Delete From RecvAcct Where Repayment=0 and Notes=@CreditNo; "
         "if @@Error <> 0 Begin GoTo BRK End; ";
    s += CreditNotesRow(0 - paid - deposit, now);
    if (paid != 0) s += CreditNotePaymentSqlCmd(doc.Payment, now);
    if (deposit != 0) s += CreditNoteDepositPaymentSqlCmd(doc.DepositPayment, now);
    s += "Declare @TotalPaid Float; "
         "Select @TotalPaid=Sum(PaidAmount) From RecvAcct Where InvoiceNo=@InvoiceNo; "
         "Update InvoiceHead Set PaidAmount=@TotalPaid Where InvoiceNo=@InvoiceNo;"
         "if @@Error <> 0 Begin GoTo BRK End; ";
  }
  s += kind == TCreditKind::Cancellation
           ? "Commit Tran; Select @CreditNo GoTo ended; BRK: rollback tran; ended:"
           : "Commit Tran; Select @InvoiceNo As InvoiceNo; GoTo ended; BRK: rollback tran; ended:";
  return s;
}

bool CreditNoteCommitted(const TQueryResult& result) {
  // The number is selected as soon as it is drawn; the closing select is the
  // second result set and only follows the commit.
  return result.Sets.size() >= 2 && result.Sets.back().RecordCount() > 0 &&
         !result.Sets.front().Rows.empty() && !result.Sets.front().Rows[0].empty() &&
         !result.Sets.front().Rows[0][0].IsNull();
}

}  // namespace ooa
