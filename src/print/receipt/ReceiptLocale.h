// TReceiptLocale: how amounts and numbers look on a receipt - the monetary
// conventions (currency symbol and where it stands, the negative form, the
// thousands and decimal separators) and the decimal separator of plain
// numbers. The process-wide record is taken from the locale the service's
// environment names (LC_ALL, then LC_MONETARY / LC_NUMERIC, then LANG); a
// locale without monetary conventions (C, POSIX, or a name that is not
// installed) gives "$" before the amount, "-" for negatives, "." and ",".
// To choose another, start the service with, for example,
// LC_MONETARY=en_GB.UTF-8 (the locale must be installed). On Windows the
// conventions come from the system's regional settings: of the locale the
// environment names when it names one (en_GB.UTF-8 is looked up as en-GB),
// otherwise of the user's own settings.
//
// Threads: read by the order worker while it prints; tests replace it. The
// record is copied under a lock, so a receipt sees one consistent set.
#pragma once

#include <string>

namespace ooa {

struct TReceiptLocale {
  std::string CurrencySymbol = "$";  // 8-bit text in the receipt code page
  bool SymbolBefore = true;          // positive amounts
  bool SpaceAfterSymbol = false;     // a space between symbol and number (positive)
  bool NegSymbolBefore = true;
  bool NegSpace = false;
  // Where the negative sign stands, as the C library numbers it: 0 the amount
  // and symbol in parentheses, 1 sign before both, 2 sign after both,
  // 3 sign right before the symbol, 4 sign right after the symbol.
  int NegSignPosition = 1;
  std::string NegativeSign = "-";
  std::string MoneyDecimal = ".";
  std::string MoneyThousands = ",";
  // Group sizes from the right, the last one repeating (empty: no grouping).
  std::string Grouping = "\3";
  std::string NumberDecimal = ".";  // plain numbers ("%f", the short form)
};

// The conventions of the named locale ("" for the environment's). A locale
// that cannot be loaded or gives no currency symbol yields the defaults above.
TReceiptLocale ReceiptLocaleOf(const std::string& localeName);

// The process-wide record (from the environment on first use).
TReceiptLocale ReceiptLocale();
void SetReceiptLocale(const TReceiptLocale& locale);

}  // namespace ooa
