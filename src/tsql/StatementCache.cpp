#include "tsql/StatementCache.h"

#include <atomic>

#include "db/session/DbSession.h"

namespace ooa::tsql {

sqlite3_stmt* TStatementCache::Get(const std::string& sql) {
  auto it = Entries.find(sql);
  if (it != Entries.end()) return it->second;
  if (Entries.size() >= kMaxEntries) Clear();
  sqlite3_stmt* st = nullptr;
  int rc = sqlite3_prepare_v3(Db, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &st, nullptr);
  if (rc != SQLITE_OK) {
    std::string msg = sqlite3_errmsg(Db);
    sqlite3_finalize(st);
    throw TDbError(msg);
  }
  Entries.emplace(sql, st);
  return st;
}

sqlite3_stmt* TStatementCache::Get(const TSqlStep& step) {
  if (step.PreparedIn == Generation) return step.Prepared;
  sqlite3_stmt* st = Get(step.Sql);
  step.Prepared = st;
  step.PreparedIn = Generation;
  return st;
}

void TStatementCache::Clear() {
  for (auto& [sql, st] : Entries) sqlite3_finalize(st);
  Entries.clear();
  Generation = NextGeneration();
}

uint64_t TStatementCache::NextGeneration() {
  static std::atomic<uint64_t> next{0};
  return ++next;
}

}  // namespace ooa::tsql
