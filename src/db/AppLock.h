// The application lock that keeps one copy of the service working on a POS
// database at a time (a headless service and a desktop copy, or two tills).
// A copy takes it on its connection when its service starts and holds it for
// the connection (@LockOwner = N'Session'), so a connection that drops, or a
// process that ends, lets it go. SQL Server keeps it with sp_getapplock; the
// embedded database runs the same statements (tsql/Procedures.h).
//
// Plain functions over the database module: each runs one statement through
// SelectRows (any thread; the module serialises them) and throws TDbError on
// a database error.
#pragma once

#include <string>

namespace ooa {

class TDatabaseModule;

// The lock's resource name: this service, whatever its settings.
inline constexpr const char* kAppLockResource = "Tillora Online Order Adaptor";

// "Declare @r int; Exec @r = sp_getapplock ...; Select @r As Result": asks
// for the lock without waiting; Result 0 or 1 when granted, -1 when another
// connection holds it.
std::string AppLockTakeSql();
// "Select APPLOCK_MODE(...) As Mode": "Exclusive" while this connection holds it.
std::string AppLockModeSql();
// Releases the lock when this connection holds it; nothing otherwise.
std::string AppLockReleaseSql();

// Takes the lock: true when granted (also when this connection held it
// already; it is then not taken a second time), false when another
// connection holds it.
bool TakeAppLock(TDatabaseModule& db);
// Whether this connection holds the lock now.
bool HoldsAppLock(TDatabaseModule& db);
void ReleaseAppLock(TDatabaseModule& db);

}  // namespace ooa
