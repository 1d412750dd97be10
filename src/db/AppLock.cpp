// The service's application lock on the POS database (see AppLock.h).
#include "db/AppLock.h"

#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"

namespace ooa {

namespace {

std::string Resource() { return SqlTextLiteral(kAppLockResource); }

// The first column of the first row of a query that returns one.
TDbValue FirstValue(TDatabaseModule& db, const std::string& sql) {
  const TRecordSet rows = db.SelectRows(sql);
  if (rows.RecordCount() < 1 || rows.Columns.empty()) throw TDbError("The database gave no answer to: " + sql);
  return rows.Rows[0][0];
}

}  // namespace

std::string AppLockTakeSql() {
  return "Declare @r int; Exec @r = sp_getapplock @Resource=" + Resource() +
         ", @LockMode=N'Exclusive', @LockOwner=N'Session', @LockTimeout=0; Select @r As Result";
}

std::string AppLockModeSql() { return "Select APPLOCK_MODE('public', " + Resource() + ", 'Session') As Mode"; }

std::string AppLockReleaseSql() {
  return "If APPLOCK_MODE('public', " + Resource() + ", 'Session') <> 'NoLock' Exec sp_releaseapplock @Resource=" +
         Resource() + ", @LockOwner=N'Session'";
}

bool HoldsAppLock(TDatabaseModule& db) { return FirstValue(db, AppLockModeSql()).AsString() == "Exclusive"; }

bool TakeAppLock(TDatabaseModule& db) {
  // A lock taken twice on one connection must be released twice; asking
  // first keeps it taken once.
  if (HoldsAppLock(db)) return true;
  return FirstValue(db, AppLockTakeSql()).AsInteger() >= 0;
}

void ReleaseAppLock(TDatabaseModule& db) {
  std::string error;
  if (!db.ExecQueryPro(AppLockReleaseSql(), error)) throw TDbError(error);
}

}  // namespace ooa
