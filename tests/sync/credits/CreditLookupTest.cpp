// IsInvoiceCredited and GetOriginalInvoice on the embedded POS database.
#include <gtest/gtest.h>

#include "config/Clock.h"
#include "db/credit/CreditNotes.h"
#include "sync/credits/CreditFixture.h"

namespace ooa::test {
namespace {

TEST(IsInvoiceCredited, TellsOpenMissingAndCreditedInvoicesApart) {
  struct TCase {
    const char* Name;
    const char* Setup;  // run on the fixture before the check
    const char* InvoiceNo;
    bool Expected;
    const char* Msg;
  };
  const TCase cases[] = {
      {"open invoice", "", "W2600001", true, ""},
      {"unknown invoice", "", "W2699999", false, "This invoice dose not exsits."},
      {"head without lines", "Delete From InvoiceItem Where InvoiceNo=N'W2600001';", "W2600001", false,
       "This invoice dose not exsits."},
      {"credited quantity above 0", "Update InvoiceItem Set CreditedQty=1 Where ProductCode=N'BEER';", "W2600001",
       false, "This invoice credited already."},
      // An earlier cancellation lowered CreditedQty below 0: its credit note still counts.
      {"cancellation credit note",
       "Update InvoiceItem Set CreditedQty=-Qty Where InvoiceNo=N'W2600001';"
       "Insert Into InvoiceHead(InvoiceNo, ReferenceNo, KindFlag, OnlineOrderId) "
       "Values(N'CN2600001', N'W2600001', 5, Null);",
       "W2600001", false, "This invoice credited already."},
      {"cancellation credit note with empty id",
       "Insert Into InvoiceHead(InvoiceNo, ReferenceNo, KindFlag, OnlineOrderId) "
       "Values(N'CN2600001', N'W2600001', 5, N'');",
       "W2600001", false, "This invoice credited already."},
      // A partial refund's credit note carries the refund id: further refunds pass.
      {"refund credit note",
       "Update InvoiceItem Set CreditedQty=-1 Where ProductCode=N'BEER';"
       "Insert Into InvoiceHead(InvoiceNo, ReferenceNo, KindFlag, OnlineOrderId) "
       "Values(N'CN2600001', N'W2600001', 5, N'777');",
       "W2600001", true, ""},
      {"credit note of another invoice",
       "Insert Into InvoiceHead(InvoiceNo, ReferenceNo, KindFlag) Values(N'CN2600001', N'W2600002', 5);",
       "W2600001", true, ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TCreditFixture pos;
    if (*c.Setup) pos.Exec(c.Setup);
    std::string msg;
    EXPECT_EQ(IsInvoiceCredited(pos.Db, c.InvoiceNo, msg), c.Expected);
    EXPECT_EQ(msg, c.Msg);
  }
}

TEST(GetOriginalInvoice, LoadsTheInvoiceAsItsCreditNote) {
  TCreditFixture pos;
  pos.Exec("Update InvoiceItem Set PriceKind=1 Where ProductCode=N'BEER';");
  ASSERT_TRUE(GetOriginalInvoice(pos.Db, "W2600001"));
  const TDateTime today = Clock().NowLocal().DateOnly();

  const TInvoiceHead& h = pos.Db.InvoiceHead;
  EXPECT_EQ(h.KindFlag, 5);
  EXPECT_EQ(h.CreditInvoiceKind, 6);
  EXPECT_EQ(h.ReferenceNo, "W2600001");
  EXPECT_EQ(h.CustomerCode, "C42");
  EXPECT_EQ(h.Notes, "Leave at door");
  EXPECT_EQ(h.InvoiceDate, today);
  EXPECT_DOUBLE_EQ(h.Freight, -5);
  EXPECT_DOUBLE_EQ(h.FreightGSTRate, 10);
  EXPECT_DOUBLE_EQ(h.Amount, -32);
  EXPECT_DOUBLE_EQ(h.GST, -2.91);
  EXPECT_DOUBLE_EQ(h.TotalCost, -19);
  EXPECT_DOUBLE_EQ(h.PaidAmount, 0);
  EXPECT_DOUBLE_EQ(h.RedeemPointsAsDollar, -2);
  EXPECT_DOUBLE_EQ(h.TotalRedeemPoints, -200);
  EXPECT_DOUBLE_EQ(h.RedeemBasePoints, 100);
  EXPECT_DOUBLE_EQ(h.DollarDiscount, -1);
  EXPECT_TRUE(h.OnlineOrderId.empty());
  EXPECT_EQ(h.SyncStatus, 1);
  EXPECT_EQ(h.OpName, "Online");

  // Lines in ID order, quantities negated, IDs kept.
  const auto& lines = pos.Db.InvoiceItem;
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].ProductCode, "BEER");
  EXPECT_DOUBLE_EQ(lines[0].Qty, -2);
  EXPECT_EQ(lines[0].ID, 1);
  EXPECT_EQ(lines[0].PriceKind, 1);
  EXPECT_EQ(lines[1].ProductCode, "WINE");
  EXPECT_DOUBLE_EQ(lines[1].Qty, -1);
  EXPECT_EQ(lines[1].ID, 2);
  EXPECT_EQ(lines[1].InvoiceItemId, 2);
  EXPECT_DOUBLE_EQ(lines[1].UnitCost, 12.5);
  EXPECT_EQ(lines[1].ProductFamilyCode, "RED");
  EXPECT_TRUE(lines[1].IsMaxMatchDiscountItem);
  for (const TInvoiceItem& line : lines) {
    EXPECT_EQ(line.KindFlag, 5);
    EXPECT_DOUBLE_EQ(line.CreditedQty, 0);
    EXPECT_TRUE(line.IsRedeemItem);
  }

  EXPECT_DOUBLE_EQ(pos.Db.Payment.PaidAmount, -30);
  EXPECT_EQ(pos.Db.Payment.PayMethod, "Online");
  EXPECT_EQ(pos.Db.Payment.PaymentDate, today);
  EXPECT_DOUBLE_EQ(pos.Db.DepositPayment.PaidAmount, -10);
  EXPECT_EQ(pos.Db.DepositPayment.PayMethod, "Deposit");
}

TEST(GetOriginalInvoice, FailsWithoutHeadOrLinesAndLeavesNoPaymentsWhenUnpaid) {
  {
    TCreditFixture pos;
    EXPECT_FALSE(GetOriginalInvoice(pos.Db, "W2699999"));
    pos.Exec("Delete From InvoiceItem;");
    EXPECT_FALSE(GetOriginalInvoice(pos.Db, "W2600001"));
  }
  TCreditFixture pos;
  pos.Exec("Delete From RecvAcct;");
  ASSERT_TRUE(GetOriginalInvoice(pos.Db, "W2600001"));
  EXPECT_DOUBLE_EQ(pos.Db.Payment.PaidAmount, 0);
  EXPECT_DOUBLE_EQ(pos.Db.DepositPayment.PaidAmount, 0);
}

}  // namespace
}  // namespace ooa::test
