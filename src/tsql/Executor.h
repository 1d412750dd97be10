// TExecutor: runs a compiled batch on a SQLite connection. Data statements go
// to SQLite with the batch's variables bound as parameters; control flow,
// variables, @@Error and the transaction count are kept here. A statement that
// fails sets @@Error and the batch goes on; after the batch, the first such
// error is raised, and a transaction still open is rolled back and raised.
// Used by the session's thread only; lives for one batch.
#pragma once

#include <sqlite3.h>

#include <functional>

#include "db/session/DbSession.h"
#include "tsql/AppLocks.h"
#include "tsql/Program.h"
#include "tsql/StatementCache.h"

namespace ooa::tsql {

class TExecutor {
 public:
  // locks: the session's application locks, which Exec sp_getapplock takes
  // and APPLOCK_MODE reports (nullptr: the batch can take none).
  TExecutor(sqlite3* db, TStatementCache& cache, TAppLocks* locks = nullptr) : Db(db), Cache(cache), Locks(locks) {}
  // Prepares every data statement of a batch that changes no table definition,
  // so that SQLite's objections come before anything runs.
  void Prepare(const TProgram& program);
  TQueryResult Run(const TProgram& program);
  // The rows of the result sets Run makes go to piece, at most `rows` at a
  // time, instead of into its result (see IDbSession::QueryInPieces).
  void HandOver(size_t rows, const std::function<void(const TRecordSet&)>* piece) {
    PieceRows = rows ? rows : 1;
    Piece = piece;
  }
  // counted gets each data-changing statement's row count (see
  // IDbSession::SetRowCountObserver); nullptr: nobody.
  void CountRows(const std::function<void(int64_t)>* counted) { Counted = counted; }

 private:
  bool RunStep(const TInstr& in, const TProgram& p, TQueryResult& result);
  void CallProc(const TInstr& in, const TProgram& p);
  // Hands the set's rows to Piece and empties them; an exception from Piece
  // leaves the statement (when there is one) reset and no transaction open.
  void HandOverPiece(sqlite3_stmt* st, TRecordSet& set);
  bool Fail(int number, const std::string& message);
  void FailFromSqlite(int rc);
  bool ExecControl(const char* sql);
  void Abort(const std::string& message);

  sqlite3* Db;
  TStatementCache& Cache;
  TAppLocks* Locks;
  std::vector<TValue> Vars;
  int TranCount = 0;
  std::string FirstError;
  int FirstNumber = 0;  // SQL Server's number for FirstError
  bool HasError = false;
  bool JumpFlag = false;  // the last condition evaluated by SQLite
  size_t PieceRows = 0;
  const std::function<void(const TRecordSet&)>* Piece = nullptr;
  const std::function<void(int64_t)>* Counted = nullptr;
};

}  // namespace ooa::tsql
