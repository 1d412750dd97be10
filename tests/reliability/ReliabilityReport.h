// The figures of one reliability run: passes, faults injected by kind, orders,
// refunds, cancellations, kills and the end-state checks with their outcome.
// Every test adds to the one process-wide report; when the test program ends it
// is printed on standard output and written to reliability-report.txt in the
// build folder. Test thread only.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace ooa::test {

class TReliabilityReport {
 public:
  // Adds to a named figure of a section ("shop faults", "passes run", 12).
  void Add(const std::string& section, const std::string& figure, int64_t amount);
  // Records one end-state check: "passed", "FAILED" or "skipped: why".
  void Check(const std::string& section, const std::string& name, const std::string& outcome);
  std::string Text() const;

 private:
  std::vector<std::string> Sections;  // in the order they first appear
  std::map<std::string, std::vector<std::pair<std::string, int64_t>>> Figures;
  std::map<std::string, std::vector<std::pair<std::string, std::string>>> Checks;
  void Touch(const std::string& section);
};

TReliabilityReport& Report();

// Scale for the counts of the suite: OOA_RELIABILITY_SCALE (0.01 to 1), else 1.
double ReliabilityScale();
// n scaled, at least `least`.
int Scaled(int n, int least);

}  // namespace ooa::test
