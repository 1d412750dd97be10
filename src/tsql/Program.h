// TProgram: a compiled batch. The statements become a flat list of
// instructions with jumps (If/Else, While, GoTo and labels), data statements
// carry their SQLite text and where each parameter comes from (a variable slot
// or a literal of the batch). Built by the compiler, run by the executor, owned
// by the session for the duration of one batch.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tsql/Ast.h"

struct sqlite3_stmt;

namespace ooa::tsql {

// Slots 0..3 hold the engine's own variables.
enum TSpecialSlot : int { kSlotError = 0, kSlotRowCount = 1, kSlotTranCount = 2, kSlotIdentity = 3, kFirstUserSlot = 4 };

struct TParamSource {
  int Slot = -1;  // a variable, or -1 for the literal Value
  TValue Value;
  int Use = -1;   // the literal of the batch it was made from: TProgram::LiteralUses
};

// How a literal of the batch shaped the program. The parse cache runs the
// program again with another batch's literals put in by these.
struct TLiteralUse {
  enum class THow : uint8_t {
    Value,         // its value, as a parameter
    OriginalText,  // a date literal as written, as a parameter
    DateText,      // a text read as a date-time: the canonical text, as a parameter
    NoDateText,    // a text that is no date-time, so it is converted when the statement runs
    Stored,        // its value converted for storing into Target, as a parameter
    NotStored,     // a value that does not convert for Target, so it fails when the statement runs
    Exact,         // the value itself is part of the program
  };
  const TExpr* Node = nullptr;
  THow How = THow::Value;
  TSqlType Target;         // Stored, NotStored
  std::string TargetName;  // Stored, NotStored
};

struct TOutColumn {
  std::string Name;
  TSqlType Type;
};

struct TSqlStep {
  std::string Sql;
  std::vector<TParamSource> Params;   // ?1, ?2, ...
  std::vector<TOutColumn> Columns;    // result columns of a query
  std::vector<int> AssignSlots;       // Select @a = ... : one slot per column
  // The session's prepared statement of Sql, valid while its statement
  // cache is in generation PreparedIn (TStatementCache::Get).
  mutable sqlite3_stmt* Prepared = nullptr;
  mutable uint64_t PreparedIn = 0;
};

enum class TOp : uint8_t {
  Query,        // Sql: a result set
  QueryAssign,  // Sql: assign the columns of the last row to AssignSlots
  Exec,         // Sql: Insert / Update / Delete
  Ddl,          // Sql: Create / Drop / Alter; the catalog is read again afterwards
  EvalAssign,   // Assigns evaluated by the engine itself
  EvalResult,   // a one-row result set of Exprs evaluated by the engine
  JumpIfFalse,  // Cond (engine) or Sql (one 0/1 column) false or NULL: jump to Target
  Jump,
  BeginTran,
  CommitTran,
  RollbackTran,
  CallProc,     // Proc with the values of Exprs (null: the default), its return code into ResultSlot
  Return,
  Nop,
};

struct TProcedure;

struct TInstr {
  TOp Op = TOp::Nop;
  int Target = -1;
  int Line = 1;
  std::unique_ptr<TSqlStep> Sql;
  const TExpr* Cond = nullptr;
  std::vector<std::pair<int, const TExpr*>> Assigns;
  std::vector<const TExpr*> Exprs;
  std::vector<TOutColumn> Columns;  // EvalResult
  const TProcedure* Proc = nullptr;  // CallProc
  int ResultSlot = -1;               // CallProc: the return code's variable, or -1
};

struct TVariable {
  std::string Name;
  TSqlType Type;
};

struct TProgram {
  TBatch Ast;
  std::vector<TInstr> Code;
  std::vector<TVariable> Vars;
  std::vector<TLiteralUse> LiteralUses;
  bool HasDdl = false;
};

}  // namespace ooa::tsql
