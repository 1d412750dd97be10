// Receipt totals: the computation from the items and the head values, with
// its rounding steps, and the block of total lines it prints.
#include <gtest/gtest.h>

#include "print/receipt/Totals.h"

namespace ooa::test {
namespace {

struct TItemRow {
  double Qty, Price, GSTRate, DiscountRate;
};

struct TTotalsCase {
  const char* Name;
  std::vector<TItemRow> Items;
  TTotalsInput In;
  std::vector<std::string> Normal;  // lines in normal size, in order
  std::string Large;                // the TOTAL line
  double Total;                     // T
};

TTotalsInput Inclusive() { return TTotalsInput{}; }
TTotalsInput Exclusive() {
  TTotalsInput in;
  in.Inclusive = false;
  return in;
}
template <typename F>
TTotalsInput With(TTotalsInput in, F change) {
  change(in);
  return in;
}

const TTotalsCase kCases[] = {
    {"InclusiveNeedsNoSubTotal", {{2, 5.5, 10, 0}}, Inclusive(),
     {"       GST INCLUDED IN TOTAL:      $1.00"}, "       TOTAL: $11.00", 11.00},
    {"ExclusiveAddsTheGst", {{2, 5.5, 10, 0}}, Exclusive(),
     {"                   SUB TOTAL:     $11.00", "                         GST:      $1.10"}, "       TOTAL: $12.10",
     12.10},
    // 10 % of 3.35 is 0.335, which rounds up to 0.34 on its decimal expansion.
    {"LineDiscountRoundsOnItsDecimals", {{1, 3.35, 0, 10}}, Inclusive(),
     {"                   SUB TOTAL:      $3.35", "                    DISCOUNT:     -$0.34",
      "       GST INCLUDED IN TOTAL:      $0.00"},
     "        TOTAL: $3.01", 3.01},
    {"VoucherIsUsedUpToTheSubTotal", {{1, 15, 0, 0}}, With(Inclusive(), [](auto& in) { in.Voucher = 20; }),
     {"            Voucher Discount:    -$15.00", "       GST INCLUDED IN TOTAL:      $0.00"}, "        TOTAL: $0.00",
     0},
    {"ExemptInvoiceHasNoItemGst", {{2, 5.5, 10, 0}}, With(Inclusive(), [](auto& in) { in.Exempt = true; }),
     {"       GST INCLUDED IN TOTAL:      $0.00"}, "       TOTAL: $11.00", 11.00},
    {"RefundedItemsLeaveTheFreight", {{2, 5.5, 10, 0}, {-2, 5.5, 10, 0}},
     With(Inclusive(), [](auto& in) { in.Freight = 5, in.FreightGSTRate = 10; }),
     {"                   SUB TOTAL:      $0.00", "                    FFREIGHT:      $5.50",
      "       GST INCLUDED IN TOTAL:      $0.50"},
     "        TOTAL: $5.50", 5.50},
    {"RoundingPayment", {{1, 10.02, 0, 0}}, With(Inclusive(), [](auto& in) { in.Rounding = 0.02; }),
     {"                   SUB TOTAL:     $10.02", "                    ROUNDING:     -$0.02",
      "       GST INCLUDED IN TOTAL:      $0.00"},
     "       TOTAL: $10.00", 10.02},
    // Too small for its own line, but the TOTAL still nets it.
    {"TinyRoundingHasNoLine", {{1, 10.005, 0, 0}}, With(Inclusive(), [](auto& in) { in.Rounding = 0.0005; }),
     {"       GST INCLUDED IN TOTAL:      $0.00"}, "       TOTAL: $10.00", 10.005},
    {"OtherChargeUnderItsOwnName", {{1, 10, 0, 0}},
     With(Inclusive(), [](auto& in) { in.OtherCharge = 3, in.OtherChargeGSTRate = 10, in.OtherChargeDescription = "Gift wrap"; }),
     {"                   SUB TOTAL:     $10.00", "                   GIFT WRAP:      $3.30",
      "       GST INCLUDED IN TOTAL:      $0.30"},
     "       TOTAL: $13.30", 13.30},
    // The coupon's GST would make the GST negative on a positive sale: it is 0.
    {"GstNeverAgainstTheSale", {{1, 10, 0, 0}},
     With(Inclusive(), [](auto& in) { in.DollarDiscount = 5, in.RedeemPointsGSTRate = 10; }),
     {"                   SUB TOTAL:     $10.00", "                    DISCOUNT:     -$5.00",
      "       GST INCLUDED IN TOTAL:      $0.00"},
     "        TOTAL: $5.00", 5.00},
    {"ExclusivePointsCarryTheirGst", {{1, 10, 10, 0}},
     With(Exclusive(), [](auto& in) { in.RedeemPoints = 2, in.RedeemPointsGSTRate = 10; }),
     {"                   SUB TOTAL:     $10.00", "               REDEEM POINTS:     -$2.00",
      "                         GST:      $0.80"},
     "        TOTAL: $8.80", 8.80},
    // Credit lines: the GST of a negative amount is cut toward zero.
    {"NegativeLinesTruncateTowardZero", {{-1, 3.33, 10, 0}}, Exclusive(),
     {"                   SUB TOTAL:     -$3.33", "                         GST:     -$0.33"},
     "       TOTAL: -$3.66", -3.66},
};

void PrintTo(const TTotalsCase& c, std::ostream* out) { *out << c.Name; }

class TotalsTest : public ::testing::TestWithParam<TTotalsCase> {};

TEST_P(TotalsTest, ComputesAndPrintsTheBlock) {
  const TTotalsCase& c = GetParam();
  std::vector<BuffType> items(1000);  // empty entries take part and add nothing
  for (size_t i = 0; i < c.Items.size(); ++i) {
    items[i].Qty = c.Items[i].Qty;
    items[i].Price = c.Items[i].Price;
    items[i].GSTRate = c.Items[i].GSTRate;
    items[i].DiscountRate = c.Items[i].DiscountRate;
  }
  const TReceiptTotals t = ComputeReceiptTotals(items, c.In);
  EXPECT_NEAR(t.Total, c.Total, 1e-9);
  std::vector<std::string> normal;
  std::string large;
  for (const TTotalsLine& l : TotalsBlockLines(t, c.In, TReceiptLocale{})) {
    if (l.Large) {
      EXPECT_TRUE(large.empty()) << "one TOTAL line";
      large = l.Text;
    } else {
      normal.push_back(l.Text);
    }
  }
  EXPECT_EQ(normal, c.Normal);
  EXPECT_EQ(large, c.Large);
}

INSTANTIATE_TEST_SUITE_P(Receipt, TotalsTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(TotalsTaxableFlag, SetByARateOfOnePercentEvenWhenExempt) {
  std::vector<BuffType> items(2);
  items[0].GSTRate = 0.99;
  TTotalsInput exempt;
  exempt.Exempt = true;
  EXPECT_FALSE(ComputeReceiptTotals(items, exempt).Taxable);
  items[1].GSTRate = -1;  // a credit line's rate counts by its size
  EXPECT_TRUE(ComputeReceiptTotals(items, exempt).Taxable);
}

}  // namespace
}  // namespace ooa::test
