// TCupsSpooler: a print spooler of the test's own (cupsd on a Unix socket in
// a temporary folder, with an open policy), which the print service's client
// side (libcups, lpadmin) uses while the object lives: CUPS_SERVER points at
// it. Where cupsd is missing or cannot run, Start says why and the test skips.
// Test thread only; one at a time.
#pragma once

#include <sys/types.h>

#include <string>

#include "support/TempDir.h"

namespace ooa::test {

class TCupsSpooler {
 public:
  TCupsSpooler() = default;
  ~TCupsSpooler();
  TCupsSpooler(const TCupsSpooler&) = delete;
  TCupsSpooler& operator=(const TCupsSpooler&) = delete;

  // Starts cupsd; false with the reason when it cannot run here.
  bool Start(std::string& whyNot);
  // Runs a shell command line against the spooler; its exit status, with its
  // output (standard output and error) in output.
  static int Run(const std::string& command, std::string& output);
  // Adds a raw queue aimed at the device URI; false (and lpadmin's words in
  // output) when lpadmin fails.
  bool AddRawQueue(const std::string& name, const std::string& uri, std::string& output);
  std::string ErrorLog() const;

 private:
  TTempDir Dir;
  std::string Socket;
  pid_t Pid = -1;
};

}  // namespace ooa::test
