// The recursive-descent parser behind ParseBatch, its methods spread over
// ParserStatements.cpp, ParserExpr.cpp, ParserSelect.cpp and ParserDdl.cpp.
// Internal to the engine.
#pragma once

#include <string>
#include <vector>

#include "tsql/Ast.h"
#include "tsql/Lexer.h"
#include "tsql/Parser.h"

namespace ooa::tsql {

class TParser {
 public:
  explicit TParser(const std::string& text);
  TParser(std::vector<TToken> tokens, std::vector<TLiteralSite>* sites) : Tokens(std::move(tokens)), Sites(sites) {}
  TBatch ParseAll();

  // Tokens.
  const TToken& Peek(int ahead = 0) const;
  const TToken& Next();
  bool IsKeyword(const char* kw, int ahead = 0) const;  // plain identifier, any case
  bool AcceptKeyword(const char* kw);
  void ExpectKeyword(const char* kw);
  bool IsOp(const char* op, int ahead = 0) const;
  bool AcceptOp(const char* op);
  void ExpectOp(const char* op);
  [[noreturn]] void Fail(const TToken& at) const;
  [[noreturn]] void Fail(const std::string& message) const;
  // An identifier or [name]; reserved words only when bracketed.
  bool IsName(int ahead = 0) const;
  std::string ExpectName();
  // Table name, schema prefixes dropped (dbo.Product -> Product).
  std::string ParseObjectName();

  // Statements.
  TStmtPtr ParseStatement();
  bool AtStatementStart() const;
  TStmtPtr ParseBeginOrBlock();
  TStmtPtr ParseIf();
  TStmtPtr ParseWhile();
  TStmtPtr ParseDeclare();
  TStmtPtr ParseSet();
  TStmtPtr ParseInsert();
  TStmtPtr ParseUpdate();
  TStmtPtr ParseDelete();
  TStmtPtr ParseTran(TStmtKind kind);
  TStmtPtr ParseExec();
  TStmtPtr ParseCreate();
  TStmtPtr ParseCreateTable();
  TStmtPtr ParseCreateIndex(bool unique);
  TStmtPtr ParseDrop();
  TStmtPtr ParseAlter();
  TColumnDef ParseColumnDef();
  TSqlType ParseType();
  void SkipTableHints(bool allowBare = true);

  // Queries.
  std::unique_ptr<TSelect> ParseSelect();
  TTableSource ParseTableSource();
  TFromItem ParseFromItem();

  // Expressions.
  TExprPtr ParseExpr();
  TExprPtr ParseAnd();
  TExprPtr ParseNot();
  TExprPtr ParsePredicate();
  TExprPtr ParseAdditive();
  TExprPtr ParseMultiplicative();
  TExprPtr ParseUnary();
  TExprPtr ParsePrimary();
  TExprPtr ParseFunctionCall(const std::string& name, int pos);
  TExprPtr ParseCase(int pos);

  // How deep a batch may nest. The compiler, the executor and the tree's own
  // destruction walk it recursively, so a deeper batch is refused while it is
  // parsed, with SQL Server's message for it.
  static constexpr int kMaxNesting = 1000;

  // One level of nesting for as long as it lives: a statement, a query, an
  // expression, a Not or a sign. Link() counts one link of an operator chain
  // ("a + b + c" is a tree as deep as its links); links stay counted until
  // the statement ends, so that chains inside chains add up.
  class TNesting {
   public:
    explicit TNesting(TParser& parser, int levels = 1);
    ~TNesting() { Parser.Depth -= Levels; }
    TNesting(const TNesting&) = delete;
    TNesting& operator=(const TNesting&) = delete;
    void Link();

   private:
    TParser& Parser;
    int Levels = 0;
  };

 private:
  void CheckNesting() const;

  std::vector<TToken> Tokens;
  std::vector<TLiteralSite>* Sites = nullptr;
  size_t Index = 0;
  int Depth = 0;       // levels of the TNesting objects alive
  int ChainLinks = 0;  // operator chain links of the current statement
};

bool IsReservedWord(const std::string& word);
bool IsReservedLower(const std::string& lowerWord);
TExprPtr MakeExpr(TExprKind kind, int pos);

}  // namespace ooa::tsql
