#include "service/ServiceController.h"

#include "config/ActivityLog.h"

namespace ooa {

TServiceController::TServiceController(IServiceBackend& backend, TSyncScheduler& scheduler)
    : Backend(backend), Scheduler(scheduler), Lock(backend) {
  Scheduler.SetPassGate({[this](std::string& why) { return Lock.EnterPass(why); }, [this] { Lock.LeavePass(); }});
}

bool TServiceController::Running() const { return Scheduler.ServiceRunning(); }

void TServiceController::StartService() {
  if (Running()) return;
  if (!Backend.Connected()) {
    SetUpDone = false;
    if (!Backend.ConnectToServer()) {
      StatusLine("Error: Can not connect to SQL Server database.");
      const std::string reason = Backend.ConnectError();
      if (!reason.empty()) StatusLine(reason);
    }
  }
  if (!Backend.Connected()) return;
  // A start whose set-up failed half-way (the print settings raised) redoes
  // the set-up on the open connection, so the shop channels never stay
  // without their settings.
  if (!SetUpDone) {
    Backend.ReadPrintParams();
    StatusLine("Connect to SQL Server database successful.");
    Backend.InitShop();
    SetUpDone = true;
  }
  Scheduler.SetTimerEnabled(TPassKind::Catalogue, true);
  Scheduler.SetServiceRunning(true);
  if (OnButtonsChanged) OnButtonsChanged();
  StatusLine("Sync Service Started");
  Lock.Start();
}

void TServiceController::StopService() {
  if (!Running()) return;
  Scheduler.SetTimerEnabled(TPassKind::Order, false);
  Scheduler.SetTimerEnabled(TPassKind::Catalogue, false);
  Scheduler.SetServiceRunning(false);
  Lock.Stop();
  if (OnButtonsChanged) OnButtonsChanged();
  StatusLine("Sync Service Stoped");
}

TButtonsStatus TServiceController::ButtonsStatus() {
  TButtonsStatus s;
  s.StartEnabled = Backend.Connected() && !Running();
  s.StopEnabled = !s.StartEnabled;
  return s;
}

}  // namespace ooa
