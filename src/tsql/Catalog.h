// TCatalog: the tables and columns of the embedded POS database with their
// T-SQL types, read from SQLite's schema. The compiler resolves every name in a
// batch against it before anything runs. Owned by the session; one thread.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <sqlite3.h>

#include "tsql/SqlType.h"

namespace ooa::tsql {

struct TColumnInfo {
  std::string Name;
  TSqlType Type;
  bool NotNull = false;
  bool Identity = false;
};

struct TTableInfo {
  std::string Name;
  std::vector<TColumnInfo> Columns;
  // Index of a column by name without regard to case; -1 if none.
  int Find(const std::string& column) const;
};

class TCatalog {
 public:
  // Reads every table; throws TDbError when SQLite fails.
  void Load(sqlite3* db);
  const TTableInfo* Find(const std::string& table) const;
  void Put(TTableInfo table);
  void Remove(const std::string& table);

 private:
  std::map<std::string, TTableInfo> Tables;  // by lower-case name
};

}  // namespace ooa::tsql
