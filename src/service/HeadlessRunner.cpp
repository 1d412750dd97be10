#include "service/HeadlessRunner.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "config/ActivityLog.h"
#include "config/Clock.h"
#include "config/Config.h"
#include "config/UtilUnit.h"
#include "service/EventLoop.h"
#include "sync/Passes.h"
#include "service/ServiceBackend.h"
#include "service/ServiceController.h"
#include "service/SyncScheduler.h"
#include "service/TerminationSignals.h"

namespace ooa {

namespace {

// Restores the sink on every way out, so no line goes to a dead sink.
struct TSinkScope {
  explicit TSinkScope(ILogSink* sink) { ActivityLog().SetSink(sink); }
  ~TSinkScope() { ActivityLog().SetSink(nullptr); }
};

}  // namespace

int RunPassesOnce(TSyncScheduler& scheduler) {
  int status = 0;
  for (auto [kind, name] : {std::pair{TPassKind::Catalogue, "catalogue"}, std::pair{TPassKind::Order, "order"}}) {
    std::string error;
    if (!scheduler.RunPassNow(kind, error)) {
      ErrorLine(std::string("The ") + name + " pass failed: " + error);
      status = 1;
    }
  }
  return status;
}

int RunHeadless(TDatabaseModule& db, TWooModule& woo, const THeadlessOptions& options) {
  // A single run keeps the default signal actions: an interrupted pass ends
  // with the process, and the database drops its uncommitted batch.
  if (!options.Once) BlockTerminationSignals();
  TStdoutLogSink sink;
  TSinkScope sinkScope(&sink);

  TEventLoop loop;
  TSyncScheduler scheduler(loop, [&woo] { RunCatalogPass(woo); }, [&woo] { RunOrderPass(woo); });
  TModulesBackend backend(db, woo);
  TServiceController controller(backend, scheduler);

  LoadConfig();
  ActivityLog().Clear();
  StatusLine("Now: " + std::to_string(DateTimeToUnixMs(Clock().NowLocal())));
  try {
    controller.StartService();
  } catch (const std::exception& e) {
    ErrorLine(std::string("Error: ") + e.what());
    return 1;
  }

  if (options.Once) return controller.Running() ? RunPassesOnce(scheduler) : 1;
  if (!controller.Running()) return 1;

  // The first request to end goes to the loop; a second one ends the process.
  WatchTerminationSignals([&loop, &controller, &scheduler] {
    loop.Post([&loop, &controller, &scheduler] {
      controller.StopService();
      scheduler.Shutdown([&loop] { loop.Quit(); });
    });
  });

  loop.Run();
  return 0;
}

}  // namespace ooa
