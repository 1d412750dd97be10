// TReceiptSettings: the receipt options of the POS profile that the receipt
// uses, as the POS table Profile holds them (db/receipt/ReceiptSettingsRow.h
// reads them). Each field carries the name of the Profile column it comes
// from. A plain record; all fields false / 0 until read. The process-wide
// copy the receipt prints with is print/ReceiptSettings.h.
#pragma once

namespace ooa {

struct TReceiptSettings {
  int ReceiptFormat = 0;
  bool PrintDescription1 = false;
  bool PrintDescription2 = false;
  bool PrintDescription3 = false;
  bool PrintDescription4 = false;
  bool TaxInvoiceNumber = false;
  bool POSInvoiceNumber = false;
  bool POSInvoiceDate = false;
  bool PrintDiscountRateOnPOSInvoice = false;
  bool PrintBarcodeInvoiceNo = false;
  bool ConsolidateItemsOnReceipt = false;
  bool OnlyPrintOneLineDescriptionOnReceipt = false;
  bool HighlightVoidItemOnReceipts = false;
  bool PrintSplitLinesOnReceipts = false;
  int PrintFirstDescription = 0;
  bool PrintCustomerNameOnReceipt = false;
  bool PrintWeightTareMessage = false;
  double DefaultGSTRate = 0.0;
};

}  // namespace ooa
