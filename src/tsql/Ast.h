// The parsed form of a T-SQL batch: expressions, SELECT queries and statements.
// The parser builds it, the compiler annotates it (types, variable slots,
// functions) and the executor's evaluator reads it while the batch runs; the
// compiled program owns it. One batch, one thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tsql/SqlType.h"
#include "tsql/Value.h"

namespace ooa::tsql {

struct TFunction;
struct TSelect;

enum class TExprKind : uint8_t {
  Literal,   // Value (IsDate: a 'mm/dd/yyyy[ hh:mm:ss]' text, Value holds the canonical form)
  Variable,  // Name ("@x" or "@@Error")
  Column,    // Qualifier (may be empty) . Name
  Star,      // Qualifier.* or *
  Unary,     // Op "-" "+" "~"
  Binary,    // Op "+" "-" "*" "/" "%" "&" "|" "^"
  Compare,   // Op "=" "<>" "<" ">" "<=" ">="
  And,
  Or,
  Not,
  IsNull,    // Args[0] Is [Not] Null
  Like,      // Args[0] [Not] Like Args[1]
  Between,   // Args[0] [Not] Between Args[1] And Args[2]
  InList,    // Args[0] [Not] In (Args[1..])
  InSelect,  // Args[0] [Not] In (Sub)
  Exists,    // Exists (Sub)
  Subquery,  // (Sub) as a value
  Func,      // Name(Args), Distinct, StarArg for Count(*)
  Cast,      // Cast(Args[0] As CastType) / Convert(CastType, Args[0])
  Case,      // Args: [operand if HasOperand] when,then pairs..., [else if HasElse]
};

// A literal's value and type lie together at the start: the parse cache puts
// new values into a kept program's literals for every batch it runs.
struct TExpr {
  TExprKind Kind = TExprKind::Literal;
  bool IsDate = false;
  TValue Value;
  std::string OriginalText;  // a date literal as written
  TSqlType Type;             // filled by the compiler
  std::string Op;
  std::string Name;
  std::string Qualifier;
  bool Negated = false;
  bool Distinct = false;
  bool StarArg = false;
  bool HasOperand = false;
  bool HasElse = false;
  TSqlType CastType;
  std::vector<std::unique_ptr<TExpr>> Args;
  std::unique_ptr<TSelect> Sub;
  int Pos = 0;

  // Filled by the compiler.
  int Slot = -1;                   // variable slot
  const TFunction* Fn = nullptr;   // scalar or aggregate function
  bool Simple = false;             // no column, subquery or aggregate: evaluated without SQLite
  bool BaseColumn = false;         // a column of a stored table (not of a derived table)
  bool AliasRef = false;           // ORDER BY naming a select-list alias
};
using TExprPtr = std::unique_ptr<TExpr>;

struct TSelectItem {
  TExprPtr Expr;
  std::string Alias;
  std::string AssignVar;  // "@x" for Select @x = expr
  int AssignSlot = -1;
};

struct TTableSource {
  std::string Name;   // table name (schema prefix dropped)
  std::string Alias;
  std::unique_ptr<TSelect> Derived;
  int Pos = 0;
};

struct TJoin {
  std::string Kind;  // "INNER", "LEFT", "RIGHT", "FULL", "CROSS"
  TTableSource Source;
  TExprPtr On;
};

struct TFromItem {
  TTableSource First;
  std::vector<TJoin> Joins;
};

struct TOrderItem {
  TExprPtr Expr;
  bool Desc = false;
};

struct TSelect {
  bool Distinct = false;
  TExprPtr Top;
  std::vector<TSelectItem> Items;
  std::vector<TFromItem> From;
  TExprPtr Where;
  std::vector<TExprPtr> GroupBy;
  TExprPtr Having;
  std::vector<TOrderItem> OrderBy;
  int Pos = 0;
};

struct TColumnDef {
  std::string Name;
  TSqlType Type;
  bool NotNull = false;
  bool PrimaryKey = false;
  bool Unique = false;
  bool Identity = false;
  TExprPtr Default;
};

struct TDeclareItem {
  std::string Name;
  TSqlType Type;
  TExprPtr Init;
  int Slot = -1;
};

struct TSetItem {
  std::string Target;  // column name or "@var"
  TExprPtr Expr;
};

enum class TStmtKind : uint8_t {
  Select, Insert, Update, Delete, Declare, Set, If, While, Block, Goto, Label, Break, Continue, Return,
  BeginTran, CommitTran, RollbackTran, CreateTable, CreateIndex, DropTable, DropIndex, AlterAdd, Print, Exec, Nop
};

struct TStmt {
  TStmtKind Kind = TStmtKind::Nop;
  int Pos = 0;
  int Line = 1;
  std::unique_ptr<TSelect> Query;             // Select; Insert ... Select
  std::string Table;                          // Insert/Update/Delete/Create/Drop/Alter target, index table
  std::string Name;                           // label, goto target, index name, Exec's procedure
  std::vector<std::string> Columns;           // Insert column list; index columns
  std::vector<std::vector<TExprPtr>> Rows;    // Insert ... Values
  bool DefaultValues = false;
  std::vector<TSetItem> Sets;                 // Update; Exec arguments (Target "@name" or empty, Expr null: default)
  std::string ReturnVar;                      // Exec @r = ...
  TExprPtr Where;                             // Update/Delete
  std::vector<TDeclareItem> Declares;         // Declare
  TExprPtr Cond;                              // If/While; Set value; Print
  std::unique_ptr<TStmt> Then, Else;          // If/While body
  std::vector<std::unique_ptr<TStmt>> Body;   // Block
  std::vector<TColumnDef> ColumnDefs;         // Create Table / Alter Add
  std::vector<std::string> PrimaryKey;        // table constraint
  std::vector<std::vector<std::string>> UniqueKeys;
  bool Unique = false;                        // Create Unique Index
};
using TStmtPtr = std::unique_ptr<TStmt>;

struct TBatch {
  std::vector<TStmtPtr> Statements;
};

}  // namespace ooa::tsql
