// TDatabaseModule::ReadPrintParams: copies the receipt options of the POS
// profile into the process-wide ReceiptSettings (service start, UI thread).
#include <exception>

#include "db/DatabaseModule.h"
#include "print/ReceiptSettings.h"

namespace ooa {

bool TDatabaseModule::ReadPrintParams() {
  OpenQuery("Select * From Profile");  // a database error goes to the caller unchanged
  const TRecordSet& rows = Query();
  // Only the first row counts; no row at all reads as every option off.
  TReceiptSettings s = rows.RecordCount() > 0 ? ReceiptSettings() : TReceiptSettings{};
  if (rows.RecordCount() == 0) {
    SetReceiptSettings(s);
    return true;
  }
  // Read in the profile's column order. A missing column raises a database
  // error naming it; the options read before it are kept, the rest stay as
  // they were.
  try {
    auto boolean = [&](const char* column) { return rows.Field(0, column).AsBoolean(); };
    auto integer = [&](const char* column) { return static_cast<int>(rows.Field(0, column).AsInteger()); };
    s.ReceiptFormat = integer("ReceiptFormat");
    s.PrintDescription1 = boolean("PrintDescription1");
    s.PrintDescription2 = boolean("PrintDescription2");
    s.PrintDescription3 = boolean("PrintDescription3");
    s.PrintDescription4 = boolean("PrintDescription4");
    s.TaxInvoiceNumber = boolean("TaxInvoiceNumber");
    s.POSInvoiceNumber = boolean("POSInvoiceNumber");
    s.POSInvoiceDate = boolean("POSInvoiceDate");
    s.PrintDiscountRateOnPOSInvoice = boolean("PrintDiscountRateOnPOSInvoice");
    s.PrintBarcodeInvoiceNo = boolean("PrintBarcodeInvoiceNo");
    s.ConsolidateItemsOnReceipt = boolean("ConsolidateItemsOnReceipt");
    s.OnlyPrintOneLineDescriptionOnReceipt = boolean("OnlyPrintOneLineDescriptionOnReceipt");
    s.HighlightVoidItemOnReceipts = boolean("HighlightVoidItemOnReceipts");
    s.PrintSplitLinesOnReceipts = boolean("PrintSplitLinesOnReceipts");
    s.PrintFirstDescription = integer("PrintFirstDescription");
    s.PrintCustomerNameOnReceipt = boolean("PrintCustomerNameOnReceipt");
    s.PrintWeightTareMessage = boolean("PrintWeightTareMessage");
    s.DefaultGSTRate = rows.Field(0, "DefaultGSTRate").AsFloat();
  } catch (...) {
    SetReceiptSettings(s);
    throw;
  }
  SetReceiptSettings(s);
  return true;
}

}  // namespace ooa
