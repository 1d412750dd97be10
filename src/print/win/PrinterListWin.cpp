// Installed printers: the printers of the Windows spooler (local ones and
// connections to shared printers), and what their driver says about them.
#include <windows.h>
#include <winspool.h>

#include <vector>

#include "print/PrinterList.h"
#include "print/PrinterPlatform.h"
#include "config/win/WideText.h"

namespace ooa {

std::vector<std::string> InstalledPrinters() {
  std::vector<std::string> names;
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  DWORD needed = 0, count = 0;
  EnumPrintersW(flags, nullptr, 4, nullptr, 0, &needed, &count);
  if (needed == 0) return names;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrintersW(flags, nullptr, 4, buffer.data(), needed, &needed, &count)) return names;
  const auto* info = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i)
    if (info[i].pPrinterName != nullptr) names.push_back(Narrow(info[i].pPrinterName));
  return names;
}

std::string DefaultPrinter() {
  DWORD size = 0;
  GetDefaultPrinterW(nullptr, &size);
  if (size == 0) return {};
  std::wstring name(size, L'\0');
  if (!GetDefaultPrinterW(name.data(), &size)) return {};
  return Narrow(name.c_str());
}

bool QueueIsTextOnly(const std::string& queue) {
  std::wstring name = Widen(queue);
  HANDLE printer = nullptr;
  if (!OpenPrinterW(name.data(), &printer, nullptr)) return false;
  // Asked once with a small buffer to learn the size, then with that size.
  std::vector<BYTE> buffer(1000);
  DWORD needed = 0;
  bool ok = GetPrinterW(printer, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed) != 0;
  if (!ok && needed > buffer.size()) {
    buffer.resize(needed);
    ok = GetPrinterW(printer, 2, buffer.data(), needed, &needed) != 0;
  }
  bool textOnly = false;
  if (ok) {
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    textOnly = info->pDriverName != nullptr && std::wstring(info->pDriverName) == L"Generic / Text Only";
  }
  ClosePrinter(printer);
  return textOnly;
}

}  // namespace ooa
