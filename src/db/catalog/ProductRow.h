// One row of the product and stock queries (Product p joined with its
// ProductExtend pe and, for products, its Category c), read by column name
// once per result set. Used by TDatabaseModule's product and stock queries on
// the catalogue worker thread.
//
// Price levels are 1..6; arrays below are indexed by level - 1. Level 1 reads
// SubDescription and DeductStockQty, level i the columns numbered i - 1.
#pragma once

#include <string>
#include <vector>

#include "db/session/DbSession.h"

namespace ooa {

struct TProductRow {
  std::string ProductCode;
  bool HasExtend = false;  // a ProductExtend row joined
  bool OnlineOrderItem = false;
  bool Live = false, OpenPrice = false, Scalable = false;
  bool GSTStatus = false, StockControl = false, MultiplePrice = false;
  double GSTRate = 0, MeasureQty = 0;
  double Stock = 0;  // the configured warehouse's stock column
  long long DefaultSalesPrice = 0;
  std::string Description, Descriptions[3], BarCode;
  std::string SubDescriptions[6];
  double SalesPrices[6] = {}, OnlinePrices[6] = {}, Deducts[6] = {};
  std::string WooID, Translates[3], WooVarIDs[6];
  std::string WooCateID, WooCateTrans[3];
};

// Column positions of one result set, looked up once. A column the result
// does not hold reads as Null, except the warehouse stock column, which must
// exist (TDbError naming it otherwise: the settings name a warehouse the POS
// does not have).
class TProductColumns {
 public:
  TProductColumns(const TRecordSet& rows, const std::string& warehouseCode);
  TProductRow Read(int row) const;

 private:
  int Find(const std::string& name) const;
  const TDbValue& At(int row, int column) const;

  const TRecordSet& Rows;
  int ProductCode, ExtendCode, OnlineOrderItem, Live, OpenPrice, Scalable, GSTStatus, StockControl,
      MultiplePrice, GSTRate, MeasureQty, Stock, DefaultSalesPrice, Description, BarCode, WooID, WooCateID;
  int Descriptions[3], Translates[3], WooCateTrans[3];
  int SubDescriptions[6], SalesPrices[6], OnlinePrices[6], Deducts[6], WooVarIDs[6];
};

// The column of level i (1..6) for columns numbered from level 2 on:
// base for level 1, base + (i - 1) otherwise (SubDescription2 is level 3).
std::string LevelColumnName(const std::string& base, int level);

}  // namespace ooa
