// Console control events as termination requests (SetConsoleCtrlHandler).
// The system calls the handler on a thread of its own.
#include "service/TerminationSignals.h"

#include <windows.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "service/HeadlessRunner.h"

namespace ooa {

namespace {

std::mutex gMutex;
std::function<void()> gOnFirst;  // set once the watch begins
bool gPending = false;           // a request came before the watch began
bool gActed = false;             // the first request was handed on

// Closing the console, logging off and shutting down end the process as soon
// as the handler returns; those handlers therefore do not return, and the
// process ends when the service has stopped (or when the system's time-out
// runs out).
bool EndsOnReturn(DWORD type) { return type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT; }

BOOL WINAPI OnControl(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT && !EndsOnReturn(type)) return FALSE;
  std::function<void()> act;
  {
    std::lock_guard lock(gMutex);
    if (gActed) {
      std::fflush(stdout);
      std::_Exit(128 + (EndsOnReturn(type) ? SIGTERM : SIGINT));
    }
    if (gOnFirst) {
      gActed = true;
      act = gOnFirst;
    } else {
      gPending = true;
    }
  }
  if (act) act();
  if (EndsOnReturn(type)) Sleep(INFINITE);
  return TRUE;
}

}  // namespace

void BlockTerminationSignals() {
  static std::once_flag installed;
  std::call_once(installed, [] { SetConsoleCtrlHandler(OnControl, TRUE); });
}

void WatchTerminationSignals(std::function<void()> onFirst) {
  BlockTerminationSignals();
  bool actNow = false;
  {
    std::lock_guard lock(gMutex);
    gOnFirst = onFirst;
    actNow = gPending && !gActed;
    gActed = gActed || actNow;
  }
  if (actNow) onFirst();
}

}  // namespace ooa
