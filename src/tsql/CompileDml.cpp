#include <strings.h>

#include "db/session/DbSession.h"
#include "tsql/Compiler.h"

namespace ooa::tsql {

const TTableInfo& TCompiler::TableOf(const std::string& name) {
  const TTableInfo* t = Catalog.Find(name);
  if (!t) throw TDbError("Invalid object name '" + name + "'.");
  return *t;
}

namespace {

bool StoresAsIs(const TSqlType& from, const TSqlType& to) {
  switch (to.Class) {
    case TTypeClass::Unknown: return true;
    case TTypeClass::Int: return from.IsExactInt();
    case TTypeClass::Bit: return from.Class == TTypeClass::Bit;
    case TTypeClass::Float: return from.IsNumeric();
    case TTypeClass::Decimal:
      return from.IsExactInt() || (from.Class == TTypeClass::Decimal && from.Scale <= to.Scale);
    case TTypeClass::DateTime: return from.Class == TTypeClass::DateTime && to.Name != "date";
    case TTypeClass::Text:
      return from.IsText() && (to.Length <= 0 || (from.Length > 0 && from.Length <= to.Length));
  }
  return false;
}

}  // namespace

void TCompiler::EmitConverted(TExpr& e, const TSqlType& target, const std::string& targetName, TSqlWriter& w) {
  if (e.Kind == TExprKind::Literal) {
    // Stored as a parameter, NULL too, so that the statement is the same
    // whatever its literals are (the parse cache fills them in).
    TValue v = e.IsDate && target.IsText() ? TValue::MakeText(e.OriginalText) : e.Value;
    try {
      TValue stored = e.Value.IsNull() ? TValue() : ConvertTo(v, target, TConvertMode::Store, targetName.c_str());
      size_t before = w.Params.size();
      w.Param(std::move(stored));
      NoteLiteral(e, TLiteralUse::THow::Stored, &w, before, &target, &targetName);
      return;
    } catch (const TRuntimeError&) {
      // Fails when the statement runs, as the server would.
      NoteLiteral(e, TLiteralUse::THow::NotStored, nullptr, 0, &target, &targetName);
    }
  } else if (StoresAsIs(e.Type, target)) {
    EmitExpr(e, w);
    return;
  }
  w.Text("t_conv(");
  if (e.IsDate && target.IsText()) {
    size_t before = w.Params.size();
    w.Literal(TValue::MakeText(e.OriginalText));
    NoteLiteral(e, TLiteralUse::THow::OriginalText, &w, before);
  } else {
    EmitExpr(e, w);
  }
  w.Text(", " + std::to_string(EncodeType(target)) + ", 1, '");
  for (char c : targetName) {
    if (c == '\'') w.Sql += '\'';
    w.Sql += c;
  }
  w.Text("')");
}

void TCompiler::InsertStmt(TStmt& s) {
  const TTableInfo& t = TableOf(s.Table);
  std::vector<int> cols;
  if (s.Columns.empty()) {
    for (size_t i = 0; i < t.Columns.size(); ++i)
      if (!t.Columns[i].Identity) cols.push_back(static_cast<int>(i));
  } else {
    for (const std::string& c : s.Columns) {
      int i = t.Find(c);
      if (i < 0) throw TDbError("Invalid column name '" + c + "'.");
      for (int k : cols)
        if (k == i) throw TDbError("The column name '" + c + "' is specified more than once in the INSERT column list.");
      cols.push_back(i);
    }
  }
  std::vector<TSqlType> types;
  std::vector<std::string> names;
  for (int i : cols) {
    types.push_back(t.Columns[static_cast<size_t>(i)].Type);
    names.push_back(t.Name + "." + t.Columns[static_cast<size_t>(i)].Name);
  }
  TSqlWriter w;
  w.Text("INSERT INTO ");
  w.Name(t.Name);
  if (s.DefaultValues) {
    w.Text(" DEFAULT VALUES");
  } else {
    w.Text(" (");
    for (size_t k = 0; k < cols.size(); ++k) {
      if (k) w.Text(", ");
      w.Name(t.Columns[static_cast<size_t>(cols[k])].Name);
    }
    w.Text(")");
    if (s.Query) {
      std::vector<TOutColumn> out;
      for (auto& item : s.Query->Items)
        if (!item.AssignVar.empty()) throw TDbError("An Insert ... Select cannot assign variables.");
      ResolveSelect(*s.Query, nullptr, out);
      if (out.size() != cols.size())
        throw TDbError("The select list for the INSERT statement contains " +
                       std::string(out.size() < cols.size() ? "fewer" : "more") +
                       " items than the insert list. The number of SELECT values must match the number of INSERT columns.");
      w.Text(" ");
      EmitSelect(*s.Query, w, &types, &names);
    } else {
      w.Text(" VALUES ");
      for (size_t r = 0; r < s.Rows.size(); ++r) {
        auto& row = s.Rows[r];
        if (row.size() != cols.size())
          throw TDbError(row.size() < cols.size()
                             ? "There are more columns in the INSERT statement than values specified in the VALUES clause. The number of values in the VALUES clause must match the number of columns specified in the INSERT statement."
                             : "There are fewer columns in the INSERT statement than values specified in the VALUES clause. The number of values in the VALUES clause must match the number of columns specified in the INSERT statement.");
        if (r) w.Text(", ");
        w.Text("(");
        for (size_t k = 0; k < row.size(); ++k) {
          Resolve(*row[k], nullptr);
          if (k) w.Text(", ");
          EmitConverted(*row[k], types[k], names[k], w);
        }
        w.Text(")");
      }
    }
  }
  auto step = std::make_unique<TSqlStep>();
  step->Sql = std::move(w.Sql);
  step->Params = std::move(w.Params);
  int i = Emit(TOp::Exec, s.Line);
  Prog.Code[static_cast<size_t>(i)].Sql = std::move(step);
}

void TCompiler::UpdateStmt(TStmt& s) {
  const TTableInfo& t = TableOf(s.Table);
  TScope scope;
  TSource src;
  src.Exposed = t.Name;
  src.Table = t.Name;
  src.Cols = &t.Columns;
  scope.Sources.push_back(std::move(src));
  TSqlWriter w;
  w.Text("UPDATE ");
  w.Name(t.Name);
  w.Text(" SET ");
  for (size_t k = 0; k < s.Sets.size(); ++k) {
    TSetItem& item = s.Sets[k];
    if (!item.Target.empty() && item.Target[0] == '@') throw TDbError("Update ... Set @variable is not supported.");
    int c = t.Find(item.Target);
    if (c < 0) throw TDbError("Invalid column name '" + item.Target + "'.");
    Resolve(*item.Expr, &scope);
    if (k) w.Text(", ");
    const TColumnInfo& col = t.Columns[static_cast<size_t>(c)];
    w.Name(col.Name);
    w.Text(" = ");
    EmitConverted(*item.Expr, col.Type, t.Name + "." + col.Name, w);
  }
  if (s.Where) {
    Resolve(*s.Where, &scope);
    w.Text(" WHERE ");
    EmitExpr(*s.Where, w);
  }
  auto step = std::make_unique<TSqlStep>();
  step->Sql = std::move(w.Sql);
  step->Params = std::move(w.Params);
  int i = Emit(TOp::Exec, s.Line);
  Prog.Code[static_cast<size_t>(i)].Sql = std::move(step);
}

void TCompiler::DeleteStmt(TStmt& s) {
  const TTableInfo& t = TableOf(s.Table);
  TScope scope;
  TSource src;
  src.Exposed = t.Name;
  src.Table = t.Name;
  src.Cols = &t.Columns;
  scope.Sources.push_back(std::move(src));
  TSqlWriter w;
  w.Text("DELETE FROM ");
  w.Name(t.Name);
  if (s.Where) {
    Resolve(*s.Where, &scope);
    w.Text(" WHERE ");
    EmitExpr(*s.Where, w);
  }
  auto step = std::make_unique<TSqlStep>();
  step->Sql = std::move(w.Sql);
  step->Params = std::move(w.Params);
  int i = Emit(TOp::Exec, s.Line);
  Prog.Code[static_cast<size_t>(i)].Sql = std::move(step);
}

}  // namespace ooa::tsql
