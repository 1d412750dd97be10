#include <mutex>

#include "print/PrinterOutput.h"
#include "print/PrinterPlatform.h"

namespace ooa {

namespace {
std::mutex TimingsMutex;
TPrinterTimings Timings;

bool StartsWith(const std::string& text, std::string_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}
}  // namespace

TPrinterTimings PrinterTimings() {
  std::lock_guard lock(TimingsMutex);
  return Timings;
}

void SetPrinterTimings(const TPrinterTimings& timings) {
  std::lock_guard lock(TimingsMutex);
  Timings = timings;
}

TPrinterAddress ParsePrinterAddress(const std::string& name) {
  TPrinterAddress a;
  if (StartsWith(name, "socket://")) {
    a.Kind = TPrinterAddress::TKind::Socket;
    std::string rest = name.substr(9);
    if (auto slash = rest.find('/'); slash != std::string::npos) rest.resize(slash);
    // [v6addr]:port, host:port or host
    std::string host = rest, port;
    if (!rest.empty() && rest[0] == '[') {
      auto close = rest.find(']');
      if (close == std::string::npos) throw TPrintError("Bad printer address: " + name);
      host = rest.substr(1, close - 1);
      if (close + 1 < rest.size() && rest[close + 1] == ':') port = rest.substr(close + 2);
    } else if (auto colon = rest.rfind(':'); colon != std::string::npos) {
      host = rest.substr(0, colon);
      port = rest.substr(colon + 1);
    }
    if (host.empty()) throw TPrintError("Bad printer address: " + name);
    a.Target = host;
    if (!port.empty()) {
      if (port.find_first_not_of("0123456789") != std::string::npos || port.size() > 5)
        throw TPrintError("Bad printer port: " + name);
      a.Port = std::stoi(port);
      if (a.Port < 1 || a.Port > 65535) throw TPrintError("Bad printer port: " + name);
    }
  } else if (StartsWith(name, "file:")) {
    a.Kind = TPrinterAddress::TKind::File;
    a.Target = name.substr(5);
    if (StartsWith(a.Target, "//")) a.Target = a.Target.substr(2);  // file:///path
    if (a.Target.empty()) throw TPrintError("Bad printer address: " + name);
  } else if (StartsWith(name, "pdf:")) {
    a.Kind = TPrinterAddress::TKind::Pdf;
    a.Target = name.substr(4);
    if (a.Target.empty()) throw TPrintError("Bad printer address: " + name);
  } else if (IsPrinterDeviceName(name)) {
    a.Kind = TPrinterAddress::TKind::Device;
    a.Target = name;
  } else {
    a.Target = name;
  }
  return a;
}

bool IsRawPrinterAddress(const std::string& name) {
  return StartsWith(name, "socket://") || StartsWith(name, "file:") || IsPrinterDeviceName(name);
}

bool IsPrinterAddress(const std::string& name) { return IsRawPrinterAddress(name) || StartsWith(name, "pdf:"); }

std::unique_ptr<IPrinterOutput> OpenRawOutput(const TPrinterAddress& address, const std::string& documentName) {
  switch (address.Kind) {
    case TPrinterAddress::TKind::Socket:
      return OpenSocketOutput(address.Target, address.Port);
    case TPrinterAddress::TKind::Device:
      return OpenFileOutput(address.Target, true);
    case TPrinterAddress::TKind::File:
      return OpenFileOutput(address.Target, false);
    case TPrinterAddress::TKind::Queue:
      return OpenQueueRawOutput(address.Target, documentName);
    case TPrinterAddress::TKind::Pdf:
      break;
  }
  throw TPrintError("A PDF file cannot take raw printer output: " + address.Target);
}

}  // namespace ooa
