#include "tsql/EmbeddedSession.h"

#include <sqlite3.h>
#include <strings.h>

#include <filesystem>
#include <system_error>

#include "config/ProgramPath.h"
#include "tsql/AppLocks.h"
#include "tsql/Catalog.h"
#include "tsql/Compiler.h"
#include "tsql/Executor.h"
#include "tsql/Functions.h"
#include "tsql/ParseCache.h"
#include "tsql/StatementCache.h"

namespace ooa {

namespace {

namespace fs = std::filesystem;

// The file as named, or a file whose name differs only in case.
std::string FindFile(const std::string& path) {
  std::error_code ec;
  const fs::path p = FsPath(path);
  if (fs::exists(p, ec)) return path;
  fs::path dir = p.has_parent_path() ? p.parent_path() : fs::path(".");
  std::string name = PathText(p.filename());
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    if (strcasecmp(PathText(entry.path().filename()).c_str(), name.c_str()) == 0 && entry.is_regular_file(ec))
      return PathText(entry.path());
  }
  return std::string();
}

class TEmbeddedSession : public IDbSession {
 public:
  TEmbeddedSession(std::string path, bool create) : Path(std::move(path)), Create(create) {}
  ~TEmbeddedSession() override { Close(); }

  void Open() override {
    Close();
    std::string file = FindFile(Path);
    if (file.empty()) {
      if (!Create) throw TDbError("The POS database file '" + Path + "' does not exist.");
      file = Path;
    }
    std::error_code sizeError;
    if (!Create && fs::is_regular_file(FsPath(file), sizeError) && fs::file_size(FsPath(file), sizeError) == 0 &&
        !sizeError)
      // SQLite would take it for a new, empty database and write one into it.
      throw TDbError("The file '" + file + "' is empty: it is not a POS database.");
    int flags = SQLITE_OPEN_READWRITE | (Create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
      std::string msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
      sqlite3_close_v2(db);
      throw TDbError("Cannot open the POS database file '" + file + "': " + msg);
    }
    if (sqlite3_db_readonly(db, "main") == 1) {
      // SQLite opens a file it may not write read-only, and every write would fail.
      sqlite3_close_v2(db);
      throw TDbError("The POS database file '" + file + "' is read-only: the service cannot write into it.");
    }
    Db = db;
    try {
      sqlite3_extended_result_codes(Db, 1);
      sqlite3_busy_timeout(Db, kEmbeddedBusyTimeoutMs);
      Exec("PRAGMA journal_mode=WAL");
      Exec("PRAGMA synchronous=NORMAL");
      sqlite3_wal_autocheckpoint(Db, kEmbeddedWalCheckpointPages);
      tsql::RegisterFunctions(Db);
      Cache.Attach(Db);
      Reload();
      Locks.Attach(file);
    } catch (const TDbError& e) {
      Close();
      throw TDbError("Cannot open the POS database file '" + file + "': " + e.what());
    }
  }

  void Close() override {
    Locks.ReleaseAll();  // the application locks end with the connection
    Cache.Clear();
    if (Db) {
      sqlite3_close_v2(Db);
      Db = nullptr;
    }
  }

  bool IsOpen() const override { return Db != nullptr; }

  TQueryResult Query(const std::string& batch) override { return Run(batch, 0, nullptr); }

  void QueryInPieces(const std::string& batch, size_t rows,
                     const std::function<void(const TRecordSet&)>& piece) override {
    Run(batch, rows, &piece);
  }

  void Execute(const std::string& batch) override { Query(batch); }

  void ReleaseMemory() override {
    Parsed.Clear();
    Cache.Clear();
    if (Db) sqlite3_db_release_memory(Db);
  }

  void SetRowCountObserver(std::function<void(int64_t)> counted) override { Counted = std::move(counted); }

 private:
  TQueryResult Run(const std::string& batch, size_t rows, const std::function<void(const TRecordSet&)>* piece) {
    if (!Db) throw TDbError("The database connection is not open.");
    const int64_t version = ReadSchemaVersion();
    // Another session changed a table definition.
    if (version != SchemaVersion) Reload(version);
    const tsql::TProgram& program = Parsed.Compile(batch, Catalog);
    tsql::TExecutor executor(Db, Cache, &Locks);
    if (piece) executor.HandOver(rows, piece);
    if (Counted) executor.CountRows(&Counted);
    executor.Prepare(program);
    if (!program.HasDdl) return executor.Run(program);
    try {
      TQueryResult r = executor.Run(program);
      Reload();
      return r;
    } catch (...) {
      Reload();
      throw;
    }
  }

  void Exec(const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(Db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
      std::string msg = err ? err : sqlite3_errmsg(Db);
      sqlite3_free(err);
      throw TDbError(msg);
    }
  }

  int64_t ReadSchemaVersion() {
    sqlite3_stmt* st = Cache.Get("PRAGMA schema_version");
    int64_t v = -1;
    int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) v = sqlite3_column_int64(st, 0);
    sqlite3_reset(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) throw TDbError(sqlite3_errmsg(Db));
    return v;
  }

  // Forgets the prepared statements and compiled programs and reads the table
  // definitions again: on opening, after a batch with DDL, and when another
  // session changed the schema. `version` is the schema version read before
  // the definitions, so that a change made meanwhile shows at the next batch.
  void Reload(int64_t version) {
    Cache.Clear();
    Parsed.DropPrograms();
    Catalog.Load(Db);
    SchemaVersion = version;
  }
  void Reload() { Reload(ReadSchemaVersion()); }

  std::string Path;
  bool Create;
  sqlite3* Db = nullptr;
  tsql::TCatalog Catalog;
  tsql::TStatementCache Cache;
  tsql::TParseCache Parsed;
  int64_t SchemaVersion = -1;
  tsql::TAppLocks Locks;
  std::function<void(int64_t)> Counted;
};

}  // namespace

std::unique_ptr<IDbSession> CreateEmbeddedSession(const std::string& filePath, bool createIfMissing) {
  return std::make_unique<TEmbeddedSession>(filePath, createIfMissing);
}

}  // namespace ooa
