// Receipt layout cases on the fixture invoice: each case changes the data or
// the options, prints the receipt through the printer stand-in and looks for
// blocks of consecutive lines (as the decoder reads them, trailing spaces
// dropped) and for texts that must not be there.
#include <algorithm>
#include <functional>

#include "config/Config.h"
#include "config/TextCodec.h"
#include "config/UtilUnit.h"
#include "print/receipt/PrintBillForm.h"
#include "print/receipt/ReceiptText.h"
#include "print/receipt/ReceiptFixture.h"
#include "support/FixedClock.h"
#include "sync/ReceiptPrint.h"

namespace ooa::test {
namespace {

struct TLayoutCase {
  const char* Name;
  std::string Sql;  // run on the fixture database first ("" for none)
  std::function<void(TReceiptSettings&, TConfig&)> Options;
  const char* Footer;  // content of the footer file, nullptr for no file
  std::vector<std::string> Blocks;  // each a run of whole lines, "\n"-separated
  std::vector<std::string> Absent;
};

const std::string k95 = std::string(40, 'A') + std::string(40, 'B') + std::string(15, 'C');

void NoOptions(TReceiptSettings&, TConfig&) {}

const TLayoutCase kCases[] = {
    {"DateAndNumberFillFortyColumns",
     "Update InvoiceHead Set InvoiceNo=N'W12345' Where InvoiceNo=N'W2600001';"
     "Update InvoiceItem Set InvoiceNo=N'W12345'; Update RecvAcct Set InvoiceNo=N'W12345';",
     NoOptions, nullptr, {"Date: 01/12/2026              No: W12345"}, {}},
    {"NumberWithoutDate", "", [](TReceiptSettings& s, TConfig&) { s.POSInvoiceDate = false; }, nullptr,
     {"----------------------------------------\nNo: W2600001\nCashier: WEB            Register: ONLINE"},
     {"Date: "}},
    {"NeitherDateNorNumber", "",
     [](TReceiptSettings& s, TConfig&) { s.POSInvoiceDate = s.POSInvoiceNumber = false; }, nullptr,
     {"              TAX INVOICE\n----------------------------------------\nCashier: WEB            Register: ONLINE"}, {"No: "}},
    {"LongCashierNameOverflows", "Update InvoiceHead Set OpName=N'Alexandra Montgomery-Smythe'", NoOptions, nullptr,
     {"Cashier: Alexandra Montgomery-Smythe\n        Register: ONLINE"}, {}},
    {"DescriptionOf95InThreeLines", "Update Product Set Description=N'" + k95 + "' Where ProductCode=N'BREAD'",
     NoOptions, nullptr,
     {std::string(40, 'A') + "\n" + std::string(40, 'B') + "\n" + std::string(15, 'C') +
      "\n                       1 X $6.50 = $6.50"},
     {}},
    {"DescriptionOf95InOneLine", "Update Product Set Description=N'" + k95 + "' Where ProductCode=N'BREAD'",
     [](TReceiptSettings& s, TConfig&) { s.OnlyPrintOneLineDescriptionOnReceipt = true; }, nullptr,
     {std::string(40, 'A') + "\n                       1 X $6.50 = $6.50"}, {std::string(40, 'B')}},
    {"WeighedItem",
     "Update Product Set Scalable=1, TareWeight=15 Where ProductCode=N'BREAD';"
     "Update InvoiceItem Set Qty=0.35, Price=12.99 Where ProductCode=N'BREAD'",
     NoOptions, nullptr, {"Sourdough Loaf\n             0.350kg X $12.99/kg = $4.55"}, {"Preset Tare"}},
    {"WeighedItemWithPresetTare",
     "Update Product Set Scalable=1, TareWeight=15.7 Where ProductCode=N'BREAD';"
     "Update InvoiceItem Set Qty=0.35, Price=12.99 Where ProductCode=N'BREAD'",
     [](TReceiptSettings& s, TConfig&) { s.PrintWeightTareMessage = true; }, nullptr,
     {"Sourdough Loaf\nPreset Tare 15 Grams Removed\n         0.350kg NET X $12.99/kg = $4.55"}, {}},
    {"WeightEnteredByHand",
     "Update Product Set Scalable=1, TareWeight=15 Where ProductCode=N'BREAD';"
     "Update InvoiceItem Set Qty=0.35, Price=12.99, ManuallyEnterWeight=1 Where ProductCode=N'BREAD'",
     [](TReceiptSettings& s, TConfig&) { s.PrintWeightTareMessage = true; }, nullptr,
     {"#Sourdough Loaf\n             0.350kg X $12.99/kg = $4.55",
      "*Indicate taxable item\n#Weight quantity is manually entered\nCustomer Code: C42"},
     {"Preset Tare"}},
    {"NotRewardItemAndSubDescription",
     "Update Product Set IsRewardItem=0, SubDescription1=N'Carton' Where ProductCode=N'BEER';"
     "Update InvoiceItem Set PriceKind=1 Where ProductCode=N'BEER'",
     NoOptions, nullptr,
     {"^*Lager 6 Pack / Carton", "*Indicate taxable item\n^Not Reward Points\nCustomer Code: C42"}, {}},
    {"ExemptInvoiceHasNoMarksButTheFootnote", "Update InvoiceHead Set ExemptTax=1", NoOptions, nullptr,
     {"----------------------------------------\nLager 6 Pack", "*Indicate taxable item\nCustomer Code: C42"},
     {"*Lager", "*Shiraz"}},
    {"CashAndChange",
     "Delete From RecvAcct; Insert Into RecvAcct(InvoiceNo, IDNo, PaidAmount, PayBy, Notes) Values"
     "(N'W2600001', 1, 50, N'CASH', Null), (N'W2600001', 2, -4.55, N'CASH', N'CHANGE'),"
     "(N'W2600001', 3, 10, N'Deposit', Null)",
     NoOptions, nullptr,
     {"                        CASH:     $50.00\n"
      "               CHANGE (CASH):      $4.55\n"
      "                     DEPOSIT:     $10.00\n"
      "                     BALANCE:      $9.05"},
     {}},
    {"CreditNotesRowIsSkippedWhereverItStands",
     "Insert Into RecvAcct(InvoiceNo, IDNo, PaidAmount, PayBy) Values(N'W2600001', 0, 99, N'CREDIT NOTES'),"
     "(N'W2600001', 7, 99, N'CREDIT NOTES')",
     NoOptions, nullptr,
     {"       GST INCLUDED IN TOTAL:      $5.27\n"
      "                      ONLINE:     $54.50\n"
      "                     DEPOSIT:     $10.00\n"
      "                     BALANCE:      $0.00"},
     {"CREDIT NOTES"}},
    {"GiftCardAndWechatPay",
     "Insert Into Payment(Payment, LinkToDevice) Values(N'WeChat', 3);"
     "Delete From RecvAcct; Insert Into RecvAcct(InvoiceNo, IDNo, PaidAmount, PayBy, GiftCardCode, "
     "GiftCardBalance, EFTPOSNote) Values(N'W2600001', 1, 30, N'Gift Card', N'6000123456789012', 100, Null),"
     "(N'W2600001', 2, 34.5, N'WeChat', Null, 0, N'WX7781')",
     NoOptions, nullptr,
     {"                   GIFT CARD:     $30.00\n                      WECHAT:     $34.50",
      "*Indicate taxable item\nWechat Pay Order ID: WX7781\n**GIFT CARD ****9012 BALANCE: $70.00\n"
      "Customer Code: C42"},
     {}},
    {"VoucherFootnote", "Update InvoiceHead Set VoucherAmount=20", NoOptions, nullptr,
     {"            Voucher Discount:    -$20.00", "*Indicate taxable item\n** Received Voucher: $20.00 **"}, {}},
    {"WalkInCustomerPrintsNoCustomerLines",
     "Insert Into Customer(CustomerCode, CustomerName) Values(N'ZADEZUDODEVE', N'Walk In');"
     "Update InvoiceHead Set CustomerCode=N'ZADEZUDODEVE'",
     [](TReceiptSettings& s, TConfig&) { s.PrintCustomerNameOnReceipt = true; }, nullptr,
     {"*Indicate taxable item\nTransaction: 01/12/2026 10:15:07"}, {"Customer"}},
    {"EmptyCustomerCodePrintsNoCustomerLines",
     "Insert Into Customer(CustomerCode, CustomerName) Values(N'', N'Nobody'); Update InvoiceHead Set CustomerCode=N''",
     NoOptions, nullptr, {"*Indicate taxable item\nTransaction: 01/12/2026 10:15:07"}, {"Customer"}},
    {"CustomerName", "", [](TReceiptSettings& s, TConfig&) { s.PrintCustomerNameOnReceipt = true; }, nullptr,
     {"Customer Code: C42\nCustomer Name: Mia Chen\nTransaction: 01/12/2026 10:15:07"}, {}},
    {"PickupAndPrintedInvoice", "Update InvoiceHead Set Delivery=0, Printed=1, Notes=Null", NoOptions, nullptr,
     {"[normal]\nPickup: Mia Chen",
      "Transaction: 01/12/2026 10:15:07\nPrint: 05/03/2024 14:07:09\n"
      "----------------------------------------\n[barcode CODE39 \"1057\" left]"},
     {"Delivery:", "Leave at door"}},
    {"BlankSeparatorsAndNoBanner", "Update InvoiceHead Set OnlineOrder=0",
     [](TReceiptSettings& s, TConfig&) { s.PrintSplitLinesOnReceipts = false; }, nullptr,
     {"[logo 1]\n[double width]\nHarbour Fresh Grocer", "\n              TAX INVOICE\n\nDate: 01/12/2026            No: W2600001"},
     {"ONLINE ORDER", "----"}},
    {"DiscountRateAndNormalPrice", "Update InvoiceItem Set OriginalPrice=20 Where ProductCode=N'BEER'",
     [](TReceiptSettings& s, TConfig&) { s.PrintDiscountRateOnPOSInvoice = true; }, nullptr,
     {"                     2 X $18.00 = $36.00\n                    Normal Price: $20.00\nSourdough Loaf",
      "                     1 X $20.00 = $20.00\n                          (10% Discount)"},
     {}},
    {"ItemBarcodesAndLocations", "",
     [](TReceiptSettings&, TConfig& c) {
       c.PrintItemBarcode = c.PrintProductCodeAsBarcode = c.PrintItemLocation = true;
     },
     nullptr,
     {"                     2 X $18.00 = $36.00\n[barcode CODE39 \"9300001\" left]\n\nLocation: A1\n\nSourdough Loaf",
      "                     1 X $20.00 = $20.00\n[barcode CODE39 \"WINE\" left]\n\nLocation: C3\n\n----------------------------------------"},
     {}},
    {"BarcodeNumbersAsText", "", [](TReceiptSettings&, TConfig& c) { c.OnlyPrintNumberAsBarcode = true; },
     nullptr, {"                     2 X $18.00 = $36.00\n9300001\n\nSourdough Loaf",
      "                     1 X $20.00 = $20.00\n----------------------------------------"}, {"[barcode CODE39 \"9"}},
    {"InvoiceNumberBarcode", "", [](TReceiptSettings& s, TConfig&) { s.PrintBarcodeInvoiceNo = true; }, nullptr,
     {"[barcode CODE39 \"1057\" left]\n\n[barcode CODE39 \"W2600001\" left]\n[feed 5]"}, {}},
    // The notes a credit note extends (CR LF between) print line by line, a
    // long line broken between words; a control byte inside a line stays blanked.
    {"MultiLineNotes",
     "Update InvoiceHead Set Notes=N'Leave at door' + Char(13) + Char(10) + N'Ring' + Char(27) + N'twice' + "
     "Char(13) + Char(10) + N'This Invoice has been credited: CN26000001' + Char(13) + Char(10) + "
     "N'This Invoice has been credited: CN26000002'",
     NoOptions, nullptr,
     {"----------------------------------------\nLeave at door\nRing twice\nThis Invoice has been credited:\n"
      "CN26000001\nThis Invoice has been credited:\nCN26000002\n----------------------------------------"},
     {"Leave at door  Ring"}},
    {"LongDeliveryAddressBreaksBetweenWords",
     "Update InvoiceHead Set DeliveryAddress=N'Grace Chen, 0412 555 018, 4 Darling Street, Balmain 2041, NSW, AU'",
     NoOptions, nullptr,
     {"Delivery: Grace Chen, 0412 555 018, 4\nDarling Street, Balmain 2041, NSW, AU\n"
      "----------------------------------------"},
     {}},
    {"FooterWithEmptyMiddleLine", "", NoOptions, "Thank you\r\n\r\nSee you soon\r\n",
     {"Leave at door\n----------------------------------------\nThank you\n\nSee you soon\n[barcode CODE39 \"1057\" left]"}, {}},
    {"FooterWithLineFeedsOnly", "", NoOptions, "Thank you\n\nSee you soon",
     {"Leave at door\n----------------------------------------\nThank you\n\nSee you soon\n[barcode CODE39 \"1057\" left]"}, {}},
};

void PrintTo(const TLayoutCase& c, std::ostream* out) { *out << c.Name; }

class LayoutCasesTest : public TReceiptTest, public ::testing::WithParamInterface<TLayoutCase> {};

TEST_P(LayoutCasesTest, PrintsItsLines) {
  const TLayoutCase& c = GetParam();
  TFixedClock clock;  // the "Print: " line shows its time
  TScopedClock scoped(clock);
  if (!c.Sql.empty()) Exec(c.Sql);
  TConfig config = ConfigSnapshot();
  c.Options(Settings, config);
  SetConfig(config);
  if (c.Footer) Dir.Write("ZadezUdOdeve.CFG", c.Footer);
  const std::string invoice = c.Sql.find("N'W12345'") != std::string::npos ? "W12345" : "W2600001";
  const std::string rendered = Rendered(Print(invoice));
  for (const std::string& block : c.Blocks)
    EXPECT_NE(("\n" + rendered).find("\n" + block + "\n"), std::string::npos) << block << "\n---- in ----\n" << rendered;
  for (const std::string& text : c.Absent)
    EXPECT_EQ(rendered.find(text), std::string::npos) << text << "\n---- in ----\n" << rendered;
}

INSTANTIATE_TEST_SUITE_P(Receipt, LayoutCasesTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// Lines the layout pads to 40 columns keep their padding on the paper.
TEST_F(TReceiptTest, PaddedLinesAreFortyColumnsWide) {
  Exec("Update Product Set Description=N'" + k95 + "' Where ProductCode=N'BREAD'");
  const std::vector<std::string> lines = Lines(Print());
  const std::vector<std::string> padded = {std::string(40, 'A'), std::string(40, 'B'),
                                           std::string(15, 'C') + std::string(25, ' '),
                                           "*Indicate taxable item" + std::string(18, ' '),
                                           "Transaction: 01/12/2026 10:15:07        "};
  for (const std::string& p : padded) EXPECT_NE(std::find(lines.begin(), lines.end(), p), lines.end()) << p;
}

// Nothing reaches the printer for a number that is no invoice of an online
// order, nor when the printer is "N/A".
TEST_F(TReceiptTest, PrintsNothingWithoutInvoiceOrPrinter) {
  Exec("Insert Into InvoiceHead(InvoiceNo, ReferenceNo, KindFlag, CustomerCode) "
       "Values(N'CN2600001', N'W2600001', 5, N'C42');"
       "Insert Into InvoiceHead(InvoiceNo, KindFlag, CustomerCode) Values(N'W2600009', 6, N'NOSUCH');");
  for (const char* number : {"W9999999", "CN2600001", "W2600009", ""})
    EXPECT_EQ(Print(number, false, 300), "") << number;
  TConfig c = ConfigSnapshot();
  c.PrinterName = "N/A";
  SetConfig(c);
  EXPECT_EQ(Print("W2600001", false, 300), "");
}

// A database error in the middle of a receipt reaches the caller; the next
// receipt ends the unfinished one first and prints in full.
TEST_F(TReceiptTest, DatabaseErrorIsRaisedAndTheNextReceiptPrints) {
  SetReceiptSettings(Settings);
  Exec("Drop Table ProductFamily");  // the item query needs it
  EXPECT_THROW(PrintBillPro(Db, "W2600001", false, false), TDbError);
  Exec("Create Table ProductFamily (FamilyCode nvarchar(30) Not Null, DiscountItemCode nvarchar(30) Null, "
       "DiscountDescription nvarchar(100) Null)");
  PrintBillPro(Db, "W2600001", false, false);
  const std::vector<std::string> jobs = Standin.WaitForJobs(2);
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_TRUE(Lines(jobs[0]).empty());
  EXPECT_NE(Rendered(jobs[1]).find("BALANCE:      $0.00\n"), std::string::npos);
}

// Receipt text is 8-bit in the receipt code page: a double-byte character
// takes two columns and is never split between two lines.
TEST_F(TReceiptTest, DoubleByteDescriptionKeepsItsCharacters) {
  const std::string saved = AnsiCodePage();
  SetAnsiCodePage("GBK");
  const std::string name = "新鲜有机苹果来自塔斯马尼亚岛的果园每公斤装礼盒";  // 23 characters, 46 bytes
  Exec("Update Product Set Description1=N'" + name + "' Where ProductCode=N'BEER'");
  Settings.PrintDescription2 = true;
  const std::vector<std::string> lines = Lines(Print());
  SetAnsiCodePage(saved);
  const std::string bytes = Utf8ToCodePage(name, "GBK");
  ASSERT_EQ(bytes.size(), 46u);
  // "*" plus 19 characters fill 39 columns; the 20th would not fit.
  const std::string first = "*" + bytes.substr(0, 38) + " ";
  const std::string second = PadRight(bytes.substr(38), 40);
  auto at = std::find(lines.begin(), lines.end(), first);
  ASSERT_NE(at, lines.end());
  ASSERT_NE(at + 1, lines.end());
  EXPECT_EQ(*(at + 1), second);
}

}  // namespace
}  // namespace ooa::test
