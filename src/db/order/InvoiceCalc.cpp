// CalcInvoice: completes the parsed order (or refund) document with what only
// the POS knows: GST rates, stock units per unit sold, cost and shelf price,
// then totals the lines into the head. Reads Profile and Product; writes
// nothing to the database.
#include "db/order/InvoiceCalc.h"

#include <cmath>

#include "config/Clock.h"
#include "config/Config.h"
#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "db/order/InvoiceWrite.h"

namespace ooa {

double IncludedGst(double amount, double ratePercent) {
  const double fraction = 1 - 1 / (ratePercent / 100 + 1);
  const volatile double share = fraction * amount;  // kept as a double before scaling
  const double cents = std::nearbyint(share * 100);   // default rounding: halves to even
  return cents / 100;
}

namespace {

// A product column of the first row; 0 when no product matched. A column the
// table does not have is a database error, row or no row.
double ColumnOrZero(const TRecordSet& rows, const std::string& column) {
  const int c = rows.ColumnIndex(column);
  if (!rows.Columns.empty() && c < 0) throw TDbError("Invalid column name '" + column + "'.");
  if (rows.RecordCount() == 0) return 0;
  if (c < 0) return rows.Field(0, column).AsFloat();  // throws
  return rows.Rows[0][static_cast<size_t>(c)].AsFloat();
}

}  // namespace

bool CalcInvoice(TDatabaseModule& db) {
  const std::string warehouse = ConfigSnapshot().WarehouseCode;
  if (!IsSafeWarehouseCode(warehouse))
    throw TDbError(WarehouseCodeRefusal(warehouse));
  const double rate = ColumnOrZero(db.SelectRows("Select DefaultGSTRate From Profile"), "DefaultGSTRate");

  double lineAmount = 0, lineGst = 0, cost = 0;
  for (TInvoiceItem& item : db.InvoiceItem) {
    // An SKU with a level suffix that is itself a POS product code is that
    // product at its first level.
    TRecordSet product;
    if (!item.SuffixedSku.empty()) {
      product = db.SelectRows("Select * From Product Where ProductCode=" + SqlTextLiteral(item.SuffixedSku));
      if (product.RecordCount() > 0) {
        item.ProductCode = item.SuffixedSku;
        item.PriceKind = 0;
      } else {
        product = db.SelectRows("Select * From Product Where ProductCode=" + SqlTextLiteral(item.ProductCode));
      }
    } else {
      product = db.SelectRows("Select * From Product Where ProductCode=" + SqlTextLiteral(item.ProductCode));
    }

    item.KindFlag = db.InvoiceHead.KindFlag;
    item.GSTRate = ColumnOrZero(product, "GSTRate");
    item.WarehouseCode = warehouse;
    const double measureQty = ColumnOrZero(product, "MeasureQty");
    if (measureQty < 0.9999) {
      item.DeductStockQty = 1;
    } else {
      const std::string column =
          item.PriceKind == 0 ? "DeductStockQty" : "DeductStockQty" + std::to_string(item.PriceKind);
      item.DeductStockQty = ColumnOrZero(product, column) / measureQty;
    }
    const double stockQty = ColumnOrZero(product, "StockQty" + warehouse);
    const double stockValue = ColumnOrZero(product, "StockValue" + warehouse);
    if (ColumnOrZero(product, "CalcSalesCostKind") == 0 && stockQty >= 0.001 && stockValue >= 0.01)
      item.UnitCost = stockValue / stockQty;
    else
      item.UnitCost = ColumnOrZero(product, "LastOrderPrice");
    item.NetPrice = item.Price;
    item.OriginalPrice =
        ColumnOrZero(product, "SalesPrice" + std::to_string(item.PriceKind + 1)) * (item.GSTRate / 100 + 1);

    lineAmount += item.Amount;
    lineGst += item.GST;
    cost += item.DeductStockQty * item.Qty * item.UnitCost;
  }

  db.InvoiceHead.Amount = lineAmount - lineGst;
  db.InvoiceHead.TotalCost = cost;
  db.InvoiceHead.GST =
      lineGst + IncludedGst(db.InvoiceHead.Freight, rate) + IncludedGst(db.InvoiceHead.OtherCharge, rate);
  db.InvoiceHead.RedeemPointsGSTRate = rate;
  db.InvoiceHead.FreightGSTRate = rate;
  db.InvoiceHead.OtherChargeGSTRate = rate;
  db.InvoiceHead.CurrentGSTRate = rate;
  db.InvoiceHead.GSTStatus = true;
  db.InvoiceHead.WarehouseCode = warehouse;
  db.InvoiceHead.TransferDateTime = Clock().NowLocal();
  return true;
}

}  // namespace ooa
