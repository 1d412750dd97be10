#include "db/session/DbSession.h"
#include "tsql/ParserImpl.h"

namespace ooa::tsql {

std::unique_ptr<TSelect> TParser::ParseSelect() {
  TNesting nesting(*this);
  auto q = std::make_unique<TSelect>();
  q->Pos = Peek().Pos;
  ExpectKeyword("select");
  if (AcceptKeyword("distinct")) q->Distinct = true;
  else AcceptKeyword("all");
  if (AcceptKeyword("top")) {
    if (AcceptOp("(")) {
      q->Top = ParseExpr();
      ExpectOp(")");
    } else {
      q->Top = ParsePrimary();
    }
    if (IsKeyword("percent")) Fail("Top ... Percent is not supported.");
  }
  do {
    TSelectItem item;
    const TToken& t = Peek();
    if (IsOp("*")) {
      item.Expr = MakeExpr(TExprKind::Star, Next().Pos);
    } else if ((t.Kind == TTok::Ident || t.Kind == TTok::QuotedIdent) && IsOp(".", 1) && IsOp("*", 2)) {
      item.Expr = MakeExpr(TExprKind::Star, t.Pos);
      item.Expr->Qualifier = Next().Text;
      Next();
      Next();
    } else if (t.Kind == TTok::Variable && IsOp("=", 1)) {
      item.AssignVar = Next().Text;
      Next();
      item.Expr = ParseExpr();
    } else if (IsName() && IsOp("=", 1)) {
      item.Alias = Next().Text;
      Next();
      item.Expr = ParseExpr();
    } else {
      item.Expr = ParseExpr();
      if (AcceptKeyword("as")) {
        if (Peek().Kind == TTok::String) item.Alias = Next().Text;
        else item.Alias = ExpectName();
      } else if ((IsName() && !IsOp(":", 1)) || Peek().Kind == TTok::String) {
        if (Peek().Kind == TTok::String && !(IsOp(",", 1) || IsKeyword("from", 1) || Peek(1).Kind == TTok::End))
          Fail(Peek());
        item.Alias = Next().Text;
      }
    }
    q->Items.push_back(std::move(item));
  } while (AcceptOp(","));
  if (IsKeyword("into")) Fail("Select ... Into is not supported.");
  if (AcceptKeyword("from")) {
    do {
      q->From.push_back(ParseFromItem());
    } while (AcceptOp(","));
  }
  if (AcceptKeyword("where")) q->Where = ParseExpr();
  if (IsKeyword("group")) {
    Next();
    ExpectKeyword("by");
    do {
      q->GroupBy.push_back(ParseExpr());
    } while (AcceptOp(","));
  }
  if (AcceptKeyword("having")) q->Having = ParseExpr();
  if (IsKeyword("order")) {
    Next();
    ExpectKeyword("by");
    do {
      TOrderItem o;
      o.Expr = ParseExpr();
      if (AcceptKeyword("desc")) o.Desc = true;
      else AcceptKeyword("asc");
      q->OrderBy.push_back(std::move(o));
    } while (AcceptOp(","));
  }
  if (IsKeyword("union") || IsKeyword("except") || IsKeyword("intersect"))
    Fail("Union, Except and Intersect are not supported.");
  return q;
}

TTableSource TParser::ParseTableSource() {
  TTableSource src;
  src.Pos = Peek().Pos;
  if (IsOp("(")) {
    Next();
    if (!IsKeyword("select")) Fail(Peek());
    src.Derived = ParseSelect();
    ExpectOp(")");
    AcceptKeyword("as");
    if (!IsName()) Fail("A derived table needs an alias.");
    src.Alias = Next().Text;
    return src;
  }
  src.Name = ParseObjectName();
  if (AcceptKeyword("as")) {
    src.Alias = ExpectName();
  } else if (IsName() && !IsOp(":", 1) && !IsKeyword("with")) {
    src.Alias = Next().Text;
  }
  SkipTableHints();
  return src;
}

TFromItem TParser::ParseFromItem() {
  TFromItem item;
  item.First = ParseTableSource();
  while (true) {
    std::string kind;
    if (IsKeyword("join")) {
      kind = "INNER";
    } else if (IsKeyword("inner") && IsKeyword("join", 1)) {
      Next();
      kind = "INNER";
    } else if (IsKeyword("left") || IsKeyword("right") || IsKeyword("full")) {
      kind = AsciiUpper(Peek().Text);
      Next();
      AcceptKeyword("outer");
      if (!IsKeyword("join")) Fail(Peek());
    } else if (IsKeyword("cross") && IsKeyword("join", 1)) {
      Next();
      kind = "CROSS";
    } else {
      break;
    }
    ExpectKeyword("join");
    TJoin j;
    j.Kind = kind;
    j.Source = ParseTableSource();
    if (kind != "CROSS") {
      ExpectKeyword("on");
      j.On = ParseExpr();
    }
    item.Joins.push_back(std::move(j));
  }
  return item;
}

}  // namespace ooa::tsql
