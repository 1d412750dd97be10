#include "tsql/Executor.h"

#include <cmath>

#include "tsql/Evaluator.h"
#include "tsql/Functions.h"
#include "tsql/Procedures.h"

namespace ooa::tsql {

namespace {

constexpr long kMaxInstructions = 50'000'000;  // a GoTo loop that never ends is stopped

bool IsFatal(int rc) {
  int primary = rc & 0xFF;
  return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_IOERR ||
         primary == SQLITE_FULL || primary == SQLITE_NOMEM || primary == SQLITE_CANTOPEN ||
         primary == SQLITE_READONLY || primary == SQLITE_PERM;
}

void Bind(sqlite3_stmt* st, int index, const TValue& v) {
  switch (v.Kind) {
    case TValue::TKind::Null: sqlite3_bind_null(st, index); break;
    case TValue::TKind::Int: sqlite3_bind_int64(st, index, v.Int); break;
    case TValue::TKind::Float: sqlite3_bind_double(st, index, v.Float); break;
    case TValue::TKind::Text:
      sqlite3_bind_text(st, index, v.Text.data(), static_cast<int>(v.Text.size()), SQLITE_STATIC);
      break;
  }
}

TValue ColumnValue(sqlite3_stmt* st, int c) {
  switch (sqlite3_column_type(st, c)) {
    case SQLITE_INTEGER: return TValue::MakeInt(sqlite3_column_int64(st, c));
    case SQLITE_FLOAT: return TValue::MakeFloat(sqlite3_column_double(st, c));
    case SQLITE_NULL: return TValue();
    default: {
      const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
      return TValue::MakeText(std::string(t ? t : "", static_cast<size_t>(sqlite3_column_bytes(st, c))));
    }
  }
}

TDbValue ResultValue(sqlite3_stmt* st, int c, const TSqlType& type) {
  TDbValue r;
  int kind = sqlite3_column_type(st, c);
  if (kind == SQLITE_NULL) return r;
  TDbValue::TKind want = ResultKind(type);
  auto text = [&]() {
    const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
    return std::string(t ? t : "", static_cast<size_t>(sqlite3_column_bytes(st, c)));
  };
  switch (want) {
    case TDbValue::TKind::Integer:
      if (kind == SQLITE_INTEGER) {
        r.Kind = TDbValue::TKind::Integer;
        r.Text = std::to_string(sqlite3_column_int64(st, c));
      } else if (kind == SQLITE_FLOAT) {
        r.Kind = TDbValue::TKind::Integer;
        r.Text = std::to_string(static_cast<int64_t>(std::trunc(sqlite3_column_double(st, c))));
      } else {
        r.Kind = TDbValue::TKind::Text;
        r.Text = text();
      }
      return r;
    case TDbValue::TKind::Float:
      if (kind == SQLITE_INTEGER || kind == SQLITE_FLOAT) {
        r.Kind = TDbValue::TKind::Float;
        r.Text = FormatFloat(sqlite3_column_double(st, c));
      } else {
        r.Kind = TDbValue::TKind::Text;
        r.Text = text();
      }
      return r;
    case TDbValue::TKind::DateTime:
      r.Kind = TDbValue::TKind::DateTime;
      if (kind == SQLITE_INTEGER || kind == SQLITE_FLOAT) {
        r.Text = DateTimeFromDays1900(sqlite3_column_double(st, c));
      } else {
        std::string canonical;
        r.Text = text();
        if (ParseDateTimeText(r.Text, canonical)) r.Text = canonical;
        else r.Kind = TDbValue::TKind::Text;
      }
      return r;
    case TDbValue::TKind::Text:
      r.Kind = TDbValue::TKind::Text;
      r.Text = text();
      return r;
    default:
      switch (kind) {
        case SQLITE_INTEGER:
          r.Kind = TDbValue::TKind::Integer;
          r.Text = std::to_string(sqlite3_column_int64(st, c));
          break;
        case SQLITE_FLOAT:
          r.Kind = TDbValue::TKind::Float;
          r.Text = FormatFloat(sqlite3_column_double(st, c));
          break;
        default:
          r.Kind = TDbValue::TKind::Text;
          r.Text = text();
      }
      return r;
  }
}

TDbValue FromValue(const TValue& v, const TSqlType& type) {
  TDbValue r;
  if (v.IsNull()) return r;
  r.Text = ValueText(v);
  TDbValue::TKind want = ResultKind(type);
  if (want != TDbValue::TKind::Null) {
    r.Kind = want;
    if (want == TDbValue::TKind::Float && v.Kind == TValue::TKind::Int) r.Text = FormatFloat(static_cast<double>(v.Int));
    return r;
  }
  r.Kind = v.Kind == TValue::TKind::Int ? TDbValue::TKind::Integer
           : v.Kind == TValue::TKind::Float ? TDbValue::TKind::Float
                                            : TDbValue::TKind::Text;
  return r;
}

}  // namespace

bool TExecutor::Fail(int number, const std::string& message) {
  if (!HasError) {
    HasError = true;
    FirstError = message;
    FirstNumber = number;
  }
  Vars[kSlotError] = TValue::MakeInt(number);
  return false;
}

void TExecutor::FailFromSqlite(int rc) {
  std::string msg = sqlite3_errmsg(Db);
  int number = TakeLastFunctionError();
  if (number == 0) {
    switch (rc) {
      case SQLITE_CONSTRAINT_PRIMARYKEY:
      case SQLITE_CONSTRAINT_UNIQUE: number = 2627; break;
      case SQLITE_CONSTRAINT_NOTNULL: number = 515; break;
      case SQLITE_BUSY:
      case SQLITE_LOCKED: number = 1222; break;
      default: number = (rc & 0xFF) == SQLITE_CONSTRAINT ? 547 : 50000;
    }
  }
  Fail(number, msg);
}

void TExecutor::Abort(const std::string& message) {
  if (TranCount > 0 || !sqlite3_get_autocommit(Db)) {
    sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
    TranCount = 0;
  }
  std::string text = HasError ? FirstError + " " + message : message;
  throw TDbError(text, HasError ? FirstNumber : 0);
}

bool TExecutor::ExecControl(const char* sql) {
  // Prepared once per session, like the batches' own statements.
  sqlite3_stmt* st = nullptr;
  try {
    st = Cache.Get(sql);
  } catch (const TDbError& e) {
    Abort(std::string(sql) + " failed: " + e.what());
  }
  int rc = sqlite3_step(st);
  if (rc == SQLITE_DONE) rc = SQLITE_OK;
  std::string msg = rc == SQLITE_OK ? std::string() : sqlite3_errmsg(Db);
  sqlite3_reset(st);
  if (rc == SQLITE_OK) return true;
  Abort(std::string(sql) + " failed: " + msg);
  return false;
}

void TExecutor::Prepare(const TProgram& program) {
  if (program.HasDdl) return;
  for (const TInstr& in : program.Code)
    if (in.Sql) Cache.Get(*in.Sql);
}

void TExecutor::HandOverPiece(sqlite3_stmt* st, TRecordSet& set) {
  try {
    (*Piece)(set);
  } catch (...) {
    if (st) sqlite3_reset(st);
    if (TranCount > 0 || !sqlite3_get_autocommit(Db)) {
      sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
      TranCount = 0;
    }
    throw;
  }
  set.Rows.clear();
}

bool TExecutor::RunStep(const TInstr& in, const TProgram& p, TQueryResult& result) {
  const TSqlStep& step = *in.Sql;
  sqlite3_stmt* st;
  try {
    st = Cache.Get(step);
  } catch (const TDbError& e) {
    return Fail(208, e.what());
  }
  for (size_t i = 0; i < step.Params.size(); ++i) {
    const TParamSource& src = step.Params[i];
    Bind(st, static_cast<int>(i) + 1, src.Slot >= 0 ? Vars[static_cast<size_t>(src.Slot)] : src.Value);
  }
  TRecordSet* set = nullptr;
  if (in.Op == TOp::Query) {
    result.Sets.emplace_back();
    set = &result.Sets.back();
    for (const auto& c : step.Columns) {
      set->Columns.push_back(c.Name);
      set->ColumnTypes.push_back(c.Type.Name);
    }
  }
  std::vector<TValue> last;
  bool gotRow = false;
  bool handed = false;  // a piece of the set went to Piece
  int64_t rows = 0;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    ++rows;
    int n = sqlite3_column_count(st);
    if (set) {
      std::vector<TDbValue> row;
      row.reserve(static_cast<size_t>(n));
      for (int c = 0; c < n; ++c) row.push_back(ResultValue(st, c, step.Columns[static_cast<size_t>(c)].Type));
      set->Rows.push_back(std::move(row));
      if (Piece && set->Rows.size() >= PieceRows) {
        HandOverPiece(st, *set);
        handed = true;
      }
    } else if (in.Op == TOp::QueryAssign) {
      last.resize(static_cast<size_t>(n));
      for (int c = 0; c < n; ++c) last[static_cast<size_t>(c)] = ColumnValue(st, c);
      gotRow = true;
    } else if (in.Op == TOp::JumpIfFalse) {
      JumpFlag = sqlite3_column_int(st, 0) != 0;
    }
  }
  if (rc != SQLITE_DONE) {
    sqlite3_reset(st);
    if (IsFatal(rc)) {
      FailFromSqlite(rc);
      Abort("The batch was stopped.");
    }
    FailFromSqlite(rc);
    if (set) result.Sets.pop_back();
    return false;
  }
  if (set && Piece) {
    if (!set->Rows.empty() || !handed) HandOverPiece(st, *set);
    result.Sets.pop_back();
  }
  if (in.Op == TOp::Exec) {
    rows = sqlite3_changes64(Db);
    Vars[kSlotIdentity] = TValue::MakeInt(sqlite3_last_insert_rowid(Db));
  }
  sqlite3_reset(st);
  if (in.Op == TOp::Exec && Counted) {
    try {
      (*Counted)(rows);
    } catch (...) {
      if (TranCount > 0 || !sqlite3_get_autocommit(Db)) {
        sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
        TranCount = 0;
      }
      throw;
    }
  }
  if (gotRow) {
    for (size_t k = 0; k < step.AssignSlots.size(); ++k) {
      int slot = step.AssignSlots[k];
      try {
        Vars[static_cast<size_t>(slot)] = ConvertTo(last[k], p.Vars[static_cast<size_t>(slot)].Type, TConvertMode::Cast);
      } catch (const TRuntimeError& e) {
        return Fail(e.Number, e.Message);
      }
    }
  }
  Vars[kSlotRowCount] = TValue::MakeInt(rows);
  Vars[kSlotError] = TValue::MakeInt(0);
  return true;
}

