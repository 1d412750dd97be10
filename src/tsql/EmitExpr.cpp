#include "db/session/DbSession.h"
#include "tsql/Compiler.h"
#include "tsql/Functions.h"

namespace ooa::tsql {

namespace {

bool Textish(TTypeClass c) { return c == TTypeClass::Text || c == TTypeClass::Unknown; }

// The class an operand has once EmitAs has adjusted it to the other side.
TTypeClass EffectiveClass(const TExpr& e, TTypeClass other) {
  if (e.Type.Class == TTypeClass::Text && other == TTypeClass::DateTime) return TTypeClass::DateTime;
  if (e.Kind == TExprKind::Literal && e.IsDate && other == TTypeClass::Text) return TTypeClass::Text;
  return e.Type.Class;
}

bool NeedsCollation(const TExpr& a, const TExpr& b) {
  TTypeClass ca = EffectiveClass(a, b.Type.Class), cb = EffectiveClass(b, a.Type.Class);
  return Textish(ca) && Textish(cb) && (ca == TTypeClass::Text || cb == TTypeClass::Text);
}

}  // namespace

void TCompiler::EmitAs(const TExpr& e, TTypeClass other, TSqlWriter& w) {
  if (e.Kind == TExprKind::Literal && e.IsDate && other == TTypeClass::Text) {
    size_t before = w.Params.size();
    w.Literal(TValue::MakeText(e.OriginalText));
    NoteLiteral(e, TLiteralUse::THow::OriginalText, &w, before);
    return;
  }
  if (e.Type.Class == TTypeClass::Text && other == TTypeClass::DateTime) {
    if (e.Kind == TExprKind::Literal) {
      std::string c;
      if (ParseDateTimeText(e.Value.Text, c)) {
        size_t before = w.Params.size();
        w.Literal(TValue::MakeText(c));
        NoteLiteral(e, TLiteralUse::THow::DateText, &w, before);
        return;
      }
      NoteLiteral(e, TLiteralUse::THow::NoDateText);
    }
    w.Text("t_conv(");
    EmitExpr(e, w);
    w.Text(", " + std::to_string(EncodeType(TSqlType::Of(TTypeClass::DateTime))) + ", 0)");
    return;
  }
  EmitExpr(e, w);
}

void TCompiler::EmitComparison(const TExpr& a, const std::string& op, const TExpr& b, TSqlWriter& w) {
  w.Text("(");
  EmitAs(a, b.Type.Class, w);
  w.Text(" " + op + " ");
  EmitAs(b, a.Type.Class, w);
  if (NeedsCollation(a, b)) w.Text(" COLLATE TSQL");
  w.Text(")");
}

void TCompiler::EmitExpr(const TExpr& e, TSqlWriter& w) {
  const auto& A = e.Args;
  switch (e.Kind) {
    case TExprKind::Literal: {
      size_t before = w.Params.size();
      w.Literal(e.Value);
      NoteLiteral(e, TLiteralUse::THow::Value, &w, before);
      return;
    }
    case TExprKind::Variable: w.Variable(e.Slot); return;
    case TExprKind::Column:
      if (e.AliasRef) {
        w.Name(e.Name);
      } else {
        w.Name(e.Qualifier);
        w.Text(".");
        w.Name(e.Name);
      }
      return;
    case TExprKind::Star: throw TDbError("'*' is allowed only in a select list.");
    case TExprKind::Unary:
      w.Text(e.Op == "~" ? "(~" : "(-");
      EmitExpr(*A[0], w);
      w.Text(")");
      return;
    case TExprKind::Binary: {
      const TSqlType& ta = A[0]->Type;
      const TSqlType& tb = A[1]->Type;
      if ((e.Op == "+" || e.Op == "-") && e.Type.Class == TTypeClass::DateTime) {
        const TExpr& date = ta.Class == TTypeClass::DateTime ? *A[0] : *A[1];
        const TExpr& days = ta.Class == TTypeClass::DateTime ? *A[1] : *A[0];
        w.Text("t_dateadd('day', ");
        if (e.Op == "-") w.Text("-");
        w.Text("(");
        EmitExpr(days, w);
        w.Text("), ");
        EmitExpr(date, w);
        w.Text(")");
        return;
      }
      if (e.Op == "+" && e.Type.Class == TTypeClass::Text) {
        w.Text("(");
        EmitAs(*A[0], TTypeClass::Text, w);
        w.Text(" || ");
        EmitAs(*A[1], TTypeClass::Text, w);
        w.Text(")");
        return;
      }
      if (e.Op == "+" && e.Type.IsUnknown()) {
        w.Text("t_add(");
        EmitExpr(*A[0], w);
        w.Text(", ");
        EmitExpr(*A[1], w);
        w.Text(")");
        return;
      }
      w.Text("(");
      if (e.Op == "/" && (e.Type.Class == TTypeClass::Float || e.Type.Class == TTypeClass::Decimal ||
                          !ta.IsExactInt() || !tb.IsExactInt())) {
        w.Text("CAST(");
        EmitExpr(*A[0], w);
        w.Text(" AS REAL)");
      } else {
        EmitExpr(*A[0], w);
      }
      if (e.Op == "^") {
        // a ^ b = (a | b) - (a & b)
        w.Text(" | ");
        EmitExpr(*A[1], w);
        w.Text(") - (");
        EmitExpr(*A[0], w);
        w.Text(" & ");
        EmitExpr(*A[1], w);
        w.Text(")");
        return;
      }
      w.Text(" " + e.Op + " ");
      EmitExpr(*A[1], w);
      w.Text(")");
      return;
    }
    case TExprKind::Compare: EmitComparison(*A[0], e.Op, *A[1], w); return;
    case TExprKind::And:
    case TExprKind::Or:
      w.Text("(");
      EmitExpr(*A[0], w);
      w.Text(e.Kind == TExprKind::And ? " AND " : " OR ");
      EmitExpr(*A[1], w);
      w.Text(")");
      return;
    case TExprKind::Not:
      w.Text("(NOT ");
      EmitExpr(*A[0], w);
      w.Text(")");
      return;
    case TExprKind::IsNull:
      w.Text("(");
      EmitExpr(*A[0], w);
      w.Text(e.Negated ? " IS NOT NULL)" : " IS NULL)");
      return;
    case TExprKind::Like: {
      w.Text("(");
      EmitAs(*A[0], TTypeClass::Text, w);
      w.Text(e.Negated ? " NOT LIKE " : " LIKE ");
      EmitAs(*A[1], TTypeClass::Text, w);
      if (!e.Negated && A[0]->Kind == TExprKind::Column && A[0]->BaseColumn && A[0]->Type.IsText()) {
        // Lets SQLite walk an index on the column for the pattern's fixed beginning.
        w.Text(" AND ");
        EmitExpr(*A[0], w);
        w.Text(" >= t_like_lo(");
        EmitExpr(*A[1], w);
        w.Text(") AND ");
        EmitExpr(*A[0], w);
        w.Text(" < t_like_hi(");
        EmitExpr(*A[1], w);
        w.Text(")");
      }
      w.Text(")");
      return;
    }
    case TExprKind::Between: {
      w.Text("(");
      EmitAs(*A[0], A[1]->Type.Class, w);
      if (NeedsCollation(*A[0], *A[1])) w.Text(" COLLATE TSQL");
      w.Text(e.Negated ? " NOT BETWEEN " : " BETWEEN ");
      EmitAs(*A[1], A[0]->Type.Class, w);
      w.Text(" AND ");
      EmitAs(*A[2], A[0]->Type.Class, w);
      w.Text(")");
      return;
    }
    case TExprKind::InList: {
      w.Text("(");
      EmitExpr(*A[0], w);
      bool text = A[0]->Type.IsText();
      for (size_t i = 1; i < A.size(); ++i) text = text || A[i]->Type.IsText();
      if (text && Textish(A[0]->Type.Class)) w.Text(" COLLATE TSQL");
      w.Text(e.Negated ? " NOT IN (" : " IN (");
      for (size_t i = 1; i < A.size(); ++i) {
        if (i > 1) w.Text(", ");
        EmitAs(*A[i], A[0]->Type.Class, w);
      }
      w.Text("))");
      return;
    }
    case TExprKind::InSelect:
      w.Text("(");
      EmitExpr(*A[0], w);
      if (A[0]->Type.IsText()) w.Text(" COLLATE TSQL");
      w.Text(e.Negated ? " NOT IN (" : " IN (");
      EmitSelect(*e.Sub, w);
      w.Text("))");
      return;
    case TExprKind::Exists:
      w.Text("(EXISTS (");
      EmitSelect(*e.Sub, w);
      w.Text("))");
      return;
    case TExprKind::Subquery:
      w.Text("(");
      EmitSelect(*e.Sub, w);
      w.Text(")");
      return;
    case TExprKind::Func: {
      w.Text(e.Fn->SqlName);
      w.Text("(");
      if (e.StarArg) {
        w.Text("*)");
        return;
      }
      if (e.Distinct) w.Text("DISTINCT ");
      for (size_t i = 0; i < A.size(); ++i) {
        if (i) w.Text(", ");
        EmitExpr(*A[i], w);
      }
      w.Text(")");
      return;
    }
    case TExprKind::Cast: {
      const TSqlType& from = A[0]->Type;
      const TSqlType& to = e.CastType;
      bool same = from.Class == to.Class &&
                  (to.Class == TTypeClass::Int || to.Class == TTypeClass::Float ||
                   (to.Class == TTypeClass::Text && (to.Length <= 0 || (from.Length > 0 && from.Length <= to.Length))));
      if (same) {
        EmitExpr(*A[0], w);
        return;
      }
      w.Text("t_conv(");
      EmitExpr(*A[0], w);
      w.Text(", " + std::to_string(EncodeType(to)) + ", 0)");
      return;
    }
    case TExprKind::Case: {
      w.Text("(CASE");
      size_t i = 0;
      if (e.HasOperand) {
        w.Text(" ");
        EmitExpr(*A[0], w);
        i = 1;
      }
      size_t end = e.HasElse ? A.size() - 1 : A.size();
      for (; i + 1 < end + 1 && i < end; i += 2) {
        w.Text(" WHEN ");
        EmitExpr(*A[i], w);
        w.Text(" THEN ");
        EmitExpr(*A[i + 1], w);
      }
      if (e.HasElse) {
        w.Text(" ELSE ");
        EmitExpr(*A.back(), w);
      }
      w.Text(" END)");
      return;
    }
  }
}

}  // namespace ooa::tsql
