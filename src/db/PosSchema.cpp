// The POS schema batch (see PosSchema.h). Column types follow what the POS
// keeps on SQL Server: codes and names nvarchar, flags bit, money and
// quantities float, times datetime. Columns the POS maintains itself get the
// defaults it would give a new row, so rows added by hand stay usable.
#include "db/PosSchema.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace ooa {

namespace {

struct TTable {
  const char* Name;
  std::vector<std::string> Columns;  // "Name type [Default x]"
  const char* PrimaryKey;            // "" for none
};

// "Prefix" + n for each n in [from, to], each with the same type.
void AddNumbered(std::vector<std::string>& cols, const std::string& prefix, int from, int to,
                 const std::string& type) {
  for (int n = from; n <= to; ++n) cols.push_back(prefix + std::to_string(n) + " " + type);
}

std::vector<std::string> ProfileColumns() {
  return {
      "CompanyName nvarchar(100) Null",
      "ABN nvarchar(30) Null",
      "Telephone nvarchar(30) Null",
      "Fax nvarchar(30) Null",
      "Address nvarchar(400) Null",
      "ReceiptFormat int Not Null Default 0",
      "PrintDescription1 bit Not Null Default 1",
      "PrintDescription2 bit Not Null Default 0",
      "PrintDescription3 bit Not Null Default 0",
      "PrintDescription4 bit Not Null Default 0",
      "TaxInvoiceNumber bit Not Null Default 0",
      "POSInvoiceNumber bit Not Null Default 1",
      "POSInvoiceDate bit Not Null Default 1",
      "PrintDiscountRateOnPOSInvoice bit Not Null Default 0",
      "PrintBarcodeInvoiceNo bit Not Null Default 0",
      "ConsolidateItemsOnReceipt bit Not Null Default 0",
      "OnlyPrintOneLineDescriptionOnReceipt bit Not Null Default 0",
      "HighlightVoidItemOnReceipts bit Not Null Default 0",
      "PrintSplitLinesOnReceipts bit Not Null Default 1",
      "PrintFirstDescription int Not Null Default 0",
      "PrintCustomerNameOnReceipt bit Not Null Default 0",
      "PrintWeightTareMessage bit Not Null Default 0",
      "DefaultGSTRate float Not Null Default 10",
      "GenerateInvoiceNoKind int Not Null Default 0",
      "POSInit nvarchar(10) Null",
  };
}

std::vector<std::string> CategoryColumns() {
  std::vector<std::string> c = {
      "Category nvarchar(30) Not Null",
      "CategoryGroup nvarchar(30) Null",
      "IsGroup bit Not Null Default 0",
      "Description nvarchar(100) Null",
  };
  AddNumbered(c, "Description", 1, 3, "nvarchar(100) Null");
  c.push_back("OnlineSales bit Not Null Default 0");
  c.push_back("WooID nvarchar(20) Null");
  AddNumbered(c, "Translate", 1, 3, "nvarchar(20) Null");
  c.push_back("LastUpdatedAt datetime Null");
  c.push_back("LastSyncedAt datetime Null");
  return c;
}

std::vector<std::string> ProductColumns(const std::vector<std::string>& warehouses) {
  std::vector<std::string> c = {
      "ProductCode nvarchar(30) Not Null",
      "Category nvarchar(30) Null",
      "Description nvarchar(100) Null",
  };
  AddNumbered(c, "Description", 1, 3, "nvarchar(100) Null");
  c.push_back("SubDescription nvarchar(50) Null");
  AddNumbered(c, "SubDescription", 1, 5, "nvarchar(50) Null");
  c.insert(c.end(), {
                        "OnlineOrderItem bit Not Null Default 0",
                        "ModifyDate datetime Null",
                        "Live bit Not Null Default 1",
                        "OpenPrice bit Not Null Default 0",
                        "Scalable bit Not Null Default 0",
                        "TareWeight float Not Null Default 0",
                        "GSTRate float Not Null Default 0",
                        "GSTStatus bit Not Null Default 0",
                        "DefaultSalesPrice int Not Null Default 0",
                    });
  AddNumbered(c, "SalesPrice", 1, 6, "float Not Null Default 0");
  AddNumbered(c, "OnlinePrice", 1, 6, "float Not Null Default 0");
  c.push_back("MultiplePrice bit Not Null Default 0");
  c.push_back("StockControl bit Not Null Default 0");
  c.push_back("MeasureQty float Not Null Default 1");
  c.push_back("DeductStockQty float Not Null Default 1");
  AddNumbered(c, "DeductStockQty", 1, 5, "float Not Null Default 1");
  for (const std::string& w : warehouses) {
    c.push_back("StockQty" + w + " float Not Null Default 0");
    c.push_back("StockValue" + w + " float Not Null Default 0");
  }
  c.push_back("CalcSalesCostKind int Not Null Default 0");
  c.push_back("LastOrderPrice float Not Null Default 0");
  c.push_back("BarCode nvarchar(30) Null");
  AddNumbered(c, "Barcode", 1, 5, "nvarchar(30) Null");
  c.push_back("Location nvarchar(30) Null");
  c.push_back("IsRewardItem bit Not Null Default 1");
  return c;
}

std::vector<std::string> ProductExtendColumns() {
  std::vector<std::string> c = {
      "ProductCode nvarchar(30) Not Null",
      "WooID nvarchar(20) Null",
  };
  AddNumbered(c, "Translate", 1, 3, "nvarchar(20) Null");
  AddNumbered(c, "WooVarID", 1, 6, "nvarchar(20) Null");
  c.push_back("LastSyncedAt datetime Null");
  c.push_back("LastStockUpdatedAt datetime Null");
  c.push_back("LastStockSyncedAt datetime Null");
  return c;
}

std::vector<std::string> CustomerColumns() {
  return {
      "CustomerCode nvarchar(30) Not Null",
      "CustomerName nvarchar(100) Null",
      "Contact nvarchar(100) Null",
      "Telephone nvarchar(30) Null",
      "Fax nvarchar(30) Null",
      "Mobile nvarchar(30) Null",
      "Birthday datetime Null",
      "EMail nvarchar(100) Null",
      "ABN nvarchar(30) Null",
      "Address nvarchar(200) Null",
      "Suburb nvarchar(60) Null",
      "State nvarchar(30) Null",
      "PostCode nvarchar(15) Null",
      "Country nvarchar(60) Null",
      "AutoPrintStatement bit Not Null Default 0",
      "DeliveryAddress nvarchar(200) Null",
      "DeliverySuburb nvarchar(60) Null",
      "DeliveryState nvarchar(30) Null",
      "DeliveryPostCode nvarchar(15) Null",
      "DeliveryCountry nvarchar(60) Null",
      "CreditLimit float Not Null Default 0",
      "CreditTerm int Not Null Default 0",
      "AccountManager nvarchar(60) Null",
      "Live bit Not Null Default 1",
      "PriceFlag int Not Null Default 0",
      "MapReference nvarchar(30) Null",
      "Notes nvarchar(max) Null",
      "DefaultDiscountRate float Not Null Default 0",
      "Grade int Not Null Default 0",
      "SpecialCustomer bit Not Null Default 0",
      "GroupName nvarchar(60) Null",
      "AccType int Not Null Default 0",
      "Gender int Not Null Default 0",
      "IsMember bit Not Null Default 0",
  };
}

std::vector<std::string> InvoiceHeadColumns() {
  return {
      "InvoiceNo nvarchar(15) Not Null",
      "ReferenceNo nvarchar(15) Null",
      "KindFlag int Not Null Default 0",
      "InvoiceDate datetime Null",
      "TransferDateTime datetime Null",
      "CustomerCode nvarchar(30) Null",
      "GSTStatus bit Not Null Default 1",
      "ExemptTax bit Not Null Default 0",
      "Notes nvarchar(max) Null",
      "InternalNotes nvarchar(max) Null",
      "SalesName nvarchar(30) Null",
      "OpName nvarchar(30) Null",
      "MachineID nvarchar(30) Null",
      "Delivery bit Not Null Default 0",
      "DeliveryAddress nvarchar(400) Null",
      "Amount float Not Null Default 0",
      "GST float Not Null Default 0",
      "TotalCost float Not Null Default 0",
      "Freight float Not Null Default 0",
      "FreightGSTRate float Not Null Default 0",
      "OtherCharge float Not Null Default 0",
      "OtherChargeGSTRate float Not Null Default 0",
      "OtherChargeDescription nvarchar(100) Null",
      "PaidAmount float Not Null Default 0",
      "CustomerOrderNo nvarchar(50) Null",
      "LayByFlag int Not Null Default 0",
      "WarehouseCode nvarchar(10) Null",
      "Printed bit Not Null Default 0",
      "CreditInvoiceKind int Not Null Default 0",
      "Calc bit Not Null Default 0",
      "Confirmed bit Not Null Default 0",
      "Transfered bit Not Null Default 0",
      "RedeemPointsAsDollar float Not Null Default 0",
      "RedeemPointsGSTRate float Not Null Default 0",
      "PointsUploaded bit Not Null Default 0",
      "DollarDiscount float Not Null Default 0",
      "DiscountKind int Not Null Default 0",
      "CurrentPoints float Not Null Default 0",
      "VoucherAmount float Not Null Default 0",
      "VoucherDiscount float Not Null Default 0",
      "CurrentGSTRate float Not Null Default 0",
      "VoucherId nvarchar(50) Null",
      "TotalRedeemPoints float Not Null Default 0",
      "RedeemBasePoints float Not Null Default 0",
      "CrossStoreSalesRefund bit Not Null Default 0",
      "IsWholesale bit Not Null Default 0",
      "SyncStatus int Not Null Default 0",
      "OnlineOrder bit Not Null Default 0",
      "OnlineOrderId nvarchar(30) Null",
      "OnlineOrderStatus nvarchar(30) Null",
  };
}

std::vector<std::string> InvoiceItemColumns() {
  return {
      "InvoiceNo nvarchar(15) Not Null",
      "ID int Not Null",
      "ProductCode nvarchar(30) Null",
      "Qty float Not Null Default 0",
      "Price float Not Null Default 0",
      "NetPrice float Not Null Default 0",
      "OriginalPrice float Not Null Default 0",
      "Discount float Not Null Default 0",
      "GSTRate float Not Null Default 0",
      "UnitCost float Not Null Default 0",
      "KindFlag int Not Null Default 0",
      "PriceKind int Not Null Default 0",
      "DeductStockQty float Not Null Default 1",
      "WarehouseCode nvarchar(10) Null",
      "CreditedQty float Not Null Default 0",
      "InvoiceItemID int Not Null Default 0",
      "ManuallyEnterWeight bit Not Null Default 0",
      "IsMixMatchDiscountItem bit Not Null Default 0",
      "IsRedeemItem bit Not Null Default 0",
      "ProductFamilyCode nvarchar(30) Null",
      "RedeemItemPoints float Not Null Default 0",
  };
}

std::vector<std::string> RecvAcctColumns() {
  return {
      "InvoiceNo nvarchar(15) Not Null",
      "IDNo int Not Null",
      "AccountDate datetime Null",
      "RecordDateTime datetime Null",
      "PaidAmount float Not Null Default 0",
      "PayBy nvarchar(30) Null",
      "Notes nvarchar(200) Null",
      "Deposit bit Not Null Default 0",
      "DepositBalance float Not Null Default 0",
      "Repayment bit Not Null Default 0",
      "Bank nvarchar(60) Null",
      "Transfer bit Not Null Default 0",
      "OpName nvarchar(30) Null",
      "MachineID nvarchar(30) Null",
      "PaymentID int Not Null Default 0",
      "GiftCardBalance float Not Null Default 0",
      "GiftCardExpireDate datetime Null",
      "EFTPOSNote nvarchar(200) Null",
      "GiftCardCode nvarchar(30) Null",
      "GiftCard bit Not Null Default 0",
  };
}

std::vector<TTable> Tables(const std::vector<std::string>& warehouses) {
  return {
      {"Profile", ProfileColumns(), ""},
      {"Version", {"version float Not Null Default 1"}, ""},
      {"OnlineSyncLog", {"Event nvarchar(50) Not Null", "LastSyncAt datetime Null"}, "Event"},
      {"Category", CategoryColumns(), "Category"},
      {"Product", ProductColumns(warehouses), "ProductCode"},
      {"ProductExtend", ProductExtendColumns(), "ProductCode"},
      {"ProductFamily",
       {"FamilyCode nvarchar(30) Not Null", "FamilyName nvarchar(100) Null",
        "DiscountItemCode nvarchar(30) Null", "DiscountDescription nvarchar(100) Null"},
       "FamilyCode"},
      {"Customer", CustomerColumns(), "CustomerCode"},
      {"InvoiceHead", InvoiceHeadColumns(), "InvoiceNo"},
      {"InvoiceItem", InvoiceItemColumns(), "InvoiceNo, ID"},
      {"RecvAcct", RecvAcctColumns(), "InvoiceNo, IDNo"},
      {"Payment",
       {"Payment nvarchar(30) Not Null", "Description nvarchar(60) Null",
        "LinkToDevice int Not Null Default 0"},
       "Payment"},
  };
}

}  // namespace

