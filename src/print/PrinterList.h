// The printers a receipt can go to, as the settings dialog lists them: the
// destinations (queues) of the local print service, by name, in the print
// service's own order (on Windows: the spooler's local printers and
// connections to shared ones). Besides these names the
// receipt printer setting also accepts printer addresses (socket://host:port,
// a device path such as /dev/usb/lp0, file:PATH, pdf:PATH), which are not
// listed here. Any thread; each call asks the print service afresh, with
// bounded waits.
#pragma once

#include <string>
#include <vector>

namespace ooa {

// Names of the installed print queues; empty when the print service cannot be
// reached (never throws).
std::vector<std::string> InstalledPrinters();

// Name of the print service's default queue; empty when there is none.
std::string DefaultPrinter();

}  // namespace ooa
