// Installed printers: the queues of the print service (libcups), asked over a
// bounded connection of our own.
#include "print/PrinterList.h"

#include "print/CupsConnection.h"

namespace ooa {

std::vector<std::string> InstalledPrinters() {
  std::vector<std::string> names;
  TCupsConnection http = ConnectToPrintService();
  if (!http) return names;
  cups_dest_t* dests = nullptr;
  int count = cupsGetDests2(http.get(), &dests);
  for (int i = 0; i < count; ++i) {
    // Instances ("queue/instance") are option sets of one queue; list the queue once.
    if (dests[i].instance == nullptr && dests[i].name != nullptr) names.emplace_back(dests[i].name);
  }
  cupsFreeDests(count, dests);
  return names;
}

std::string DefaultPrinter() {
  TCupsConnection http = ConnectToPrintService();
  if (!http) return {};
  cups_dest_t* dest = cupsGetNamedDest(http.get(), nullptr, nullptr);
  if (dest == nullptr) return {};
  std::string name = dest->name ? dest->name : "";
  cupsFreeDests(1, dest);
  return name;
}

}  // namespace ooa