bool IsValidWarehouseCode(const std::string& code) { return code.size() <= 10 && IsSafeWarehouseCode(code); }

std::vector<std::string> PosTableNames() {
  std::vector<std::string> names;
  for (const TTable& t : Tables({""})) names.emplace_back(t.Name);
  return names;
}

std::string PosSchemaBatch(const std::vector<std::string>& warehouseCodes) {
  if (warehouseCodes.empty()) throw std::invalid_argument("At least one warehouse code is needed");
  std::vector<std::string> warehouses;
  for (const std::string& w : warehouseCodes) {
    if (!IsValidWarehouseCode(w))
      throw std::invalid_argument("'" + w +
                                  "' is not a valid warehouse code (letters, digits and _ only, at most 10)");
    // Column names are compared without regard to case, and so are the codes.
    bool seen = std::any_of(warehouses.begin(), warehouses.end(), [&](const std::string& x) {
      return x.size() == w.size() && std::equal(x.begin(), x.end(), w.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
             });
    });
    if (!seen) warehouses.push_back(w);
  }

  std::string sql;
  for (const TTable& t : Tables(warehouses)) {
    sql += "Create Table ";
    sql += t.Name;
    sql += " (\n";
    for (size_t i = 0; i < t.Columns.size(); ++i) {
      sql += "  " + t.Columns[i];
      if (i + 1 < t.Columns.size() || *t.PrimaryKey) sql += ",";
      sql += "\n";
    }
    if (*t.PrimaryKey) sql += std::string("  Primary Key (") + t.PrimaryKey + ")\n";
    sql += ");\n";
  }
  sql +=
      "Create Index IX_Category_WooID On Category (WooID);\n"
      "Create Index IX_ProductExtend_WooID On ProductExtend (WooID);\n"
      "Create Index IX_InvoiceHead_OnlineOrderId On InvoiceHead (OnlineOrderId);\n"
      "Create Index IX_InvoiceHead_ReferenceNo On InvoiceHead (ReferenceNo);\n"
      "Create Index IX_InvoiceItem_ProductCode On InvoiceItem (ProductCode);\n"
      // No POS key covers these; the service looks rows up by them one at a
      // time: the reversal rows of a credit note (by its number in Notes)
      // and the translated copies of a product the shop deleted.
      "Create Index IX_RecvAcct_Notes On RecvAcct (Notes);\n"
      "Create Index IX_ProductExtend_Translate1 On ProductExtend (Translate1);\n"
      "Create Index IX_ProductExtend_Translate2 On ProductExtend (Translate2);\n"
      "Create Index IX_ProductExtend_Translate3 On ProductExtend (Translate3);\n"
      "Insert Into Version (version) Values (1);\n"
      "Insert Into Profile (CompanyName, POSInit) Values (N'', N'W');\n";
  return sql;
}

}  // namespace ooa
