// TPrintBillForm: the receipt as a whole - head, order banner, company header,
// date and cashier lines, items, totals, payments, closing lines, barcodes.
#include <cmath>

#include "config/UtilUnit.h"
#include "print/PrinterControlUnit.h"
#include "print/PrinterOutput.h"
#include "print/ReceiptSettings.h"
#include "print/receipt/CompanyHeader.h"
#include "print/receipt/PrintBillForm.h"
#include "print/receipt/ReceiptText.h"

namespace ooa {

bool TPrintBillForm::PrinterWanted() const { return PrinterConfig.PrinterName != "N/A"; }

bool TPrintBillForm::OpenPrinter(const std::string& invoiceNo) {
  std::string whyNot;
  if (!OpenReceiptPrinter(invoiceNo, whyNot)) {
    if (whyNot.empty()) return false;  // "N/A": no receipts wanted
    throw TPrintError(whyNot);
  }
  return true;
}

void TPrintBillForm::PrintOutPro(const TReceipt& receipt) {
  const TReceiptSettings& settings = Settings;
  const TReceiptLocale& locale = Locale;
  const TReceiptHead& head = receipt.Head;
  Separator = settings.PrintSplitLinesOnReceipts ? std::string(40, '-') : " ";
  InvoiceDate = head.InvoiceDate;

  InitBuff();
  PostDataToBuff(receipt.Lines);

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
    // Broken between words, as the printer would break it mid-word.
    const std::string whom = head.Delivery ? "Delivery: " + head.DeliveryAddress : "Pickup: " + head.CustomerName;
    for (const std::string& piece : WrapWords(whom, 40)) PrintLine(piece);
    PrintLine(Separator);
  }
  SetNormalFont();
  PrintCompanyHeader(receipt.Company);
  PrintLine(Separator);
  PrintLine(CenterText("TAX INVOICE", 40));
  PrintLine(Separator);

  const std::string number = Utf8ToAnsi(receipt.InvoiceNo);
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
    if (e.NeedPrint) PrintItem(e, head);

  PrintLine(Separator);
  PrintLine(AlignRight("ITEMS: " + NumberText(ItemCount, 0, 10, locale), 40));
  PrintLine(Separator);
  PrintTotalsBlock(totals, in, locale);

  std::string weChatId;
  std::vector<std::string> giftCards;
  const double paid = PrintPayments(receipt.Payments, weChatId, giftCards);
  PrintLine(AlignRight("BALANCE: " + MoneyText(totals.Total - paid - head.Rounding, 2, 10, locale), 40));
  PrintLine(Separator);

  PrintClosingLines(head, totals, weChatId, giftCards);
  PrintFooterFile();

  PrintBarcode(head.OnlineOrderId, 1);
  if (settings.PrintBarcodeInvoiceNo) {
    PrintLine(" ");
    PrintBarcode(number, 1);
  }
  CloseReceiptPrinter();
}

}  // namespace ooa
