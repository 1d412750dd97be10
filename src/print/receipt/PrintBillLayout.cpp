// TPrintBillForm: the receipt as a whole - head, order banner, company header,
// date and cashier lines, items, totals, payments, closing lines, barcodes.
#include <cmath>

#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "print/PrinterControlUnit.h"
#include "print/PrinterOutput.h"
#include "print/ReceiptSettings.h"
#include "print/receipt/CompanyHeader.h"
#include "print/receipt/PrintBillForm.h"
#include "print/receipt/ReceiptText.h"

namespace ooa {

void TPrintBillForm::PrintBillPro(TDatabaseModule& db, const std::string& invoiceNo, bool signature,
                                  bool modified) {
  TPrintBillForm form(db);
  form.InvoiceNo = invoiceNo;
  form.Signature = signature;
  form.Modified = modified;
  form.PrintOutPro();
}

bool TPrintBillForm::ReadHead(TBillHead& h) {
  OpenQuery(
      "Select InvoiceHead.Notes, InvoiceHead.GSTStatus, ExemptTax, Freight, FreightGSTRate, OtherCharge, "
      "OtherChargeGSTRate, RedeemPointsAsDollar, RedeemPointsGSTRate, DollarDiscount, VoucherAmount, "
      "InvoiceHead.DiscountKind, InvoiceDate, OtherChargeDescription, MachineID, OpName, InvoiceHead.InvoiceNo, "
      "Printed, TransferDateTime, Rounding, InvoiceHead.CustomerCode, CustomerName, CurrentPoints, OnlineOrder, "
      "OnlineOrderId, Delivery, InvoiceHead.DeliveryAddress From Customer, InvoiceHead Left Join (Select "
      "InvoiceNo, Sum(PaidAmount) As Rounding From RecvAcct Where PayBy=" +
      SqlTextLiteral("ROUNDING") +
      " Group By InvoiceNo) As PaymentTable On InvoiceHead.InvoiceNo=PaymentTable.InvoiceNo " +
      "Where InvoiceHead.CustomerCode=Customer.CustomerCode and InvoiceHead.InvoiceNo=" + SqlTextLiteral(InvoiceNo) +
      " and KindFlag=" + "6");
  if (Query.RecordCount() == 0) {
    CloseQuery();
    return false;
  }
  const TRecordSet& q = Query;
  auto text = [&](const char* c) { return Utf8ToAnsi(q.FieldByName(c).AsString()); };
  auto num = [&](const char* c) { return q.FieldByName(c).AsFloat(); };
  auto flag = [&](const char* c) { return q.FieldByName(c).AsBoolean(); };
  h.Notes = text("Notes");
  h.GSTStatus = flag("GSTStatus");
  h.ExemptTax = flag("ExemptTax");
  h.Freight = num("Freight");
  h.FreightGSTRate = num("FreightGSTRate");
  h.OtherCharge = num("OtherCharge");
  h.OtherChargeGSTRate = num("OtherChargeGSTRate");
  h.RedeemPointsAsDollar = num("RedeemPointsAsDollar");
  h.RedeemPointsGSTRate = num("RedeemPointsGSTRate");
  h.DollarDiscount = num("DollarDiscount");
  h.VoucherAmount = num("VoucherAmount");
  h.OtherChargeDescription = text("OtherChargeDescription");
  h.CustomerCode = text("CustomerCode");
  h.CustomerName = text("CustomerName");
  h.InvoiceDate = q.FieldByName("InvoiceDate").AsDateTime();
  h.TransferDateTime = q.FieldByName("TransferDateTime").AsDateTime();
  h.Printed = flag("Printed");
  h.Rounding = num("Rounding");
  h.OpName = text("OpName");
  h.MachineID = text("MachineID");
  h.OnlineOrder = flag("OnlineOrder");
  h.OnlineOrderId = text("OnlineOrderId");
  h.Delivery = flag("Delivery");
  h.DeliveryAddress = text("DeliveryAddress");
  CloseQuery();
  return true;
}

void TPrintBillForm::PrintOutPro() {
  const TReceiptSettings& settings = Options;
  const TReceiptLocale locale = ReceiptLocale();
  Separator = settings.PrintSplitLinesOnReceipts ? std::string(40, '-') : " ";

  TBillHead head;
  if (!ReadHead(head)) return;  // no such invoice of an online order: nothing to print
  if (!OpenReceiptPrinter()) {
    // A printer that is named but did not open: the receipt was not printed.
    const std::string why = ReceiptPrinterOpenError();
    if (!why.empty()) throw TPrintError(why);
    return;  // no receipt printer ("N/A")
  }
  InvoiceDate = head.InvoiceDate;

  // What the credit notes of the invoice took back.
  OpenQuery(
      "Select SUM(Freight) As Freight, SUM(OtherCharge) As OtherCharge, SUM(RedeemPointsAsDollar) As "
      "RedeemPointsAsDollar, SUM(DollarDiscount) As DollarDiscount, SUM(VoucherAmount) As VoucherAmount, "
      "SUM(VoucherDiscount) As VoucherDiscount From InvoiceHead Where InvoiceHead.ReferenceNo=" +
      SqlTextLiteral(InvoiceNo) + " and KindFlag=" + "5");
  if (Query.RecordCount() > 0) {
    head.Freight += Query.FieldByName("Freight").AsFloat();
    head.OtherCharge += Query.FieldByName("OtherCharge").AsFloat();
    head.RedeemPointsAsDollar += Query.FieldByName("RedeemPointsAsDollar").AsFloat();
    head.DollarDiscount += Query.FieldByName("DollarDiscount").AsFloat();
    head.VoucherAmount += Query.FieldByName("VoucherAmount").AsFloat();
  }
  CloseQuery();

  OpenQuery(ItemQuerySql());
  InitBuff();
  PostDataToBuff();
  CloseQuery();

  TTotalsInput in;
  in.Inclusive = head.GSTStatus;
  in.Exempt = head.ExemptTax;
  in.Freight = head.Freight;
  in.FreightGSTRate = head.FreightGSTRate;
  in.OtherCharge = head.OtherCharge;
  in.OtherChargeGSTRate = head.OtherChargeGSTRate;
  in.RedeemPoints = head.RedeemPointsAsDollar;
  in.RedeemPointsGSTRate = head.RedeemPointsGSTRate;
  in.DollarDiscount = head.DollarDiscount;
  in.Voucher = head.VoucherAmount;
  in.Rounding = head.Rounding;
  in.OtherChargeDescription = head.OtherChargeDescription;
  const TReceiptTotals totals = ComputeReceiptTotals(Buff, in);

  PrintLogo();
  if (Modified) {
    SetDoubleWidthFont();
    PrintLine(CenterText("MODIFIED ORDER", 20));
    PrintLine(Separator);
  }
  if (head.OnlineOrder) {
    SetDoubleWidthFont();
    PrintLine(CenterText("ONLINE ORDER #" + head.OnlineOrderId, 20));
    SetNormalFont();
    if (head.Delivery)
      PrintLine("Delivery: " + head.DeliveryAddress);
    else
      PrintLine("Pickup: " + head.CustomerName);
    PrintLine(Separator);
  }
  SetNormalFont();
  PrintCompanyHeader(Db);
  PrintLine(Separator);
  PrintLine(CenterText("TAX INVOICE", 40));
  PrintLine(Separator);

  const std::string number = Utf8ToAnsi(InvoiceNo);
  std::string dateLine;
  if (settings.POSInvoiceDate) dateLine = "Date: " + ReceiptDate(InvoiceDate);
  if (settings.POSInvoiceNumber) {
    if (!dateLine.empty()) {
      const int n = 40 - static_cast<int>(dateLine.size()) - static_cast<int>(number.size()) - 4;
      dateLine = JoinWithGap(dateLine, n, "No: " + number);
    } else {
      dateLine = "No: " + number;
    }
  }
  if (!dateLine.empty()) PrintLine(dateLine);
  const std::string cashier = "Cashier: " + head.OpName;
  const std::string reg = "Register: " + head.MachineID;
  PrintLine(JoinWithGap(cashier, 40 - static_cast<int>(cashier.size()) - static_cast<int>(reg.size()), reg));
  PrintLine(Separator);

  for (const BuffType& e : Buff)
    if (e.NeedPrint) PrintItem(e, head, locale);

  PrintLine(Separator);
  PrintLine(AlignRight("ITEMS: " + NumberText(ItemCount, 0, 10, locale), 40));
  PrintLine(Separator);
  PrintTotalsBlock(totals, in, locale);

  std::string weChatId;
  std::vector<std::string> giftCards;
  const double paid = PrintPayments(locale, weChatId, giftCards);
  PrintLine(AlignRight("BALANCE: " + MoneyText(totals.Total - paid - head.Rounding, 2, 10, locale), 40));
  PrintLine(Separator);

  PrintClosingLines(head, totals, weChatId, giftCards, locale);
  PrintFooterFile();

  PrintBarcode(head.OnlineOrderId, 1);
  if (settings.PrintBarcodeInvoiceNo) {
    PrintLine(" ");
    PrintBarcode(number, 1);
  }
  CloseReceiptPrinter();
}

}  // namespace ooa
