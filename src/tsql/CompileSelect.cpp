#include <strings.h>

#include "db/session/DbSession.h"
#include "tsql/Compiler.h"
#include "tsql/ParserImpl.h"

namespace ooa::tsql {

void TCompiler::BuildSources(TSelect& q, const TScope* outer, TScope& scope) {
  auto add = [&](TTableSource& src) {
    TSource s;
    if (src.Derived) {
      std::vector<TOutColumn> out;
      ResolveSelect(*src.Derived, outer, out);
      for (auto& item : src.Derived->Items)
        if (!item.AssignVar.empty()) throw TDbError("A derived table cannot assign variables.");
      for (size_t i = 0; i < out.size(); ++i) {
        if (out[i].Name.empty())
          throw TDbError("No column name was specified for column " + std::to_string(i + 1) + " of '" + src.Alias + "'.");
        s.Own.push_back(TColumnInfo{out[i].Name, out[i].Type, false, false});
      }
      s.Exposed = src.Alias;
    } else {
      const TTableInfo& t = TableOf(src.Name);
      src.Name = t.Name;
      s.Table = t.Name;
      s.Cols = &t.Columns;
      s.Exposed = src.Alias.empty() ? t.Name : src.Alias;
    }
    for (const TSource& other : scope.Sources)
      if (strcasecmp(other.Exposed.c_str(), s.Exposed.c_str()) == 0)
        throw TDbError("The objects \"" + other.Exposed + "\" and \"" + s.Exposed +
                       "\" in the FROM clause have the same exposed names. Use correlation names to distinguish them.");
    scope.Sources.push_back(std::move(s));
  };
  for (TFromItem& item : q.From) {
    add(item.First);
    for (TJoin& j : item.Joins) {
      add(j.Source);
      if (j.On) Resolve(*j.On, &scope);
    }
  }
}

void TCompiler::ResolveSelect(TSelect& q, const TScope* outer, std::vector<TOutColumn>& out) {
  TScope scope;
  scope.Outer = outer;
  BuildSources(q, outer, scope);
  // Expand * and alias.* into the columns they stand for.
  std::vector<TSelectItem> items;
  for (TSelectItem& item : q.Items) {
    if (item.Expr->Kind != TExprKind::Star) {
      items.push_back(std::move(item));
      continue;
    }
    if (!item.AssignVar.empty()) throw TDbError("'*' cannot be assigned to a variable.");
    if (scope.Sources.empty()) throw TDbError("Must specify table to select from.");
    bool matched = false;
    for (const TSource& src : scope.Sources) {
      if (!item.Expr->Qualifier.empty() && strcasecmp(src.Exposed.c_str(), item.Expr->Qualifier.c_str()) != 0)
        continue;
      matched = true;
      for (const TColumnInfo& c : src.Columns()) {
        TSelectItem col;
        col.Expr = MakeExpr(TExprKind::Column, item.Expr->Pos);
        col.Expr->Qualifier = src.Exposed;
        col.Expr->Name = c.Name;
        items.push_back(std::move(col));
      }
    }
    if (!matched)
      throw TDbError("The object name '" + item.Expr->Qualifier + "' in the select list is not in the FROM clause.");
  }
  q.Items = std::move(items);
  for (TSelectItem& item : q.Items) Resolve(*item.Expr, &scope);
  out.clear();
  for (const TSelectItem& item : q.Items) {
    std::string name = item.Alias;
    if (name.empty() && item.Expr->Kind == TExprKind::Column) name = item.Expr->Name;
    out.push_back(TOutColumn{name, item.Expr->Type});
  }
  if (q.Top) Resolve(*q.Top, nullptr);
  if (q.Where) Resolve(*q.Where, &scope);
  for (auto& g : q.GroupBy) Resolve(*g, &scope);
  if (q.Having) Resolve(*q.Having, &scope);
  scope.Items = &q.Items;
  for (auto& o : q.OrderBy) {
    if (o.Expr->Kind == TExprKind::Literal) NoteLiteral(*o.Expr, TLiteralUse::THow::Exact);
    if (o.Expr->Kind == TExprKind::Literal && o.Expr->Value.Kind == TValue::TKind::Int) {
      if (o.Expr->Value.Int < 1 || o.Expr->Value.Int > static_cast<int64_t>(q.Items.size()))
        throw TDbError("The ORDER BY position number " + std::to_string(o.Expr->Value.Int) +
                       " is out of range of the number of items in the select list.");
      continue;
    }
    Resolve(*o.Expr, &scope);
  }
}

void TCompiler::EmitTableSource(const TTableSource& src, TSqlWriter& w, const std::vector<TPushed>& pushed) {
  if (src.Derived) {
    w.Text("(");
    EmitSelect(*src.Derived, w, nullptr, nullptr, &pushed);
    w.Text(") AS ");
    w.Name(src.Alias);
    return;
  }
  w.Name(src.Name);
  if (!src.Alias.empty()) {
    w.Text(" AS ");
    w.Name(src.Alias);
  }
}

void TCompiler::EmitSelect(const TSelect& q, TSqlWriter& w, const std::vector<TSqlType>* targets,
                           const std::vector<std::string>* targetNames, const std::vector<TPushed>* pushed) {
  w.Text(q.Distinct ? "SELECT DISTINCT " : "SELECT ");
  for (size_t i = 0; i < q.Items.size(); ++i) {
    if (i) w.Text(", ");
    TExpr& e = *q.Items[i].Expr;
    if (targets) EmitConverted(e, (*targets)[i], (*targetNames)[i], w);
    else EmitExpr(e, w);
    if (!q.Items[i].Alias.empty()) {
      w.Text(" AS ");
      w.Name(q.Items[i].Alias);
    }
  }
  for (size_t i = 0; i < q.From.size(); ++i) {
    w.Text(i ? ", " : " FROM ");
    EmitTableSource(q.From[i].First, w, PushDown(q, q.From[i].First, nullptr));
    for (const TJoin& j : q.From[i].Joins) {
      w.Text(j.Kind == "INNER" ? " JOIN " : j.Kind == "CROSS" ? " CROSS JOIN " : " " + j.Kind + " JOIN ");
      EmitTableSource(j.Source, w, PushDown(q, j.Source, &j));
      if (j.On) {
        w.Text(" ON ");
        EmitExpr(*j.On, w);
      }
    }
  }
  bool where = false;
  auto conjunct = [&]() { w.Text(where ? " AND " : " WHERE "); where = true; };
  if (q.Where) {
    conjunct();
    EmitExpr(*q.Where, w);
  }
  if (pushed)
    for (const TPushed& p : *pushed) {
      conjunct();
      EmitComparison(*p.Inner, "=", *p.Value, w);
    }
  for (size_t i = 0; i < q.GroupBy.size(); ++i) {
    w.Text(i ? ", " : " GROUP BY ");
    EmitExpr(*q.GroupBy[i], w);
  }
  if (q.Having) {
    w.Text(" HAVING ");
    EmitExpr(*q.Having, w);
  }
  for (size_t i = 0; i < q.OrderBy.size(); ++i) {
    w.Text(i ? ", " : " ORDER BY ");
    const TExpr& o = *q.OrderBy[i].Expr;
    if (o.Kind == TExprKind::Literal && o.Value.Kind == TValue::TKind::Int) w.Text(std::to_string(o.Value.Int));
    else EmitExpr(o, w);
    if (q.OrderBy[i].Desc) w.Text(" DESC");
  }
  if (q.Top) {
    w.Text(" LIMIT ");
    EmitExpr(*q.Top, w);
  }
}

}  // namespace ooa::tsql
