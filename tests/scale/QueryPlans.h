// What SQLite's planner makes of the batches a test recorded: each batch is
// compiled by the embedded engine against the database's tables, as the
// session compiles it, and SQLite explains the plan of each statement the
// engine would run. Test thread only.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace ooa::test {

struct TTableScan {
  std::string Table;   // the stored table read in full
  std::string Detail;  // SQLite's plan line
  std::string Sql;     // the statement SQLite was given
  std::string Batch;   // the T-SQL batch it came from
};

// Every statement of the batches that reads one of the tables in full: a
// table scan, a scan of one of its indexes, or an automatic index built
// over it. file is the embedded database; tables are compared without
// regard to case.
std::vector<TTableScan> FullScans(const std::string& file, const std::vector<std::string>& batches,
                                  const std::set<std::string>& tables);

}  // namespace ooa::test
