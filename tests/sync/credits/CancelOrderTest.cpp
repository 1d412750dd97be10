// ProcessCancelOrder on the embedded POS database: what a cancellation credit
// note writes, its numbering, the note on the credited invoice, its payment
// rows, and that it is written once and only whole.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sync/credits/CreditFixture.h"
#include "sync/credits/RefundJson.h"
#include "db/WarehouseCode.h"
#include "db/credit/CreditMessages.h"
#include "db/credit/CreditNotes.h"
#include "sync/orders/OrderFixture.h"
#include "sync/OrderImport.h"
#include "support/FixedClock.h"

namespace ooa::test {
namespace {

// 2026-12-10 09:00 local (UTC+10).
class CancelOrder : public ::testing::Test {
 protected:
  bool Cancel(std::string& creditNo, std::string& msg) { return ProcessCancelOrder(Pos.Db, "W2600001", creditNo, msg); }
  std::string CancelOk() {
    std::string creditNo, msg;
    EXPECT_TRUE(Cancel(creditNo, msg)) << msg;
    EXPECT_EQ(msg, "Success");
    return creditNo;
  }
  bool Refund(const TRefundSeed& given) {
    rapidjson::Document doc;
    ParseShopJson(doc, RefundJson(given));
    std::string creditNo, msg;
    const bool ok = ProcessOrderRefund(Pos.Db, doc, "W2600001", creditNo, msg);
    EXPECT_TRUE(ok) << msg;
    return ok;
  }
  std::vector<std::string> PaymentRows() { return Pos.PaymentRows("W2600001"); }
  std::vector<std::string> Lines(const std::string& invoiceNo) { return Pos.Lines(invoiceNo); }
  double Number(const std::string& sql) { return Pos.Value(sql).AsFloat(); }
  std::string State() { return Pos.State(); }

