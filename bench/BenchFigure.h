// One figure of a benchmark, printed as a line that scripts/bench.sh collects
// into its table; a benchmark run on its own shows these lines beside its own
// text. The line is tab-separated:
//
//   FIGURE <name> <value> <unit> <target> <ratio>
//
// target is free text ("-" when the figure has none); ratio is how many times
// the cost of the benchmark's floor (the same work done the plainest fast way)
// the measured work costs, "-" when the figure has no floor. Used from the
// benchmark's main thread only.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace ooa::bench {

inline void PrintFigure(const std::string& name, double value, int decimals, const std::string& unit,
                        const std::string& target = "-", std::optional<double> ratio = std::nullopt) {
  char ratioText[32] = "-";
  if (ratio) std::snprintf(ratioText, sizeof ratioText, "%.2f", *ratio);
  std::printf("FIGURE\t%s\t%.*f\t%s\t%s\t%s\n", name.c_str(), decimals, value, unit.c_str(),
              target.empty() ? "-" : target.c_str(), ratioText);
  std::fflush(stdout);
}

}  // namespace ooa::bench
