// Credit notes of an invoice that sold one product at two price levels (BEER
// singles, and six-packs that take 6 stock units each): a refund of one level
// followed by the cancellation gives back exactly the stock the sale took,
// each credit note's lines agree with its head, and a refund cannot give back
// more of a level than is left.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sync/credits/CreditFixture.h"
#include "config/UtilUnit.h"
#include "db/credit/CreditNotes.h"
#include "sync/credits/RefundJson.h"
#include "model/OrderMessages.h"
#include "sync/orders/OrderFixture.h"
#include "sync/OrderImport.h"
#include "support/FixedClock.h"

namespace ooa::test {
namespace {

// 6 singles at 4.00 and one six-pack at 21.00, GST included; no freight, no
// deposit, paid 45.00.
const char* const kPackOrder = R"({
  "id": 5101, "status": "processing", "customer_id": 57,
  "date_created_gmt": "2026-12-08T03:30:00", "date_modified_gmt": "2026-12-08T03:31:00",
  "date_paid_gmt": "2026-12-08T03:30:30",
  "payment_method": "stripe", "shipping_total": "0.00", "total": "45.00",
  "billing": {"first_name": "Ann", "last_name": "Lee", "phone": "0411", "email": "ann@x.au",
              "address_1": "1 Main St", "address_2": "", "city": "Hobart", "postcode": "7000",
              "state": "TAS", "country": "AU"},
  "shipping": {"first_name": "Ann", "last_name": "Lee", "phone": "0411",
               "address_1": "1 Main St", "address_2": "", "city": "Hobart", "postcode": "7000",
               "state": "TAS", "country": "AU"},
  "shipping_lines": [{"id": 1, "method_id": "local_pickup", "total": "0.00"}],
  "line_items": [
    {"id": 11, "sku": "BEER-PK1", "quantity": 6, "subtotal": "21.82", "subtotal_tax": "2.18"},
    {"id": 12, "sku": "BEER-PK2", "quantity": 1, "subtotal": "19.09", "subtotal_tax": "1.91"}],
  "meta_data": [
    {"id": 91, "key": "_qev_loyalty_redemption", "value": {
      "memberCode": "M1001", "redeemPointsDollar": "0", "pointsBalance": "0", "redeemPoints": "0",
      "redeemBasePoints": "0", "dealCouponDiscount": "0", "couponId": "",
      "depositPayment": "0", "depositBalance": "0"}}],
  "refunds": []
})";

const char* const kSinglesBack = R"({"sku": "BEER-PK1", "quantity": -6, "subtotal": "-21.82", "subtotal_tax": "-2.18"})";
const char* const kPackBack = R"({"sku": "BEER-PK2", "quantity": -1, "subtotal": "-19.09", "subtotal_tax": "-1.91"})";

TRefundSeed Seed(const std::string& id, const std::string& lines, const std::string& amount) {
  TRefundSeed seed;
  seed.Id = id;
  seed.Lines = lines;
  seed.Amount = amount;
  return seed;
}

// A fresh POS database with the pack order imported.
class TPackInvoice {
 public:
  TPackInvoice() {
    rapidjson::Document order;
    ParseShopJson(order, kPackOrder);
    std::string msg;
    bool modified = false;
    EXPECT_TRUE(ProcessOrder(Pos.Db, order, Invoice, msg, modified)) << msg;
    // 6 singles and one six-pack: 12 of the 120 units, at the average cost 2.
    EXPECT_DOUBLE_EQ(Number("Select StockQty1 From Product Where ProductCode=N'BEER'"), 108);
  }

  bool Refund(const TRefundSeed& seed, std::string& msg) {
    rapidjson::Document doc;
    ParseShopJson(doc, RefundJson(seed));
    std::string creditNo;
    return ProcessOrderRefund(Pos.Db, doc, Invoice, creditNo, msg);
  }
  std::string Cancel() {
    std::string creditNo, msg;
    EXPECT_TRUE(ProcessCancelOrder(Pos.Db, Invoice, creditNo, msg)) << msg;
    return creditNo;
  }
  double Number(const std::string& sql) { return Pos.Value(sql).AsFloat(); }
  // "PriceKind Qty" of a document's lines, in ID order.
  std::vector<std::string> Levels(const std::string& invoiceNo) {
    std::vector<std::string> lines;
    for (const auto& row :
         Pos.Rows("Select PriceKind, Qty From InvoiceItem Where InvoiceNo=N'" + invoiceNo + "' Order By ID").Rows)
      lines.push_back(row[0].AsString() + " " + FloatToText(row[1].AsFloat()));
    return lines;
  }
  std::string CreditNotes() {
    return "(Select InvoiceNo From InvoiceHead Where KindFlag=5 And ReferenceNo=N'" + Invoice + "')";
  }

