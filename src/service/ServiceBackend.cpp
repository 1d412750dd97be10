#include "service/ServiceBackend.h"

#include "db/AppLock.h"
#include "db/DatabaseModule.h"
#include "shop/WooModule.h"
#include "sync/PrintParams.h"

namespace ooa {

bool TModulesBackend::Connected() { return Db.Connected(); }
bool TModulesBackend::ConnectToServer() { return Db.ConnectToServer(); }
std::string TModulesBackend::ConnectError() { return Db.ConnectError(); }
void TModulesBackend::ReadPrintParams() { ooa::ReadPrintParams(Db); }  // the result is not examined
void TModulesBackend::InitShop() { Woo.Init(); }
bool TModulesBackend::TakeAppLock() { return ooa::TakeAppLock(Db); }
void TModulesBackend::ReleaseAppLock() { ooa::ReleaseAppLock(Db); }

}  // namespace ooa
