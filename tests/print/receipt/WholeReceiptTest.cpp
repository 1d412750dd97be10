// Whole receipts of fixture invoices, as the printer stand-in received them
// and the decoder reads them back, compared line by line with the expected
// paper: a member order with freight, coupon, points, line discount, deposit
// and payment with prices including GST and excluding it; a cancelled order;
// a fully refunded order; an invoice of more than 1000 items.
#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "print/receipt/ReceiptFixture.h"
#include "sync/OrderReceipt.h"
#include "sync/OrderSyncPass.h"

namespace ooa::test {
namespace {

class WholeReceiptTest : public TReceiptTest {
 protected:
  // With OOA_RECEIPT_JOBS set to a folder, the job is also kept there (the
  // pictures in docs/ are drawn from these files with escpos-view --png).
  static void Keep(const std::string& name, const std::string& job) {
    if (const char* dir = std::getenv("OOA_RECEIPT_JOBS")) {
      std::ofstream(std::string(dir) + "/" + name, std::ios::binary) << job;
    }
  }
};

TEST_F(WholeReceiptTest, MemberOrderWithPricesIncludingGst) {
  const std::string job = Print();
  Keep("member-order.bin", job);
  EXPECT_EQ(Rendered(job), R"([logo 1]
[double width]
 ONLINE ORDER #1057
[normal]
Delivery: 7 Ocean Rd, Bondi NSW 2026
----------------------------------------
[double width]
Harbour Fresh Grocer
[normal]
         A.B.N. 12 345 678 901
           Tel: 02 9555 0101
           Shop 4, 18 Quay St
            Sydney NSW 2000
----------------------------------------
              TAX INVOICE
----------------------------------------
Date: 01/12/2026            No: W2600001
Cashier: WEB            Register: ONLINE
----------------------------------------
*Lager 6 Pack
                     2 X $18.00 = $36.00
Sourdough Loaf
                       1 X $6.50 = $6.50
*Shiraz
                     1 X $20.00 = $20.00
----------------------------------------
                       ITEMS:          4
----------------------------------------
                   SUB TOTAL:     $62.50
                    DISCOUNT:     -$7.00
               REDEEM POINTS:     -$2.00
                    FFREIGHT:     $11.00
[large]
       TOTAL: $64.50
[normal]
       GST INCLUDED IN TOTAL:      $5.27
                      ONLINE:     $54.50
                     DEPOSIT:     $10.00
                     BALANCE:      $0.00
----------------------------------------
*Indicate taxable item
Customer Code: C42
Transaction: 01/12/2026 10:15:07
----------------------------------------
Leave at door
----------------------------------------
[barcode CODE39 "1057" left]
[feed 5]
[partial cut]
)");
}

TEST_F(WholeReceiptTest, MemberOrderWithPricesExcludingGst) {
  Exec("Update InvoiceHead Set GSTStatus=0 Where InvoiceNo=N'W2600001'");
  EXPECT_EQ(Rendered(Print()), R"([logo 1]
[double width]
 ONLINE ORDER #1057
[normal]
Delivery: 7 Ocean Rd, Bondi NSW 2026
----------------------------------------
[double width]
Harbour Fresh Grocer
[normal]
         A.B.N. 12 345 678 901
           Tel: 02 9555 0101
           Shop 4, 18 Quay St
            Sydney NSW 2000
----------------------------------------
              TAX INVOICE
----------------------------------------
Date: 01/12/2026            No: W2600001
Cashier: WEB            Register: ONLINE
----------------------------------------
*Lager 6 Pack
                     2 X $18.00 = $36.00
Sourdough Loaf
                       1 X $6.50 = $6.50
*Shiraz
                     1 X $20.00 = $20.00
----------------------------------------
                       ITEMS:          4
----------------------------------------
                   SUB TOTAL:     $62.50
                    DISCOUNT:     -$7.00
               REDEEM POINTS:     -$2.00
                    FFREIGHT:     $10.00
                         GST:      $5.70
[large]
       TOTAL: $69.20
[normal]
                      ONLINE:     $54.50
                     DEPOSIT:     $10.00
                     BALANCE:      $4.70
----------------------------------------
*Indicate taxable item
Customer Code: C42
Transaction: 01/12/2026 10:15:07
----------------------------------------
Leave at door
----------------------------------------
[barcode CODE39 "1057" left]
[feed 5]
[partial cut]
)");
}

// The cancellation credit note as the credit-note import books it: every line,
// the freight, coupon and points negated; on the invoice a CREDIT NOTES row
// and the reversal of the payment and the deposit.
const char* const kCancellation =
    "Insert Into InvoiceHead(InvoiceNo, ReferenceNo, KindFlag, InvoiceDate, CustomerCode, GSTStatus, Freight, "
    "FreightGSTRate, DollarDiscount, RedeemPointsAsDollar, RedeemPointsGSTRate, CreditInvoiceKind) "
    "Values(N'CN2600001', N'W2600001', 5, '2026-12-02 09:00:00', N'C42', 1, -10, 10, -5, -2, 10, 6);"
    "Insert Into InvoiceItem(InvoiceNo, ID, ProductCode, Qty, Price, OriginalPrice, Discount, GSTRate, KindFlag, "
    "InvoiceItemID) Values(N'CN2600001', 1, N'BEER', -2, 18, 18, 0, 10, 5, 1),"
    "(N'CN2600001', 2, N'BREAD', -1, 6.5, 6.5, 0, 0, 5, 2),"
    "(N'CN2600001', 3, N'WINE', -1, 20, 20, 10, 10, 5, 3);"
    "Insert Into RecvAcct(InvoiceNo, IDNo, PaidAmount, PayBy, Notes) Values"
    "(N'W2600001', 3, 64.5, N'CREDIT NOTES', N'CN2600001'),"
    "(N'W2600001', 4, -54.5, N'Online', N'SALE REFUND: CN2600001'),"
    "(N'W2600001', 5, -10, N'Deposit', N'SALE REFUND: CN2600001');";

TEST_F(WholeReceiptTest, CancelledOrderNetsToNothing) {
  Exec(kCancellation);
  EXPECT_EQ(Rendered(Print("W2600001", true)), R"([logo 1]
[double width]
   MODIFIED ORDER
--------------------
--------------------
 ONLINE ORDER #1057
[normal]
Delivery: 7 Ocean Rd, Bondi NSW 2026
----------------------------------------
[double width]
Harbour Fresh Grocer
[normal]
         A.B.N. 12 345 678 901
           Tel: 02 9555 0101
           Shop 4, 18 Quay St
            Sydney NSW 2000
----------------------------------------
              TAX INVOICE
----------------------------------------
Date: 01/12/2026            No: W2600001
Cashier: WEB            Register: ONLINE
----------------------------------------
*Lager 6 Pack
                     2 X $18.00 = $36.00
*Lager 6 Pack
                   -2 X $18.00 = -$36.00
Sourdough Loaf
                       1 X $6.50 = $6.50
Sourdough Loaf
                     -1 X $6.50 = -$6.50
*Shiraz
                     1 X $20.00 = $20.00
*Shiraz
                   -1 X $20.00 = -$20.00
----------------------------------------
                       ITEMS:          0
----------------------------------------
[large]
        TOTAL: $0.00
[normal]
       GST INCLUDED IN TOTAL:      $0.00
                      ONLINE:     $54.50
                     DEPOSIT:     $10.00
                      ONLINE:    -$54.50
                     DEPOSIT:    -$10.00
                     BALANCE:      $0.00
----------------------------------------
*Indicate taxable item
Customer Code: C42
Transaction: 01/12/2026 10:15:07
----------------------------------------
Leave at door
----------------------------------------
[barcode CODE39 "1057" left]
[feed 5]
[partial cut]
)");
}

// A shop refund of every line, the coupon and the points; the freight stays
// with the shop, and so does its GST.
TEST_F(WholeReceiptTest, FullyRefundedOrderKeepsOnlyTheFreight) {
  Exec("Insert Into InvoiceHead(InvoiceNo, ReferenceNo, KindFlag, InvoiceDate, CustomerCode, GSTStatus, "
       "DollarDiscount, RedeemPointsAsDollar, RedeemPointsGSTRate, OnlineOrderId) Values(N'CN2600002', "
       "N'W2600001', 5, '2026-12-03 09:00:00', N'C42', 1, -5, -2, 10, N'1063');"
       "Insert Into InvoiceItem(InvoiceNo, ID, ProductCode, Qty, Price, OriginalPrice, Discount, GSTRate, "
       "KindFlag) Values(N'CN2600002', 1, N'BEER', -2, 18, 18, 0, 10, 5),"
       "(N'CN2600002', 2, N'WINE', -1, 20, 20, 10, 10, 5),"
       "(N'CN2600002', 3, N'BREAD', -1, 6.5, 6.5, 0, 0, 5);"
       "Insert Into RecvAcct(InvoiceNo, IDNo, PaidAmount, PayBy, Notes) Values"
       "(N'W2600001', 3, -53.5, N'Online', N'SALE REFUND: CN2600002');");
  const std::string job = Print("W2600001", true);
  Keep("refunded-order.bin", job);
  EXPECT_EQ(Rendered(job), R"([logo 1]
[double width]
   MODIFIED ORDER
--------------------
--------------------
 ONLINE ORDER #1057
[normal]
Delivery: 7 Ocean Rd, Bondi NSW 2026
----------------------------------------
[double width]
Harbour Fresh Grocer
[normal]
         A.B.N. 12 345 678 901
           Tel: 02 9555 0101
           Shop 4, 18 Quay St
            Sydney NSW 2000
----------------------------------------
              TAX INVOICE
----------------------------------------
Date: 01/12/2026            No: W2600001
Cashier: WEB            Register: ONLINE
----------------------------------------
*Lager 6 Pack
                     2 X $18.00 = $36.00
*Lager 6 Pack
                   -2 X $18.00 = -$36.00
Sourdough Loaf
                       1 X $6.50 = $6.50
*Shiraz
                   -1 X $20.00 = -$20.00
*Shiraz
                     1 X $20.00 = $20.00
Sourdough Loaf
                     -1 X $6.50 = -$6.50
----------------------------------------
                       ITEMS:          0
----------------------------------------
                   SUB TOTAL:      $0.00
                    FFREIGHT:     $11.00
[large]
       TOTAL: $11.00
[normal]
       GST INCLUDED IN TOTAL:      $1.00
                      ONLINE:     $54.50
                     DEPOSIT:     $10.00
                      ONLINE:    -$53.50
                     BALANCE:      $0.00
----------------------------------------
*Indicate taxable item
Customer Code: C42
Transaction: 01/12/2026 10:15:07
----------------------------------------
Leave at door
----------------------------------------
[barcode CODE39 "1057" left]
[feed 5]
[partial cut]
)");
}

// The order pass's hook prints the same receipt.
TEST_F(WholeReceiptTest, OrderPassHookPrintsTheReceipt) {
  SetReceiptSettings(Settings);
  TOrderPassState pass;
  EXPECT_EQ(PrintOrderReceipt(pass, Db, "1057", "W2600001", false, true), TReceiptResult::Printed);
  const std::vector<std::string> jobs = Standin.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u);
  const std::vector<std::string> lines = Lines(jobs[0]);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "   MODIFIED ORDER");
  EXPECT_EQ(lines[2], " ONLINE ORDER #1057");
}

// More items than the buffer's first 1000 entries: every one is printed,
// counted and totalled.
TEST_F(WholeReceiptTest, InvoiceOf1001ItemsPrintsThemAll) {
  std::string batch = "Delete From InvoiceItem; Insert Into InvoiceItem(InvoiceNo, ID, ProductCode, Qty, Price, "
                      "GSTRate, KindFlag) Values";
  for (int i = 1; i <= 1001; ++i)
    batch += (i > 1 ? "," : "") + std::string("(N'W2600001', ") + std::to_string(i) + ", N'BREAD', 1, 1, 0, 6)";
  Exec(batch);
  const std::vector<std::string> lines = Lines(Print());
  size_t items = 0;
  for (const std::string& l : lines) items += l == std::string(23, ' ') + "1 X $1.00 = $1.00";
  EXPECT_EQ(items, 1001u);
  EXPECT_NE(std::find(lines.begin(), lines.end(), std::string(23, ' ') + "ITEMS:       1001"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), std::string(7, ' ') + "GST INCLUDED IN TOTAL:      $1.00"),
            lines.end());
}

}  // namespace
}  // namespace ooa::test
