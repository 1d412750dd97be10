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

// Every node the parse cache copies (TCloner, ParseCache.cpp) is split in
// two: a base of its plain fields, copied by one assignment, and the node
// itself, which adds only the members that own further nodes, copied one by
// one. A field goes into the base; a member that owns nodes goes into the
// node and into TCloner, where a count of each node's members breaks the
// build when one is added without it.

// A literal's value and type lie together at the start: the parse cache puts
// new values into a kept program's literals for every batch it runs.
struct TExprFields {
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
  int Pos = 0;

  // Filled by the compiler.
  int Slot = -1;                   // variable slot
  const TFunction* Fn = nullptr;   // scalar or aggregate function
  bool Simple = false;             // no column, subquery or aggregate: evaluated without SQLite
  bool BaseColumn = false;         // a column of a stored table (not of a derived table)
  bool AliasRef = false;           // ORDER BY naming a select-list alias
};

struct TExpr : TExprFields {
  std::vector<std::unique_ptr<TExpr>> Args;
  std::unique_ptr<TSelect> Sub;
};
using TExprPtr = std::unique_ptr<TExpr>;

struct TSelectItemFields {
  std::string Alias;
  std::string AssignVar;  // "@x" for Select @x = expr
  int AssignSlot = -1;
};

struct TSelectItem : TSelectItemFields {
  TExprPtr Expr;
};

struct TTableSourceFields {
  std::string Name;   // table name (schema prefix dropped)
  std::string Alias;
  int Pos = 0;
};

struct TTableSource : TTableSourceFields {
  std::unique_ptr<TSelect> Derived;
};

struct TJoinFields {
  std::string Kind;  // "INNER", "LEFT", "RIGHT", "FULL", "CROSS"
};

struct TJoin : TJoinFields {
  TTableSource Source;
  TExprPtr On;
};

struct TFromItem {
  TTableSource First;
  std::vector<TJoin> Joins;
};

struct TOrderItemFields {
  bool Desc = false;
};

struct TOrderItem : TOrderItemFields {
  TExprPtr Expr;
};

struct TSelectFields {
  bool Distinct = false;
  int Pos = 0;
};

struct TSelect : TSelectFields {
  TExprPtr Top;
  std::vector<TSelectItem> Items;
  std::vector<TFromItem> From;
  TExprPtr Where;
  std::vector<TExprPtr> GroupBy;
  TExprPtr Having;
  std::vector<TOrderItem> OrderBy;
};

struct TColumnDefFields {
  std::string Name;
  TSqlType Type;
  bool NotNull = false;
  bool PrimaryKey = false;
  bool Unique = false;
  bool Identity = false;
};

struct TColumnDef : TColumnDefFields {
  TExprPtr Default;
};

struct TDeclareItemFields {
  std::string Name;
  TSqlType Type;
  int Slot = -1;
};

struct TDeclareItem : TDeclareItemFields {
  TExprPtr Init;
};

struct TSetItemFields {
  std::string Target;  // column name or "@var"
};

struct TSetItem : TSetItemFields {
  TExprPtr Expr;
};

enum class TStmtKind : uint8_t {
  Select, Insert, Update, Delete, Declare, Set, If, While, Block, Goto, Label, Break, Continue, Return,
  BeginTran, CommitTran, RollbackTran, CreateTable, CreateIndex, DropTable, DropIndex, AlterAdd, Print, Exec, Nop
};

struct TStmtFields {
  TStmtKind Kind = TStmtKind::Nop;
  int Pos = 0;
  int Line = 1;
  std::string Table;                          // Insert/Update/Delete/Create/Drop/Alter target, index table
  std::string Name;                           // label, goto target, index name, Exec's procedure
  std::vector<std::string> Columns;           // Insert column list; index columns
  bool DefaultValues = false;
  std::string ReturnVar;                      // Exec @r = ...
  std::vector<std::string> PrimaryKey;        // table constraint
  std::vector<std::vector<std::string>> UniqueKeys;
  bool Unique = false;                        // Create Unique Index
};

struct TStmt : TStmtFields {
  std::unique_ptr<TSelect> Query;             // Select; Insert ... Select
  std::vector<std::vector<TExprPtr>> Rows;    // Insert ... Values
  std::vector<TSetItem> Sets;                 // Update; Exec arguments (Target "@name" or empty, Expr null: default)
  TExprPtr Where;                             // Update/Delete
  std::vector<TDeclareItem> Declares;         // Declare
  TExprPtr Cond;                              // If/While; Set value; Print
  std::unique_ptr<TStmt> Then, Else;          // If/While body
  std::vector<std::unique_ptr<TStmt>> Body;   // Block
  std::vector<TColumnDef> ColumnDefs;         // Create Table / Alter Add
};
using TStmtPtr = std::unique_ptr<TStmt>;

struct TBatch {
  std::vector<TStmtPtr> Statements;
};

}  // namespace ooa::tsql
