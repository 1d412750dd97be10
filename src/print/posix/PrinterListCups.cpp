// Installed printers: the queues of the print service (libcups), asked over a
// bounded connection of our own.
#include <algorithm>
#include <cctype>

#include "print/PrinterList.h"
#include "print/PrinterPlatform.h"
#include "print/posix/CupsConnection.h"

namespace ooa {

namespace {
std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}
}  // namespace

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

bool QueueIsTextOnly(const std::string& queue) {
  TCupsConnection http = ConnectToPrintService();
  if (!http) return false;
  bool textOnly = false;
  if (cups_dest_t* dest = cupsGetNamedDest(http.get(), queue.c_str(), nullptr)) {
    // A raw queue has no driver ("Local Raw Printer"); the generic text-only
    // driver calls itself "Generic text-only printer".
    const char* model = cupsGetOption("printer-make-and-model", dest->num_options, dest->options);
    const std::string m = Lower(model ? model : "");
    textOnly = m == "local raw printer" || m.find("text-only") != std::string::npos ||
               m.find("text only") != std::string::npos;
    cupsFreeDests(1, dest);
  }
  return textOnly;
}

}  // namespace ooa
