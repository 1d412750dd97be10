// The process-wide receipt locale; ReceiptLocaleOf is the platform's
// (posix/ReceiptLocalePosix.cpp, win/ReceiptLocaleWin.cpp).
#include "print/receipt/ReceiptLocale.h"

#include <mutex>
#include <optional>

namespace ooa {

namespace {

std::mutex gMutex;
std::optional<TReceiptLocale> gLocale;

}  // namespace

TReceiptLocale ReceiptLocale() {
  std::lock_guard lock(gMutex);
  if (!gLocale) gLocale = ReceiptLocaleOf("");
  return *gLocale;
}

void SetReceiptLocale(const TReceiptLocale& locale) {
  std::lock_guard lock(gMutex);
  gLocale = locale;
}

}  // namespace ooa
