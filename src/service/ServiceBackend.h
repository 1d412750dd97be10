// IServiceBackend: what starting the service needs from the database and
// shop modules. TModulesBackend is the real one; tests of the window and the
// controller may pass their own. Called on the controlling thread only, except
// the application lock's two, which TPosDatabaseLock also calls from the
// workers when a pass starts (one call at a time).
#pragma once

#include <string>

namespace ooa {

class TDatabaseModule;
class TWooModule;

class IServiceBackend {
 public:
  virtual ~IServiceBackend() = default;
  virtual bool Connected() = 0;
  // Opens the POS database connection with the current settings.
  virtual bool ConnectToServer() = 0;
  // Why the last ConnectToServer failed; "" when unknown.
  virtual std::string ConnectError() { return ""; }
  // Reads the receipt printer settings from the POS profile; may throw.
  virtual void ReadPrintParams() = 0;
  // Hands the settings' URL, key and secret to both shop channels.
  virtual void InitShop() = 0;
  // The application lock on the POS database, held by the connection
  // (db/AppLock.h). Take: true when the connection holds it (already, or now;
  // never taken twice), false when another copy holds it; no waiting.
  // Database errors throw.
  virtual bool TakeAppLock() = 0;
  virtual void ReleaseAppLock() = 0;
};

// Over the program's two modules (not owned; they outlive it).
class TModulesBackend : public IServiceBackend {
 public:
  TModulesBackend(TDatabaseModule& db, TWooModule& woo) : Db(db), Woo(woo) {}
  bool Connected() override;
  bool ConnectToServer() override;
  std::string ConnectError() override;
  void ReadPrintParams() override;
  void InitShop() override;
  bool TakeAppLock() override;
  void ReleaseAppLock() override;

 private:
  TDatabaseModule& Db;
  TWooModule& Woo;
};

}  // namespace ooa
