// Collecting the invoice lines into receipt items: which description lines an
// item gets, merging equal neighbouring lines, the item count, the exchange of
// the first description, credit-note lines. Each case changes the fixture's
// lines and options and looks at the filled entries of the buffer.
#include <functional>
#include <optional>

#include "db/receipt/ReceiptRows.h"
#include "print/receipt/PrintBillForm.h"
#include "print/receipt/ReceiptFixture.h"

namespace ooa::test {
namespace {

struct TEntry {
  double Qty;
  std::vector<std::string> Descriptions;  // Description1 ... Description4
  bool operator==(const TEntry&) const = default;
};

void PrintTo(const TEntry& e, std::ostream* out) {
  *out << e.Qty;
  for (const std::string& d : e.Descriptions) *out << " [" << d << "]";
}

struct TCollectCase {
  const char* Name;
  std::string Sql;
  std::function<void(TReceiptSettings&)> Options;
  std::vector<TEntry> Entries;
  double ItemCount;
};

void Main(TReceiptSettings&) {}

// Three BEER lines that are equal apart from their quantity, between two others.
const char* const kThreeEqual =
    "Delete From InvoiceItem; Insert Into InvoiceItem(InvoiceNo, ID, ProductCode, Qty, Price, OriginalPrice, "
    "GSTRate, KindFlag) Values(N'W2600001', 1, N'BREAD', 1, 6.5, 6.5, 0, 6), (N'W2600001', 2, N'BEER', 1, 18, 18, "
    "10, 6), (N'W2600001', 3, N'BEER', 2, 18, 18, 10, 6), (N'W2600001', 4, N'BEER', 3, 18, 18, 10, 6), "
    "(N'W2600001', 5, N'WINE', 1, 20, 20, 10, 6);";

const TCollectCase kCases[] = {
    {"EveryLineItsOwnItem", "", Main,
     {{2, {"Lager 6 Pack", "", "", ""}}, {1, {"Sourdough Loaf", "", "", ""}}, {1, {"Shiraz", "", "", ""}}}, 4},
    {"ConsolidationMergesEqualNeighbours", kThreeEqual, [](TReceiptSettings& s) { s.ConsolidateItemsOnReceipt = true; },
     {{6, {"Lager 6 Pack", "", "", ""}}, {1, {"Shiraz", "", "", ""}}, {1, {"Sourdough Loaf", "", "", ""}}}, 3},
    {"NoMergingWithoutConsolidation", kThreeEqual, Main,
     {{1, {"Sourdough Loaf", "", "", ""}},
      {1, {"Lager 6 Pack", "", "", ""}},
      {2, {"Lager 6 Pack", "", "", ""}},
      {3, {"Lager 6 Pack", "", "", ""}},
      {1, {"Shiraz", "", "", ""}}},
     8},
    {"DifferentPriceIsNotMerged",
     std::string(kThreeEqual) + "Update InvoiceItem Set Price=17.99 Where ID=3;",
     [](TReceiptSettings& s) { s.ConsolidateItemsOnReceipt = true; },
     {{1, {"Lager 6 Pack", "", "", ""}},
      {2, {"Lager 6 Pack", "", "", ""}},
      {3, {"Lager 6 Pack", "", "", ""}},
      {1, {"Shiraz", "", "", ""}},
      {1, {"Sourdough Loaf", "", "", ""}}},
     8},
    // The main description stands in for a missing translation when it is not printed itself.
    {"MainDescriptionStandsInForMissingTranslations", "Update Product Set Description2=N'Lagerbier' Where ProductCode=N'BEER'",
     [](TReceiptSettings& s) { s.PrintDescription1 = false, s.PrintDescription2 = s.PrintDescription3 = s.PrintDescription4 = true; },
     {{2, {"", "Bier", "Lagerbier", "Lager 6 Pack"}},
      {1, {"", "Sourdough Loaf", "Sourdough Loaf", "Sourdough Loaf"}},
      {1, {"", "Shiraz", "Shiraz", "Shiraz"}}},
     4},
    {"FirstDescriptionExchangedWhenTheOtherIsThere", "",
     [](TReceiptSettings& s) { s.PrintDescription2 = true, s.PrintFirstDescription = 1; },
     {{2, {"Bier", "Lager 6 Pack", "", ""}}, {1, {"Sourdough Loaf", "", "", ""}}, {1, {"Shiraz", "", "", ""}}}, 4},
    {"ExchangeWithAnEmptyDescriptionKeepsTheOrder", "",
     [](TReceiptSettings& s) { s.PrintDescription2 = true, s.PrintFirstDescription = 2; },
     {{2, {"Lager 6 Pack", "Bier", "", ""}}, {1, {"Sourdough Loaf", "", "", ""}}, {1, {"Shiraz", "", "", ""}}}, 4},
    {"WeighedLineCountsOnce", "Update Product Set Scalable=1 Where ProductCode=N'BREAD';"
     "Update InvoiceItem Set Qty=0.35 Where ProductCode=N'BREAD'", Main,
     {{2, {"Lager 6 Pack", "", "", ""}}, {0.35, {"Sourdough Loaf", "", "", ""}}, {1, {"Shiraz", "", "", ""}}}, 4},
    {"CreditLinesLowerTheCount",
     "Insert Into InvoiceHead(InvoiceNo, ReferenceNo, KindFlag, CustomerCode) Values(N'CN2600001', N'W2600001', 5, N'C42');"
     "Insert Into InvoiceItem(InvoiceNo, ID, ProductCode, Qty, Price, GSTRate, KindFlag) Values"
     "(N'CN2600001', 9, N'WINE', -1, 20, 10, 5)", Main,
     {{2, {"Lager 6 Pack", "", "", ""}}, {1, {"Sourdough Loaf", "", "", ""}}, {1, {"Shiraz", "", "", ""}},
      {-1, {"Shiraz", "", "", ""}}},
     3},
    // The mix-and-match discount line shows its discount description only and
    // is never merged with what follows.
    {"MixAndMatchDiscountLine",
     "Insert Into Product(ProductCode, Description) Values(N'MM1', N'Any 2 wines');"
     "Insert Into ProductFamily(FamilyCode, DiscountItemCode, DiscountDescription) Values(N'RED', N'MM1', N'Red wine deal');"
     "Delete From InvoiceItem; Insert Into InvoiceItem(InvoiceNo, ID, ProductCode, Qty, Price, KindFlag, "
     "IsMixMatchDiscountItem, ProductFamilyCode) Values(N'W2600001', 1, N'MM1', 1, -5, 6, 1, N'RED'),"
     "(N'W2600001', 2, N'MM1', 1, -5, 6, 0, N'RED')",
     [](TReceiptSettings& s) { s.PrintDescription1 = false, s.ConsolidateItemsOnReceipt = true; },
     {{1, {"Red wine deal", "", "", ""}}, {1, {"", "", "", ""}}}, 2},
    // Nothing to print still fills the first entry, with nothing in it.
    {"NoLinesLeaveOneEmptyEntry", "Update InvoiceItem Set Qty=0", Main, {{0, {"", "", "", ""}}}, 0},
};

void PrintTo(const TCollectCase& c, std::ostream* out) { *out << c.Name; }

class CollectionTest : public TReceiptTest, public ::testing::WithParamInterface<TCollectCase> {};

TEST_P(CollectionTest, FillsTheItems) {
  const TCollectCase& c = GetParam();
  if (!c.Sql.empty()) Exec(c.Sql);
  c.Options(Settings);
  SetReceiptSettings(Settings);
  TPrintBillForm form;
  const std::optional<TReceipt> receipt = ReadReceipt(Db, "W2600001", Settings.ConsolidateItemsOnReceipt);
  ASSERT_TRUE(receipt);
  form.InitBuff();
  form.PostDataToBuff(receipt->Lines);
  std::vector<TEntry> entries;
  for (const BuffType& e : form.Buff)
    if (e.NeedPrint) entries.push_back({e.Qty, {e.Description1, e.Description2, e.Description3, e.Description4}});
  EXPECT_EQ(entries, c.Entries);
  EXPECT_DOUBLE_EQ(form.ItemCount, c.ItemCount);
  EXPECT_EQ(form.Buff.size(), TPrintBillForm::kInitialEntries);
}

INSTANTIATE_TEST_SUITE_P(Receipt, CollectionTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace ooa::test
