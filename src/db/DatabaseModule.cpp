// TDatabaseModule: construction and connecting (see DatabaseModule.h for the
// threading rules). The query primitives are in ModuleQueries.cpp, the sync
// log in SyncLog.cpp.
#include "db/DatabaseModule.h"

#include "db/ModuleThreads.h"

namespace ooa {

TDatabaseModule::TDatabaseModule(TSessionFactory sessionFactory)
    : SessionFactory(sessionFactory ? std::move(sessionFactory) : TSessionFactory(CreateDbSession)) {
  RegisterLiveModule(this);
}

TDatabaseModule::~TDatabaseModule() {
  UnregisterLiveModule(this);
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  if (Session) Session->Close();
}

bool TDatabaseModule::ConnectToServer() { return ConnectToServer(ConfigSnapshot()); }

bool TDatabaseModule::ConnectToServer(const TConfig& config) {
  if (config.ServerName.empty() || config.DatabaseName.empty()) return false;
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  try {
    if (Session) {
      Session->Close();
      Session.reset();
    }
    TDbConnectParams params;
    params.ServerName = config.ServerName;
    params.DatabaseName = config.DatabaseName;
    params.BaseDir = ConfigDir();
    Session = SessionFactory(params);
    if (!Session) return false;
    Session->Open();
    return Session->IsOpen();
  } catch (...) {
    // The reason is not shown; the service start logs its own line.
    return false;
  }
}

bool TDatabaseModule::Connected() const {
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  return Session && Session->IsOpen();
}

}  // namespace ooa
