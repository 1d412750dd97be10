#include "db/order/OrderFigures.h"

#include <cmath>
#include <initializer_list>

namespace ooa {

namespace {

bool AllFinite(std::initializer_list<double> values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

}  // namespace

bool OrderFiguresFinite(const TInvoiceHead& h, const std::vector<TInvoiceItem>& items, const TPayment& payment,
                        const TPayment& depositPayment) {
  if (!AllFinite({h.Freight, h.FreightGSTRate, h.OtherCharge, h.OtherChargeGSTRate, h.Amount, h.GST, h.PaidAmount,
                  h.TotalCost, h.RedeemPointsAsDollar, h.RedeemPointsGSTRate, h.DollarDiscount, h.CurrentPoints,
                  h.VoucherAmount, h.CurrentGSTRate, h.VoucherDiscount, h.TotalRedeemPoints, h.RedeemBasePoints}))
    return false;
  for (const TInvoiceItem& i : items) {
    // The stock update multiplies these in the statement itself.
    if (!AllFinite({i.Qty, i.Price, i.Discount, i.GSTRate, i.UnitCost, i.NetPrice, i.DeductStockQty, i.CreditedQty,
                    i.OriginalPrice, i.RedeemItemPoints, i.Amount, i.GST, i.Qty * i.DeductStockQty,
                    i.Qty * i.DeductStockQty * i.UnitCost}))
      return false;
  }
  return AllFinite({payment.PaidAmount, payment.Balance, depositPayment.PaidAmount, depositPayment.Balance});
}

}  // namespace ooa
