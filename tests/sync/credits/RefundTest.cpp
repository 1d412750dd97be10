// ProcessOrderRefund on the embedded POS database: the credit note a shop
// refund writes, its payment rows and loyalty figures, its numbering, and the
// refunds that write nothing.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sync/credits/CreditFixture.h"
#include "sync/credits/RefundJson.h"
#include "db/credit/CreditMessages.h"
#include "db/order/InvoiceWrite.h"
#include "model/OrderMessages.h"
#include "sync/orders/OrderFixture.h"
#include "sync/OrderImport.h"
#include "support/FixedClock.h"

namespace ooa::test {
namespace {

struct TRefundResult {
  bool Ok = false;
  std::string CreditNo, Msg;
};

TRefundResult Refund(TCreditFixture& pos, const TRefundSeed& given, const std::string& invoiceNo = "W2600001") {
  rapidjson::Document doc;
  ParseShopJson(doc, RefundJson(given));
  TRefundResult r;
  r.Ok = ProcessOrderRefund(pos.Db, doc, invoiceNo, r.CreditNo, r.Msg);
  return r;
}

// 2026-12-10 09:00 local (UTC+10).
class OrderRefund : public ::testing::Test {
 protected:
  TFixedClock Clock{TDateTime::FromCivil(2026, 12, 9, 23, 0, 0), kFixtureUtcOffsetMinutes};
  TScopedClock UseClock{Clock};
  TCreditFixture Pos;
};

TEST_F(OrderRefund, BooksTheRefundAsACreditNoteOfTheInvoice) {
  TRefundSeed given;  // 1 BEER, 10.00 back
  given.RedeemPoints = "200";
  given.RedeemPointsDollar = "2";
  given.Coupon = "1.5";
  const TRefundResult r = Refund(Pos, given);
  ASSERT_TRUE(r.Ok) << r.Msg;
  EXPECT_EQ(r.Msg, "Success");
  EXPECT_EQ(r.CreditNo, "CN2600001");

  const TRecordSet head = Pos.Rows("Select * From InvoiceHead Where InvoiceNo=N'CN2600001'");
  ASSERT_EQ(head.RecordCount(), 1);
  auto f = [&](const char* name) { return head.Field(0, name); };
  EXPECT_EQ(f("ReferenceNo").AsString(), "W2600001");
  EXPECT_EQ(f("OnlineOrderId").AsString(), "9001");
  EXPECT_EQ(f("KindFlag").AsInteger(), 5);
  EXPECT_EQ(f("CreditInvoiceKind").AsInteger(), -1);
  EXPECT_EQ(f("InvoiceDate").AsDateTime(), TDateTime::FromCivil(2026, 12, 9, 11, 0, 0));
  EXPECT_EQ(f("CustomerCode").AsString(), "C42");
  EXPECT_NEAR(f("Amount").AsFloat(), -9.09, 1e-9);
  EXPECT_NEAR(f("GST").AsFloat(), -0.91, 1e-9);
  EXPECT_DOUBLE_EQ(f("PaidAmount").AsFloat(), 0);
  EXPECT_DOUBLE_EQ(f("Freight").AsFloat(), 0);
  EXPECT_DOUBLE_EQ(f("TotalRedeemPoints").AsFloat(), -200);
  EXPECT_DOUBLE_EQ(f("RedeemPointsAsDollar").AsFloat(), -2);
  EXPECT_DOUBLE_EQ(f("VoucherAmount").AsFloat(), -1.5);
  EXPECT_DOUBLE_EQ(f("VoucherDiscount").AsFloat(), -1.5);
  EXPECT_DOUBLE_EQ(f("RedeemBasePoints").AsFloat(), 0);
  EXPECT_DOUBLE_EQ(f("CurrentPoints").AsFloat(), 0);

  // The line is not tied to an invoice line; stock and CreditedQty follow it.
  EXPECT_EQ(Pos.Lines("CN2600001"), (std::vector<std::string>{"BEER -1 1 0 5"}));
  EXPECT_DOUBLE_EQ(Pos.Value("Select StockQty1 From Product Where ProductCode=N'BEER'").AsFloat(), 121);
  EXPECT_DOUBLE_EQ(Pos.Value("Select CreditedQty From InvoiceItem Where InvoiceNo=N'W2600001' And ID=1").AsFloat(), -1);
  EXPECT_EQ(Pos.Value("Select Notes From InvoiceHead Where InvoiceNo=N'W2600001'").AsString(),
            "Leave at door\r\nThis Invoice has been credited: CN2600001");
}

TEST_F(OrderRefund, ReversesTheRefundedMoneyOnTheInvoice) {
  struct TCase {
    const char* Name;
    const char* Amount;
    const char* Deposit;
    std::vector<std::string> NewRows;  // after the invoice's own two rows
  };
  const TCase cases[] = {
      {"money", "10.00", "0", {"3 10 CREDIT NOTES CN2600001 0", "4 -10 Online SALE REFUND: CN2600001 0"}},
      {"money and deposit",
       "10.00",
       "5",
       {"3 15 CREDIT NOTES CN2600001 0", "4 -10 Online SALE REFUND: CN2600001 0",
        "5 -5 Deposit SALE REFUND: CN2600001 1"}},
      {"goods only", "0.00", "0", {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TCreditFixture pos;
    TRefundSeed given;
    given.Amount = c.Amount;
    given.Deposit = c.Deposit;
    const TRefundResult r = Refund(pos, given);
    ASSERT_TRUE(r.Ok) << r.Msg;
    std::vector<std::string> expected = {"1 30 Online  0", "2 10 Deposit  0"};
    expected.insert(expected.end(), c.NewRows.begin(), c.NewRows.end());
    EXPECT_EQ(pos.PaymentRows("W2600001"), expected);
    // The credit notes row and the reversals cancel out.
    EXPECT_DOUBLE_EQ(pos.Value("Select PaidAmount From InvoiceHead Where InvoiceNo=N'W2600001'").AsFloat(), 40);
  }
}

TEST_F(OrderRefund, PartialRefundsGetConsecutiveNumbers) {
  TRefundSeed first;
  const TRefundResult a = Refund(Pos, first);
  TRefundSeed second;
  second.Id = "9002";
  second.Lines = R"({"sku": "WINE", "quantity": -1, "subtotal": "-18.18", "subtotal_tax": "-1.82"})";
  second.Amount = "20.00";
  const TRefundResult b = Refund(Pos, second);
  ASSERT_TRUE(a.Ok && b.Ok) << a.Msg << " / " << b.Msg;
  EXPECT_EQ(a.CreditNo, "CN2600001");
  EXPECT_EQ(b.CreditNo, "CN2600002");
  std::string creditNo;
  EXPECT_TRUE(CheckInvoiceExists(Pos.Db, "9002", creditNo));
  EXPECT_EQ(creditNo, "CN2600002");
  EXPECT_EQ(Pos.Value("Select Notes From InvoiceHead Where InvoiceNo=N'W2600001'").AsString(),
            "Leave at door\r\nThis Invoice has been credited: CN2600001\r\nThis Invoice has been credited: CN2600002");
}

TEST_F(OrderRefund, LateOnNewYearsEveTakesTheOldYear) {
  Clock.SetNowUtc(TDateTime::FromCivil(2026, 12, 31, 14, 30, 0));  // 00:30 local on 1 January
  Pos.Exec("Insert Into InvoiceHead(InvoiceNo) Values(N'CN2700003'),(N'CN2600004');");
  TRefundSeed given;
  given.CreatedGmt = "2026-12-31T13:50:00";  // 23:50 local
  const TRefundResult r = Refund(Pos, given);
  ASSERT_TRUE(r.Ok) << r.Msg;
  EXPECT_EQ(r.CreditNo, "CN2600005");
}

TEST_F(OrderRefund, WritesNothingForARefundItCannotBook) {
  struct TCase {
    const char* Name;
    TRefundSeed Given;
    const char* Setup;
    const char* InvoiceNo;
    std::string Msg;  // the message starts with it
  };
  auto given = [](auto change) {
    TRefundSeed s;
    change(s);
    return s;
  };
  const TCase cases[] = {
      {"amount only", given([](TRefundSeed& s) { s.Lines.clear(); }), "", "W2600001", "Order items data error."},
      {"line without quantity", given([](TRefundSeed& s) { s.Lines = R"({"sku": "BEER", "quantity": 0, "subtotal": "0", "subtotal_tax": "0"})"; }),
       "", "W2600001", "Order items data error."},
      {"no loyalty entry", given([](TRefundSeed& s) { s.WithLoyalty = false; }), "", "W2600001", "Order data error."},
      {"line total beyond the largest number",
       given([](TRefundSeed& s) { s.Lines = R"({"sku": "BEER", "quantity": -1, "subtotal": "-1.7e308", "subtotal_tax": "-1.7e308"})"; }),
       "", "W2600001", "Order items data error."},
      {"unknown invoice", TRefundSeed{}, "", "W2699999", "This invoice dose not exsits."},
      {"no invoice (its import failed)", TRefundSeed{}, "", "", "This invoice dose not exsits."},
      {"invoice cancelled already", TRefundSeed{},
       "Insert Into InvoiceHead(InvoiceNo, ReferenceNo, KindFlag) Values(N'CN2600001', N'W2600001', 5);", "W2600001",
       "This invoice credited already."},
      {"credit line key taken", TRefundSeed{},
       "Insert Into InvoiceItem(InvoiceNo, ID, ProductCode) Values(N'CN2600001', 1, N'OLD');", "W2600001",
       kMsgCreditNoteNotWritten},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TCreditFixture pos;
    if (*c.Setup) pos.Exec(c.Setup);
    const std::string before = pos.State();
    const TRefundResult r = Refund(pos, c.Given, c.InvoiceNo);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Msg.substr(0, c.Msg.size()), c.Msg);
    EXPECT_TRUE(r.CreditNo.empty());
    EXPECT_EQ(pos.State(), before);
  }
}

// A refund line with a positive quantity would take stock back out, and a
// figure beyond what an order holds would be booked as it came: refused as
// the refund's data, with the reason, and nothing written.
TEST_F(OrderRefund, ImplausibleFiguresAreRefusedAsTheRefundsDataWithTheirReason) {
  struct TCase {
    TRefundSeed Given;
    std::string Msg, Fault;
  };
  TRefundSeed positive, huge, amount;
  positive.Lines = R"({"sku": "BEER", "quantity": 1, "subtotal": "9.09", "subtotal_tax": "0.91"})";
  huge.Lines = R"({"sku": "BEER", "quantity": -1e300, "subtotal": "-9.09", "subtotal_tax": "-0.91"})";
  amount.Amount = "1e20";
  const TCase cases[] = {
      {positive, "Order items data error.",
       "A refund line's \"quantity\" 1 has the wrong sign (a refund's lines are negative)."},
      {huge, "Order items data error.",
       "'-1e300' of \"quantity\" is beyond what an order can hold (1000000000 at most, either sign)."},
      {amount, "Order data error.",
       "Order data cannot be read: '1e20' of \"amount\" is beyond what an order can hold "
       "(1000000000 at most, either sign)."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Fault);
    TCreditFixture pos;
    const std::string before = pos.State();
    const TRefundResult r = Refund(pos, c.Given);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Msg, c.Msg);
    EXPECT_EQ(pos.Db.DataFault, c.Fault);
    EXPECT_EQ(pos.State(), before);
  }
}

// A refund whose values cannot be read fails alone, as bad data with its
// cause, instead of ending the pass.
TEST_F(OrderRefund, RefundWhoseMetaDataCannotBeReadIsBadDataAndWritesNothing) {
  rapidjson::Document doc;
  ParseShopJson(doc, R"({"id": 9001, "date_created_gmt": "2026-12-09T01:00:00", "amount": "1.00", "line_items": []})");
  std::string creditNo, msg;
  const std::string before = Pos.State();
  EXPECT_FALSE(ProcessOrderRefund(Pos.Db, doc, "W2600001", creditNo, msg));
  EXPECT_EQ(msg, kMsgOrderDataError);
  EXPECT_EQ(Pos.Db.DataFault, "Refund data cannot be read: Key \"meta_data\" is missing.");
  EXPECT_EQ(Pos.State(), before);
}

}  // namespace
}  // namespace ooa::test