// A procedure's return code goes to its variable also when the call failed
// (-999), as on SQL Server; its error then fails the statement.
void TExecutor::CallProc(const TInstr& in, const TProgram& p) {
  std::vector<std::optional<TValue>> args(in.Exprs.size());
  for (size_t k = 0; k < in.Exprs.size(); ++k) {
    if (!in.Exprs[k]) continue;
    try {
      args[k] = Evaluate(*in.Exprs[k], Vars);
    } catch (const TRuntimeError& e) {
      Fail(e.Number, e.Message);
      return;
    }
  }
  TProcResult r = CallProcedure(*in.Proc, args, Locks);
  if (in.ResultSlot >= 0) {
    try {
      Vars[static_cast<size_t>(in.ResultSlot)] = ConvertTo(
          TValue::MakeInt(r.Status), p.Vars[static_cast<size_t>(in.ResultSlot)].Type, TConvertMode::Cast);
    } catch (const TRuntimeError& e) {
      if (r.ErrorNumber == 0) r = TProcResult{r.Status, e.Number, e.Message};
    }
  }
  if (r.ErrorNumber != 0) {
    Fail(r.ErrorNumber, r.Error);
    return;
  }
  Vars[kSlotError] = TValue::MakeInt(0);
}

TQueryResult TExecutor::Run(const TProgram& p) {
  TAppLockScope lockScope(Locks);
  TQueryResult result;
  Vars.assign(p.Vars.size(), TValue());
  Vars[kSlotError] = TValue::MakeInt(0);
  Vars[kSlotRowCount] = TValue::MakeInt(0);
  Vars[kSlotTranCount] = TValue::MakeInt(0);
  TakeLastFunctionError();
  const int size = static_cast<int>(p.Code.size());
  long executed = 0;
  int pc = 0;
  while (pc < size) {
    if (++executed > kMaxInstructions) Abort("The batch did not finish: it ran more than 50 million steps.");
    const TInstr& in = p.Code[static_cast<size_t>(pc)];
    int next = pc + 1;
    switch (in.Op) {
      case TOp::Query:
      case TOp::QueryAssign:
      case TOp::Exec:
      case TOp::Ddl: RunStep(in, p, result); break;
      case TOp::EvalAssign: {
        bool ok = true;
        for (const auto& [slot, expr] : in.Assigns) {
          try {
            Vars[static_cast<size_t>(slot)] =
                ConvertTo(Evaluate(*expr, Vars), p.Vars[static_cast<size_t>(slot)].Type, TConvertMode::Cast);
          } catch (const TRuntimeError& e) {
            ok = Fail(e.Number, e.Message);
            break;
          }
        }
        if (ok) {
          Vars[kSlotRowCount] = TValue::MakeInt(1);
          Vars[kSlotError] = TValue::MakeInt(0);
        }
        break;
      }
      case TOp::EvalResult: {
        TRecordSet set;
        std::vector<TDbValue> row;
        bool ok = true;
        for (size_t k = 0; k < in.Exprs.size(); ++k) {
          try {
            row.push_back(FromValue(Evaluate(*in.Exprs[k], Vars), in.Columns[k].Type));
          } catch (const TRuntimeError& e) {
            ok = Fail(e.Number, e.Message);
            break;
          }
        }
        if (ok) {
          for (const auto& c : in.Columns) {
            set.Columns.push_back(c.Name);
            set.ColumnTypes.push_back(c.Type.Name);
          }
          set.Rows.push_back(std::move(row));
          if (Piece) HandOverPiece(nullptr, set);
          else result.Sets.push_back(std::move(set));
          Vars[kSlotRowCount] = TValue::MakeInt(1);
          Vars[kSlotError] = TValue::MakeInt(0);
        }
        break;
      }
      case TOp::JumpIfFalse: {
        bool truth = false;
        if (in.Cond) {
          try {
            truth = EvaluateCondition(*in.Cond, Vars);
          } catch (const TRuntimeError& e) {
            Fail(e.Number, e.Message);
          }
        } else {
          JumpFlag = false;
          if (RunStep(in, p, result)) truth = JumpFlag;
        }
        if (!truth) next = in.Target;
        break;
      }
      case TOp::CallProc: CallProc(in, p); break;
      case TOp::Jump: next = in.Target; break;
      case TOp::Return: next = size; break;
      case TOp::BeginTran:
        if (TranCount == 0) ExecControl("BEGIN IMMEDIATE");
        ++TranCount;
        Vars[kSlotError] = TValue::MakeInt(0);
        break;
      case TOp::CommitTran:
        if (TranCount == 0) {
          Fail(3902, "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION.");
        } else {
          if (--TranCount == 0) ExecControl("COMMIT");
          Vars[kSlotError] = TValue::MakeInt(0);
        }
        break;
      case TOp::RollbackTran:
        if (TranCount == 0) {
          Fail(3903, "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION.");
        } else {
          TranCount = 0;
          ExecControl("ROLLBACK");
          Vars[kSlotError] = TValue::MakeInt(0);
        }
        break;
      case TOp::Nop: break;
    }
    if (TranCount > 0 && sqlite3_get_autocommit(Db)) {
      // SQLite gave the transaction up (it does so after some errors).
      TranCount = 0;
      Fail(3998, "The transaction was rolled back by the database after an error.");
    }
    Vars[kSlotTranCount] = TValue::MakeInt(TranCount);
    pc = next;
  }
  if (TranCount > 0) Abort("The batch ended with its transaction still open; the transaction was rolled back.");
  if (HasError) throw TDbError(FirstError, FirstNumber);
  return result;
}

}  // namespace ooa::tsql
