// ReadReceiptSettings (see ReceiptSettingsRow.h).
#include "db/receipt/ReceiptSettingsRow.h"

#include "db/DatabaseModule.h"

namespace ooa {

bool ReadReceiptSettings(TDatabaseModule& db, TReceiptSettings& s) {
  const TRecordSet rows = db.SelectRows("Select * From Profile");  // a database error goes to the caller unchanged
  // Only the first row counts.
  if (rows.RecordCount() == 0) return false;
  // Read in the profile's column order. A missing column raises a database
  // error naming it; the options read before it are kept, the rest stay as
  // they were.
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
  return true;
}

}  // namespace ooa
