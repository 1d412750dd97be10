// TDatabaseModule: construction and connecting (see DatabaseModule.h for the
// threading rules). The query primitives are in ModuleQueries.cpp, the sync
// log in SyncLog.cpp.
#include "db/DatabaseModule.h"

namespace ooa {

TDatabaseModule::TDatabaseModule(TSessionFactory sessionFactory)
    : SessionFactory(sessionFactory ? std::move(sessionFactory) : TSessionFactory(CreateDbSession)) {}

TDatabaseModule::~TDatabaseModule() {
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  if (Session) Session->Close();
}

std::unique_lock<std::recursive_mutex> TDatabaseModule::HoldForOneOrder() {
  return std::unique_lock<std::recursive_mutex>(Mutex);
}

bool TDatabaseModule::ConnectToServer() { return ConnectToServer(ConfigSnapshot()); }

bool TDatabaseModule::ConnectToServer(const TConfig& config) {
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  ConnectErrorText.clear();
  if (config.ServerName.empty() || config.DatabaseName.empty()) {
    ConnectErrorText = config.ServerName.empty() ? "No server name is set." : "No database name is set.";
    return false;
  }
  try {
    if (Session) {
      Session->Close();
      Session.reset();
    }
    TDbConnectParams params;
    params.ServerName = config.ServerName;
    params.DatabaseName = config.DatabaseName;
    params.BaseDir = ConfigDir();
    params.OdbcDriver = config.DatabaseDriver;
    Session = SessionFactory(params);
    if (!Session) {
      ConnectErrorText = "No database session could be made.";
      return false;
    }
    Session->Open();
    if (!Session->IsOpen()) ConnectErrorText = "The database connection did not open.";
    return Session->IsOpen();
  } catch (const std::exception& e) {
    // The service start logs its own line, and this reason after it.
    ConnectErrorText = e.what();
    return false;
  } catch (...) {
    ConnectErrorText = "unknown error";
    return false;
  }
}

std::string TDatabaseModule::ConnectError() const {
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  return ConnectErrorText;
}

bool TDatabaseModule::Connected() const {
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  return Session && Session->IsOpen();
}

}  // namespace ooa