  // Over all credit notes of the invoice: each level got back what it sold,
  // stock and its value are where they started, the money went back once, and
  // every credit note's lines add up to its head.
  void ExpectWhollyCredited() {
    std::vector<std::string> perLevel;
    for (const auto& row : Pos.Rows("Select PriceKind, Sum(Qty) From InvoiceItem Where InvoiceNo In " +
                                    CreditNotes() + " Group By PriceKind Order By PriceKind").Rows)
      perLevel.push_back(row[0].AsString() + " " + FloatToText(row[1].AsFloat()));
    EXPECT_EQ(perLevel, (std::vector<std::string>{"0 -6", "1 -1"}));
    EXPECT_DOUBLE_EQ(Number("Select StockQty1 From Product Where ProductCode=N'BEER'"), 120);
    EXPECT_NEAR(Number("Select StockValue1 From Product Where ProductCode=N'BEER'"), 240, 1e-9);
    EXPECT_NEAR(Number("Select Sum(PaidAmount) From RecvAcct Where InvoiceNo=N'" + Invoice +
                       "' And Notes Like N'SALE REFUND: %'"),
                -45, 1e-9);
    const TRecordSet heads = Pos.Rows("Select InvoiceNo, Amount, GST From InvoiceHead Where InvoiceNo In " +
                                      CreditNotes());
    double amount = 0;
    for (int row = 0; row < heads.RecordCount(); ++row) {
      const std::string no = heads.Field(row, "InvoiceNo").AsString();
      SCOPED_TRACE(no);
      const double head = heads.Field(row, "Amount").AsFloat() + heads.Field(row, "GST").AsFloat();
      EXPECT_NEAR(Number("Select Sum(Qty * Price) From InvoiceItem Where InvoiceNo=N'" + no + "'"), head, 0.005);
      amount += heads.Field(row, "Amount").AsFloat();
    }
    EXPECT_NEAR(amount, -40.91, 0.005);
  }

  TCreditFixture Pos{false};
  std::string Invoice;
};

// 2026-12-10 09:00 local (UTC+10).
class PackSizeCredit : public ::testing::Test {
 protected:
  TFixedClock Clock{TDateTime::FromCivil(2026, 12, 9, 23, 0, 0), kFixtureUtcOffsetMinutes};
  TScopedClock UseClock{Clock};
};

TEST_F(PackSizeCredit, CancellationAfterARefundCreditsWhatEachLevelHasLeft) {
  struct TCase {
    const char* Name;
    std::vector<TRefundSeed> Refunds;
    const char* Setup;  // after the import
    std::vector<std::string> Cancelled;  // "PriceKind Qty" of the cancellation's lines
  };
  const TCase cases[] = {
      {"the pack refunded", {Seed("9001", kPackBack, "21.00")}, "", {"0 -6"}},
      {"the singles refunded", {Seed("9001", kSinglesBack, "24.00")}, "", {"1 -1"}},
      {"two singles and the pack in one refund",
       {Seed("9001", std::string(kPackBack) + R"(, {"sku": "BEER-PK1", "quantity": -2, "subtotal": "-7.27", "subtotal_tax": "-0.73"})", "29.00")},
       "",
       {"0 -4"}},
      {"singles in two refunds",
       {Seed("9001", R"({"sku": "BEER-PK1", "quantity": -1, "subtotal": "-3.64", "subtotal_tax": "-0.36"})", "4.00"),
        Seed("9002", R"({"sku": "BEER-PK1", "quantity": -2, "subtotal": "-7.27", "subtotal_tax": "-0.73"})", "8.00")},
       "",
       {"0 -3", "1 -1"}},
      // The pack gives back the 6 units it took, not the 12 it takes now.
      {"the pack refunded after its size changed", {Seed("9001", kPackBack, "21.00")},
       "Update Product Set DeductStockQty1=12 Where ProductCode=N'BEER';", {"0 -6"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TPackInvoice pos;
    if (*c.Setup) pos.Pos.Exec(c.Setup);
    for (const TRefundSeed& refund : c.Refunds) {
      std::string msg;
      ASSERT_TRUE(pos.Refund(refund, msg)) << msg;
    }
    EXPECT_EQ(pos.Levels(pos.Cancel()), c.Cancelled);
    pos.ExpectWhollyCredited();
  }
}

TEST_F(PackSizeCredit, RefundOfMoreThanALevelHasLeftWritesNothing) {
  struct TCase {
    const char* Name;
    std::vector<TRefundSeed> Before;  // booked first
    TRefundSeed Refused;
  };
  const TCase cases[] = {
      {"the pack a second time", {Seed("9001", kPackBack, "21.00")}, Seed("9002", kPackBack, "21.00")},
      {"seven singles", {},
       Seed("9001", R"({"sku": "BEER-PK1", "quantity": -7, "subtotal": "-25.45", "subtotal_tax": "-2.55"})", "28.00")},
      {"singles after some went back",
       {Seed("9001", R"({"sku": "BEER-PK1", "quantity": -5, "subtotal": "-18.18", "subtotal_tax": "-1.82"})", "20.00")},
       Seed("9002", R"({"sku": "BEER-PK1", "quantity": -2, "subtotal": "-7.27", "subtotal_tax": "-0.73"})", "8.00")},
      {"a level the invoice did not sell", {},
       Seed("9001", R"({"sku": "BEER-PK3", "quantity": -1, "subtotal": "-10", "subtotal_tax": "-1"})", "11.00")},
      {"a product the invoice did not sell", {},
       Seed("9001", R"({"sku": "WINE", "quantity": -1, "subtotal": "-18.18", "subtotal_tax": "-1.82"})", "20.00")},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TPackInvoice pos;
    for (const TRefundSeed& refund : c.Before) {
      std::string msg;
      ASSERT_TRUE(pos.Refund(refund, msg)) << msg;
    }
    const std::string before = pos.Pos.State();
    std::string msg;
    EXPECT_FALSE(pos.Refund(c.Refused, msg));
    EXPECT_EQ(msg, kMsgOrderItemsDataError);
    EXPECT_EQ(pos.Pos.State(), before);
  }
}

}  // namespace
}  // namespace ooa::test
