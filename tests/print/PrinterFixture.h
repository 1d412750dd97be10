// Shared set-up of the receipt printer tests: the process-wide settings and
// printer state are put back after each test, and waits are kept short.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "config/Config.h"
#include "print/PrinterControlUnit.h"
#include "print/PrinterOutput.h"

namespace ooa::test {

class TPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SavedConfig = ConfigSnapshot();
    SavedTimings = PrinterTimings();
    TPrinterTimings t;
    t.DocumentWaitTries = 3;
    t.DocumentWaitMs = 10;
    t.ConnectTimeoutMs = 2000;
    t.IoTimeoutMs = 3000;
    SetPrinterTimings(t);
  }
  void TearDown() override {
    if (ReceiptDocumentOpen()) {
      try {
        CloseReceiptPrinter();
      } catch (...) {
      }
    }
    SetConfig(SavedConfig);
    SetPrinterTimings(SavedTimings);
  }
  static void UsePrinter(const std::string& name, bool graphicMode = false) {
    TConfig c = ConfigSnapshot();
    c.PrinterName = name;
    c.GraphicMode = graphicMode;
    SetConfig(c);
  }

  TConfig SavedConfig;
  TPrinterTimings SavedTimings;
};

// Bytes written as hex pairs ("1B 40") for readable expectations.
inline std::string Hex(const std::string& pairs) {
  std::string out;
  for (size_t i = 0; i < pairs.size(); ++i) {
    if (pairs[i] == ' ') continue;
    out += static_cast<char>(std::stoi(pairs.substr(i, 2), nullptr, 16));
    ++i;
  }
  return out;
}

}  // namespace ooa::test
