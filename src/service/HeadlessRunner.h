// Headless mode: the sync service without a window, for a Linux service.
// The activity log goes to standard output; the same controller, scheduler
// and passes run as in the window. Runs on the main thread, which becomes the
// controlling thread.
#pragma once

namespace ooa {

class TDatabaseModule;
class TSyncScheduler;
class TWooModule;

struct THeadlessOptions {
  // Run one catalogue pass, then one order pass, and return.
  bool Once = false;
};

// Blocks SIGTERM and SIGINT in the calling thread so that every thread created
// afterwards inherits the mask and headless mode receives them with sigwait
// (on Windows: takes the console's control events from their default action).
// Call it first thing in main, before any thread exists (not for --once, which
// keeps the default actions).
void BlockTerminationSignals();

// Runs one catalogue pass, then one order pass, on the calling thread, once
// the service was started: 0 when both ran to their end, 1 otherwise (the
// reason on standard error). With the scheduler's timers off, any one thread
// may call it.
int RunPassesOnce(TSyncScheduler& scheduler);

// Loads the settings, writes "Now: ...", starts the service and then:
//  - Once: runs one pass of each kind and returns 0 when both ran to their
//    end, 1 otherwise (the reason on standard error);
//  - otherwise: runs until SIGTERM or SIGINT (on Windows Ctrl+C, Ctrl+Break or
//    the console's close, log-off and shut-down events), stops the service, waits for the
//    running passes to end and returns 0. A second signal ends the process at
//    once. Returns 1 when the service could not be started, since nothing
//    could start it later.
// The modules are not owned and must outlive the call.
int RunHeadless(TDatabaseModule& db, TWooModule& woo, const THeadlessOptions& options);

}  // namespace ooa
