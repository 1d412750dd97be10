// The system procedures the embedded engine runs with Exec, and the function
// that goes with them: sp_getapplock, sp_releaseapplock and APPLOCK_MODE, on
// the session's application locks (AppLocks.h), with SQL Server's parameters,
// return codes and messages. Locks are held for the session only
// (@LockOwner = 'Session'), in mode Shared or Exclusive.
// The table is constant; calls run on the batch's thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tsql/AppLocks.h"
#include "tsql/Value.h"

namespace ooa::tsql {

struct TProcedure {
  const char* Name;                  // lower case
  std::vector<const char*> Params;   // with the '@', in order
  size_t Required;                   // the first Required parameters have no default
};

const TProcedure* FindProcedure(const std::string& lowerName);
// The parameter's position, or -1 when the procedure has no such parameter.
int ParamIndex(const TProcedure& proc, const std::string& lowerName);

struct TProcResult {
  int Status = 0;        // the return code (Exec @r = ...)
  int ErrorNumber = 0;   // 0, or the error the call raised
  std::string Error;
};

// Runs a call; args by parameter position, empty where the default applies.
// locks: the calling session's (nullptr: no lock can be taken).
TProcResult CallProcedure(const TProcedure& proc, const std::vector<std::optional<TValue>>& args, TAppLocks* locks);

// APPLOCK_MODE(principal, resource, owner): the mode in which the session of
// the running batch holds the lock ("NoLock", "Shared", "Exclusive").
TValue AppLockModeFunction(std::vector<TValue>& args);

}  // namespace ooa::tsql
