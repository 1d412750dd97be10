#include <strings.h>

#include "db/session/DbSession.h"
#include "tsql/Compiler.h"
#include "tsql/Functions.h"

namespace ooa::tsql {

TSqlType ArithmeticType(const TSqlType& a, const TSqlType& b) {
  auto rank = [](TTypeClass c) {
    switch (c) {
      case TTypeClass::Bit:
      case TTypeClass::Int: return 1;
      case TTypeClass::Decimal: return 2;
      case TTypeClass::Float: return 3;
      default: return 0;
    }
  };
  int ra = rank(a.Class), rb = rank(b.Class);
  if (ra == 0 || rb == 0) {
    if (ra == 3 || rb == 3) return TSqlType::Of(TTypeClass::Float);
    return TSqlType();
  }
  if (ra >= rb) return a.Class == TTypeClass::Bit ? TSqlType::Of(TTypeClass::Int) : a;
  return b;
}

TSqlType LiteralType(const TExpr& e) {
  if (e.Value.IsNull()) return TSqlType();
  if (e.Value.Kind == TValue::TKind::Int) return TSqlType::Of(TTypeClass::Int);
  if (e.Value.Kind == TValue::TKind::Float) return TSqlType::Of(TTypeClass::Float);
  if (e.IsDate) return TSqlType::Of(TTypeClass::DateTime);
  return TSqlType::Of(TTypeClass::Text, static_cast<int>(CharCount(e.Value.Text)));
}

void TCompiler::NoteLiteral(const TExpr& e, TLiteralUse::THow how, TSqlWriter* w, size_t paramsBefore,
                            const TSqlType* target, const std::string* targetName) {
  bool param = how == TLiteralUse::THow::Value || how == TLiteralUse::THow::OriginalText ||
               how == TLiteralUse::THow::DateText || how == TLiteralUse::THow::Stored;
  // A value written into the text (NULL, or a definition's literal) is part of it.
  if (param && !(w && w->Params.size() > paramsBefore)) how = TLiteralUse::THow::Exact;
  TLiteralUse use;
  use.Node = &e;
  use.How = how;
  if (target) use.Target = *target;
  if (targetName) use.TargetName = *targetName;
  Prog.LiteralUses.push_back(std::move(use));
  if (how != TLiteralUse::THow::Exact && param)
    w->Params.back().Use = static_cast<int>(Prog.LiteralUses.size()) - 1;
}

void TCompiler::Resolve(TExpr& e, const TScope* scope) {
  bool simple = true;
  auto kids = [&]() {
    for (auto& a : e.Args) {
      Resolve(*a, scope);
      simple = simple && a->Simple;
    }
  };
  switch (e.Kind) {
    case TExprKind::Literal: e.Type = LiteralType(e); break;
    case TExprKind::Variable:
      e.Slot = SlotOf(e.Name, e.Pos);
      e.Type = Prog.Vars[static_cast<size_t>(e.Slot)].Type;
      break;
    case TExprKind::Column:
      ResolveColumn(e, scope);
      simple = false;
      break;
    case TExprKind::Star: throw TDbError("'*' is allowed only in a select list.");
    case TExprKind::Unary:
      kids();
      e.Type = e.Args[0]->Type;
      break;
    case TExprKind::Binary: {
      kids();
      const TSqlType& a = e.Args[0]->Type;
      const TSqlType& b = e.Args[1]->Type;
      if (e.Op == "+" && (a.IsText() || b.IsText())) {
        int len = (a.Length > 0 && b.Length > 0) ? a.Length + b.Length : 0;
        e.Type = TSqlType::Of(TTypeClass::Text, len);
      } else if ((e.Op == "+" || e.Op == "-") && a.Class == TTypeClass::DateTime && b.IsNumeric()) {
        e.Type = a;
      } else if (e.Op == "+" && b.Class == TTypeClass::DateTime && a.IsNumeric()) {
        e.Type = b;
      } else {
        e.Type = ArithmeticType(a, b);
      }
      break;
    }
    case TExprKind::Compare:
    case TExprKind::And:
    case TExprKind::Or:
    case TExprKind::Not:
    case TExprKind::IsNull:
    case TExprKind::Like:
    case TExprKind::Between:
    case TExprKind::InList:
      kids();
      e.Type = TSqlType::Of(TTypeClass::Bit);
      break;
    case TExprKind::InSelect:
    case TExprKind::Exists:
    case TExprKind::Subquery: {
      kids();
      std::vector<TOutColumn> out;
      ResolveSelect(*e.Sub, scope, out);
      for (auto& item : e.Sub->Items)
        if (!item.AssignVar.empty()) throw TDbError("A subquery cannot assign variables.");
      if (e.Kind != TExprKind::Exists && out.size() != 1)
        throw TDbError("Only one expression can be specified in the select list when the subquery is not introduced with EXISTS.");
      e.Type = e.Kind == TExprKind::Subquery ? out[0].Type : TSqlType::Of(TTypeClass::Bit);
      simple = false;
      break;
    }
    case TExprKind::Func: {
      const TFunction* f = FindFunction(e.Name);
      if (!f) throw TDbError("'" + e.Name + "' is not a recognized built-in function name.");
      int n = static_cast<int>(e.Args.size()) + (e.StarArg ? 1 : 0);
      if (n < f->MinArgs || n > f->MaxArgs || (e.StarArg && e.Name != "count"))
        throw TDbError("The " + e.Name + " function requires " + std::to_string(f->MinArgs) +
                       (f->MaxArgs != f->MinArgs ? " or more" : "") + " argument(s).");
      e.Fn = f;
      kids();
      std::vector<TSqlType> types;
      for (auto& a : e.Args) types.push_back(a->Type);
      e.Type = FunctionResultType(*f, types);
      if (f->Aggregate) simple = false;
      break;
    }
    case TExprKind::Cast:
      kids();
      e.Type = e.CastType;
      break;
    case TExprKind::Case: {
      kids();
      size_t first = e.HasOperand ? 1 : 0;
      e.Type = TSqlType();
      for (size_t i = first + 1; i < e.Args.size(); i += 2)
        if (!e.Args[i]->Type.IsUnknown()) {
          e.Type = e.Args[i]->Type;
          break;
        }
      if (e.Type.IsUnknown() && e.HasElse) e.Type = e.Args.back()->Type;
      break;
    }
  }
  e.Simple = simple;
}

void TCompiler::ResolveColumn(TExpr& e, const TScope* scope) {
  for (const TScope* s = scope; s; s = s->Outer) {
    if (!e.Qualifier.empty()) {
      for (const TSource& src : s->Sources) {
        if (strcasecmp(src.Exposed.c_str(), e.Qualifier.c_str()) != 0) continue;
        for (const TColumnInfo& c : src.Columns()) {
          if (strcasecmp(c.Name.c_str(), e.Name.c_str()) == 0) {
            e.Qualifier = src.Exposed;
            e.Name = c.Name;
            e.Type = c.Type;
            e.BaseColumn = !src.Table.empty();
            return;
          }
        }
        throw TDbError("Invalid column name '" + e.Name + "'.");
      }
      continue;
    }
    if (s->Items) {
      for (const TSelectItem& item : *s->Items) {
        if (!item.Alias.empty() && strcasecmp(item.Alias.c_str(), e.Name.c_str()) == 0) {
          e.AliasRef = true;
          e.Name = item.Alias;
          e.Type = item.Expr->Type;
          return;
        }
      }
    }
    const TSource* found = nullptr;
    const TColumnInfo* col = nullptr;
    for (const TSource& src : s->Sources) {
      for (const TColumnInfo& c : src.Columns()) {
        if (strcasecmp(c.Name.c_str(), e.Name.c_str()) == 0) {
          if (found) throw TDbError("Ambiguous column name '" + e.Name + "'.");
          found = &src;
          col = &c;
          break;
        }
      }
    }
    if (found) {
      e.Qualifier = found->Exposed;
      e.Name = col->Name;
      e.Type = col->Type;
      e.BaseColumn = !found->Table.empty();
      return;
    }
  }
  if (!e.Qualifier.empty())
    throw TDbError("The multi-part identifier \"" + e.Qualifier + "." + e.Name + "\" could not be bound.");
  throw TDbError("Invalid column name '" + e.Name + "'.");
}

}  // namespace ooa::tsql
