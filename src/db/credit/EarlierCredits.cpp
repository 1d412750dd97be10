// DeductEarlierCredits: a cancellation after partial refunds credits only
// what the refunds left. Without it the refunded quantities would go back to
// stock twice and the refunded money would be reversed twice.
//
// Earlier credit notes are the kind-5 heads whose ReferenceNo is the invoice.
// Their lines are counted per product code (the CreditedQty of the invoice
// lines is updated per product code on every line of that code, so it cannot
// be split between two lines of one product); the remainder is credited line
// by line in ID order. Money is compared in cents.
#include <algorithm>
#include <cmath>
#include <map>

#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "db/credit/CreditBatchRun.h"

namespace ooa {

namespace {

bool IsZeroMoney(double value) { return std::fabs(value) < 0.005; }

// The first original payment row of one kind: not the credit notes row and
// not a reversal written by a credit note.
double OriginalPaid(TDatabaseModule& db, const std::string& invoice, bool deposit, std::string* payBy) {
  db.OpenQuery("Select PaidAmount, PayBy From RecvAcct Where InvoiceNo=" + invoice + " And PayBy" +
               (deposit ? "=" : "<>") + SqlTextLiteral("Deposit") + " And PayBy<>" + SqlTextLiteral("CREDIT NOTES") +
               " And (Notes Is Null Or Notes Not Like " + SqlTextLiteral("SALE REFUND: %") + ") Order By IDNo");
  const TRecordSet& rows = db.Query();
  if (rows.RecordCount() == 0) return 0;
  if (payBy) *payBy = rows.Field(0, "PayBy").AsString();
  return rows.Field(0, "PaidAmount").AsFloat();
}

// What the credit notes already reversed of one kind (a positive amount).
double Reversed(TDatabaseModule& db, const std::string& invoice, bool deposit) {
  db.OpenQuery("Select Sum(PaidAmount) As Paid From RecvAcct Where InvoiceNo=" + invoice + " And PayBy" +
               (deposit ? "=" : "<>") + SqlTextLiteral("Deposit") + " And Notes Like " +
               SqlTextLiteral("SALE REFUND: %"));
  const TRecordSet& rows = db.Query();
  return rows.RecordCount() == 0 ? 0 : -rows.Field(0, "Paid").AsFloat();
}

// The reversal left of one payment (a negative amount, or 0).
double LeftToReverse(double paid, double reversed) {
  const double left = paid - reversed;
  return IsZeroMoney(left) || left < 0 ? 0 : -left;
}

}  // namespace

bool DeductEarlierCredits(TDatabaseModule& db, const std::string& invoiceNo) {
  const std::string invoice = SqlTextLiteral(invoiceNo);
  const std::string earlier = "KindFlag=5 And ReferenceNo=" + invoice;
  db.OpenQuery(
      "Select Count(*) As N, Sum(Amount) As Amount, Sum(GST) As GST, Sum(TotalCost) As TotalCost, "
      "Sum(Freight) As Freight, Sum(OtherCharge) As OtherCharge, Sum(RedeemPointsAsDollar) As RedeemPointsAsDollar, "
      "Sum(DollarDiscount) As DollarDiscount, Sum(VoucherAmount) As VoucherAmount, "
      "Sum(VoucherDiscount) As VoucherDiscount, Sum(TotalRedeemPoints) As TotalRedeemPoints "
      "From InvoiceHead Where " + earlier);
  const TRecordSet heads = db.Query();
  if (heads.RecordCount() == 0 || heads.Field(0, "N").AsInteger() == 0) return true;

  // Head: the credit note's figures are the invoice's negated; earlier credit
  // notes carry theirs negated already.
  TInvoiceHead& h = db.InvoiceHead;
  auto sum = [&](const char* name) { return heads.Field(0, name).AsFloat(); };
  h.Amount -= sum("Amount");
  h.GST -= sum("GST");
  h.TotalCost -= sum("TotalCost");
  h.Freight -= sum("Freight");
  h.OtherCharge -= sum("OtherCharge");
  h.RedeemPointsAsDollar -= sum("RedeemPointsAsDollar");
  h.DollarDiscount -= sum("DollarDiscount");
  h.VoucherAmount -= sum("VoucherAmount");
  h.VoucherDiscount -= sum("VoucherDiscount");
  h.TotalRedeemPoints -= sum("TotalRedeemPoints");

  // Lines: per product, the quantity credited so far.
  db.OpenQuery("Select ProductCode, Sum(Qty) As Qty From InvoiceItem Where InvoiceNo In "
               "(Select InvoiceNo From InvoiceHead Where " + earlier + ") Group By ProductCode");
  std::map<std::string, double> credited;
  const TRecordSet& lines = db.Query();
  for (int row = 0; row < lines.RecordCount(); ++row)
    credited[lines.Field(row, "ProductCode").AsString()] -= lines.Field(row, "Qty").AsFloat();
  std::vector<TInvoiceItem> left;
  for (TInvoiceItem item : db.InvoiceItem) {
    const double sold = -item.Qty;
    double& done = credited[item.ProductCode];
    if (sold > 0 && done > 0) {
      const double take = std::min(sold, done);
      done -= take;
      item.Qty = -(sold - take);
    }
    if (std::fabs(item.Qty) > 1e-9) left.push_back(item);
  }
  db.InvoiceItem = std::move(left);

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
