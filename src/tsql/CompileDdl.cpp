#include <strings.h>

#include "db/session/DbSession.h"
#include "tsql/Compiler.h"

namespace ooa::tsql {

void TCompiler::EmitDdl(std::string sql, int line) {
  auto step = std::make_unique<TSqlStep>();
  step->Sql = std::move(sql);
  int i = Emit(TOp::Ddl, line);
  Prog.Code[static_cast<size_t>(i)].Sql = std::move(step);
  Prog.HasDdl = true;
}

std::string TCompiler::ColumnSql(const TColumnDef& c, bool identityKey) {
  TSqlWriter w;
  w.Inline = true;
  w.Name(c.Name);
  if (c.Identity && identityKey) {
    w.Text(" INTEGER PRIMARY KEY AUTOINCREMENT");
    return w.Sql;
  }
  w.Text(" " + c.Type.Name);
  if (c.Type.IsText()) w.Text(" COLLATE TSQL");
  if (c.NotNull || c.PrimaryKey) w.Text(" NOT NULL");
  if (c.Default) {
    TExpr& d = *c.Default;
    Resolve(d, nullptr);
    if (!d.Simple) throw TDbError("The default of column '" + c.Name + "' must be a constant or a function of none.");
    w.Text(" DEFAULT ");
    if (d.Kind == TExprKind::Literal) {
      if (d.Value.IsNull()) {
        w.Text("NULL");
      } else {
        TValue v = d.IsDate && c.Type.IsText() ? TValue::MakeText(d.OriginalText) : d.Value;
        try {
          w.Literal(ConvertTo(v, c.Type, TConvertMode::Store, c.Name.c_str()));
        } catch (const TRuntimeError& e) {
          throw TDbError("The default of column '" + c.Name + "': " + e.Message);
        }
      }
    } else {
      w.Text("(");
      EmitExpr(d, w);
      w.Text(")");
    }
  }
  if (c.PrimaryKey) w.Text(" PRIMARY KEY");
  if (c.Unique) w.Text(" UNIQUE");
  return w.Sql;
}

void TCompiler::CreateTableStmt(TStmt& s) {
  if (Catalog.Find(s.Table)) throw TDbError("There is already an object named '" + s.Table + "' in the database.");
  TTableInfo info;
  info.Name = s.Table;
  int pkColumns = 0;
  for (size_t i = 0; i < s.ColumnDefs.size(); ++i) {
    const TColumnDef& c = s.ColumnDefs[i];
    for (size_t k = 0; k < i; ++k)
      if (strcasecmp(s.ColumnDefs[k].Name.c_str(), c.Name.c_str()) == 0)
        throw TDbError("Column names in each table must be unique. Column name '" + c.Name + "' in table '" +
                       s.Table + "' is specified more than once.");
    if (c.PrimaryKey) ++pkColumns;
  }
  auto findDef = [&](const std::string& n) -> const TColumnDef* {
    for (const auto& c : s.ColumnDefs)
      if (strcasecmp(c.Name.c_str(), n.c_str()) == 0) return &c;
    return nullptr;
  };
  if (pkColumns > 1 || (pkColumns == 1 && !s.PrimaryKey.empty()))
    throw TDbError("Cannot add multiple PRIMARY KEY constraints to table '" + s.Table + "'.");
  for (const auto& n : s.PrimaryKey)
    if (!findDef(n)) throw TDbError("Column name '" + n + "' does not exist in the target table '" + s.Table + "'.");
  for (const auto& key : s.UniqueKeys)
    for (const auto& n : key)
      if (!findDef(n)) throw TDbError("Column name '" + n + "' does not exist in the target table '" + s.Table + "'.");

  TSqlWriter w;
  w.Text("CREATE TABLE ");
  w.Name(s.Table);
  w.Text(" (");
  int identities = 0;
  for (size_t i = 0; i < s.ColumnDefs.size(); ++i) {
    const TColumnDef& c = s.ColumnDefs[i];
    bool identityKey = false;
    if (c.Identity) {
      ++identities;
      bool keyIsThis = c.PrimaryKey || (s.PrimaryKey.size() == 1 && strcasecmp(s.PrimaryKey[0].c_str(), c.Name.c_str()) == 0);
      bool noOtherKey = pkColumns == 0 && s.PrimaryKey.empty();
      if (!keyIsThis && !noOtherKey)
        throw TDbError("The identity column '" + c.Name + "' must be the primary key of '" + s.Table + "'.");
      identityKey = true;
    }
    if (i) w.Text(", ");
    bool inTableKey = false;
    for (const auto& n : s.PrimaryKey)
      if (strcasecmp(c.Name.c_str(), n.c_str()) == 0) inTableKey = true;
    if (inTableKey && !c.NotNull) {
      // Key columns never take NULL.
      s.ColumnDefs[i].NotNull = true;
    }
    w.Text(ColumnSql(c, identityKey));
    TColumnInfo ci;
    ci.Name = c.Name;
    ci.Type = c.Type;
    ci.NotNull = c.NotNull || c.PrimaryKey;
    ci.Identity = c.Identity;
    info.Columns.push_back(std::move(ci));
  }
  if (identities > 1) throw TDbError("Multiple identity columns specified for table '" + s.Table + "'.");
  bool identityIsKey = identities == 1 && s.PrimaryKey.size() == 1 && findDef(s.PrimaryKey[0])->Identity;
  if (!s.PrimaryKey.empty() && !identityIsKey) {
    w.Text(", PRIMARY KEY (");
    for (size_t k = 0; k < s.PrimaryKey.size(); ++k) {
      if (k) w.Text(", ");
      w.Name(findDef(s.PrimaryKey[k])->Name);
    }
    w.Text(")");
    for (auto& c : info.Columns)
      for (const auto& n : s.PrimaryKey)
        if (strcasecmp(c.Name.c_str(), n.c_str()) == 0) c.NotNull = true;
  }
  for (const auto& key : s.UniqueKeys) {
    w.Text(", UNIQUE (");
    for (size_t k = 0; k < key.size(); ++k) {
      if (k) w.Text(", ");
      w.Name(findDef(key[k])->Name);
    }
    w.Text(")");
  }
  w.Text(")");
  std::string sql = w.Sql;
  Catalog.Put(std::move(info));
  EmitDdl(std::move(sql), s.Line);
}

void TCompiler::CreateIndexStmt(TStmt& s) {
  const TTableInfo& t = TableOf(s.Table);
  TSqlWriter w;
  w.Text(s.Unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ");
  w.Name(s.Name);
  w.Text(" ON ");
  w.Name(t.Name);
  w.Text(" (");
  for (size_t k = 0; k < s.Columns.size(); ++k) {
    int c = t.Find(s.Columns[k]);
    if (c < 0) throw TDbError("Column name '" + s.Columns[k] + "' does not exist in the target table '" + t.Name + "'.");
    if (k) w.Text(", ");
    w.Name(t.Columns[static_cast<size_t>(c)].Name);
  }
  w.Text(")");
  EmitDdl(std::move(w.Sql), s.Line);
}

void TCompiler::DropStmt(TStmt& s) {
  TSqlWriter w;
  if (s.Kind == TStmtKind::DropTable) {
    if (!Catalog.Find(s.Table))
      throw TDbError("Cannot drop the table '" + s.Table + "', because it does not exist or you do not have permission.");
    Catalog.Remove(s.Table);
    w.Text("DROP TABLE ");
    w.Name(s.Table);
  } else {
    w.Text("DROP INDEX ");
    w.Name(s.Name);
  }
  EmitDdl(std::move(w.Sql), s.Line);
}

void TCompiler::AlterAddStmt(TStmt& s) {
  const TTableInfo* t = Catalog.Find(s.Table);
  if (!t) throw TDbError("Invalid object name '" + s.Table + "'.");
  TTableInfo info = *t;
  for (const TColumnDef& c : s.ColumnDefs) {
    if (info.Find(c.Name) >= 0)
      throw TDbError("Column names in each table must be unique. Column name '" + c.Name + "' in table '" +
                     info.Name + "' is specified more than once.");
    if (c.Identity || c.PrimaryKey || c.Unique)
      throw TDbError("Alter Table Add cannot add a key or identity column.");
    if (c.NotNull && !c.Default)
      throw TDbError("Alter Table Add of a Not Null column needs a Default.");
    TSqlWriter w;
    w.Text("ALTER TABLE ");
    w.Name(info.Name);
    w.Text(" ADD COLUMN ");
    w.Text(ColumnSql(c, false));
    EmitDdl(std::move(w.Sql), s.Line);
    info.Columns.push_back(TColumnInfo{c.Name, c.Type, c.NotNull, false});
  }
  Catalog.Put(std::move(info));
}

}  // namespace ooa::tsql
