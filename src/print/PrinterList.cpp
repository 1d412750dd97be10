// Installed printers through libcups.
#include "print/PrinterList.h"

#include <cups/cups.h>

namespace ooa {

std::vector<std::string> InstalledPrinters() {
  std::vector<std::string> names;
  cups_dest_t* dests = nullptr;
  int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  for (int i = 0; i < count; ++i) {
    // Instances ("queue/instance") are option sets of one queue; list the queue once.
    if (dests[i].instance == nullptr && dests[i].name != nullptr) names.emplace_back(dests[i].name);
  }
  cupsFreeDests(count, dests);
  return names;
}

std::string DefaultPrinter() {
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
  if (dest == nullptr) return {};
  std::string name = dest->name ? dest->name : "";
  cupsFreeDests(1, dest);
  return name;
}

}  // namespace ooa
