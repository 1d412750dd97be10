// A connection of our own to the print service (libcups), with every wait
// bounded by PrinterTimings(): connecting, and each answer (an answer that
// does not come in time ends the request with an error). Internal to
// src/print; each user owns its connection, so no thread shares one.
#pragma once

#include <cups/cups.h>

#include <memory>

namespace ooa {

struct TCupsConnectionClose {
  void operator()(http_t* http) const { httpClose(http); }
};
using TCupsConnection = std::unique_ptr<http_t, TCupsConnectionClose>;

// Null when the print service cannot be reached in time.
TCupsConnection ConnectToPrintService();

}  // namespace ooa
