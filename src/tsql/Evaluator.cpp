#include "tsql/Evaluator.h"

#include <cmath>

#include "tsql/Functions.h"

namespace ooa::tsql {

namespace {

// Three-valued logic: 1 true, 0 false, -1 unknown.
int Truth(const TExpr& e, const std::vector<TValue>& vars);

TValue Bool(int t) { return t < 0 ? TValue() : TValue::MakeInt(t); }

// Brings a value to the class of the other side before comparing.
TValue AsClassOf(const TValue& v, const TExpr& self, const TExpr& other) {
  if (v.IsNull()) return v;
  if (self.Kind == TExprKind::Literal && self.IsDate && other.Type.IsText()) return TValue::MakeText(self.OriginalText);
  if (other.Type.Class == TTypeClass::DateTime && self.Type.Class != TTypeClass::DateTime && !v.IsNumber())
    return ConvertTo(v, TSqlType::Of(TTypeClass::DateTime), TConvertMode::Cast);
  return v;
}

int CompareForExpr(const TValue& a, const TValue& b) {
  if (a.IsNumber() && b.IsNumber()) {
    if (a.Kind == TValue::TKind::Int && b.Kind == TValue::TKind::Int) return a.Int < b.Int ? -1 : a.Int > b.Int;
    double x = a.AsDouble(), y = b.AsDouble();
    return x < y ? -1 : x > y;
  }
  if (a.IsNumber() || b.IsNumber()) {
    TSqlType f = TSqlType::Of(TTypeClass::Float);
    double x = ConvertTo(a, f, TConvertMode::Cast).Float, y = ConvertTo(b, f, TConvertMode::Cast).Float;
    return x < y ? -1 : x > y;
  }
  return CompareText(a.Text, b.Text);
}

int CompareExprs(const TExpr& l, const TExpr& r, const std::vector<TValue>& vars, int& cmp) {
  TValue a = AsClassOf(Evaluate(l, vars), l, r);
  TValue b = AsClassOf(Evaluate(r, vars), r, l);
  if (a.IsNull() || b.IsNull()) return -1;
  cmp = CompareForExpr(a, b);
  return 1;
}

int Truth(const TExpr& e, const std::vector<TValue>& vars) {
  const auto& A = e.Args;
  switch (e.Kind) {
    case TExprKind::Compare: {
      int c = 0;
      if (CompareExprs(*A[0], *A[1], vars, c) < 0) return -1;
      if (e.Op == "=") return c == 0;
      if (e.Op == "<>") return c != 0;
      if (e.Op == "<") return c < 0;
      if (e.Op == ">") return c > 0;
      if (e.Op == "<=") return c <= 0;
      return c >= 0;
    }
    case TExprKind::And: {
      int a = Truth(*A[0], vars);
      if (a == 0) return 0;
      int b = Truth(*A[1], vars);
      if (b == 0) return 0;
      return (a < 0 || b < 0) ? -1 : 1;
    }
    case TExprKind::Or: {
      int a = Truth(*A[0], vars);
      if (a == 1) return 1;
      int b = Truth(*A[1], vars);
      if (b == 1) return 1;
      return (a < 0 || b < 0) ? -1 : 0;
    }
    case TExprKind::Not: {
      int a = Truth(*A[0], vars);
      return a < 0 ? -1 : !a;
    }
    case TExprKind::IsNull: {
      bool isNull = Evaluate(*A[0], vars).IsNull();
      return e.Negated ? !isNull : isNull;
    }
    case TExprKind::Like: {
      TValue s = AsClassOf(Evaluate(*A[0], vars), *A[0], *A[1]);
      TValue p = AsClassOf(Evaluate(*A[1], vars), *A[1], *A[0]);
      if (s.IsNull() || p.IsNull()) return -1;
      bool m = LikeMatch(ValueText(s), ValueText(p));
      return e.Negated ? !m : m;
    }
    case TExprKind::Between: {
      int lo = 0, hi = 0;
      int r1 = CompareExprs(*A[0], *A[1], vars, lo);
      int r2 = CompareExprs(*A[0], *A[2], vars, hi);
      if (r1 < 0 || r2 < 0) return -1;
      bool in = lo >= 0 && hi <= 0;
      return e.Negated ? !in : in;
    }
    case TExprKind::InList: {
      bool unknown = false;
      for (size_t i = 1; i < A.size(); ++i) {
        int c = 0;
        if (CompareExprs(*A[0], *A[i], vars, c) < 0) {
          unknown = true;
          continue;
        }
        if (c == 0) return e.Negated ? 0 : 1;
      }
      if (unknown) return -1;
      return e.Negated ? 1 : 0;
    }
    default: {
      TValue v = Evaluate(e, vars);
      if (v.IsNull()) return -1;
      return ConvertTo(v, TSqlType::Of(TTypeClass::Bit), TConvertMode::Cast).Int != 0;
    }
  }
}

TValue Arithmetic(const TExpr& e, const TValue& a, const TValue& b) {
  if (a.IsNull() || b.IsNull()) return TValue();
  const std::string& op = e.Op;
  if (op == "+" && (e.Type.IsText() || a.Kind == TValue::TKind::Text || b.Kind == TValue::TKind::Text) &&
      e.Type.Class != TTypeClass::DateTime) {
    return AddValues(e.Type.IsText() ? TValue::MakeText(ValueText(a)) : a, b);
  }
  if (e.Type.Class == TTypeClass::DateTime) {
    bool aDate = e.Args[0]->Type.Class == TTypeClass::DateTime;
    const TValue& date = aDate ? a : b;
    const TValue& days = aDate ? b : a;
    double d = ConvertTo(days, TSqlType::Of(TTypeClass::Float), TConvertMode::Cast).Float;
    std::string c = ConvertTo(date, TSqlType::Of(TTypeClass::DateTime), TConvertMode::Cast).Text;
    return TValue::MakeText(DateTimeFromDays1900(DaysSince1900(c) + (op == "-" ? -d : d)));
  }
  TSqlType f = TSqlType::Of(TTypeClass::Float);
  TValue x = a.IsNumber() ? a : ConvertTo(a, f, TConvertMode::Cast);
  TValue y = b.IsNumber() ? b : ConvertTo(b, f, TConvertMode::Cast);
  bool ints = x.Kind == TValue::TKind::Int && y.Kind == TValue::TKind::Int;
  if (ints) {
    int64_t r = 0;
    if (op == "+") {
      if (__builtin_add_overflow(x.Int, y.Int, &r)) throw TRuntimeError{8115, "Arithmetic overflow error."};
    } else if (op == "-") {
      if (__builtin_sub_overflow(x.Int, y.Int, &r)) throw TRuntimeError{8115, "Arithmetic overflow error."};
    } else if (op == "*") {
      if (__builtin_mul_overflow(x.Int, y.Int, &r)) throw TRuntimeError{8115, "Arithmetic overflow error."};
    } else if (op == "/" || op == "%") {
      if (y.Int == 0) throw TRuntimeError{8134, "Divide by zero error encountered."};
      r = op == "/" ? x.Int / y.Int : x.Int % y.Int;
    } else if (op == "&") {
      r = x.Int & y.Int;
    } else if (op == "|") {
      r = x.Int | y.Int;
    } else if (op == "^") {
      r = x.Int ^ y.Int;
    }
    return TValue::MakeInt(r);
  }
  double p = x.AsDouble(), q = y.AsDouble();
  if (op == "+") return TValue::MakeFloat(p + q);
  if (op == "-") return TValue::MakeFloat(p - q);
  if (op == "*") return TValue::MakeFloat(p * q);
  if (op == "/" || op == "%") {
    if (q == 0) throw TRuntimeError{8134, "Divide by zero error encountered."};
    return TValue::MakeFloat(op == "/" ? p / q : std::fmod(p, q));
  }
  throw TRuntimeError{402, "The data types are incompatible in the '" + op + "' operator."};
}

}  // namespace

TValue Evaluate(const TExpr& e, const std::vector<TValue>& vars) {
  const auto& A = e.Args;
  switch (e.Kind) {
    case TExprKind::Literal: return e.Value;
    case TExprKind::Variable: return vars[static_cast<size_t>(e.Slot)];
    case TExprKind::Unary: {
      TValue v = Evaluate(*A[0], vars);
      if (v.IsNull()) return v;
      if (!v.IsNumber()) v = ConvertTo(v, TSqlType::Of(TTypeClass::Float), TConvertMode::Cast);
      if (e.Op == "~") return TValue::MakeInt(~ConvertTo(v, TSqlType::Of(TTypeClass::Int), TConvertMode::Cast).Int);
      if (v.Kind == TValue::TKind::Int) return TValue::MakeInt(-v.Int);
      return TValue::MakeFloat(-v.Float);
    }
    case TExprKind::Binary: return Arithmetic(e, Evaluate(*A[0], vars), Evaluate(*A[1], vars));
    case TExprKind::Compare:
    case TExprKind::And:
    case TExprKind::Or:
    case TExprKind::Not:
    case TExprKind::IsNull:
    case TExprKind::Like:
    case TExprKind::Between:
    case TExprKind::InList: return Bool(Truth(e, vars));
    case TExprKind::Func: {
      std::vector<TValue> args;
      args.reserve(A.size());
      for (const auto& a : A) args.push_back(Evaluate(*a, vars));
      return e.Fn->Impl(args);
    }
    case TExprKind::Cast: return ConvertTo(Evaluate(*A[0], vars), e.CastType, TConvertMode::Cast);
    case TExprKind::Case: {
      size_t i = 0;
      TValue operand;
      if (e.HasOperand) {
        operand = Evaluate(*A[0], vars);
        i = 1;
      }
      size_t end = e.HasElse ? A.size() - 1 : A.size();
      for (; i + 1 < end + 1 && i < end; i += 2) {
        bool hit;
        if (e.HasOperand) {
          TValue w = Evaluate(*A[i], vars);
          hit = !operand.IsNull() && !w.IsNull() && CompareForExpr(operand, w) == 0;
        } else {
          hit = Truth(*A[i], vars) == 1;
        }
        if (hit) return Evaluate(*A[i + 1], vars);
      }
      return e.HasElse ? Evaluate(*A.back(), vars) : TValue();
    }
    default: throw TRuntimeError{50000, "The expression needs the database."};
  }
}

bool EvaluateCondition(const TExpr& e, const std::vector<TValue>& vars) { return Truth(e, vars) == 1; }

}  // namespace ooa::tsql
