#include <algorithm>

#include "db/session/DbSession.h"
#include "tsql/ParserImpl.h"

namespace ooa::tsql {

void MakeLiteral(TExpr& e, const TToken& t) {
  // The value is set in place: a text keeps the room of the one it replaces
  // (the parse cache makes the literals of every batch again in the same
  // expressions).
  TValue& v = e.Value;
  auto number = [&v](TValue::TKind kind, int64_t i, double f) {
    v.Kind = kind;
    v.Int = i;
    v.Float = f;
    v.Text.clear();
  };
  switch (t.Kind) {
    case TTok::Integer: {
      // Up to 18 digits always fit a bigint: read here, without a copy.
      if (!t.Text.empty() && t.Text.size() <= 18 &&
          std::all_of(t.Text.begin(), t.Text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        int64_t i = 0;
        for (char c : t.Text) i = i * 10 + (c - '0');
        number(TValue::TKind::Int, i, 0.0);
        return;
      }
      TValue n;
      if (!ParseNumber(t.Text, n)) n = TValue::MakeFloat(std::strtod(t.Text.c_str(), nullptr));
      number(n.Kind, n.Int, n.Float);
      return;
    }
    case TTok::Decimal:
    case TTok::Float: number(TValue::TKind::Float, 0, std::strtod(t.Text.c_str(), nullptr)); return;
    case TTok::Ident: number(TValue::TKind::Null, 0, 0.0); return;  // NULL
    default:
      if (!t.Unicode && IsSystemDateLiteral(t.Text)) {
        std::string c;
        ParseDateTimeText(t.Text, c);
        e.IsDate = true;
        e.OriginalText = t.Text;
        e.Value = TValue::MakeText(std::move(c));
      } else {
        number(TValue::TKind::Text, 0, 0.0);
        v.Text.assign(t.Text);
      }
  }
}

void NegateLiteral(TExpr& e) {
  if (e.Value.Kind == TValue::TKind::Int) e.Value.Int = -e.Value.Int;
  else e.Value.Float = -e.Value.Float;
}

TExprPtr TParser::ParseExpr() {
  TNesting nesting(*this);
  auto left = ParseAnd();
  while (IsKeyword("or")) {
    nesting.Link();
    int pos = Next().Pos;
    auto e = MakeExpr(TExprKind::Or, pos);
    e->Args.push_back(std::move(left));
    e->Args.push_back(ParseAnd());
    left = std::move(e);
  }
  return left;
}

TExprPtr TParser::ParseAnd() {
  TNesting nesting(*this, 0);
  auto left = ParseNot();
  while (IsKeyword("and")) {
    nesting.Link();
    int pos = Next().Pos;
    auto e = MakeExpr(TExprKind::And, pos);
    e->Args.push_back(std::move(left));
    e->Args.push_back(ParseNot());
    left = std::move(e);
  }
  return left;
}

TExprPtr TParser::ParseNot() {
  if (IsKeyword("not")) {
    TNesting nesting(*this);
    int pos = Next().Pos;
    auto e = MakeExpr(TExprKind::Not, pos);
    e->Args.push_back(ParseNot());
    return e;
  }
  return ParsePredicate();
}

TExprPtr TParser::ParsePredicate() {
  auto left = ParseAdditive();
  const TToken& t = Peek();
  if (t.Kind == TTok::Op) {
    static const char* const kCmp[] = {"=", "<>", "!=", "<", ">", "<=", ">=", "!<", "!>"};
    for (const char* op : kCmp) {
      if (t.Text == op) {
        int pos = Next().Pos;
        auto e = MakeExpr(TExprKind::Compare, pos);
        std::string o = op;
        if (o == "!=") o = "<>";
        if (o == "!<") o = ">=";
        if (o == "!>") o = "<=";
        e->Op = o;
        e->Args.push_back(std::move(left));
        e->Args.push_back(ParseAdditive());
        return e;
      }
    }
    return left;
  }
  if (IsKeyword("is")) {
    int pos = Next().Pos;
    auto e = MakeExpr(TExprKind::IsNull, pos);
    e->Negated = AcceptKeyword("not");
    ExpectKeyword("null");
    e->Args.push_back(std::move(left));
    return e;
  }
  bool negated = false;
  if (IsKeyword("not") && (IsKeyword("like", 1) || IsKeyword("in", 1) || IsKeyword("between", 1))) {
    Next();
    negated = true;
  }
  if (IsKeyword("like")) {
    int pos = Next().Pos;
    auto e = MakeExpr(TExprKind::Like, pos);
    e->Negated = negated;
    e->Args.push_back(std::move(left));
    e->Args.push_back(ParseAdditive());
    if (IsKeyword("escape")) Fail("Like ... Escape is not supported.");
    return e;
  }
  if (IsKeyword("between")) {
    int pos = Next().Pos;
    auto e = MakeExpr(TExprKind::Between, pos);
    e->Negated = negated;
    e->Args.push_back(std::move(left));
    e->Args.push_back(ParseAdditive());
    ExpectKeyword("and");
    e->Args.push_back(ParseAdditive());
    return e;
  }
  if (IsKeyword("in")) {
    int pos = Next().Pos;
    ExpectOp("(");
    if (IsKeyword("select")) {
      auto e = MakeExpr(TExprKind::InSelect, pos);
      e->Negated = negated;
      e->Args.push_back(std::move(left));
      e->Sub = ParseSelect();
      ExpectOp(")");
      return e;
    }
    auto e = MakeExpr(TExprKind::InList, pos);
    e->Negated = negated;
    e->Args.push_back(std::move(left));
    do {
      e->Args.push_back(ParseExpr());
    } while (AcceptOp(","));
    ExpectOp(")");
    return e;
  }
  if (negated) Fail(Peek());
  return left;
}

TExprPtr TParser::ParseAdditive() {
  TNesting nesting(*this, 0);
  auto left = ParseMultiplicative();
  while (IsOp("+") || IsOp("-") || IsOp("&") || IsOp("|") || IsOp("^")) {
    nesting.Link();
    const TToken& t = Next();
    auto e = MakeExpr(TExprKind::Binary, t.Pos);
    e->Op = t.Text;
    e->Args.push_back(std::move(left));
    e->Args.push_back(ParseMultiplicative());
    left = std::move(e);
  }
  return left;
}

TExprPtr TParser::ParseMultiplicative() {
  TNesting nesting(*this, 0);
  auto left = ParseUnary();
  while (IsOp("*") || IsOp("/") || IsOp("%")) {
    nesting.Link();
    const TToken& t = Next();
    auto e = MakeExpr(TExprKind::Binary, t.Pos);
    e->Op = t.Text;
    e->Args.push_back(std::move(left));
    e->Args.push_back(ParseUnary());
    left = std::move(e);
  }
  return left;
}

TExprPtr TParser::ParseUnary() {
  if (IsOp("-") || IsOp("+") || IsOp("~")) {
    TNesting nesting(*this);
    const TToken& t = Next();
    auto operand = ParseUnary();
    // Fold a sign into a number literal so that -5 stays a literal.
    if (t.Text == "-" && operand->Kind == TExprKind::Literal && operand->Value.IsNumber()) {
      NegateLiteral(*operand);
      operand->Pos = t.Pos;
      if (Sites) {
        for (auto it = Sites->rbegin(); it != Sites->rend(); ++it)
          if (it->Node == operand.get()) {
            ++it->Negations;
            break;
          }
      }
      return operand;
    }
    if (t.Text == "+") return operand;
    auto e = MakeExpr(TExprKind::Unary, t.Pos);
    e->Op = t.Text;
    e->Args.push_back(std::move(operand));
    return e;
  }
  return ParsePrimary();
}

TExprPtr TParser::ParsePrimary() {
  const TToken& t = Peek();
  int pos = t.Pos;
  switch (t.Kind) {
    case TTok::Integer:
    case TTok::Decimal:
    case TTok::Float:
    case TTok::String: {
      if (Sites) Sites->push_back({nullptr, Index, 0});
      Next();
      auto e = MakeExpr(TExprKind::Literal, pos);
      MakeLiteral(*e, t);
      if (Sites) Sites->back().Node = e.get();
      return e;
    }
    case TTok::Variable: {
      Next();
      auto e = MakeExpr(TExprKind::Variable, pos);
      e->Name = t.Text;
      return e;
    }
    case TTok::Op: {
      if (t.Text == "(") {
        Next();
        if (IsKeyword("select")) {
          auto e = MakeExpr(TExprKind::Subquery, pos);
          e->Sub = ParseSelect();
          ExpectOp(")");
          return e;
        }
        auto inner = ParseExpr();
        ExpectOp(")");
        return inner;
      }
      Fail(t);
    }
    case TTok::Ident:
    case TTok::QuotedIdent: {
      if (t.Kind == TTok::Ident) {
        if (IsKeyword("null")) {
          if (Sites) Sites->push_back({nullptr, Index, 0});
          Next();
          auto e = MakeExpr(TExprKind::Literal, pos);
          if (Sites) Sites->back().Node = e.get();
          return e;
        }
        if (IsKeyword("case")) {
          Next();
          return ParseCase(pos);
        }
        if (IsKeyword("exists")) {
          Next();
          ExpectOp("(");
          auto e = MakeExpr(TExprKind::Exists, pos);
          e->Sub = ParseSelect();
          ExpectOp(")");
          return e;
        }
        if (IsKeyword("cast") && IsOp("(", 1)) {
          Next();
          Next();
          auto e = MakeExpr(TExprKind::Cast, pos);
          e->Args.push_back(ParseExpr());
          ExpectKeyword("as");
          e->CastType = ParseType();
          ExpectOp(")");
          return e;
        }
        if (IsKeyword("convert") && IsOp("(", 1)) {
          Next();
          Next();
          auto e = MakeExpr(TExprKind::Cast, pos);
          e->CastType = ParseType();
          ExpectOp(",");
          e->Args.push_back(ParseExpr());
          if (AcceptOp(",")) ParseExpr();  // style: the engine has one text form
          ExpectOp(")");
          return e;
        }
        bool reserved = IsReservedLower(t.Lower);
        if (IsOp("(", 1) && (!reserved || IsKeyword("left") || IsKeyword("right"))) {
          std::string name = Next().Text;
          Next();
          return ParseFunctionCall(name, pos);
        }
        if (reserved) Fail(t);
      }
      // Column: [a.][b.]name
      std::vector<std::string> parts;
      parts.push_back(Next().Text);
      while (IsOp(".")) {
        if (IsOp("*", 1)) break;  // t.* handled by the select list
        Next();
        if (Peek().Kind != TTok::Ident && Peek().Kind != TTok::QuotedIdent) Fail(Peek());
        parts.push_back(Next().Text);
      }
      auto e = MakeExpr(TExprKind::Column, pos);
      e->Name = parts.back();
      if (parts.size() >= 2) e->Qualifier = parts[parts.size() - 2];
      return e;
    }
    default: Fail(t);
  }
}

TExprPtr TParser::ParseFunctionCall(const std::string& name, int pos) {
  auto e = MakeExpr(TExprKind::Func, pos);
  e->Name = AsciiLower(name);
  if (AcceptOp(")")) return e;
  if (IsOp("*") && IsOp(")", 1)) {
    Next();
    Next();
    e->StarArg = true;
    return e;
  }
  if (AcceptKeyword("distinct")) e->Distinct = true;
  else AcceptKeyword("all");
  // DateAdd(day, ...), DateDiff(day, ...): the date part is a bare word.
  if ((e->Name == "dateadd" || e->Name == "datediff" || e->Name == "datepart" || e->Name == "datename") &&
      Peek().Kind == TTok::Ident && IsOp(",", 1)) {
    auto part = MakeExpr(TExprKind::Literal, Peek().Pos);
    part->Value = TValue::MakeText(AsciiLower(Next().Text));
    e->Args.push_back(std::move(part));
    Next();
  }
  do {
    e->Args.push_back(ParseExpr());
  } while (AcceptOp(","));
  ExpectOp(")");
  return e;
}

TExprPtr TParser::ParseCase(int pos) {
  auto e = MakeExpr(TExprKind::Case, pos);
  if (!IsKeyword("when")) {
    e->HasOperand = true;
    e->Args.push_back(ParseExpr());
  }
  if (!IsKeyword("when")) Fail(Peek());
  while (AcceptKeyword("when")) {
    e->Args.push_back(ParseExpr());
    ExpectKeyword("then");
    e->Args.push_back(ParseExpr());
  }
  if (AcceptKeyword("else")) {
    e->HasElse = true;
    e->Args.push_back(ParseExpr());
  }
  ExpectKeyword("end");
  return e;
}

TSqlType TParser::ParseType() {
  const TToken& t = Peek();
  if (t.Kind != TTok::Ident && t.Kind != TTok::QuotedIdent) Fail(t);
  std::string name = Next().Text;
  if (AsciiLower(name) == "double" && IsKeyword("precision")) {
    Next();
    name = "float";
  }
  int a1 = 0, a2 = 0;
  bool has = false, isMax = false;
  if (AcceptOp("(")) {
    if (AcceptKeyword("max")) {
      isMax = true;
    } else {
      if (Peek().Kind != TTok::Integer) Fail(Peek());
      a1 = std::atoi(Next().Text.c_str());
      has = true;
      if (AcceptOp(",")) {
        if (Peek().Kind != TTok::Integer) Fail(Peek());
        a2 = std::atoi(Next().Text.c_str());
      }
    }
    ExpectOp(")");
  }
  TSqlType type;
  if (!MakeSqlType(name, a1, a2, has, isMax, type))
    throw TDbError("Column, parameter, or variable: cannot find data type " + name + ".");
  return type;
}

}  // namespace ooa::tsql
