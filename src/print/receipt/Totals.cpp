// Receipt totals and the totals block (see Totals.h).
#include "print/receipt/Totals.h"

#include <cmath>

#include "print/PrinterControlUnit.h"
#include "print/receipt/ReceiptText.h"

namespace ooa {

TReceiptTotals ComputeReceiptTotals(const std::vector<BuffType>& items, const TTotalsInput& in) {
  TReceiptTotals t;
  for (const BuffType& e : items) {
    const double q = e.Qty, p = e.Price, g = e.GSTRate, r = e.DiscountRate;
    const double a = RoundHalfEven(q * p * 10000) / 10000;
    const double d = Money2(a * r / 100);
    double tax = 0;
    if (!in.Exempt) {
      if (in.Inclusive)
        tax = std::trunc((1 - 1 / (1 + g / 100)) * (a - d) * 100) / 100;
      else
        tax = std::trunc((a - d) * g / 100 * 100) / 100;
    }
    if (std::fabs(g / 100) >= 0.01) t.Taxable = true;
    t.SubTotal += a;
    t.LineDiscount += d;
    t.ItemGST += tax;
  }
  const double S = t.SubTotal, LD = t.LineDiscount;
  const double F = in.Freight, O = in.OtherCharge, R = in.RedeemPoints, DD = in.DollarDiscount,
               V = in.Voucher, Rr = in.RedeemPointsGSTRate;
  t.FreightGST = RoundHalfEven(F * in.FreightGSTRate) / 100;
  t.OtherChargeGST = RoundHalfEven(O * in.OtherChargeGSTRate) / 100;
  if (std::fabs(V) < 0.01)
    t.VoucherUsed = 0;
  else
    t.VoucherUsed = S - LD >= V ? V : S - LD;
  t.TotalDiscount = LD + DD;
  double DG, VG, RG;
  if (in.Inclusive) {
    t.FreightShown = F + t.FreightGST;
    t.OtherChargeShown = O + t.OtherChargeGST;
    const double k = 1 - 1 / (Rr / 100 + 1);
    DG = RoundHalfEven(k * DD * 100) / 100;
    VG = RoundHalfEven(k * t.VoucherUsed * 100) / 100;
    RG = RoundHalfEven(k * R * 100) / 100;
  } else {
    t.FreightShown = F;
    t.OtherChargeShown = O;
    DG = RoundHalfEven(DD * Rr) / 100;
    VG = RoundHalfEven(t.VoucherUsed * Rr) / 100;
    RG = RoundHalfEven(R * Rr) / 100;
  }
  double gst = t.ItemGST - DG - VG - RG;
  if (std::fabs(S - t.TotalDiscount - R) < 0.01 || (S < 0 && gst > 0) || (S > 0 && gst < 0)) gst = 0;
  t.GST = gst + t.FreightGST + t.OtherChargeGST;
  t.Total = S - t.TotalDiscount - t.VoucherUsed - R + t.FreightShown + t.OtherChargeShown;
  if (!in.Inclusive) t.Total += t.GST;
  return t;
}

std::vector<TTotalsLine> TotalsBlockLines(const TReceiptTotals& t, const TTotalsInput& in,
                                          const TReceiptLocale& locale) {
  std::vector<TTotalsLine> lines;
  auto line = [&](const std::string& label, double amount) {
    lines.push_back({AlignRight(label + ": " + MoneyText(amount, 2, 10, locale), 40), false});
  };
  const double Rd = in.Rounding;
  const bool anyCharge = std::fabs(t.TotalDiscount) >= 0.01 || std::fabs(in.RedeemPoints) >= 0.01 ||
                         std::fabs(t.FreightShown) >= 0.01 || std::fabs(t.OtherChargeShown) >= 0.01 ||
                         std::fabs(Rd) >= 0.01;
  if (anyCharge || (!in.Inclusive && std::fabs(t.GST) >= 0.01)) line("SUB TOTAL", t.SubTotal);
  if (t.TotalDiscount != 0) line("DISCOUNT", -t.TotalDiscount);
  if (std::fabs(t.VoucherUsed) > 0.01 && std::fabs(in.Voucher) >= 0.01) line("Voucher Discount", -t.VoucherUsed);
  if (in.RedeemPoints != 0) line("REDEEM POINTS", -in.RedeemPoints);
  if (std::fabs(t.FreightShown) >= 0.01) line("FFREIGHT", t.FreightShown);
  if (std::fabs(t.OtherChargeShown) >= 0.01) line(UpperAscii(in.OtherChargeDescription), t.OtherChargeShown);
  if (std::fabs(Rd) >= 0.001) line("ROUNDING", -Rd);
  const TTotalsLine total{AlignRight("TOTAL: " + MoneyText(t.Total - Rd, 2, 4, locale), 20), true};
  if (!in.Inclusive) {
    line("GST", t.GST);
    lines.push_back(total);
  } else {
    lines.push_back(total);
    line("GST INCLUDED IN TOTAL", t.GST);
  }
  return lines;
}

void PrintTotalsBlock(const TReceiptTotals& t, const TTotalsInput& in, const TReceiptLocale& locale) {
  for (const TTotalsLine& l : TotalsBlockLines(t, in, locale)) {
    if (l.Large) {
      SetLargeFont();
      PrintLine(l.Text);
      SetNormalFont();
    } else {
      PrintLine(l.Text);
    }
  }
}

}  // namespace ooa
