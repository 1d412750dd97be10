#include "tsql/Catalog.h"

#include <strings.h>

#include "db/session/DbSession.h"

namespace ooa::tsql {

int TTableInfo::Find(const std::string& column) const {
  for (size_t i = 0; i < Columns.size(); ++i)
    if (strcasecmp(Columns[i].Name.c_str(), column.c_str()) == 0) return static_cast<int>(i);
  return -1;
}

void TCatalog::Load(sqlite3* db) {
  Tables.clear();
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'", -1,
                         &st, nullptr) != SQLITE_OK)
    throw TDbError(sqlite3_errmsg(db));
  std::vector<std::string> names;
  while (sqlite3_step(st) == SQLITE_ROW) names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
  int rc = sqlite3_finalize(st);
  if (rc != SQLITE_OK) throw TDbError(sqlite3_errmsg(db));
  for (const std::string& name : names) {
    TTableInfo t;
    t.Name = name;
    std::string sql = "PRAGMA table_info(\"" + name + "\")";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) throw TDbError(sqlite3_errmsg(db));
    int pkCount = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
      TColumnInfo c;
      c.Name = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
      const unsigned char* decl = sqlite3_column_text(st, 2);
      std::string declared = decl ? reinterpret_cast<const char*>(decl) : "";
      c.Type = TypeFromDeclared(declared);
      c.NotNull = sqlite3_column_int(st, 3) != 0;
      int pk = sqlite3_column_int(st, 5);
      if (pk > 0) ++pkCount;
      c.Identity = pk == 1 && strcasecmp(declared.c_str(), "INTEGER") == 0;
      t.Columns.push_back(std::move(c));
    }
    sqlite3_finalize(st);
    if (pkCount != 1)
      for (auto& c : t.Columns) c.Identity = false;
    Put(std::move(t));
  }
}

const TTableInfo* TCatalog::Find(const std::string& table) const {
  auto it = Tables.find(AsciiLower(table));
  return it == Tables.end() ? nullptr : &it->second;
}

void TCatalog::Put(TTableInfo table) {
  std::string key = AsciiLower(table.Name);
  Tables[key] = std::move(table);
}

void TCatalog::Remove(const std::string& table) { Tables.erase(AsciiLower(table)); }

}  // namespace ooa::tsql
