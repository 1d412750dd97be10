// The embedded POS database: a SQLite file driven by the engine's own T-SQL
// compiler and executor, behind the same IDbSession as a real SQL Server.
//
// The file is opened in WAL mode with synchronous=NORMAL (a commit survives a
// crash of the program; after a power cut the last commits may be lost, but
// always whole and in order) and a busy timeout of 30 seconds, so that two
// sessions (the two sync passes) can work on one file at the same time; a
// writer waits up to 30 s for the other's transaction. Begin Tran takes the
// write lock at once.
//
// The session holds the application locks it takes (Exec sp_getapplock with
// @LockOwner = N'Session') until it releases them or closes; they are kept in
// the file "<database file>-applock" beside the database (AppLocks.h).
//
// A session is used by one thread at a time; the caller owns it.
#pragma once

#include <memory>
#include <string>

#include "db/session/DbSession.h"

namespace ooa {

// The session for an embedded database file. Open() fails with TDbError when
// the file does not exist, unless createIfMissing (only the posdb tool asks for
// that). When the exact name is missing, a file of the same name in another
// case in the same folder is used. An existing file of zero bytes is refused
// as not a POS database (unless createIfMissing), and so is a file the
// process may not write (SQLite would open it read-only).
std::unique_ptr<IDbSession> CreateEmbeddedSession(const std::string& filePath, bool createIfMissing = false);

// How long a statement waits for another session's lock, in milliseconds.
constexpr int kEmbeddedBusyTimeoutMs = 30000;

// How many pages the write-ahead log gathers before they are copied into the
// database file (SQLite's default is 1,000). An invoice dirties index pages
// all over a database with years of history; a longer log copies a page
// changed by several invoices once, and the copying in fewer, longer runs.
// 4,000 pages of 4 KB keep the log file at about 16 MB.
constexpr int kEmbeddedWalCheckpointPages = 4000;

}  // namespace ooa
