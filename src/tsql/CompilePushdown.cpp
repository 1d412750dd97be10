// TCompiler's key pushdown into grouped derived tables. SQLite materialises a
// derived table with Group By in full before it joins it, so
//
//   From InvoiceHead Left Join (Select InvoiceNo, Sum(PaidAmount) As Rounding
//     From RecvAcct Where PayBy='ROUNDING' Group By InvoiceNo) As P
//     On InvoiceHead.InvoiceNo=P.InvoiceNo
//   Where InvoiceHead.InvoiceNo=N'W26000001'
//
// would total every payment row there is to keep one. SQL Server's optimiser
// carries the key across the join; so does the compiler: the derived table
// gets "RecvAcct.InvoiceNo = N'W26000001'" as well, which SQLite answers from
// the table's key. Only where the result cannot change:
// - the derived table groups by the column, has no Top and no Distinct;
// - the join's equality is a conjunct of the outer Where, or of the On of the
//   Inner or Left join that brings the derived table in, between its column
//   and a stored column of another table of the same From;
// - that stored column equals a literal (not NULL, not a date) or a variable
//   in a conjunct of the outer Where;
// - all three sides compare as texts or all as numbers, where equality is
//   transitive (texts under the one collation TSQL).
// A group whose key differs from the value meets no row the outer Where
// keeps, so leaving it out changes nothing.
#include <strings.h>

#include "tsql/Compiler.h"

namespace ooa::tsql {

namespace {

bool SameName(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

void Conjuncts(const TExpr* e, std::vector<const TExpr*>& out) {
  if (!e) return;
  if (e->Kind == TExprKind::And) {
    Conjuncts(e->Args[0].get(), out);
    Conjuncts(e->Args[1].get(), out);
    return;
  }
  out.push_back(e);
}

bool IsEquality(const TExpr& e) { return e.Kind == TExprKind::Compare && e.Op == "="; }

// 1 texts, 2 numbers, 0 anything else.
int Family(const TSqlType& t) {
  switch (t.Class) {
    case TTypeClass::Text: return 1;
    case TTypeClass::Bit:
    case TTypeClass::Int:
    case TTypeClass::Decimal:
    case TTypeClass::Float: return 2;
    default: return 0;
  }
}

bool IsColumn(const TExpr& e) { return e.Kind == TExprKind::Column && !e.AliasRef; }

bool SameColumn(const TExpr& a, const TExpr& b) {
  return IsColumn(a) && IsColumn(b) && SameName(a.Qualifier, b.Qualifier) && SameName(a.Name, b.Name);
}

std::string Exposed(const TTableSource& s) { return s.Alias.empty() ? s.Name : s.Alias; }

bool IsOwnSource(const TSelect& q, const std::string& exposed) {
  for (const TFromItem& f : q.From) {
    if (SameName(Exposed(f.First), exposed)) return true;
    for (const TJoin& j : f.Joins)
      if (SameName(Exposed(j.Source), exposed)) return true;
  }
  return false;
}

// The stored column behind output column `name` of the derived table, when
// the table groups by it.
const TExpr* GroupedColumn(const TSelect& d, const std::string& name) {
  for (const TSelectItem& item : d.Items) {
    const TExpr& e = *item.Expr;
    const std::string& out = item.Alias.empty() && e.Kind == TExprKind::Column ? e.Name : item.Alias;
    if (!SameName(out, name)) continue;
    if (!IsColumn(e) || !e.BaseColumn) return nullptr;
    for (const auto& g : d.GroupBy)
      if (SameColumn(*g, e)) return &e;
    return nullptr;
  }
  return nullptr;
}

}  // namespace

std::vector<TCompiler::TPushed> TCompiler::PushDown(const TSelect& q, const TTableSource& src,
                                                    const TJoin* join) const {
  std::vector<TPushed> pushed;
  if (!src.Derived) return pushed;
  const TSelect& d = *src.Derived;
  if (d.GroupBy.empty() || d.Top || d.Distinct) return pushed;
  std::vector<const TExpr*> where;
  Conjuncts(q.Where.get(), where);
  std::vector<const TExpr*> links = where;
  if (join && (join->Kind == "INNER" || join->Kind == "LEFT")) Conjuncts(join->On.get(), links);
  for (const TExpr* link : links) {
    if (!IsEquality(*link)) continue;
    const TExpr* mine = link->Args[0].get();
    const TExpr* other = link->Args[1].get();
    if (IsColumn(*other) && SameName(other->Qualifier, src.Alias)) std::swap(mine, other);
    if (!IsColumn(*mine) || !SameName(mine->Qualifier, src.Alias)) continue;
    if (!IsColumn(*other) || !other->BaseColumn || SameName(other->Qualifier, src.Alias) ||
        !IsOwnSource(q, other->Qualifier))
      continue;
    const TExpr* inner = GroupedColumn(d, mine->Name);
    if (!inner) continue;
    const int family = Family(inner->Type);
    if (family == 0 || Family(mine->Type) != family || Family(other->Type) != family) continue;
    for (const TExpr* c : where) {
      if (!IsEquality(*c)) continue;
      const TExpr* column = c->Args[0].get();
      const TExpr* value = c->Args[1].get();
      if (!SameColumn(*column, *other)) std::swap(column, value);
      if (!SameColumn(*column, *other)) continue;
      const bool constant = (value->Kind == TExprKind::Literal && !value->Value.IsNull() && !value->IsDate) ||
                            value->Kind == TExprKind::Variable;
      if (constant && Family(value->Type) == family) pushed.push_back({inner, value});
    }
  }
  return pushed;
}

}  // namespace ooa::tsql
