#include "db/credit/LineCredits.h"

#include <algorithm>
#include <cmath>

namespace ooa {

namespace {

bool SameLevel(const TSoldLine& line, const TCreditTaken& credit) {
  return line.ProductCode == credit.ProductCode && line.PriceKind == credit.PriceKind;
}

bool Positive(double qty) { return std::isfinite(qty) && qty > kQtyTolerance; }

}  // namespace

std::vector<double> CreditedPerLine(const std::vector<TSoldLine>& lines, const std::vector<TCreditTaken>& credits) {
  std::vector<double> taken(lines.size(), 0);
  auto left = [&](size_t i) { return std::max(0.0, lines[i].Qty - taken[i]); };
  auto take = [&](size_t i, double want) {
    const double t = std::min(left(i), want);
    taken[i] += t;
    return t;
  };

  // The credit lines that name their invoice line take from it first.
  std::vector<TCreditTaken> rest;
  for (const TCreditTaken& credit : credits) {
    if (!Positive(credit.Qty)) continue;
    TCreditTaken r = credit;
    if (r.InvoiceItemId != 0) {
      for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].ID == r.InvoiceItemId && lines[i].ProductCode == r.ProductCode) {
          r.Qty -= take(i, r.Qty);
          break;
        }
      }
    }
    if (Positive(r.Qty)) rest.push_back(r);
  }

  // Then the lines of the same product and level, in order.
  std::vector<TCreditTaken> over;
  for (TCreditTaken& r : rest) {
    for (size_t i = 0; i < lines.size() && Positive(r.Qty); ++i)
      if (SameLevel(lines[i], r)) r.Qty -= take(i, r.Qty);
    if (Positive(r.Qty)) over.push_back(r);
  }

  // Whatever no line of its level could take went back to stock all the same:
  // it counts in stock units against the product's other lines.
  for (const TCreditTaken& r : over) {
    double units = r.Qty * r.DeductStockQty;
    for (size_t i = 0; i < lines.size() && Positive(units); ++i) {
      const double deduct = lines[i].DeductStockQty;
      if (lines[i].ProductCode != r.ProductCode || !(deduct > 0)) continue;
      units -= take(i, units / deduct) * deduct;
    }
  }
  return taken;
}

std::vector<TLineFit> FitToRemainders(const std::vector<TSoldLine>& lines, std::vector<double>& left,
                                      const std::vector<TCreditTaken>& asked) {
  std::vector<TLineFit> fits;
  fits.reserve(asked.size());
  for (const TCreditTaken& a : asked) {
    TLineFit fit;
    double need = Positive(a.Qty) ? a.Qty : 0;
    double units = 0;
    for (size_t i = 0; i < lines.size() && i < left.size() && Positive(need); ++i) {
      if (!SameLevel(lines[i], a) || !(left[i] > 0)) continue;
      const double t = std::min(left[i], need);
      left[i] -= t;
      need -= t;
      fit.Matched += t;
      units += t * lines[i].DeductStockQty;
    }
    if (fit.Matched > 0) fit.DeductStockQty = units / fit.Matched;
    fits.push_back(fit);
  }
  return fits;
}

}  // namespace ooa
