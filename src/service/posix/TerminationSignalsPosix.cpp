#include "service/TerminationSignals.h"

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

#include "service/HeadlessRunner.h"

namespace ooa {

namespace {

sigset_t TerminationSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  return set;
}

}  // namespace

void BlockTerminationSignals() {
  sigset_t set = TerminationSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void WatchTerminationSignals(std::function<void()> onFirst) {
  // The thread is left blocked in sigwait when the caller is done; the process
  // exit takes it down.
  std::thread([onFirst = std::move(onFirst)] {
    sigset_t set = TerminationSignals();
    int sig = 0;
    sigwait(&set, &sig);
    onFirst();
    sigwait(&set, &sig);
    std::fflush(stdout);
    std::_Exit(128 + sig);
  }).detach();
}

}  // namespace ooa
