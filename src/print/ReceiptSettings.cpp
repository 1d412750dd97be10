#include "print/ReceiptSettings.h"

#include <mutex>

namespace ooa {

namespace {
std::mutex SettingsMutex;
TReceiptSettings Settings;
}  // namespace

TReceiptSettings ReceiptSettings() {
  std::lock_guard lock(SettingsMutex);
  return Settings;
}

void SetReceiptSettings(const TReceiptSettings& settings) {
  std::lock_guard lock(SettingsMutex);
  Settings = settings;
}

}  // namespace ooa