  TFixedClock Clock{TDateTime::FromCivil(2026, 12, 9, 23, 0, 0), kFixtureUtcOffsetMinutes};
  TScopedClock UseClock{Clock};
  TCreditFixture Pos;
};

TEST_F(CancelOrder, CreditsEveryLineStockAndPaymentOfTheInvoice) {
  Pos.Exec("Update RecvAcct Set PaidAmount=50 Where PayBy=N'Online';"
           "Update RecvAcct Set PaidAmount=20, Deposit=1 Where PayBy=N'Deposit';"
           "Update InvoiceHead Set PaidAmount=70;");
  EXPECT_EQ(CancelOk(), "CN2600001");

  const TRecordSet head = Pos.Rows("Select * From InvoiceHead Where InvoiceNo=N'CN2600001'");
  ASSERT_EQ(head.RecordCount(), 1);
  EXPECT_EQ(head.Field(0, "ReferenceNo").AsString(), "W2600001");
  EXPECT_EQ(head.Field(0, "KindFlag").AsInteger(), 5);
  EXPECT_EQ(head.Field(0, "CreditInvoiceKind").AsInteger(), 6);
  EXPECT_EQ(head.Field(0, "InvoiceDate").AsDateTime(), TDateTime::FromCivil(2026, 12, 10));
  EXPECT_DOUBLE_EQ(head.Field(0, "Amount").AsFloat(), -32);
  EXPECT_DOUBLE_EQ(head.Field(0, "Freight").AsFloat(), -5);
  EXPECT_DOUBLE_EQ(head.Field(0, "PaidAmount").AsFloat(), 0);
  EXPECT_TRUE(head.Field(0, "OnlineOrderId").IsNull());

  EXPECT_EQ(Lines("CN2600001"), (std::vector<std::string>{"BEER -2 1 1 5", "WINE -1 2 2 5"}));
  // BEER: 2 units at cost 2 back; WINE: 1 unit at cost 12.5 back.
  EXPECT_DOUBLE_EQ(Number("Select StockQty1 From Product Where ProductCode=N'BEER'"), 122);
  EXPECT_DOUBLE_EQ(Number("Select StockValue1 From Product Where ProductCode=N'BEER'"), 244);
  EXPECT_DOUBLE_EQ(Number("Select StockQty1 From Product Where ProductCode=N'WINE'"), 11);
  EXPECT_DOUBLE_EQ(Number("Select StockValue1 From Product Where ProductCode=N'WINE'"), 112.5);
  EXPECT_DOUBLE_EQ(Number("Select CreditedQty From InvoiceItem Where InvoiceNo=N'W2600001' And ID=1"), -2);
  EXPECT_DOUBLE_EQ(Number("Select CreditedQty From InvoiceItem Where InvoiceNo=N'W2600001' And ID=2"), -1);

  const std::vector<std::string> payments = {
      "1 50 Online  0",
      "2 20 Deposit  1",
      "3 70 CREDIT NOTES CN2600001 0",
      "4 -50 Online SALE REFUND: CN2600001 0",
      "5 -20 Deposit SALE REFUND: CN2600001 1",
  };
  EXPECT_EQ(PaymentRows(), payments);
  EXPECT_DOUBLE_EQ(Number("Select PaidAmount From InvoiceHead Where InvoiceNo=N'W2600001'"), 70);
  EXPECT_EQ(Number("Select Count(*) From RecvAcct Where InvoiceNo=N'CN2600001'"), 0);
}

TEST_F(CancelOrder, NotesTheCreditOnTheInvoiceOnce) {
  struct TCase {
    const char* Name;
    const char* Notes;  // SQL literal
    std::string Expected;
  };
  const TCase cases[] = {
      {"no notes", "Null", "This Invoice has been credited: CN2600001"},
      {"notes", "N'Leave at door'", "Leave at door\r\nThis Invoice has been credited: CN2600001"},
      {"note already there", "N'This Invoice has been credited: CN2600001'",
       "This Invoice has been credited: CN2600001"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TCreditFixture pos;
    pos.Exec(std::string("Update InvoiceHead Set Notes=") + c.Notes + ";");
    std::string creditNo, msg;
    ASSERT_TRUE(ProcessCancelOrder(pos.Db, "W2600001", creditNo, msg)) << msg;
    EXPECT_EQ(pos.Value("Select Notes From InvoiceHead Where InvoiceNo=N'W2600001'").AsString(), c.Expected);
  }
}

TEST_F(CancelOrder, NumbersCreditNotesPerYearOfTheirDate) {
  struct TCase {
    const char* Name;
    const char* Existing;  // InvoiceNo values already in InvoiceHead
    const char* Expected;
  };
  const TCase cases[] = {
      {"first of the year", "", "CN2600001"},
      {"after the last of the year", "(N'CN2600041'),(N'CN2600007')", "CN2600042"},
      {"other years and other numbers ignored", "(N'CN2599999'),(N'CN2700005'),(N'W2600099')", "CN2600001"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TCreditFixture pos;
    if (*c.Existing) pos.Exec(std::string("Insert Into InvoiceHead(InvoiceNo) Values") + c.Existing + ";");
    std::string creditNo, msg;
    ASSERT_TRUE(ProcessCancelOrder(pos.Db, "W2600001", creditNo, msg)) << msg;
    EXPECT_EQ(creditNo, c.Expected);
  }
}

TEST_F(CancelOrder, IsWrittenOnceForAnInvoice) {
  EXPECT_EQ(CancelOk(), "CN2600001");
  const std::string after = State();
  for (int again = 0; again < 2; ++again) {
    std::string creditNo, msg;
    EXPECT_FALSE(Cancel(creditNo, msg));
    EXPECT_EQ(msg, "This invoice credited already.");
  }
  EXPECT_EQ(State(), after);
  EXPECT_EQ(Number("Select Count(*) From InvoiceHead Where KindFlag=5"), 1);
}

TEST_F(CancelOrder, WritesNoPaymentRowsForAnUnpaidInvoice) {
  Pos.Exec("Delete From RecvAcct;");
  EXPECT_EQ(CancelOk(), "CN2600001");
  EXPECT_EQ(Number("Select Count(*) From RecvAcct"), 0);
  EXPECT_DOUBLE_EQ(Number("Select PaidAmount From InvoiceHead Where InvoiceNo=N'W2600001'"), 40);
}

TEST_F(CancelOrder, WritesNothingWhenTheBatchCannotCommitOrTheWarehouseIsUnsafe) {
  struct TCase {
    const char* Name;
    const char* Setup;
    std::string Msg;  // the message starts with it
  };
  const TCase cases[] = {
      {"credit line key taken", "Insert Into InvoiceItem(InvoiceNo, ID, ProductCode) Values(N'CN2600001', 2, N'OLD');",
       kMsgCreditNoteNotWritten},
      {"warehouse code pasted into a column name",
       "Update InvoiceItem Set WarehouseCode=N'1=0;--' Where ProductCode=N'WINE';",
       WarehouseCodeRefusal("1=0;--")},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TCreditFixture pos;
    pos.Exec(c.Setup);
    const std::string before = pos.State();
    std::string creditNo, msg;
    EXPECT_FALSE(ProcessCancelOrder(pos.Db, "W2600001", creditNo, msg));
    EXPECT_EQ(msg.substr(0, c.Msg.size()), c.Msg);
    EXPECT_TRUE(creditNo.empty());
    EXPECT_EQ(pos.State(), before);
  }
}

TEST_F(CancelOrder, AfterPartialRefundsCreditsOnlyWhatIsLeft) {
  TRefundSeed refund;  // 1 BEER, 10.00 back
  ASSERT_TRUE(Refund(refund));
  EXPECT_EQ(CancelOk(), "CN2600002");

  EXPECT_EQ(Lines("CN2600002"), (std::vector<std::string>{"BEER -1 1 1 5", "WINE -1 2 2 5"}));
  EXPECT_DOUBLE_EQ(Number("Select StockQty1 From Product Where ProductCode=N'BEER'"), 122);
  EXPECT_DOUBLE_EQ(Number("Select Sum(CreditedQty) From InvoiceItem Where InvoiceNo=N'W2600001'"), -2 - 1);
  // Invoice 32 less what the refunded BEER was worth on the invoice (3.50, of
  // it 0.32 GST), as the credit note's lines show; not the refund's 9.09.
  EXPECT_NEAR(Number("Select Amount From InvoiceHead Where InvoiceNo=N'CN2600002'"), -28.82, 1e-9);
  EXPECT_NEAR(Number("Select GST From InvoiceHead Where InvoiceNo=N'CN2600002'"), -2.59, 1e-9);
  const std::vector<std::string> payments = {
      "1 30 Online  0",
      "2 10 Deposit  0",
      "3 10 CREDIT NOTES CN2600001 0",
      "4 -10 Online SALE REFUND: CN2600001 0",
      "5 30 CREDIT NOTES CN2600002 0",
      "6 -20 Online SALE REFUND: CN2600002 0",
      "7 -10 Deposit SALE REFUND: CN2600002 1",
  };
  EXPECT_EQ(PaymentRows(), payments);
}

TEST_F(CancelOrder, AfterRefundsOfEverythingIsCreditedAlready) {
  TRefundSeed refund;
  refund.Amount = "30.00";
  refund.Deposit = "10";
  refund.Lines = R"({"sku": "BEER", "quantity": -2, "subtotal": "-6.36", "subtotal_tax": "-0.64"},)"
                 R"({"sku": "WINE", "quantity": -1, "subtotal": "-18.18", "subtotal_tax": "-1.82"})";
  ASSERT_TRUE(Refund(refund));
  const std::string after = State();
  std::string creditNo, msg;
  EXPECT_FALSE(Cancel(creditNo, msg));
  EXPECT_EQ(msg, "This invoice credited already.");
  EXPECT_EQ(State(), after);
}

}  // namespace
}  // namespace ooa::test
