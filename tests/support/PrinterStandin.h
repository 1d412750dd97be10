// TPrinterStandin: runs the printer-standin tool (a network receipt printer on
// a free loopback port) for one test and reads back the jobs it received.
// Started by the constructor, stopped by Stop() or the destructor; the job
// files live in the object's own temporary folder. Test thread only.
//
// Tests that use it must build the tool first: tests/CMakeLists.txt makes the
// plain test folders depend on printer-standin; a folder with its own
// CMakeLists.txt adds add_dependencies(<its test> printer-standin).
#pragma once


#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/ServerProcess.h"
#include "support/TempDir.h"

namespace ooa::test {

class TPrinterStandin {
 public:
  struct TOptions {
    bool Refuse = false;       // reset every connection at once
    long long DropAfter = -1;  // reset a connection after this many bytes
    int IdleTimeoutMs = 0;     // end a silent job after this long (0: the tool's default)
    bool Stall = false;        // accept every connection, never read from it
  };

  // Starts the stand-in; throws std::runtime_error when it does not come up
  // within 10 seconds.
  explicit TPrinterStandin(const TOptions& options);
  TPrinterStandin() : TPrinterStandin(TOptions{}) {}
  ~TPrinterStandin();
  TPrinterStandin(const TPrinterStandin&) = delete;
  TPrinterStandin& operator=(const TPrinterStandin&) = delete;

  int Port() const { return PortNumber; }
  // "socket://127.0.0.1:PORT", a printer name the receipt printer accepts.
  std::string Address() const;
  const std::string& OutDir() const { return Dir.Path(); }

  // The complete jobs so far, in the order the connections came.
  std::vector<std::string> Jobs() const;
  // Waits (bounded) until at least count jobs are complete; returns Jobs().
  std::vector<std::string> WaitForJobs(size_t count, int timeoutMs = 10000) const;

  // Stops the tool (SIGTERM, then SIGKILL after 5 seconds). Idempotent.
  void Stop();

 private:
  TTempDir Dir;
  TServerProcess Process;
  int PortNumber = 0;
};

// Path of the built printer-standin binary.
std::string PrinterStandinPath();

}  // namespace ooa::test
