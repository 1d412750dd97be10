// An order pass in a child process of its own, on a connection of its own,
// for tests that kill a pass midway (test thread only). The child runs
// TWooModule::SyncOrders with the settings in force and ends with _exit.
#pragma once

#ifndef _WIN32

#include <csignal>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "shop/WooModule.h"
#include "sync/OrderSync.h"

namespace ooa::test {

// The child's pid, or -1 when it could not be started.
inline pid_t StartForkedOrderPass(const TConfig& database) {
  const pid_t child = ::fork();
  if (child == 0) {
    TDatabaseModule db;
    TWooModule woo(db);
    if (db.ConnectToServer(database)) {
      woo.Init(ConfigSnapshot());
      SyncOrders(woo);
    }
    ::_exit(0);
  }
  return child;
}

// Kills the child with SIGKILL and reaps it; its wait status.
inline int KillForkedPass(pid_t child) {
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

}  // namespace ooa::test

#endif  // _WIN32 (fork)
