// The demo shop's rows (see DemoShop.h).
#include "DemoShop.h"

#include <cmath>

#include "config/UtilUnit.h"

namespace ooa {

namespace {

std::string T(const std::string& text) { return SqlTextLiteral(text); }
std::string F(double value) { return FloatToText(value); }
std::string B(bool value) { return BoolToSqlBit(value); }

struct TCategoryRow {
  const char* Code;
  const char* Group;  // "" for none
  bool IsGroup;
  bool OnlineSales;
  const char* English;
  const char* Simplified;
  const char* Traditional;
};

const TCategoryRow kCategories[] = {
    {"DRINKS", "", true, true, "Drinks", "饮品", "飲品"},
    {"PANTRY", "", true, true, "Pantry", "食品杂货", "食品雜貨"},
    {"WINE", "DRINKS", false, true, "Wine", "葡萄酒", "葡萄酒"},
    {"BEER", "DRINKS", false, true, "Beer & Cider", "啤酒和苹果酒", "啤酒和蘋果酒"},
    {"SPIRITS", "DRINKS", false, true, "Spirits", "烈酒", "烈酒"},
    {"SOFTDRINK", "DRINKS", false, true, "Soft Drinks & Water", "软饮料和水", "軟飲料和水"},
    {"SNACKS", "PANTRY", false, true, "Snacks", "零食", "零食"},
    {"FRESH", "PANTRY", false, true, "Fresh Produce", "新鲜农产品", "新鮮農產品"},
    {"BAGS", "", false, true, "Shopping Bags", "", ""},
    {"TOBACCO", "", false, false, "Tobacco", "烟草", "菸草"},
};

// One price level: its name, price before GST, shop price (0: the shelf
// price), stock units one sale takes, barcode.
struct TLevel {
  const char* Name;
  double SalesPrice;
  double OnlinePrice;
  double Deduct;
  const char* Barcode;
};

struct TProductRow {
  const char* Code;
  const char* Category;
  const char* English;
  const char* Simplified;
  const char* Traditional;
  bool OnlineOrderItem;
  bool Live;
  bool Scalable;
  double GSTRate;
  bool StockControl;
  bool MultiplePrice;
  double Stock;      // in the first warehouse, in stock units
  double UnitCost;   // cost of one stock unit
  const char* Location;
  std::vector<TLevel> Levels;  // level 1 first
};

const std::vector<TProductRow>& Products() {
  static const std::vector<TProductRow> rows = {
      {"SHZ750", "WINE", "Barossa Shiraz 750ml", "巴罗萨西拉红葡萄酒 750毫升", "巴羅莎希拉紅葡萄酒 750毫升",
       true, true, false, 10, true, false, 36, 11.5, "A1-03",
       {{"", 20.00, 0, 1, "9312345000017"}}},
      {"SAVB750", "WINE", "Marlborough Sauvignon Blanc 750ml", "马尔堡长相思白葡萄酒 750毫升",
       "馬爾堡長相思白葡萄酒 750毫升", true, true, false, 10, true, false, 24, 8.9, "A1-05",
       {{"", 16.36, 15.45, 1, "9312345000024"}}},
      {"GIN700", "SPIRITS", "Tasmanian Dry Gin 700ml", "塔斯马尼亚干金酒 700毫升", "塔斯馬尼亞乾琴酒 700毫升",
       true, true, false, 10, true, false, 8, 38, "B2-01",
       {{"", 59.09, 0, 1, "9312345000031"}}},
      {"LAGER330", "BEER", "Pale Lager 330ml", "淡色拉格啤酒 330毫升", "淡色拉格啤酒 330毫升",
       true, true, false, 10, true, true, 240, 1.6, "C1-01",
       {{"Single", 3.64, 0, 1, "9312345000048"},
        {"6 Pack", 19.09, 0, 6, "9312345000055"},
        {"Carton of 24", 59.09, 54.55, 24, "9312345000062"}}},
      {"SPARKW500", "SOFTDRINK", "Sparkling Mineral Water 500ml", "含气矿泉水 500毫升", "氣泡礦泉水 500毫升",
       true, true, false, 10, true, true, 96, 0.85, "C3-02",
       {{"Single", 2.27, 0, 1, "9312345000079"}, {"12 Pack", 20.00, 18.18, 12, "9312345000086"}}},
      {"CHIPSS165", "SNACKS", "Sea Salt Potato Chips 165g", "海盐薯片 165克", "海鹽薯片 165克",
       true, true, false, 10, true, false, 60, 1.9, "D1-04",
       {{"", 3.64, 0, 1, "9312345000093"}}},
      {"APPLEKG", "FRESH", "Pink Lady Apples per kg", "粉红佳人苹果 每公斤", "粉紅佳人蘋果 每公斤",
       true, true, true, 0, false, false, 42.5, 3.2, "F1-01",
       {{"", 6.90, 0, 1, ""}}},
      {"BAGREUSE", "BAGS", "Reusable Shopping Bag", "", "", true, true, false, 10, false, false, 150, 0.35, "Counter",
       {{"", 0.91, 0, 1, "9312345000109"}}},
      {"ROSE750", "WINE", "Provence Rose 750ml", "普罗旺斯桃红葡萄酒 750毫升", "普羅旺斯桃紅葡萄酒 750毫升",
       true, true, false, 10, true, false, 12, 14, "A1-07",
       {{"", 24.55, 0, 1, "9312345000116"}}},
      {"PORT750", "WINE", "Tawny Port 750ml", "", "", false, true, false, 10, true, false, 5, 12.4, "A2-01",
       {{"", 27.27, 0, 1, "9312345000123"}}},
  };
  return rows;
}

std::string CategoryInserts(const std::string& now) {
  std::string sql;
  for (const TCategoryRow& c : kCategories) {
    sql += "Insert Into Category (Category, CategoryGroup, IsGroup, Description, Description1, Description2, "
           "Description3, OnlineSales, WooID, LastUpdatedAt, LastSyncedAt) Values (" +
           T(c.Code) + ", " + T(c.Group) + ", " + B(c.IsGroup) + ", " + T(c.English) + ", " + T(c.Simplified) +
           ", " + T(c.Traditional) + ", Null, " + B(c.OnlineSales) + ", Null, " + now + ", Null);\n";
  }
  return sql;
}

// Column name of level i (1-based) for the columns numbered from level 2 on.
std::string LevelColumn(const std::string& base, int level) {
  return level == 1 ? base : base + std::to_string(level - 1);
}

std::string ProductInserts(const std::vector<std::string>& warehouses, const std::string& now) {
  std::string sql;
  for (const TProductRow& p : Products()) {
    std::string cols = "ProductCode, Category, Description, Description1, Description2, OnlineOrderItem, "
                       "ModifyDate, Live, Scalable, TareWeight, GSTRate, GSTStatus, DefaultSalesPrice, "
                       "MultiplePrice, StockControl, MeasureQty, CalcSalesCostKind, LastOrderPrice, Location";
    std::string vals = T(p.Code) + ", " + T(p.Category) + ", " + T(p.English) + ", " + T(p.Simplified) + ", " +
                       T(p.Traditional) + ", " + B(p.OnlineOrderItem) + ", " + now + ", " + B(p.Live) + ", " +
                       B(p.Scalable) + ", " + (p.Scalable ? "5" : "0") + ", " + F(p.GSTRate) + ", 1, 0, " +
                       B(p.MultiplePrice) + ", " + B(p.StockControl) + ", 1, 0, " + F(p.UnitCost) + ", " +
                       T(p.Location);
    for (size_t i = 0; i < p.Levels.size(); ++i) {
      const TLevel& l = p.Levels[i];
      const int level = static_cast<int>(i) + 1;
      cols += ", SalesPrice" + std::to_string(level) + ", OnlinePrice" + std::to_string(level) + ", " +
              LevelColumn("DeductStockQty", level) + ", " + LevelColumn(level == 1 ? "BarCode" : "Barcode", level);
      vals += ", " + F(l.SalesPrice) + ", " + F(l.OnlinePrice) + ", " + F(l.Deduct) + ", " + T(l.Barcode);
      if (p.MultiplePrice) {
        cols += ", " + LevelColumn("SubDescription", level);
        vals += ", " + T(l.Name);
      }
    }
    for (size_t w = 0; w < warehouses.size(); ++w) {
      // The first warehouse is the shop floor; the others hold a smaller reserve.
      double qty = w == 0 ? p.Stock : std::floor(p.Stock / 4);
      cols += ", StockQty" + warehouses[w] + ", StockValue" + warehouses[w];
      vals += ", " + F(qty) + ", " + F(std::round(qty * p.UnitCost * 100) / 100);
    }
    sql += "Insert Into Product (" + cols + ") Values (" + vals + ");\n";
    sql += "Insert Into ProductExtend (ProductCode, LastStockUpdatedAt) Values (" + T(p.Code) + ", " + now + ");\n";
  }
  return sql;
}

std::string CustomerInserts() {
  struct TCustomerRow {
    const char* Code;
    const char* Name;
    const char* Mobile;
    const char* EMail;
    const char* Address;
    const char* Suburb;
    const char* PostCode;
    bool IsMember;
  };
  const TCustomerRow rows[] = {
      {"ZADEZUDODEVE", "Cash Sale", "", "", "", "", "", false},
      {"M10001", "Grace Chen", "0412 555 018", "grace.chen@example.com", "4 Darling Street", "Balmain", "2041",
       true},
      {"M10002", "Liam O'Brien", "0433 555 274", "liam.obrien@example.com", "27 Victoria Road", "Rozelle", "2039",
       true},
      {"M10003", "Mei Lin Wong", "0450 555 391", "meilin.wong@example.com", "9/115 Glebe Point Road", "Glebe",
       "2037", true},
  };
  std::string sql;
  for (const TCustomerRow& c : rows) {
    const bool cash = !c.IsMember;
    sql += "Insert Into Customer (CustomerCode, CustomerName, Mobile, EMail, Address, Suburb, State, PostCode, "
           "Country, DeliveryAddress, DeliverySuburb, DeliveryState, DeliveryPostCode, DeliveryCountry, Live, "
           "IsMember) Values (" +
           T(c.Code) + ", " + T(c.Name) + ", " + T(c.Mobile) + ", " + T(c.EMail) + ", " + T(c.Address) + ", " +
           T(c.Suburb) + ", " + (cash ? "Null" : "N'NSW'") + ", " + T(c.PostCode) + ", " +
           (cash ? "Null" : "N'AU'") + ", " + T(c.Address) + ", " + T(c.Suburb) + ", " +
           (cash ? "Null" : "N'NSW'") + ", " + T(c.PostCode) + ", " + (cash ? "Null" : "N'AU'") + ", 1, " +
           B(c.IsMember) + ");\n";
  }
  return sql;
}

std::string PaymentInserts() {
  struct TPaymentRow {
    const char* Code;
    const char* Description;
    int LinkToDevice;
  };
  const TPaymentRow rows[] = {
      {"CASH", "Cash", 0},
      {"EFTPOS", "EFTPOS card", 1},
      {"WECHAT", "WeChat Pay", 3},
      {"CREDIT NOTES", "Credit notes", 0},
      {"Deposit", "Member deposit", 0},
      {"Online", "Online refund", 0},
      {"stripe", "Credit card (online shop)", 0},
      {"bacs", "Direct bank transfer (online shop)", 0},
      {"cod", "Pay on pickup (online shop)", 0},
  };
  std::string sql;
  for (const TPaymentRow& p : rows)
    sql += "Insert Into Payment (Payment, Description, LinkToDevice) Values (" + T(p.Code) + ", " +
           T(p.Description) + ", " + std::to_string(p.LinkToDevice) + ");\n";
  return sql;
}

}  // namespace

std::string DemoShopBatch(const std::vector<std::string>& warehouses, TDateTime now) {
  const std::string when = SqlDateTimeLiteral(now);
  std::string sql =
      "Update Profile Set CompanyName = N'Harbourside Grocer & Cellar', ABN = N'51 824 753 556', "
      "Telephone = N'(02) 9555 0142', Fax = N'(02) 9555 0143', "
      "Address = N'12 Wharf Road\r\nBalmain NSW 2041', ReceiptFormat = 0, PrintDescription1 = 1, "
      "PrintDescription2 = 1, PrintDescription3 = 0, PrintDescription4 = 0, TaxInvoiceNumber = 1, "
      "POSInvoiceNumber = 1, POSInvoiceDate = 1, PrintDiscountRateOnPOSInvoice = 1, PrintBarcodeInvoiceNo = 1, "
      "ConsolidateItemsOnReceipt = 0, OnlyPrintOneLineDescriptionOnReceipt = 0, "
      "HighlightVoidItemOnReceipts = 0, PrintSplitLinesOnReceipts = 1, PrintFirstDescription = 0, "
      "PrintCustomerNameOnReceipt = 1, PrintWeightTareMessage = 1, DefaultGSTRate = 10, "
      "GenerateInvoiceNoKind = 0, POSInit = N'W';\n";
  sql += CategoryInserts(when);
  sql += ProductInserts(warehouses, when);
  sql +=
      "Insert Into ProductFamily (FamilyCode, FamilyName, DiscountItemCode, DiscountDescription) Values "
      "(N'WINE6', N'Any 6 wines', N'WINE6DISC', N'Mix 6 Wines 10% Off');\n";
  sql += CustomerInserts();
  sql += PaymentInserts();
  return sql;
}

}  // namespace ooa
