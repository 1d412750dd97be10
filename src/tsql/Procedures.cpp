// sp_getapplock, sp_releaseapplock and APPLOCK_MODE (see Procedures.h).
#include "tsql/Procedures.h"

#include "tsql/SqlType.h"

namespace ooa::tsql {

namespace {

const TProcedure kProcedures[] = {
    {"sp_getapplock", {"@Resource", "@LockMode", "@LockOwner", "@LockTimeout", "@DbPrincipal"}, 2},
    {"sp_releaseapplock", {"@Resource", "@LockOwner", "@DbPrincipal"}, 1},
};

constexpr int kCallError = -999;  // the return code of a call that failed its checks

std::string Text(const TValue& v) { return v.Kind == TValue::TKind::Text ? v.Text : ValueText(v); }

// The first 255 characters of a resource name, as SQL Server keeps them.
std::string ResourceName(const std::string& text) {
  return text.substr(0, ByteOffsetOfChar(text, 255));
}

// Resource names are compared as they are written (case counts); the
// principal as a name.
std::string LockKey(const std::string& principal, const std::string& resource) {
  std::string key = AsciiLower(principal);
  key += '\0';
  key += resource;
  return key;
}

TProcResult Failed(int number, std::string message) { return TProcResult{kCallError, number, std::move(message)}; }

// The owner must be the session: the embedded database keeps no lock for a
// transaction. Empty when it is; otherwise the reason.
std::string CheckOwner(const std::optional<TValue>& owner) {
  std::string name = owner && !owner->IsNull() ? AsciiLower(Text(*owner)) : std::string("transaction");
  if (name == "session") return std::string();
  if (name == "transaction")
    return "The embedded database holds application locks for the session only: pass @LockOwner = N'Session'.";
  return "The parameter @LockOwner must be 'Session' or 'Transaction'.";
}

TProcResult GetAppLock(const std::vector<std::optional<TValue>>& a, TAppLocks* locks) {
  if (!a[0] || a[0]->IsNull() || Text(*a[0]).empty())
    return Failed(50000, "The parameter @Resource of sp_getapplock must name a resource.");
  std::string modeName = a[1] && !a[1]->IsNull() ? AsciiLower(Text(*a[1])) : std::string();
  TAppLockMode mode;
  if (modeName == "exclusive") {
    mode = TAppLockMode::Exclusive;
  } else if (modeName == "shared") {
    mode = TAppLockMode::Shared;
  } else if (modeName == "update" || modeName == "intentshared" || modeName == "intentexclusive") {
    return Failed(50000, "The lock mode '" + Text(*a[1]) +
                             "' is not supported by the embedded database; use 'Shared' or 'Exclusive'.");
  } else {
    return Failed(50000, "The parameter @LockMode of sp_getapplock must be a lock mode such as 'Exclusive'.");
  }
  if (std::string why = CheckOwner(a[2]); !why.empty()) return Failed(50000, why);
  int timeout = -1;  // SQL Server's default LOCK_TIMEOUT: wait as long as it takes
  if (a[3] && !a[3]->IsNull()) {
    try {
      timeout = static_cast<int>(ConvertTo(*a[3], TSqlType::Of(TTypeClass::Int), TConvertMode::Cast).Int);
    } catch (const TRuntimeError& e) {
      return Failed(e.Number, e.Message);
    }
  }
  std::string principal = a[4] && !a[4]->IsNull() ? Text(*a[4]) : std::string("public");
  if (!locks) return Failed(50000, "This connection cannot take application locks.");
  try {
    return TProcResult{locks->Get(LockKey(principal, ResourceName(Text(*a[0]))), mode, timeout), 0, {}};
  } catch (const TRuntimeError& e) {
    return Failed(e.Number, e.Message);
  }
}

TProcResult ReleaseAppLock(const std::vector<std::optional<TValue>>& a, TAppLocks* locks) {
  if (!a[0] || a[0]->IsNull() || Text(*a[0]).empty())
    return Failed(50000, "The parameter @Resource of sp_releaseapplock must name a resource.");
  if (std::string why = CheckOwner(a[1]); !why.empty()) return Failed(50000, why);
  std::string principal = a[2] && !a[2]->IsNull() ? Text(*a[2]) : std::string("public");
  std::string resource = ResourceName(Text(*a[0]));
  if (!locks || !locks->Release(LockKey(principal, resource)))
    return Failed(1223, "Cannot release the application lock (Database Principal: '" + principal + "', Resource: '" +
                            resource + "') because it is not currently held.");
  return TProcResult{};
}

}  // namespace

const TProcedure* FindProcedure(const std::string& lowerName) {
  for (const TProcedure& p : kProcedures)
    if (lowerName == p.Name) return &p;
  return nullptr;
}

int ParamIndex(const TProcedure& proc, const std::string& lowerName) {
  for (size_t i = 0; i < proc.Params.size(); ++i)
    if (lowerName == AsciiLower(proc.Params[i])) return static_cast<int>(i);
  return -1;
}

TProcResult CallProcedure(const TProcedure& proc, const std::vector<std::optional<TValue>>& args, TAppLocks* locks) {
  if (std::string(proc.Name) == "sp_getapplock") return GetAppLock(args, locks);
  return ReleaseAppLock(args, locks);
}

TValue AppLockModeFunction(std::vector<TValue>& a) {
  for (const TValue& v : a)
    if (v.IsNull()) return TValue();
  std::string owner = AsciiLower(Text(a[2]));
  if (owner != "session" && owner != "transaction")
    throw TRuntimeError{50000, "The parameter lock_owner of APPLOCK_MODE must be 'Session' or 'Transaction'."};
  TAppLocks* locks = CurrentAppLocks();
  TAppLockMode mode = TAppLockMode::NoLock;
  if (locks && owner == "session") mode = locks->ModeOf(LockKey(Text(a[0]), ResourceName(Text(a[1]))));
  switch (mode) {
    case TAppLockMode::Exclusive: return TValue::MakeText("Exclusive");
    case TAppLockMode::Shared: return TValue::MakeText("Shared");
    default: return TValue::MakeText("NoLock");
  }
}

}  // namespace ooa::tsql
