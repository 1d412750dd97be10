// GetOriginalInvoice: loads an imported invoice into the order document as
// its credit note (kind 5, amounts and quantities negated). Only the first
// deposit row and the first other payment row of the invoice are reversed.
#include <mutex>

#include "config/Clock.h"
#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "db/credit/CreditNotes.h"
#include "db/order/InvoiceWrite.h"

namespace ooa {

namespace {

void FillCreditHead(TInvoiceHead& h, const TRecordSet& r, TDateTime today, TDateTime now) {
  auto f = [&](const char* name) -> const TDbValue& { return r.Field(0, name); };
  h.CustomerCode = f("CustomerCode").AsString();
  h.InvoiceDate = today;
  h.ReferenceNo = f("InvoiceNo").AsString();
  h.CustomerOrderNo.clear();
  h.GSTStatus = f("GSTStatus").AsBoolean();
  h.Notes = f("Notes").AsString();
  h.Delivery = false;
  h.DeliveryAddress.clear();
  h.OpName = h.MachineId = h.SalesName = "Online";
  h.Freight = -f("Freight").AsFloat();
  h.OtherCharge = -f("OtherCharge").AsFloat();
  h.Amount = -f("Amount").AsFloat();
  h.GST = -f("GST").AsFloat();
  h.TotalCost = -f("TotalCost").AsFloat();
  h.FreightGSTRate = f("FreightGSTRate").AsFloat();
  h.OtherChargeGSTRate = f("OtherChargeGSTRate").AsFloat();
  h.OtherChargeDescription = f("OtherChargeDescription").AsString();
  h.WarehouseCode = f("WarehouseCode").AsString();
  h.PaidAmount = 0;
  h.KindFlag = 5;
  h.ExemptTax = h.Printed = h.Transfered = h.CrossStoreSalesRefund = h.IsWholesale = false;
  h.LayByFlag = 0;
  h.TransferDateTime = now;
  h.CreditInvoiceKind = static_cast<int>(f("KindFlag").AsInteger());
  h.Calc = h.Confirmed = h.PointsUploaded = h.OnlineOrder = true;
  h.InternalNotes.clear();
  h.VoucherId.clear();
  h.OnlineOrderId.clear();
  h.OnlineOrderStatus.clear();
  h.RedeemPointsAsDollar = -f("RedeemPointsAsDollar").AsFloat();
  h.DollarDiscount = -f("DollarDiscount").AsFloat();
  h.VoucherAmount = -f("VoucherAmount").AsFloat();
  h.VoucherDiscount = -f("VoucherDiscount").AsFloat();
  h.TotalRedeemPoints = -f("TotalRedeemPoints").AsFloat();
  h.RedeemBasePoints = f("RedeemBasePoints").AsFloat();
  h.RedeemPointsGSTRate = h.CurrentPoints = h.CurrentGSTRate = 0;
  h.DiscountKind = 0;
  h.SyncStatus = 1;
}

void FillCreditLine(TInvoiceItem& it, const TRecordSet& r, int row) {
  auto f = [&](const char* name) -> const TDbValue& { return r.Field(row, name); };
  it.ProductCode = f("ProductCode").AsString();
  it.Price = f("Price").AsFloat();
  it.PriceKind = static_cast<int>(f("PriceKind").AsInteger());
  it.Discount = f("Discount").AsFloat();
  it.GSTRate = f("GSTRate").AsFloat();
  it.UnitCost = f("UnitCost").AsFloat();
  it.NetPrice = f("NetPrice").AsFloat();
  it.WarehouseCode = f("WarehouseCode").AsString();
  it.DeductStockQty = f("DeductStockQty").AsFloat();
  it.OriginalPrice = f("OriginalPrice").AsFloat();
  it.ManuallyEnterWeight = f("ManuallyEnterWeight").AsBoolean();
  it.Qty = -f("Qty").AsFloat();
  it.ID = static_cast<int>(f("ID").AsInteger());
  it.InvoiceItemId = it.ID;
  it.KindFlag = 5;
  it.CreditedQty = 0;
  it.ProductFamilyCode = f("ProductFamilyCode").AsString();
  it.IsMaxMatchDiscountItem = f("IsMixMatchDiscountItem").AsBoolean();
  it.IsRedeemItem = true;
  it.RedeemItemPoints = 0;
}

}  // namespace

bool GetOriginalInvoice(TDatabaseModule& db, const std::string& invoiceNo) {
  auto hold = db.HoldForOneOrder();
  InitInvoice(db);
  const TDateTime now = Clock().NowLocal();
  const TDateTime today = now.DateOnly();
  const std::string invoice = SqlTextLiteral(invoiceNo);

  const TRecordSet head = db.SelectRows("Select * From InvoiceHead Where InvoiceNo=" + invoice);
  if (head.RecordCount() == 0) return false;
  FillCreditHead(db.InvoiceHead, head, today, now);

  const TRecordSet lines = db.SelectRows("Select * From InvoiceItem Where InvoiceNo=" + invoice + " Order By ID");
  if (lines.RecordCount() == 0) return false;
  for (int row = 0; row < lines.RecordCount(); ++row) {
    TInvoiceItem item;
    InitInvoiceItem(db, item);
    FillCreditLine(item, lines, row);
    db.InvoiceItem.push_back(item);
  }

  const std::string byDeposit = " And PayBy=" + SqlTextLiteral("Deposit");
  const TRecordSet deposit = db.SelectRows("Select * From RecvAcct Where InvoiceNo=" + invoice + byDeposit);
  if (deposit.RecordCount() > 0) {
    db.DepositPayment.PaymentDate = today;
    db.DepositPayment.PaidAmount = -deposit.Field(0, "PaidAmount").AsFloat();
    db.DepositPayment.PayMethod = "Deposit";
    db.DepositPayment.Balance = 0;
  }
  const TRecordSet paid =
      db.SelectRows("Select * From RecvAcct Where InvoiceNo=" + invoice + " And PayBy<>" + SqlTextLiteral("Deposit"));
  if (paid.RecordCount() > 0) {
    db.Payment.PaymentDate = today;
    db.Payment.PaidAmount = -paid.Field(0, "PaidAmount").AsFloat();
    db.Payment.PayMethod = paid.Field(0, "PayBy").AsString();
  }
  return true;
}

}  // namespace ooa
