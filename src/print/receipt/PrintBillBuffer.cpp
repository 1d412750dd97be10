// TPrintBillForm: the receipt's lines into the item buffer.
#include <utility>

#include "print/ReceiptSettings.h"
#include "print/receipt/PrintBillForm.h"

namespace ooa {

TPrintBillForm::TPrintBillForm()
    : Settings(ReceiptSettings()), Locale(ReceiptLocale()), PrinterConfig(ConfigSnapshot()) {}

void TPrintBillForm::InitBuff() { Buff.assign(kInitialEntries, BuffType{}); }

namespace {

// The translated description, or the main one standing in when it is empty
// and the main description is not printed as a line of its own.
std::string TranslatedOrMain(const std::string& translated, const std::string& main, bool printMain) {
  if (!translated.empty()) return translated;
  if (!printMain && !main.empty()) return main;
  return {};
}

}  // namespace

void TPrintBillForm::PostDataToBuff(const std::vector<TReceiptLine>& lines) {
  const TReceiptSettings& settings = Settings;
  const size_t rows = lines.size();
  ItemCount = 0;
  // No lines still fill the first entry, from nothing: an entry of initial
  // values that prints as a line of quantity 0.
  auto fill = [&](BuffType& e, const TReceiptLine* l) {
    if (!l) {
      e.NeedPrint = true;
      return;
    }
    e.Qty = l->Qty;
    e.Price = l->Price;
    e.GSTRate = l->GSTRate;
    e.ProductCode = l->ProductCode;
    e.IsMixMatchDiscountItem = l->IsMixMatchDiscountItem;
    e.IsRewardItem = l->IsRewardItem;
    if (e.IsMixMatchDiscountItem && e.ProductCode == l->DiscountItemCode) {
      e.Description1 = l->DiscountDescription;
    } else {
      const std::string& main = l->Description;
      const bool p1 = settings.PrintDescription1;
      if (p1) e.Description1 = main;
      if (settings.PrintDescription2) e.Description2 = TranslatedOrMain(l->Description1, main, p1);
      if (settings.PrintDescription3) e.Description3 = TranslatedOrMain(l->Description2, main, p1);
      if (settings.PrintDescription4) e.Description4 = TranslatedOrMain(l->Description3, main, p1);
      e.SubDescription1 = l->SubDescription;
      e.SubDescription2 = l->SubDescription1;
      e.SubDescription3 = l->SubDescription2;
      e.SubDescription4 = l->SubDescription3;
      e.SubDescription5 = l->SubDescription4;
      e.SubDescription6 = l->SubDescription5;
      e.Barcode = l->Barcode;
      e.Barcode1 = l->Barcode1;
      e.Barcode2 = l->Barcode2;
      e.Barcode3 = l->Barcode3;
      e.Barcode4 = l->Barcode4;
      e.Barcode5 = l->Barcode5;
      e.Location = l->Location;
      e.DiscountRate = l->DiscountRate;
      e.OriginalPrice = l->OriginalPrice;
      e.PriceKind = static_cast<int>(l->PriceKind);
      e.Scalable = l->Scalable;
      e.TareWeight = l->TareWeight;
      e.ManuallyEnterWeight = l->ManuallyEnterWeight;
    }
    ItemCount += l->Scalable ? 1 : e.Qty;
    e.NeedPrint = true;
  };
  auto entry = [&](size_t k) -> BuffType& {
    if (k >= Buff.size()) Buff.resize(k + 1);  // more items than the initial entries
    return Buff[k];
  };

  size_t last = 0;
  fill(entry(last), rows > 0 ? &lines[0] : nullptr);
  for (size_t i = 1; i < rows; ++i) {
    const TReceiptLine& l = lines[i];
    BuffType& k = Buff[last];
    const bool matches = l.Description == k.Description1 && l.Price == k.Price && l.GSTRate == k.GSTRate &&
                         l.DiscountRate == k.DiscountRate && l.OriginalPrice == k.OriginalPrice &&
                         l.PriceKind == k.PriceKind;
    if (settings.ConsolidateItemsOnReceipt && !k.IsMixMatchDiscountItem && matches) {
      k.Qty += l.Qty;
    } else {
      ++last;
      fill(entry(last), &l);
    }
  }

  const int first = settings.PrintFirstDescription;
  if (first >= 1 && first <= 3 && rows > 0) {
    for (size_t i = 0; i < rows && i < Buff.size(); ++i) {
      BuffType& e = Buff[i];
      if (e.IsMixMatchDiscountItem) continue;
      std::string& other = first == 1 ? e.Description2 : first == 2 ? e.Description3 : e.Description4;
      if (!other.empty()) std::swap(e.Description1, other);
    }
  }
}

}  // namespace ooa
