// One product of the product and stock queries as the catalogue uploads use
// it: the Product row joined with its ProductExtend row and, for the product
// query, its category's shop ids. Read by the database side
// (db/catalog/ProductRow.h), turned into shop entries by shop/woo; a plain
// value, any thread.
//
// Price levels are 1..6; arrays below are indexed by level - 1. Level 1 reads
// SubDescription and DeductStockQty, level i the columns numbered i - 1.
#pragma once

#include <string>

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

}  // namespace ooa
