// ReceiptSettings: the receipt options of the POS profile that the receipt
// uses, copied from the POS table Profile when the service connects to the
// database (TDatabaseModule::ReadPrintParams). Each field carries the name of
// the Profile column it comes from. All fields are false / 0 until then.
//
// One process-wide record. The UI thread (service start) replaces it; the
// order worker reads it while printing. Both go through the two functions
// below, which copy the whole record under a lock, so a receipt always sees
// one consistent set of options.
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

// A copy of the process-wide record (any thread).
TReceiptSettings ReceiptSettings();
// Replaces the process-wide record (service start, or a test).
void SetReceiptSettings(const TReceiptSettings& settings);

}  // namespace ooa
