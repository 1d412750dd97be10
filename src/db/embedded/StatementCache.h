// TStatementCache: prepared SQLite statements of one connection, kept by their
// text. The compiler writes every literal of a batch as a parameter, so the
// same statement shape (an invoice line, a stock update) reuses one prepared
// statement across batches. Owned by the session; one thread.
#pragma once

#include <string>
#include <unordered_map>

#include <sqlite3.h>

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
  void Clear();

 private:
  static constexpr size_t kMaxEntries = 400;
  sqlite3* Db = nullptr;
  std::unordered_map<std::string, sqlite3_stmt*> Entries;
};

}  // namespace ooa::tsql
