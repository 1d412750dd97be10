// TDatabaseModule's query primitives: OpenQuery, OpenQueryInPieces,
// OpenCompanyQuery and ExecQueryPro, and ReleaseMemory. Each holds the module's lock while it talks to the session;
// the rows are stored per calling thread, so reading them needs no lock.
#include <exception>

#include "db/DatabaseModule.h"
#include "db/ModuleThreads.h"

namespace ooa {

TDatabaseModule::TThreadResults& TDatabaseModule::ResultsOfThisThread() {
  const std::thread::id id = std::this_thread::get_id();
  std::lock_guard<std::mutex> lock(ResultsMutex);
  auto [it, inserted] = Results.try_emplace(id);
  if (inserted) {
    AtThreadExit(this, [this, id] {
      std::lock_guard<std::mutex> dropLock(ResultsMutex);
      Results.erase(id);
    });
  }
  return it->second;
}

bool TDatabaseModule::OpenQuery(const std::string& sqlCmd) {
  // The previous rows go first, also when the new query fails.
  ResultsOfThisThread().Last = TQueryResult();
  TQueryResult result;
  {
    std::lock_guard<std::recursive_mutex> lock(Mutex);
    if (!Session || !Session->IsOpen()) throw TDbError("The database connection is not open");
    result = Session->Query(sqlCmd);
  }
  ResultsOfThisThread().Last = std::move(result);
  return true;
}

void TDatabaseModule::OpenQueryInPieces(const std::string& sqlCmd, size_t rows,
                                        const std::function<void(const TRecordSet&)>& piece) {
  ResultsOfThisThread().Last = TQueryResult();
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  if (!Session || !Session->IsOpen()) throw TDbError("The database connection is not open");
  Session->QueryInPieces(sqlCmd, rows, piece);
}

void TDatabaseModule::ReleaseMemory() {
  {
    TThreadResults& mine = ResultsOfThisThread();
    mine.Last = TQueryResult();
    mine.Company = TRecordSet();
  }
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  if (Session && Session->IsOpen()) Session->ReleaseMemory();
}

TRecordSet& TDatabaseModule::Query() {
  TQueryResult& last = ResultsOfThisThread().Last;
  if (!last.Sets.empty()) return last.Sets.front();
  // A batch without a result set: no rows, and LastResult() keeps showing
  // that no set came back (the caller's own thread owns this empty set).
  thread_local TRecordSet tNoRows;
  tNoRows = TRecordSet();
  return tNoRows;
}

TQueryResult& TDatabaseModule::LastResult() { return ResultsOfThisThread().Last; }

bool TDatabaseModule::OpenCompanyQuery() {
  try {
    TQueryResult result;
    {
      std::lock_guard<std::recursive_mutex> lock(Mutex);
      if (!Session || !Session->IsOpen()) return false;
      result = Session->Query("Select * From Profile");
    }
    if (result.Empty()) return false;
    ResultsOfThisThread().Company = std::move(result.First());
    return true;
  } catch (...) {
    return false;
  }
}

TRecordSet& TDatabaseModule::CompanyQuery() { return ResultsOfThisThread().Company; }

bool TDatabaseModule::ExecQueryPro(const std::string& sqlCmd) {
  std::string ignored;
  return ExecQueryPro(sqlCmd, ignored);
}

bool TDatabaseModule::ExecQueryPro(const std::string& sqlCmd, std::string& errorText) {
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  try {
    if (!Session || !Session->IsOpen()) {
      errorText = "The database connection is not open";
      return false;
    }
    Session->Execute(sqlCmd);
    return true;
  } catch (const std::exception& e) {
    errorText = e.what();
    return false;
  } catch (...) {
    errorText = "unknown database error";
    return false;
  }
}

}  // namespace ooa
