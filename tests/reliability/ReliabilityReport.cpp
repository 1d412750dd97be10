#include "ReliabilityReport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

namespace ooa::test {

void TReliabilityReport::Touch(const std::string& section) {
  if (std::find(Sections.begin(), Sections.end(), section) == Sections.end()) Sections.push_back(section);
}

void TReliabilityReport::Add(const std::string& section, const std::string& figure, int64_t amount) {
  Touch(section);
  auto& list = Figures[section];
  for (auto& [name, value] : list)
    if (name == figure) {
      value += amount;
      return;
    }
  list.emplace_back(figure, amount);
}

void TReliabilityReport::Check(const std::string& section, const std::string& name, const std::string& outcome) {
  Touch(section);
  Checks[section].emplace_back(name, outcome);
}

std::string TReliabilityReport::Text() const {
  std::ostringstream out;
  out << "==== reliability figures (scale " << ReliabilityScale() << ") ====\n";
  int passed = 0, failed = 0, skipped = 0;
  for (const std::string& section : Sections) {
    out << "[" << section << "]\n";
    if (auto f = Figures.find(section); f != Figures.end())
      for (const auto& [name, value] : f->second) out << "  " << name << ": " << value << "\n";
    if (auto c = Checks.find(section); c != Checks.end())
      for (const auto& [name, outcome] : c->second) {
        out << "  check " << name << ": " << outcome << "\n";
        if (outcome == "passed")
          ++passed;
        else if (outcome.rfind("skipped", 0) == 0)
          ++skipped;
        else
          ++failed;
      }
  }
  out << "end-state checks: " << passed << " passed, " << failed << " failed, " << skipped << " skipped\n";
  out << "====\n";
  return out.str();
}

TReliabilityReport& Report() {
  static TReliabilityReport report;
  return report;
}

double ReliabilityScale() {
  const char* text = std::getenv("OOA_RELIABILITY_SCALE");
  if (!text || !*text) return 1;
  double value = std::atof(text);
  return value >= 0.01 && value <= 1 ? value : 1;
}

int Scaled(int n, int least) { return std::max(least, static_cast<int>(std::lround(n * ReliabilityScale()))); }

namespace {

// Prints and stores the report once every test has run.
class TReportPrinter : public ::testing::Environment {
 public:
  void TearDown() override {
    const std::string text = Report().Text();
    std::cout << text << std::flush;
    std::ofstream(std::string(OOA_BINARY_DIR) + "/reliability-report.txt", std::ios::trunc) << text;
  }
};

[[maybe_unused]] ::testing::Environment* const kPrinter = ::testing::AddGlobalTestEnvironment(new TReportPrinter);

}  // namespace

}  // namespace ooa::test
