// TReceiptLocale from the C library's locale data.
#include "print/receipt/ReceiptLocale.h"

#include <langinfo.h>
#include <locale.h>

#include <climits>
#include <strings.h>

#include "config/TextCodec.h"
#include "config/UtilUnit.h"

namespace ooa {

TReceiptLocale ReceiptLocaleOf(const std::string& localeName) {
  TReceiptLocale r;
  locale_t loc = newlocale(LC_MONETARY_MASK | LC_NUMERIC_MASK | LC_CTYPE_MASK, localeName.c_str(), nullptr);
  if (loc == nullptr) return r;
  const locale_t previous = uselocale(loc);
  const lconv* lc = localeconv();
  const std::string codeset = nl_langinfo_l(CODESET, loc);
  // The locale's strings are in its own code set; the receipt needs its code page.
  auto receiptText = [&](const char* s) {
    std::string text = s ? s : "";
    if (text.empty()) return text;
    try {
      if (strcasecmp(codeset.c_str(), "UTF-8") != 0) text = CodePageToUtf8(text, codeset);
      return Utf8ToAnsi(text);
    } catch (...) {
      return std::string("?");
    }
  };
  const std::string symbol = receiptText(lc->currency_symbol);
  if (!symbol.empty()) {
    r.CurrencySymbol = symbol;
    r.SymbolBefore = lc->p_cs_precedes != 0;  // CHAR_MAX (not given) counts as before
    r.SpaceAfterSymbol = lc->p_sep_by_space != 0 && lc->p_sep_by_space != CHAR_MAX;
    r.NegSymbolBefore = lc->n_cs_precedes != 0;
    r.NegSpace = lc->n_sep_by_space != 0 && lc->n_sep_by_space != CHAR_MAX;
    r.NegSignPosition = lc->n_sign_posn >= 0 && lc->n_sign_posn <= 4 ? lc->n_sign_posn : 1;
    const std::string neg = receiptText(lc->negative_sign);
    r.NegativeSign = neg.empty() ? "-" : neg;
    const std::string dec = receiptText(lc->mon_decimal_point);
    r.MoneyDecimal = dec.empty() ? "." : dec;
    r.MoneyThousands = receiptText(lc->mon_thousands_sep);
    r.Grouping = lc->mon_grouping ? lc->mon_grouping : "";
  }
  const std::string numDec = receiptText(lc->decimal_point);
  if (!numDec.empty()) r.NumberDecimal = numDec;
  uselocale(previous);
  freelocale(loc);
  return r;
}

}  // namespace ooa
