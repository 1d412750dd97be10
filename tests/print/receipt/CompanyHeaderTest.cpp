// The company header as printed: name size and centring, the business number,
// the contact line forms and the address lines, read from Profile for every
// receipt. Each case changes the profile and compares the header lines (all
// lines before the first separator of a receipt without order banner).
#include "print/receipt/ReceiptFixture.h"

namespace ooa::test {
namespace {

struct THeaderCase {
  const char* Name;
  std::string ProfileSet;  // "Update Profile Set " + this
  std::vector<std::string> Lines;
  bool DoubleWidthName;
};

const THeaderCase kCases[] = {
    {"NameOf20InDoubleWidth", "CompanyName=N'Harbour Fresh Grocer'",
     {"Harbour Fresh Grocer", "         A.B.N. 12 345 678 901", "           Tel: 02 9555 0101",
      "           Shop 4, 18 Quay St", "            Sydney NSW 2000"},
     true},
    {"NameOf21InNormalSize", "CompanyName=N'Harbour Fresh Grocers'",
     {"         Harbour Fresh Grocers", "         A.B.N. 12 345 678 901", "           Tel: 02 9555 0101",
      "           Shop 4, 18 Quay St", "            Sydney NSW 2000"},
     false},
    {"EmptyNameAndDetails", "CompanyName=Null, ABN=N'', Telephone=Null, Fax=Null, Address=Null",
     {std::string(10, ' '), std::string(20, ' ')}, true},
    // A Profile without rows reads as empty details; the receipt still prints.
    {"NoProfileRow", "CompanyName=Null; Delete From Profile", {std::string(10, ' '), std::string(20, ' ')}, true},
    {"TelephoneAndFax", "Fax=N'02 9555 0102', Address=Null",
     {"Harbour Fresh Grocer", "         A.B.N. 12 345 678 901", "  Tel: 02 9555 0101  Fax: 02 9555 0102"}, true},
    {"FaxOnly", "Telephone=N'', Fax=N'02 9555 0102', ABN=Null, Address=Null",
     {"Harbour Fresh Grocer", "           Fax: 02 9555 0102"}, true},
    {"EmptyLineBetweenBreaksPrintsNothing",
     "ABN=Null, Address=N'Level 2' + Char(13) + Char(10) + Char(13) + Char(10) + N'Sydney'",
     {"Harbour Fresh Grocer", "           Tel: 02 9555 0101", "                Level 2", "                 Sydney"},
     true},
    // A lone line feed or carriage return is a break of its own; no character is lost.
    {"LoneLineFeedAndCarriageReturn",
     "ABN=Null, Address=N'Level 2' + Char(10) + N'Sydney' + Char(13) + N'NSW 2000' + Char(13) + Char(10)",
     {"Harbour Fresh Grocer", "           Tel: 02 9555 0101", "                Level 2", "                 Sydney",
      "                NSW 2000"},
     true},
    {"AddressLineLongerThanFortyIsNotCut",
     "ABN=Null, Address=N'Unit 12, The Old Customs House, 1 Alfred St'",
     {"Harbour Fresh Grocer", "           Tel: 02 9555 0101", " Unit 12, The Old Customs House, 1 Alfred St"},
     true},
};

void PrintTo(const THeaderCase& c, std::ostream* out) { *out << c.Name; }

class CompanyHeaderTest : public TReceiptTest, public ::testing::WithParamInterface<THeaderCase> {};

TEST_P(CompanyHeaderTest, PrintsTheProfileDetails) {
  const THeaderCase& c = GetParam();
  Exec("Update InvoiceHead Set OnlineOrder=0; Update Profile Set " + c.ProfileSet);
  const std::string job = Print();
  const std::vector<std::string> lines = Lines(job);
  std::vector<std::string> header;
  for (const std::string& l : lines) {
    if (l == std::string(40, '-')) break;
    header.push_back(l);
  }
  EXPECT_EQ(header, c.Lines);
  ASSERT_FALSE(header.empty());
  const auto doubleWidth = escpos::Decode(job).LinesOfSize({2, 1});
  EXPECT_EQ(!doubleWidth.empty() && doubleWidth[0] == header[0], c.DoubleWidthName);
}

INSTANTIATE_TEST_SUITE_P(Receipt, CompanyHeaderTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// The details are read for every receipt: a change in the POS shows on the next one.
TEST_F(TReceiptTest, HeaderFollowsTheProfile) {
  Exec("Update InvoiceHead Set OnlineOrder=0");
  ASSERT_EQ(Lines(Print()).at(0), "Harbour Fresh Grocer");
  Exec("Update Profile Set CompanyName=N'Quay Grocer'");
  EXPECT_EQ(Lines(Print()).at(0), "    Quay Grocer");
}

}  // namespace
}  // namespace ooa::test
