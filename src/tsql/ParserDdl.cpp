#include "db/session/DbSession.h"
#include "tsql/ParserImpl.h"

namespace ooa::tsql {

TStmtPtr TParser::ParseCreate() {
  ExpectKeyword("create");
  if (IsKeyword("table")) return ParseCreateTable();
  bool unique = AcceptKeyword("unique");
  if (!AcceptKeyword("clustered")) AcceptKeyword("nonclustered");
  if (IsKeyword("index")) return ParseCreateIndex(unique);
  Fail("Only Create Table and Create Index are supported.");
}

namespace {
std::vector<std::string> ParseNameList(TParser& p) {
  std::vector<std::string> names;
  p.ExpectOp("(");
  do {
    names.push_back(p.ExpectName());
    if (!p.AcceptKeyword("asc")) p.AcceptKeyword("desc");
  } while (p.AcceptOp(","));
  p.ExpectOp(")");
  return names;
}
}  // namespace

TStmtPtr TParser::ParseCreateTable() {
  ExpectKeyword("table");
  auto s = std::make_unique<TStmt>();
  s->Kind = TStmtKind::CreateTable;
  s->Table = ParseObjectName();
  ExpectOp("(");
  do {
    if (IsKeyword("constraint") || IsKeyword("primary") || IsKeyword("unique")) {
      if (AcceptKeyword("constraint")) ExpectName();
      if (AcceptKeyword("primary")) {
        ExpectKeyword("key");
        if (!AcceptKeyword("clustered")) AcceptKeyword("nonclustered");
        if (!s->PrimaryKey.empty()) Fail("A table can have only one primary key.");
        s->PrimaryKey = ParseNameList(*this);
      } else {
        ExpectKeyword("unique");
        if (!AcceptKeyword("clustered")) AcceptKeyword("nonclustered");
        s->UniqueKeys.push_back(ParseNameList(*this));
      }
      continue;
    }
    s->ColumnDefs.push_back(ParseColumnDef());
  } while (AcceptOp(","));
  ExpectOp(")");
  return s;
}

TColumnDef TParser::ParseColumnDef() {
  TColumnDef c;
  c.Name = ExpectName();
  c.Type = ParseType();
  while (true) {
    if (AcceptKeyword("not")) {
      ExpectKeyword("null");
      c.NotNull = true;
    } else if (AcceptKeyword("null")) {
      c.NotNull = false;
    } else if (AcceptKeyword("identity")) {
      c.Identity = true;
      if (AcceptOp("(")) {
        while (!IsOp(")") && Peek().Kind != TTok::End) Next();
        ExpectOp(")");
      }
    } else if (AcceptKeyword("default")) {
      c.Default = ParseUnary();
    } else if (AcceptKeyword("primary")) {
      ExpectKeyword("key");
      if (!AcceptKeyword("clustered")) AcceptKeyword("nonclustered");
      c.PrimaryKey = true;
    } else if (AcceptKeyword("unique")) {
      c.Unique = true;
    } else if (AcceptKeyword("constraint")) {
      ExpectName();
    } else {
      break;
    }
  }
  if (c.Identity && c.Type.Class != TTypeClass::Int) Fail("Identity column '" + c.Name + "' must be of an integer type.");
  return c;
}

TStmtPtr TParser::ParseCreateIndex(bool unique) {
  ExpectKeyword("index");
  auto s = std::make_unique<TStmt>();
  s->Kind = TStmtKind::CreateIndex;
  s->Unique = unique;
  s->Name = ExpectName();
  ExpectKeyword("on");
  s->Table = ParseObjectName();
  s->Columns = ParseNameList(*this);
  return s;
}

TStmtPtr TParser::ParseDrop() {
  ExpectKeyword("drop");
  auto s = std::make_unique<TStmt>();
  if (AcceptKeyword("table")) {
    s->Kind = TStmtKind::DropTable;
    s->Table = ParseObjectName();
  } else if (AcceptKeyword("index")) {
    s->Kind = TStmtKind::DropIndex;
    std::string first = ExpectName();
    if (AcceptOp(".")) {
      s->Table = first;
      s->Name = ExpectName();
    } else {
      s->Name = first;
      if (AcceptKeyword("on")) s->Table = ParseObjectName();
    }
  } else {
    Fail(Peek());
  }
  return s;
}

TStmtPtr TParser::ParseAlter() {
  ExpectKeyword("alter");
  ExpectKeyword("table");
  auto s = std::make_unique<TStmt>();
  s->Kind = TStmtKind::AlterAdd;
  s->Table = ParseObjectName();
  ExpectKeyword("add");
  do {
    s->ColumnDefs.push_back(ParseColumnDef());
  } while (AcceptOp(","));
  return s;
}

}  // namespace ooa::tsql
