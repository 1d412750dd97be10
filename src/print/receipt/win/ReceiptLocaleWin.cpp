// TReceiptLocale from the system's regional settings (GetLocaleInfoEx). A
// locale named as on Linux ("en_GB.UTF-8") is looked up by its language and
// region ("en-GB"); "" takes the environment's LC_ALL, LC_MONETARY or LANG
// when one is set, and otherwise the user's own settings.
#include "print/receipt/ReceiptLocale.h"

#include <windows.h>

#include <climits>
#include <cstdlib>

#include "config/UtilUnit.h"
#include "config/win/WideText.h"

namespace ooa {

namespace {

// "en_GB.UTF-8@euro" -> "en-GB"; nothing for the C locale.
std::string WindowsName(const std::string& name) {
  std::string base = name.substr(0, name.find_first_of(".@"));
  if (base.empty() || base == "C" || base == "POSIX") return {};
  for (char& c : base)
    if (c == '_') c = '-';
  return base;
}

// The locale the environment names, as the C library picks it for money.
std::string EnvironmentLocale() {
  for (const char* var : {"LC_ALL", "LC_MONETARY", "LANG"}) {
    if (const char* v = std::getenv(var); v && *v) return v;
  }
  return {};
}

struct TLocaleInfo {
  std::wstring Name;  // empty: the user's default
  std::string Text(LCTYPE type) const {
    wchar_t buf[128];
    const int n = GetLocaleInfoEx(Name.empty() ? LOCALE_NAME_USER_DEFAULT : Name.c_str(), type, buf,
                                  static_cast<int>(std::size(buf)));
    return n > 0 ? Narrow(std::wstring_view(buf, static_cast<size_t>(n - 1))) : std::string();
  }
  int Number(LCTYPE type, int def) const {
    DWORD value = 0;
    const int n = GetLocaleInfoEx(Name.empty() ? LOCALE_NAME_USER_DEFAULT : Name.c_str(), type | LOCALE_RETURN_NUMBER,
                                  reinterpret_cast<wchar_t*>(&value), sizeof value / sizeof(wchar_t));
    return n > 0 ? static_cast<int>(value) : def;
  }
};

// "3;2;0" (the last size repeats) -> "\3\2"; "3" (no further groups) -> "\3\x7f".
std::string Grouping(const std::string& text) {
  std::string out;
  int n = 0;
  bool digits = false;
  for (char c : text + ";") {
    if (c >= '0' && c <= '9') {
      n = n * 10 + (c - '0');
      digits = true;
    } else if (c == ';' && digits) {
      out.push_back(static_cast<char>(n > 0 && n < CHAR_MAX ? n : 0));
      n = 0;
      digits = false;
    }
  }
  if (!out.empty() && out.back() == 0) {
    out.pop_back();
  } else if (!out.empty()) {
    out.push_back(static_cast<char>(CHAR_MAX));
  }
  return out;
}

// The system's negative currency forms 0..15, as symbol before, space, and
// the C library's sign position (0 parentheses, 1 before both, 2 after both,
// 3 right before the symbol, 4 right after it).
struct TNegativeForm {
  bool SymbolBefore, Space;
  int Sign;
};
constexpr TNegativeForm kNegativeForms[16] = {
    {true, false, 0},  {true, false, 1},  {true, false, 4}, {true, false, 2}, {false, false, 0}, {false, false, 1},
    {false, false, 3}, {false, false, 2}, {false, true, 1}, {true, true, 1},  {false, true, 2},  {true, true, 2},
    {true, true, 4},   {false, true, 3},  {true, true, 0},  {false, true, 0},
};

}  // namespace

TReceiptLocale ReceiptLocaleOf(const std::string& localeName) {
  TReceiptLocale r;
  const std::string name = localeName.empty() ? EnvironmentLocale() : localeName;
  TLocaleInfo info;
  if (!name.empty()) {
    const std::string windowsName = WindowsName(name);
    if (windowsName.empty()) return r;
    info.Name = Widen(windowsName);
    if (!IsValidLocaleName(info.Name.c_str())) return r;
  }
  // The locale's text is Unicode; the receipt needs its code page.
  auto receiptText = [](const std::string& text) {
    if (text.empty()) return text;
    try {
      return Utf8ToAnsi(text);
    } catch (...) {
      return std::string("?");
    }
  };
  const std::string symbol = receiptText(info.Text(LOCALE_SCURRENCY));
  if (!symbol.empty()) {
    r.CurrencySymbol = symbol;
    const int positive = info.Number(LOCALE_ICURRENCY, 0);
    r.SymbolBefore = positive == 0 || positive == 2;
    r.SpaceAfterSymbol = positive == 2 || positive == 3;
    const int negative = info.Number(LOCALE_INEGCURR, 1);
    const TNegativeForm form = kNegativeForms[negative >= 0 && negative < 16 ? negative : 1];
    r.NegSymbolBefore = form.SymbolBefore;
    r.NegSpace = form.Space;
    r.NegSignPosition = form.Sign;
    const std::string neg = receiptText(info.Text(LOCALE_SNEGATIVESIGN));
    r.NegativeSign = neg.empty() ? "-" : neg;
    const std::string dec = receiptText(info.Text(LOCALE_SMONDECIMALSEP));
    r.MoneyDecimal = dec.empty() ? "." : dec;
    r.MoneyThousands = receiptText(info.Text(LOCALE_SMONTHOUSANDSEP));
    r.Grouping = Grouping(info.Text(LOCALE_SMONGROUPING));
  }
  const std::string numDec = receiptText(info.Text(LOCALE_SDECIMAL));
  if (!numDec.empty()) r.NumberDecimal = numDec;
  return r;
}

}  // namespace ooa
