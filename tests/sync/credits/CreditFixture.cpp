#include "sync/credits/CreditFixture.h"

#include <gtest/gtest.h>

#include "config/UtilUnit.h"
#include "support/PosFixture.h"

namespace ooa::test {

namespace {

const char* const kInvoice =
    "Insert Into InvoiceHead(InvoiceNo, InvoiceDate, CustomerCode, GSTStatus, Notes, Freight, FreightGSTRate, "
    "OtherCharge, Amount, GST, TotalCost, PaidAmount, KindFlag, WarehouseCode, RedeemPointsAsDollar, "
    "TotalRedeemPoints, RedeemBasePoints, DollarDiscount, OnlineOrder, OnlineOrderId) "
    "Values(N'W2600001', '2026-12-01 00:00:00', N'C42', 1, N'Leave at door', 5, 10, 0, 32, 2.91, 19, 40, 6, "
    "N'1', 2, 200, 100, 1, 1, N'501');"
    "Insert Into InvoiceItem(InvoiceNo, ProductCode, Qty, Price, NetPrice, Discount, GSTRate, UnitCost, KindFlag, "
    "PriceKind, DeductStockQty, OriginalPrice, ID, WarehouseCode, CreditedQty, InvoiceItemID, ManuallyEnterWeight, "
    "IsMixMatchDiscountItem, ProductFamilyCode) Values"
    "(N'W2600001', N'WINE', 1, 20, 20, 0, 10, 12.5, 6, 0, 1, 20, 2, N'1', 0, 0, 0, 1, N'RED'),"
    "(N'W2600001', N'BEER', 2, 3.5, 3.5, 0, 10, 2, 6, 0, 1, 3.5, 1, N'1', 0, 0, 0, 0, N'');"
    "Insert Into RecvAcct(InvoiceNo, AccountDate, PaidAmount, PayBy, IDNo) Values"
    "(N'W2600001', '2026-12-01 00:00:00', 30, N'Online', 1),"
    "(N'W2600001', '2026-12-01 00:00:00', 10, N'Deposit', 2);";

}  // namespace

TCreditFixture::TCreditFixture(bool withInvoice) : TPosFixture(withInvoice ? kInvoice : "") {}

std::vector<std::string> TCreditFixture::PaymentRows(const std::string& invoiceNo) {
  std::vector<std::string> rows;
  const TRecordSet r = Rows("Select IDNo, PaidAmount, PayBy, Notes, Deposit From RecvAcct Where InvoiceNo=" +
                            SqlTextLiteral(invoiceNo) + " Order By IDNo");
  for (const auto& row : r.Rows)
    rows.push_back(row[0].AsString() + " " + FloatToText(row[1].AsFloat()) + " " + row[2].AsString() + " " +
                   row[3].AsString() + " " + row[4].AsString());
  return rows;
}

std::vector<std::string> TCreditFixture::Lines(const std::string& invoiceNo) {
  std::vector<std::string> lines;
  const TRecordSet r = Rows("Select ProductCode, Qty, ID, InvoiceItemID, KindFlag From InvoiceItem Where InvoiceNo=" +
                            SqlTextLiteral(invoiceNo) + " Order By ID");
  for (const auto& row : r.Rows)
    lines.push_back(row[0].AsString() + " " + FloatToText(row[1].AsFloat()) + " " + row[2].AsString() + " " +
                    row[3].AsString() + " " + row[4].AsString());
  return lines;
}

std::string TCreditFixture::State() {
  std::string s;
  for (const char* sql : {"Select Count(*) From InvoiceHead", "Select Count(*) From InvoiceItem",
                          "Select Count(*) From RecvAcct", "Select Sum(CreditedQty) From InvoiceItem",
                          "Select Sum(StockQty1) From Product", "Select Sum(StockValue1) From Product",
                          "Select PaidAmount From InvoiceHead Where InvoiceNo=N'W2600001'"})
    s += Value(sql).AsString() + "|";
  return s + Value("Select Notes From InvoiceHead Where InvoiceNo=N'W2600001'").AsString();
}

}  // namespace ooa::test
