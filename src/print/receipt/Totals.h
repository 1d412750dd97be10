// The totals of a receipt, recomputed from its items and the head values of
// the invoice plus its credit notes (never the totals stored in the head),
// and the block of total lines printed between the item count and the
// payments. Pure computation; the order worker prints the block.
#pragma once

#include <string>
#include <vector>

#include "print/receipt/BuffType.h"
#include "print/receipt/ReceiptLocale.h"

namespace ooa {

struct TTotalsInput {
  bool Inclusive = true;  // the head's GSTStatus: prices include GST
  bool Exempt = false;    // the head's ExemptTax
  double Freight = 0, FreightGSTRate = 0;  // freight: invoice plus credit notes; rate: invoice
  double OtherCharge = 0, OtherChargeGSTRate = 0;
  double RedeemPoints = 0, RedeemPointsGSTRate = 0;  // money value of redeemed points
  double DollarDiscount = 0;
  double Voucher = 0;
  double Rounding = 0;  // the invoice's "ROUNDING" payments
  std::string OtherChargeDescription;  // 8-bit text
};

struct TReceiptTotals {
  double SubTotal = 0;      // S: sum of the line amounts
  double LineDiscount = 0;  // LD
  double ItemGST = 0;       // IG
  double FreightGST = 0, OtherChargeGST = 0;
  double VoucherUsed = 0;    // VU
  double TotalDiscount = 0;  // TD
  double FreightShown = 0, OtherChargeShown = 0;
  double GST = 0;
  double Total = 0;  // T; the amount to pay is T less the rounding payments
  bool Taxable = false;  // some item has a GST rate of 1 % or more
};

TReceiptTotals ComputeReceiptTotals(const std::vector<BuffType>& items, const TTotalsInput& in);

// One line of the block: its text and whether it is printed in the large size.
struct TTotalsLine {
  std::string Text;
  bool Large = false;
  bool operator==(const TTotalsLine&) const = default;
};

std::vector<TTotalsLine> TotalsBlockLines(const TReceiptTotals& t, const TTotalsInput& in,
                                          const TReceiptLocale& locale);

// Prints the block on the open receipt (normal size afterwards).
void PrintTotalsBlock(const TReceiptTotals& t, const TTotalsInput& in, const TReceiptLocale& locale);

}  // namespace ooa
