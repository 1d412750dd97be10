// Reading product rows by column positions resolved once per result set.
#include "db/catalog/ProductRow.h"

namespace ooa {

std::string LevelColumnName(const std::string& base, int level) {
  return level <= 1 ? base : base + std::to_string(level - 1);
}

TProductColumns::TProductColumns(const TRecordSet& rows, const std::string& warehouseCode) : Rows(rows) {
  ProductCode = Find("ProductCode");
  ExtendCode = Find("ExtendProductCode");
  OnlineOrderItem = Find("OnlineOrderItem");
  Live = Find("Live");
  OpenPrice = Find("OpenPrice");
  Scalable = Find("Scalable");
  GSTStatus = Find("GSTStatus");
  StockControl = Find("StockControl");
  MultiplePrice = Find("MultiplePrice");
  GSTRate = Find("GSTRate");
  MeasureQty = Find("MeasureQty");
  const std::string stockColumn = "StockQty" + warehouseCode;
  Stock = Find(stockColumn);
  if (Stock < 0) throw TDbError("Invalid column name '" + stockColumn + "' (settings: WarehouseCode).");
  DefaultSalesPrice = Find("DefaultSalesPrice");
  Description = Find("Description");
  BarCode = Find("BarCode");
  WooID = Find("WooID");
  WooCateID = Find("WooCateID");
  for (int n = 1; n <= 3; ++n) {
    const std::string digit = std::to_string(n);
    Descriptions[n - 1] = Find("Description" + digit);
    Translates[n - 1] = Find("Translate" + digit);
    WooCateTrans[n - 1] = Find("WooCateTrans" + digit);
  }
  for (int i = 1; i <= 6; ++i) {
    const std::string digit = std::to_string(i);
    SubDescriptions[i - 1] = Find(LevelColumnName("SubDescription", i));
    Deducts[i - 1] = Find(LevelColumnName("DeductStockQty", i));
    SalesPrices[i - 1] = Find("SalesPrice" + digit);
    OnlinePrices[i - 1] = Find("OnlinePrice" + digit);
    WooVarIDs[i - 1] = Find("WooVarID" + digit);
  }
}

int TProductColumns::Find(const std::string& name) const { return Rows.ColumnIndex(name); }

const TDbValue& TProductColumns::At(int row, int column) const {
  static const TDbValue null;
  return column < 0 ? null : Rows.Rows[row][column];
}

TProductRow TProductColumns::Read(int row) const {
  TProductRow r;
  r.ProductCode = At(row, ProductCode).AsString();
  r.HasExtend = ExtendCode < 0 || !At(row, ExtendCode).IsNull();
  r.OnlineOrderItem = At(row, OnlineOrderItem).AsBoolean();
  r.Live = At(row, Live).AsBoolean();
  r.OpenPrice = At(row, OpenPrice).AsBoolean();
  r.Scalable = At(row, Scalable).AsBoolean();
  r.GSTStatus = At(row, GSTStatus).AsBoolean();
  r.StockControl = At(row, StockControl).AsBoolean();
  r.MultiplePrice = At(row, MultiplePrice).AsBoolean();
  r.GSTRate = At(row, GSTRate).AsFloat();
  r.MeasureQty = At(row, MeasureQty).AsFloat();
  r.Stock = At(row, Stock).AsFloat();
  r.DefaultSalesPrice = At(row, DefaultSalesPrice).AsInteger();
  r.Description = At(row, Description).AsString();
  r.BarCode = At(row, BarCode).AsString();
  r.WooID = At(row, WooID).AsString();
  r.WooCateID = At(row, WooCateID).AsString();
  for (int n = 0; n < 3; ++n) {
    r.Descriptions[n] = At(row, Descriptions[n]).AsString();
    r.Translates[n] = At(row, Translates[n]).AsString();
    r.WooCateTrans[n] = At(row, WooCateTrans[n]).AsString();
  }
  for (int i = 0; i < 6; ++i) {
    r.SubDescriptions[i] = At(row, SubDescriptions[i]).AsString();
    r.SalesPrices[i] = At(row, SalesPrices[i]).AsFloat();
    r.OnlinePrices[i] = At(row, OnlinePrices[i]).AsFloat();
    r.Deducts[i] = At(row, Deducts[i]).AsFloat();
    r.WooVarIDs[i] = At(row, WooVarIDs[i]).AsString();
  }
  return r;
}

}  // namespace ooa
