// DeductEarlierCredits: a cancellation after partial refunds credits only
// what the refunds left. Without it the refunded goods would go back to stock
// twice and the refunded money would be reversed twice.
//
// Earlier credit notes are the kind-5 heads whose ReferenceNo is the invoice.
// Their lines are matched to the invoice lines by product code and price
// level (db/credit/LineCredits.h); the invoice lines' CreditedQty cannot tell
// two lines of one product apart, as it is raised per product code. Each line
// is credited with its remainder, and the head's goods figures (Amount, GST,
// TotalCost) are the invoice's less what the matched quantities were worth on
// the invoice, so the credit note's lines and head agree. Charges and loyalty
// figures, which have no lines, are the invoice's less the earlier notes'.
// Money is compared in cents.
#include "db/credit/EarlierCredits.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "db/credit/CreditBatchRun.h"
#include "db/order/InvoiceCalc.h"

namespace ooa {

namespace {

bool IsZeroMoney(double value) { return std::fabs(value) < 0.005; }

double Cents(double value) { return std::nearbyint(value * 100) / 100; }

std::string EarlierNotes(const std::string& invoice) { return "KindFlag=5 And ReferenceNo=" + invoice; }

// The first original payment row of one kind: not the credit notes row and
// not a reversal written by a credit note.
double OriginalPaid(TDatabaseModule& db, const std::string& invoice, bool deposit, std::string* payBy) {
  const TRecordSet rows = db.SelectRows(
      "Select PaidAmount, PayBy From RecvAcct Where InvoiceNo=" + invoice + " And PayBy" + (deposit ? "=" : "<>") +
      SqlTextLiteral("Deposit") + " And PayBy<>" + SqlTextLiteral("CREDIT NOTES") +
      " And (Notes Is Null Or Notes Not Like " + SqlTextLiteral("SALE REFUND: %") + ") Order By IDNo");
  if (rows.RecordCount() == 0) return 0;
  if (payBy) *payBy = rows.Field(0, "PayBy").AsString();
  return rows.Field(0, "PaidAmount").AsFloat();
}

// What the credit notes already reversed of one kind (a positive amount).
double Reversed(TDatabaseModule& db, const std::string& invoice, bool deposit) {
  const TRecordSet rows = db.SelectRows("Select Sum(PaidAmount) As Paid From RecvAcct Where InvoiceNo=" + invoice +
                                         " And PayBy" + (deposit ? "=" : "<>") + SqlTextLiteral("Deposit") +
                                         " And Notes Like " + SqlTextLiteral("SALE REFUND: %"));
  return rows.RecordCount() == 0 ? 0 : -rows.Field(0, "Paid").AsFloat();
}

// The reversal left of one payment (a negative amount, or 0).
double LeftToReverse(double paid, double reversed) {
  const double left = paid - reversed;
  return IsZeroMoney(left) || left < 0 ? 0 : -left;
}

}  // namespace

TInvoiceCredits ReadInvoiceCredits(TDatabaseModule& db, const std::string& invoiceNo) {
  const std::string invoice = SqlTextLiteral(invoiceNo);
  TInvoiceCredits result;
  const TRecordSet sold = db.SelectRows(
      "Select ID, ProductCode, PriceKind, DeductStockQty, Qty From InvoiceItem Where InvoiceNo=" + invoice + " Order By ID");
  for (int row = 0; row < sold.RecordCount(); ++row) {
    TSoldLine line;
    line.ID = static_cast<int>(sold.Field(row, "ID").AsInteger());
    line.ProductCode = sold.Field(row, "ProductCode").AsString();
    line.PriceKind = static_cast<int>(sold.Field(row, "PriceKind").AsInteger());
    line.DeductStockQty = sold.Field(row, "DeductStockQty").AsFloat();
    line.Qty = sold.Field(row, "Qty").AsFloat();
    result.Lines.push_back(line);
  }
  const TRecordSet lines = db.SelectRows(
      "Select ProductCode, PriceKind, DeductStockQty, Qty, InvoiceItemID From InvoiceItem Where InvoiceNo In "
      "(Select InvoiceNo From InvoiceHead Where " + EarlierNotes(invoice) + ") Order By InvoiceNo, ID");
  std::vector<TCreditTaken> credits;
  for (int row = 0; row < lines.RecordCount(); ++row) {
    TCreditTaken credit;
    credit.ProductCode = lines.Field(row, "ProductCode").AsString();
    credit.PriceKind = static_cast<int>(lines.Field(row, "PriceKind").AsInteger());
    credit.DeductStockQty = lines.Field(row, "DeductStockQty").AsFloat();
    credit.Qty = -lines.Field(row, "Qty").AsFloat();
    credit.InvoiceItemId = static_cast<int>(lines.Field(row, "InvoiceItemID").AsInteger());
    credits.push_back(credit);
  }
  result.Credited = CreditedPerLine(result.Lines, credits);
  return result;
}

bool DeductEarlierCredits(TDatabaseModule& db, const std::string& invoiceNo) {
  const std::string invoice = SqlTextLiteral(invoiceNo);
  const TRecordSet heads = db.SelectRows(
      "Select Count(*) As N, Sum(Freight) As Freight, Sum(OtherCharge) As OtherCharge, "
      "Sum(RedeemPointsAsDollar) As RedeemPointsAsDollar, Sum(DollarDiscount) As DollarDiscount, "
      "Sum(VoucherAmount) As VoucherAmount, Sum(VoucherDiscount) As VoucherDiscount, "
      "Sum(TotalRedeemPoints) As TotalRedeemPoints From InvoiceHead Where " + EarlierNotes(invoice));
  if (heads.RecordCount() == 0 || heads.Field(0, "N").AsInteger() == 0) return true;

  // Lines: each credits what its earlier credit notes left of it.
  const TInvoiceCredits earlier = ReadInvoiceCredits(db, invoiceNo);
  std::map<int, double> creditedById;
  for (size_t i = 0; i < earlier.Lines.size(); ++i) creditedById[earlier.Lines[i].ID] += earlier.Credited[i];
  TInvoiceHead& h = db.InvoiceHead;
  double worth = 0, worthGst = 0, cost = 0;
  std::vector<TInvoiceItem> left;
  for (TInvoiceItem item : db.InvoiceItem) {
    const double sold = -item.Qty;
    const auto credited = creditedById.find(item.ID);
    if (sold > 0 && credited != creditedById.end() && credited->second > 0) {
      const double take = std::min(sold, credited->second);
      credited->second -= take;
      item.Qty = -(sold - take);
      // What the taken quantity was worth on the invoice (prices include GST).
      const double amount = Cents(take * item.Price);
      const double gst = IncludedGst(amount, item.GSTRate);
      worth += amount - gst;
      worthGst += gst;
      cost += take * item.DeductStockQty * item.UnitCost;
    }
    if (std::fabs(item.Qty) > kQtyTolerance) left.push_back(item);
  }
  db.InvoiceItem = std::move(left);

  // Head: the credit note's figures are the invoice's negated; earlier credit
  // notes carry theirs negated already.
  auto sum = [&](const char* name) { return heads.Field(0, name).AsFloat(); };
  h.Amount += worth;
  h.GST += worthGst;
  h.TotalCost += cost;
  const double freight = sum("Freight"), otherCharge = sum("OtherCharge");
  h.Freight -= freight;
  h.OtherCharge -= otherCharge;
  h.GST -= IncludedGst(freight, h.FreightGSTRate) + IncludedGst(otherCharge, h.OtherChargeGSTRate);
  h.RedeemPointsAsDollar -= sum("RedeemPointsAsDollar");
  h.DollarDiscount -= sum("DollarDiscount");
  h.VoucherAmount -= sum("VoucherAmount");
  h.VoucherDiscount -= sum("VoucherDiscount");
  h.TotalRedeemPoints -= sum("TotalRedeemPoints");

  // Payments: the first original row of each kind, less what was reversed.
  std::string payBy = db.Payment.PayMethod;
  const double paid = OriginalPaid(db, invoice, false, &payBy);
  db.Payment.PaidAmount = LeftToReverse(paid, Reversed(db, invoice, false));
  db.Payment.PayMethod = payBy;
  const double deposit = OriginalPaid(db, invoice, true, nullptr);
  db.DepositPayment.PaidAmount = LeftToReverse(deposit, Reversed(db, invoice, true));

  return !db.InvoiceItem.empty() || db.Payment.PaidAmount != 0 || db.DepositPayment.PaidAmount != 0;
}

}  // namespace ooa
