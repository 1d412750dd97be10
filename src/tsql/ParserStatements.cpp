#include <strings.h>

#include <unordered_set>

#include "db/session/DbSession.h"
#include "tsql/Parser.h"
#include "tsql/ParserImpl.h"

namespace ooa::tsql {

bool IsReservedLower(const std::string& word) {
  static const std::unordered_set<std::string> kWords = {
      "add", "all", "alter", "and", "any", "as", "asc", "begin", "between", "break", "by", "case", "check",
      "collate", "column", "commit", "constraint", "continue", "create", "cross", "declare", "default", "delete", "desc",
      "distinct", "drop", "else", "end", "exec", "execute", "exists", "for", "foreign", "from", "full", "goto",
      "group", "having", "identity", "if", "in", "index", "inner", "insert", "into", "is", "join", "key",
      "left", "like", "not", "null", "on", "option", "or", "order", "outer", "over", "percent", "primary", "print", "references",
      "return", "right", "rollback", "select", "set", "table", "then", "to", "top", "tran", "transaction",
      "union", "unique", "update", "values", "when", "where", "while", "with"};
  return kWords.count(word) != 0;
}

bool IsReservedWord(const std::string& word) { return IsReservedLower(AsciiLower(word)); }

TExprPtr MakeExpr(TExprKind kind, int pos) {
  auto e = std::make_unique<TExpr>();
  e->Kind = kind;
  e->Pos = pos;
  return e;
}

TParser::TParser(const std::string& text) : Tokens(Tokenize(text)) {}

const TToken& TParser::Peek(int ahead) const {
  size_t i = Index + static_cast<size_t>(ahead);
  return i < Tokens.size() ? Tokens[i] : Tokens.back();
}

const TToken& TParser::Next() {
  const TToken& t = Peek();
  if (Index < Tokens.size() - 1) ++Index;
  return t;
}

bool TParser::IsKeyword(const char* kw, int ahead) const {
  const TToken& t = Peek(ahead);
  return t.Kind == TTok::Ident && t.Lower == kw;
}

bool TParser::AcceptKeyword(const char* kw) {
  if (!IsKeyword(kw)) return false;
  Next();
  return true;
}

void TParser::ExpectKeyword(const char* kw) {
  if (!AcceptKeyword(kw)) Fail(Peek());
}

bool TParser::IsOp(const char* op, int ahead) const {
  const TToken& t = Peek(ahead);
  return t.Kind == TTok::Op && t.Text == op;
}

bool TParser::AcceptOp(const char* op) {
  if (!IsOp(op)) return false;
  Next();
  return true;
}

void TParser::ExpectOp(const char* op) {
  if (!AcceptOp(op)) Fail(Peek());
}

void TParser::Fail(const TToken& at) const {
  if (at.Kind == TTok::End) throw TDbError("Incorrect syntax near the end of the batch.");
  std::string near = at.Text;
  if (at.Kind == TTok::String) near = "'" + near + "'";
  throw TDbError("Incorrect syntax near '" + near + "' (line " + std::to_string(at.Line) + ").");
}

void TParser::Fail(const std::string& message) const { throw TDbError(message); }

TParser::TNesting::TNesting(TParser& parser, int levels) : Parser(parser), Levels(levels) {
  Parser.Depth += levels;
  Parser.CheckNesting();
}

void TParser::TNesting::Link() {
  ++Parser.ChainLinks;
  Parser.CheckNesting();
}

void TParser::CheckNesting() const {
  if (Depth + ChainLinks > kMaxNesting)
    Fail("Some part of your SQL statement is nested too deeply. Rewrite the query or break it up into smaller "
         "queries.");
}

bool TParser::IsName(int ahead) const {
  const TToken& t = Peek(ahead);
  return t.Kind == TTok::QuotedIdent || (t.Kind == TTok::Ident && !IsReservedLower(t.Lower));
}

std::string TParser::ExpectName() {
  if (!IsName()) Fail(Peek());
  return Next().Text;
}

std::string TParser::ParseObjectName() {
  std::string name = ExpectName();
  while (IsOp(".") && (Peek(1).Kind == TTok::Ident || Peek(1).Kind == TTok::QuotedIdent || IsOp(".", 1))) {
    Next();
    if (IsOp(".")) continue;  // db..table
    name = Next().Text;
  }
  return name;
}

bool TParser::AtStatementStart() const {
  static const std::unordered_set<std::string> kStarts = {
      "select", "insert", "update", "delete", "declare", "set",  "if",     "while", "begin",   "commit",
      "rollback", "goto", "create", "drop", "alter", "print", "return", "break", "continue", "exec", "execute"};
  const TToken& t = Peek();
  return t.Kind == TTok::Ident && kStarts.count(t.Lower) != 0;
}

TBatch TParser::ParseAll() {
  TBatch batch;
  while (true) {
    while (AcceptOp(";")) {
    }
    if (Peek().Kind == TTok::End) break;
    batch.Statements.push_back(ParseStatement());
  }
  return batch;
}

TStmtPtr TParser::ParseStatement() {
  TNesting nesting(*this);
  // The chain links of an enclosing statement are not above this one's.
  struct TLinks {
    int& Count;
    int Saved;
    ~TLinks() { Count = Saved; }
  } links{ChainLinks, ChainLinks};
  ChainLinks = 0;
  const TToken& t = Peek();
  TStmtPtr s;
  // label:
  if ((t.Kind == TTok::Ident || t.Kind == TTok::QuotedIdent) && IsOp(":", 1) && !AtStatementStart()) {
    s = std::make_unique<TStmt>();
    s->Kind = TStmtKind::Label;
    s->Pos = t.Pos;
    s->Line = t.Line;
    s->Name = Next().Text;
    Next();
    return s;
  }
  int pos = t.Pos, line = t.Line;
  if (IsKeyword("select")) {
    s = std::make_unique<TStmt>();
    s->Kind = TStmtKind::Select;
    s->Query = ParseSelect();
  } else if (IsKeyword("insert")) {
    s = ParseInsert();
  } else if (IsKeyword("update")) {
    s = ParseUpdate();
  } else if (IsKeyword("delete")) {
    s = ParseDelete();
  } else if (IsKeyword("declare")) {
    s = ParseDeclare();
  } else if (IsKeyword("set")) {
    s = ParseSet();
  } else if (IsKeyword("if")) {
    s = ParseIf();
  } else if (IsKeyword("while")) {
    s = ParseWhile();
  } else if (IsKeyword("begin")) {
    s = ParseBeginOrBlock();
  } else if (IsKeyword("commit")) {
    Next();
    s = ParseTran(TStmtKind::CommitTran);
  } else if (IsKeyword("rollback")) {
    Next();
    s = ParseTran(TStmtKind::RollbackTran);
  } else if (IsKeyword("goto")) {
    Next();
    s = std::make_unique<TStmt>();
    s->Kind = TStmtKind::Goto;
    if (Peek().Kind != TTok::Ident && Peek().Kind != TTok::QuotedIdent) Fail(Peek());
    s->Name = Next().Text;
  } else if (IsKeyword("create")) {
    s = ParseCreate();
  } else if (IsKeyword("drop")) {
    s = ParseDrop();
  } else if (IsKeyword("alter")) {
    s = ParseAlter();
  } else if (IsKeyword("exec") || IsKeyword("execute")) {
    s = ParseExec();
  } else if (IsKeyword("print")) {
    Next();
    s = std::make_unique<TStmt>();
    s->Kind = TStmtKind::Print;
    s->Cond = ParseExpr();
  } else if (IsKeyword("return")) {
    Next();
    s = std::make_unique<TStmt>();
    s->Kind = TStmtKind::Return;
  } else if (IsKeyword("break") || IsKeyword("continue")) {
    bool isBreak = IsKeyword("break");
    Next();
    s = std::make_unique<TStmt>();
    s->Kind = isBreak ? TStmtKind::Break : TStmtKind::Continue;
  } else {
    Fail(t);
  }
  s->Pos = pos;
  s->Line = line;
  return s;
}

// Exec [@r =] procedure [[@name =] value | Default, ...]. The arguments
// start with a value (a number, a text, Null, a variable, a sign) or Default,
// so a statement that follows without ';' is not taken for one.
TStmtPtr TParser::ParseExec() {
  Next();
  auto s = std::make_unique<TStmt>();
  s->Kind = TStmtKind::Exec;
  if (Peek().Kind == TTok::Variable && IsOp("=", 1)) {
    s->ReturnVar = Next().Text;
    Next();
  }
  if (IsOp("(") || Peek().Kind == TTok::String || Peek().Kind == TTok::Variable)
    Fail("Exec of a text or of a procedure named by a variable is not supported.");
  s->Name = ParseObjectName();
  auto atArgument = [this]() {
    const TToken& t = Peek();
    return t.Kind == TTok::Variable || t.Kind == TTok::Integer || t.Kind == TTok::Decimal || t.Kind == TTok::Float ||
           t.Kind == TTok::String || IsOp("-") || IsOp("+") || IsKeyword("null") || IsKeyword("default");
  };
  if (!atArgument()) return s;
  bool named = false;
  do {
    TSetItem arg;
    if (Peek().Kind == TTok::Variable && IsOp("=", 1)) {
      arg.Target = Next().Text;
      Next();
      named = true;
    } else if (named) {
      Fail("Must pass parameter number " + std::to_string(s->Sets.size() + 1) +
           " and subsequent parameters as '@name = value'. After the form '@name = value' has been used, all "
           "subsequent parameters must be passed in the form '@name = value'.");
    }
    if (!AcceptKeyword("default")) arg.Expr = ParseExpr();
    if (IsKeyword("output") || IsKeyword("out")) Fail("Output parameters are not supported.");
    s->Sets.push_back(std::move(arg));
  } while (AcceptOp(","));
  return s;
}

TStmtPtr TParser::ParseTran(TStmtKind kind) {
  auto s = std::make_unique<TStmt>();
  s->Kind = kind;
  if (AcceptKeyword("tran") || AcceptKeyword("transaction") || AcceptKeyword("work")) {
    if (IsName() && !AtStatementStart() && !IsOp(":", 1)) Next();  // transaction name
    else if (Peek().Kind == TTok::Variable) Next();
  }
  return s;
}

TStmtPtr TParser::ParseBeginOrBlock() {
  ExpectKeyword("begin");
  if (IsKeyword("tran") || IsKeyword("transaction")) return ParseTran(TStmtKind::BeginTran);
  auto s = std::make_unique<TStmt>();
  s->Kind = TStmtKind::Block;
  while (true) {
    while (AcceptOp(";")) {
    }
    if (AcceptKeyword("end")) break;
    if (Peek().Kind == TTok::End) Fail("Incorrect syntax: 'Begin' without its 'End'.");
    s->Body.push_back(ParseStatement());
  }
  return s;
}

TStmtPtr TParser::ParseIf() {
  ExpectKeyword("if");
  auto s = std::make_unique<TStmt>();
  s->Kind = TStmtKind::If;
  s->Cond = ParseExpr();
  while (AcceptOp(";")) {
  }
  s->Then = ParseStatement();
  // Tolerate "stmt; Else".
  size_t save = Index;
  while (AcceptOp(";")) {
  }
  if (AcceptKeyword("else")) {
    while (AcceptOp(";")) {
    }
    s->Else = ParseStatement();
  } else {
    Index = save;
  }
  return s;
}

TStmtPtr TParser::ParseWhile() {
  ExpectKeyword("while");
  auto s = std::make_unique<TStmt>();
  s->Kind = TStmtKind::While;
  s->Cond = ParseExpr();
  s->Then = ParseStatement();
  return s;
}

TStmtPtr TParser::ParseDeclare() {
  ExpectKeyword("declare");
  auto s = std::make_unique<TStmt>();
  s->Kind = TStmtKind::Declare;
  do {
    if (Peek().Kind != TTok::Variable) Fail(Peek());
    TDeclareItem d;
    d.Name = Next().Text;
    AcceptKeyword("as");
    if (IsKeyword("table") || IsKeyword("cursor")) Fail("Table and cursor variables are not supported.");
    d.Type = ParseType();
    if (AcceptOp("=")) d.Init = ParseExpr();
    s->Declares.push_back(std::move(d));
  } while (AcceptOp(","));
  return s;
}

TStmtPtr TParser::ParseSet() {
  ExpectKeyword("set");
  auto s = std::make_unique<TStmt>();
  if (Peek().Kind == TTok::Variable) {
    s->Kind = TStmtKind::Set;
    s->Name = Next().Text;
    static const char* const kCompound[] = {"+=", "-=", "*=", "/="};
    for (const char* op : kCompound) {
      if (IsOp(op)) {
        int pos = Next().Pos;
        auto bin = MakeExpr(TExprKind::Binary, pos);
        bin->Op = std::string(1, op[0]);
        auto var = MakeExpr(TExprKind::Variable, pos);
        var->Name = s->Name;
        bin->Args.push_back(std::move(var));
        bin->Args.push_back(ParseExpr());
        s->Cond = std::move(bin);
        return s;
      }
    }
    ExpectOp("=");
    s->Cond = ParseExpr();
    return s;
  }
  // Session options (Set NoCount On, Set Xact_Abort Off, ...) are accepted and ignored.
  s->Kind = TStmtKind::Nop;
  if (Peek().Kind != TTok::Ident) Fail(Peek());
  Next();
  while (Peek().Kind == TTok::Ident && !AtStatementStart() && !IsKeyword("on") && !IsKeyword("off")) Next();
  if (!AcceptKeyword("on") && !AcceptKeyword("off")) {
    if (Peek().Kind == TTok::Integer || Peek().Kind == TTok::Ident) Next();
    else Fail(Peek());
  }
  return s;
}

void TParser::SkipTableHints(bool allowBare) {
  // "(TabLockX)" right after the table, or "With (NoLock, ...)".
  bool with = false;
  if (IsKeyword("with") && IsOp("(", 1)) {
    Next();
    with = true;
  }
  if (!IsOp("(")) return;
  if (!with && !allowBare) return;
  if (!with && !(Peek(1).Kind == TTok::Ident && (IsOp(")", 2) || IsOp(",", 2)))) return;
  Next();
  do {
    if (Peek().Kind != TTok::Ident) Fail(Peek());
    Next();
  } while (AcceptOp(","));
  ExpectOp(")");
}

TStmtPtr TParser::ParseInsert() {
  ExpectKeyword("insert");
  auto s = std::make_unique<TStmt>();
  s->Kind = TStmtKind::Insert;
  AcceptKeyword("into");
  s->Table = ParseObjectName();
  SkipTableHints(false);
  if (IsOp("(") && !IsKeyword("select", 1)) {
    Next();
    do {
      s->Columns.push_back(ExpectName());
    } while (AcceptOp(","));
    ExpectOp(")");
  }
  if (AcceptKeyword("values")) {
    do {
      ExpectOp("(");
      std::vector<TExprPtr> row;
      do {
        row.push_back(ParseExpr());
      } while (AcceptOp(","));
      ExpectOp(")");
      s->Rows.push_back(std::move(row));
    } while (AcceptOp(","));
  } else if (IsKeyword("default")) {
    Next();
    ExpectKeyword("values");
    s->DefaultValues = true;
  } else if (IsKeyword("select")) {
    s->Query = ParseSelect();
  } else if (IsOp("(") && IsKeyword("select", 1)) {
    Next();
    s->Query = ParseSelect();
    ExpectOp(")");
  } else {
    Fail(Peek());
  }
  return s;
}

TStmtPtr TParser::ParseUpdate() {
  ExpectKeyword("update");
  auto s = std::make_unique<TStmt>();
  s->Kind = TStmtKind::Update;
  s->Table = ParseObjectName();
  SkipTableHints();
  ExpectKeyword("set");
  do {
    TSetItem item;
    if (Peek().Kind == TTok::Variable) {
      item.Target = Next().Text;
    } else {
      item.Target = ExpectName();
      // Table.Column on the left side
      while (AcceptOp(".")) item.Target = ExpectName();
    }
    ExpectOp("=");
    item.Expr = ParseExpr();
    s->Sets.push_back(std::move(item));
  } while (AcceptOp(","));
  if (IsKeyword("from")) Fail("Update ... From is not supported; use a subquery.");
  if (AcceptKeyword("where")) s->Where = ParseExpr();
  return s;
}

TStmtPtr TParser::ParseDelete() {
  ExpectKeyword("delete");
  auto s = std::make_unique<TStmt>();
  s->Kind = TStmtKind::Delete;
  AcceptKeyword("from");
  s->Table = ParseObjectName();
  SkipTableHints();
  if (IsKeyword("from")) Fail("Delete ... From ... From is not supported; use a subquery.");
  if (AcceptKeyword("where")) s->Where = ParseExpr();
  return s;
}

TBatch ParseBatch(const std::string& text) {
  TParser p(text);
  return p.ParseAll();
}

TBatch ParseTokens(std::vector<TToken> tokens, std::vector<TLiteralSite>* sites) {
  TParser p(std::move(tokens), sites);
  return p.ParseAll();
}

}  // namespace ooa::tsql
