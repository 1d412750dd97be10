// TPrintBillForm: the lines of one receipt item - descriptions with their
// marks, the quantity line, the normal price or discount, barcode, location.
#include <cmath>

#include "config/Config.h"
#include "print/PrinterControlUnit.h"
#include "print/ReceiptSettings.h"
#include "print/receipt/PrintBillForm.h"
#include "print/receipt/ReceiptText.h"

namespace ooa {

namespace {

const std::string& SubDescriptionOf(const BuffType& e) {
  static const std::string kNone;
  switch (e.PriceKind) {
    case 0: return e.SubDescription1;
    case 1: return e.SubDescription2;
    case 2: return e.SubDescription3;
    case 3: return e.SubDescription4;
    case 4: return e.SubDescription5;
    case 5: return e.SubDescription6;
    default: return kNone;
  }
}

// The barcode of the sale's price level (Barcode for level 0, Barcode1 ...
// Barcode5 for levels 1 to 5), else the item's main barcode.
const std::string& BarcodeOf(const BuffType& e) {
  const std::string* levels[] = {&e.Barcode, &e.Barcode1, &e.Barcode2, &e.Barcode3, &e.Barcode4, &e.Barcode5};
  if (e.PriceKind >= 0 && e.PriceKind <= 5 && !levels[e.PriceKind]->empty()) return *levels[e.PriceKind];
  return e.Barcode;
}

}  // namespace

void TPrintBillForm::PrintItem(const BuffType& e, const TReceiptHead& head) {
  const TReceiptSettings& settings = Settings;
  const TReceiptLocale& locale = Locale;
  const TConfig& config = PrinterConfig;
  const std::string& sub = SubDescriptionOf(e);

  const std::string* descriptions[] = {&e.Description1, &e.Description2, &e.Description3, &e.Description4};
  for (int i = 0; i < 4; ++i) {
    if (descriptions[i]->empty() || (i > 0 && e.IsMixMatchDiscountItem)) continue;
    std::string text = *descriptions[i];
    if (!e.IsMixMatchDiscountItem) {
      if (std::fabs(e.GSTRate) > 0.01 && !head.ExemptTax) text = "*" + text;
      if (e.Scalable && e.ManuallyEnterWeight) text = "#" + text;
      if (!e.IsRewardItem) text = "^" + text;
      if (!sub.empty()) text += " / " + sub;
    }
    const std::vector<std::string> pieces = CutIntoColumns(text, 40);
    for (size_t p = 0; p < pieces.size(); ++p) {
      PrintLine(PadRight(pieces[p], 40));
      if (settings.OnlyPrintOneLineDescriptionOnReceipt) break;
    }
  }

  const double amount = Money2(e.Qty * e.Price);
  const std::string price = MoneyText(e.Price, 2, 4, locale);
  const std::string total = MoneyText(amount, 2, 4, locale);
  if (!e.Scalable || e.IsMixMatchDiscountItem) {
    PrintLine(AlignRight(ShortNumberText(e.Qty, locale) + " X " + price + " = " + total, 40));
  } else {
    const std::string weight = NumberText(e.Qty, 3, 4, locale);
    const long tare = static_cast<long>(std::trunc(e.TareWeight));
    if (settings.PrintWeightTareMessage && !e.ManuallyEnterWeight && tare > 0) {
      PrintLine(PadRight("Preset Tare " + std::to_string(tare) + " Grams Removed", 40));
      PrintLine(AlignRight(weight + "kg NET X " + price + "/kg = " + total, 40));
    } else {
      PrintLine(AlignRight(weight + "kg X " + price + "/kg = " + total, 40));
    }
  }
  SetNormalFont();

  if (settings.PrintDiscountRateOnPOSInvoice && !e.IsMixMatchDiscountItem) {
    if (std::fabs(e.DiscountRate) < 1) {
      if (e.OriginalPrice - e.Price >= 0.01)
        PrintLine(AlignRight("Normal Price: " + MoneyText(e.OriginalPrice, 2, 4, locale), 40));
    } else {
      PrintLine(AlignRight("(" + ShortNumberText(e.DiscountRate, locale) + "% Discount)", 40));
    }
  }
  if (config.PrintItemBarcode || config.OnlyPrintNumberAsBarcode) {
    std::string code = BarcodeOf(e);
    if (code.empty() && config.PrintProductCodeAsBarcode) code = e.ProductCode;
    if (!code.empty()) {
      if (config.PrintItemBarcode)
        PrintBarcode(code, 0);
      else
        PrintLine(code);
      PrintLine(" ");
    }
  }
  if (config.PrintItemLocation) {
    PrintLine("Location: " + e.Location);
    PrintLine(" ");
  }
  SetNormalFont();
}

}  // namespace ooa
