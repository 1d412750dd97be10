// TDatabaseModule's query primitives: Select, SelectRows, OpenQueryInPieces,
// SelectCompanyRows and ExecQueryPro, and ReleaseMemory. Each holds the
// module's lock while it talks to the session; the rows go back to the caller.
#include <exception>
#include <utility>

#include "db/DatabaseModule.h"

namespace ooa {

TQueryResult TDatabaseModule::Select(const std::string& sqlCmd) {
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  if (!Session || !Session->IsOpen()) throw TDbError("The database connection is not open");
  return Session->Query(sqlCmd);
}

TRecordSet TDatabaseModule::SelectRows(const std::string& sqlCmd) {
  TQueryResult result = Select(sqlCmd);
  if (result.Sets.empty()) return TRecordSet();
  return std::move(result.Sets.front());
}

void TDatabaseModule::OpenQueryInPieces(const std::string& sqlCmd, size_t rows,
                                        const std::function<void(const TRecordSet&)>& piece) {
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  if (!Session || !Session->IsOpen()) throw TDbError("The database connection is not open");
  Session->QueryInPieces(sqlCmd, rows, piece);
}

void TDatabaseModule::ReleaseMemory() {
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  if (Session && Session->IsOpen()) Session->ReleaseMemory();
}

std::optional<TRecordSet> TDatabaseModule::SelectCompanyRows() {
  try {
    TQueryResult result;
    {
      std::lock_guard<std::recursive_mutex> lock(Mutex);
      if (!Session || !Session->IsOpen()) return std::nullopt;
      result = Session->Query("Select * From Profile");
    }
    if (result.Empty()) return std::nullopt;
    return std::move(result.First());
  } catch (...) {
    return std::nullopt;
  }
}

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
