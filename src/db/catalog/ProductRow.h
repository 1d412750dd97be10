// Reading the rows of the product and stock queries (Product p joined with
// its ProductExtend pe and, for products, its Category c) as TProductRow
// (model/ProductRow.h), by column name once per result set. Used by
// the product and stock queries (CatalogReads.h) on the catalogue worker thread.
// Price level i (1..6) reads SubDescription and DeductStockQty for level 1,
// the columns numbered i - 1 otherwise.
#pragma once

#include <string>

#include "db/session/DbSession.h"
#include "model/ProductRow.h"

namespace ooa {

// Rows the product and stock queries hold at a time.
inline constexpr size_t kRowsAtATime = 500;

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
