// TServiceController: starting and stopping the sync service, the status
// lines that go with it and the state of the Start and Stop commands. Shared
// by the main window and headless mode. Controlling thread only.
//
// The database connection is made once: a start after a stop keeps the open
// connection and neither reconnects nor re-reads the print settings nor
// re-initialises the shop channels. A start only switches on the catalogue
// timer; the order timer first runs when the first catalogue pass has ended.
//
// Only one copy of the service works on a POS database: the controller's
// TPosDatabaseLock, which every pass asks before it runs, takes the database's
// lock on Start and lets it go on Stop once the running passes have ended.
#pragma once

#include <functional>

#include "service/PosDatabaseLock.h"
#include "service/ServiceBackend.h"
#include "service/SyncScheduler.h"

namespace ooa {

struct TButtonsStatus {
  bool StartEnabled = true;
  bool StopEnabled = true;
};

class TServiceController {
 public:
  // Neither is owned; both outlive the controller. Installs the database
  // lock as the scheduler's pass gate, so the scheduler must start no pass
  // once the controller is gone (stop the service or shut the scheduler down
  // first).
  TServiceController(IServiceBackend& backend, TSyncScheduler& scheduler);

  // Connects when needed, then switches the catalogue timer and the
  // service-running flag on and asks for the database lock (a copy that must
  // wait for another says so). An error of ReadPrintParams propagates and the
  // start goes no further (the next start completes the set-up).
  void StartService();
  void StopService();
  bool Running() const;
  // Start enabled exactly when connected and stopped; Stop the opposite.
  TButtonsStatus ButtonsStatus();

  // Called whenever the buttons' state may have changed (the window's
  // SetButtonsStatus).
  std::function<void()> OnButtonsChanged;

 private:
  IServiceBackend& Backend;
  TSyncScheduler& Scheduler;
  TPosDatabaseLock Lock;
  bool SetUpDone = false;  // print settings read and shop initialised on this connection
};

}  // namespace ooa
