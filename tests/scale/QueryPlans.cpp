#include "scale/QueryPlans.h"

#include <sqlite3.h>
#include <strings.h>

#include <map>
#include <stdexcept>

#include "tsql/Catalog.h"
#include "tsql/Compiler.h"
#include "tsql/Functions.h"
#include "tsql/Parser.h"

namespace ooa::test {

namespace {

using namespace tsql;

struct TLess {
  bool operator()(const std::string& a, const std::string& b) const { return strcasecmp(a.c_str(), b.c_str()) < 0; }
};
using TNames = std::multimap<std::string, std::string, TLess>;  // name in a plan -> stored table

// The stored tables of a compiled batch under the names SQLite's plans give
// them: their own and their aliases.
struct TTableNames {
  TNames Names;

  void Source(const TTableSource& s) {
    if (s.Derived) Select(s.Derived.get());
    if (s.Name.empty()) return;
    Names.emplace(s.Name, s.Name);
    if (!s.Alias.empty()) Names.emplace(s.Alias, s.Name);
  }
  void Expr(const TExpr* e) {
    if (!e) return;
    for (const auto& a : e->Args) Expr(a.get());
    Select(e->Sub.get());
  }
  void Select(const TSelect* q) {
    if (!q) return;
    for (const auto& f : q->From) {
      Source(f.First);
      for (const auto& j : f.Joins) {
        Source(j.Source);
        Expr(j.On.get());
      }
    }
    for (const auto& i : q->Items) Expr(i.Expr.get());
    Expr(q->Where.get());
    Expr(q->Having.get());
  }
  void Stmt(const TStmt* s) {
    if (!s) return;
    if (!s->Table.empty()) Names.emplace(s->Table, s->Table);
    Select(s->Query.get());
    for (const auto& row : s->Rows)
      for (const auto& v : row) Expr(v.get());
    for (const auto& set : s->Sets) Expr(set.Expr.get());
    Expr(s->Where.get());
    Expr(s->Cond.get());
    for (const auto& d : s->Declares) Expr(d.Init.get());
    Stmt(s->Then.get());
    Stmt(s->Else.get());
    for (const auto& b : s->Body) Stmt(b.get());
  }
};

// The name a plan line reads in full, or "".
std::string ScannedName(const std::string& detail) {
  auto word = [&](size_t from) {
    size_t end = detail.find(' ', from);
    return detail.substr(from, end == std::string::npos ? std::string::npos : end - from);
  };
  if (detail.rfind("SCAN ", 0) == 0) return word(5);
  if (detail.rfind("SEARCH ", 0) == 0 && detail.find(" AUTOMATIC ") != std::string::npos) return word(7);
  return "";
}

}  // namespace

std::vector<TTableScan> FullScans(const std::string& file, const std::vector<std::string>& batches,
                                  const std::set<std::string>& tables) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    throw std::runtime_error("cannot open " + file);
  }
  RegisterFunctions(db);
  TCatalog catalog;
  catalog.Load(db);
  std::set<std::string, TLess> wanted(tables.begin(), tables.end());
  std::vector<TTableScan> scans;
  for (const std::string& batch : batches) {
    TProgram program = CompileBatch(ParseBatch(batch), catalog);
    TTableNames names;
    for (const auto& s : program.Ast.Statements) names.Stmt(s.get());
    for (const TInstr& in : program.Code) {
      if (!in.Sql) continue;
      const std::string explain = "EXPLAIN QUERY PLAN " + in.Sql->Sql;
      sqlite3_stmt* st = nullptr;
      if (sqlite3_prepare_v2(db, explain.c_str(), -1, &st, nullptr) != SQLITE_OK) {
        std::string msg = sqlite3_errmsg(db);
        sqlite3_finalize(st);
        sqlite3_close(db);
        throw std::runtime_error(msg + ": " + in.Sql->Sql);
      }
      while (sqlite3_step(st) == SQLITE_ROW) {
        const char* text = reinterpret_cast<const char*>(sqlite3_column_text(st, 3));
        const std::string detail = text ? text : "";
        const std::string name = ScannedName(detail);
        if (name.empty()) continue;
        auto [from, to] = names.Names.equal_range(name);
        for (auto it = from; it != to; ++it)
          if (wanted.count(it->second)) {
            scans.push_back({it->second, detail, in.Sql->Sql, batch});
            break;
          }
      }
      sqlite3_finalize(st);
    }
  }
  sqlite3_close(db);
  return scans;
}

}  // namespace ooa::test
