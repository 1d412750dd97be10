// TStatementCache: prepared SQLite statements of one connection, kept by their
// text. The compiler writes every literal of a batch as a parameter, so the
// same statement shape (an invoice line, a stock update) reuses one prepared
// statement across batches. Owned by the session; one thread.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include <sqlite3.h>

#include "tsql/Program.h"

namespace ooa::tsql {

class TStatementCache {
 public:
  TStatementCache() = default;
  TStatementCache(const TStatementCache&) = delete;
  TStatementCache& operator=(const TStatementCache&) = delete;
  ~TStatementCache() { Clear(); }

  void Attach(sqlite3* db) { Db = db; }
  // The prepared statement for the text; throws TDbError when SQLite refuses it.
  sqlite3_stmt* Get(const std::string& sql);
  // The same for a step of a program, which keeps it for the next time
  // while this cache keeps it.
  sqlite3_stmt* Get(const TSqlStep& step);
  void Clear();

 private:
  static constexpr size_t kMaxEntries = 400;
  sqlite3* Db = nullptr;
  std::unordered_map<std::string, sqlite3_stmt*> Entries;
  // Changes whenever the statements go; unique across every cache of the
  // process, so that a step prepared by another cache never passes.
  uint64_t Generation = NextGeneration();
  static uint64_t NextGeneration();
};

}  // namespace ooa::tsql
