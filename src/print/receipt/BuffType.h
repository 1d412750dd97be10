// BuffType: one receipt item, as the receipt collects it from the invoice lines
// (PrintBillForm.h) and prints and totals it. Texts are 8-bit text in the
// receipt code page. A plain record; owned by the receipt's TPrintBillForm.
#pragma once

#include <string>

namespace ooa {

struct BuffType {
  double Qty = 0;  // kilograms for a weighed item; the sum of merged lines
  double Price = 0;
  double GSTRate = 0;       // percent
  double DiscountRate = 0;  // percent
  double OriginalPrice = 0;
  double TareWeight = 0;  // grams
  std::string ProductCode;
  std::string Description1, Description2, Description3, Description4;  // in printing order
  std::string SubDescription1, SubDescription2, SubDescription3, SubDescription4, SubDescription5,
      SubDescription6;
  std::string Barcode, Barcode1, Barcode2, Barcode3, Barcode4, Barcode5;
  std::string Location;
  int PriceKind = 0;  // price level of the sale, 0 to 5
  bool Scalable = false;
  bool NeedPrint = false;  // the entry holds an item
  bool ManuallyEnterWeight = false;
  bool IsMixMatchDiscountItem = false;
  bool IsRewardItem = true;
};

}  // namespace ooa
