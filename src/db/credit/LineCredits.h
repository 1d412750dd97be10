// What the credit notes of an invoice took back, per invoice line.
//
// A refund credit line names no invoice line (its InvoiceItemID is 0), and
// the invoice lines' CreditedQty is raised per product code, so it cannot
// tell two lines of one product apart (a single and a six-pack of the same
// beer). The credit lines are matched to the invoice lines here instead:
// - a credit line that names an invoice line (a cancellation writes the ID)
//   takes from that line first;
// - the rest takes from the lines of the same product code and price level,
//   in ID order, each up to what it sold;
// - what is still left (only credit notes written without these limits, or
//   by hand) is counted in stock units against the product's other lines, so
//   the stock given back never exceeds what the invoice took.
// Pure; any thread.
#pragma once

#include <string>
#include <vector>

namespace ooa {

// An invoice line as sold: Qty positive, in the line's own units.
struct TSoldLine {
  int ID = 0;
  std::string ProductCode;
  int PriceKind = 0;
  double DeductStockQty = 1;
  double Qty = 0;
};

// A credit line: Qty is what it took back, positive (the stored credit line
// quantity negated). InvoiceItemId 0 names no line.
struct TCreditTaken {
  std::string ProductCode;
  int PriceKind = 0;
  double DeductStockQty = 1;
  double Qty = 0;
  int InvoiceItemId = 0;
};

// Per invoice line (in the order given, which should be ID order), the
// quantity the credit lines took back; never more than the line sold. Credit
// lines with no positive quantity take nothing.
std::vector<double> CreditedPerLine(const std::vector<TSoldLine>& lines, const std::vector<TCreditTaken>& credits);

// One line of a new credit note matched to the invoice lines' remainders.
struct TLineFit {
  double Matched = 0;         // of the quantity asked, what the lines had left
  double DeductStockQty = 0;  // stock units per unit as the matched lines took them (0 when nothing matched)
};

// Takes each quantity of `asked` (positive; others are skipped) from the lines
// of its product code and price level, in order, out of `left` (per line,
// lowered as it goes). Never crosses price levels.
std::vector<TLineFit> FitToRemainders(const std::vector<TSoldLine>& lines, std::vector<double>& left,
                                      const std::vector<TCreditTaken>& asked);

// Quantities closer than this count as equal.
inline constexpr double kQtyTolerance = 1e-6;

}  // namespace ooa
