#include "support/CupsSpooler.h"

#include <cups/cups.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace ooa::test {

int TCupsSpooler::Run(const std::string& command, std::string& output) {
  output.clear();
  FILE* p = ::popen((command + " 2>&1").c_str(), "r");
  if (!p) return -1;
  char buf[256];
  while (size_t n = std::fread(buf, 1, sizeof buf, p)) output.append(buf, n);
  const int status = ::pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool TCupsSpooler::Start(std::string& whyNot) {
  if (::access("/usr/sbin/cupsd", X_OK) != 0) {
    whyNot = "cupsd is not installed (package cups)";
    return false;
  }
  const std::string T = Dir.Path();
  for (const char* d : {"spool", "cache", "run", "log"}) std::filesystem::create_directory(Dir.File(d));
  Socket = Dir.File("cups.sock");
  std::ofstream(Dir.File("cupsd.conf")) << "Listen " << Socket << "\n"
                                        << "LogLevel warn\nDefaultAuthType None\n"
                                           "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                           "<Policy default>\n  <Limit All>\n    Order allow,deny\n"
                                           "    Allow all\n  </Limit>\n</Policy>\n";
  std::ofstream(Dir.File("cups-files.conf")) << "ServerRoot " << T << "\nRequestRoot " << T << "/spool\n"
                                             << "CacheDir " << T << "/cache\nStateDir " << T << "/run\n"
                                             << "ErrorLog " << T << "/log/error_log\nAccessLog " << T
                                             << "/log/access_log\nPageLog " << T << "/log/page_log\n"
                                             << "Sandboxing Relaxed\n";
  // cupsd runs its backends as user lp: the folders must be open to it.
  for (const auto& e : std::filesystem::recursive_directory_iterator(T)) ::chmod(e.path().c_str(), 0777);
  ::chmod(T.c_str(), 0777);

  Pid = ::fork();
  if (Pid == 0) {
    ::execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", Dir.File("cupsd.conf").c_str(), "-s",
            Dir.File("cups-files.conf").c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  bool up = false;
  for (int i = 0; i < 100 && !up; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    up = std::filesystem::exists(Socket);
    int status;
    if (!up && ::waitpid(Pid, &status, WNOHANG) == Pid) {
      Pid = -1;
      break;
    }
  }
  if (!up) {
    whyNot = "cupsd cannot run here: " + ErrorLog();
    return false;
  }
  ::setenv("CUPS_SERVER", Socket.c_str(), 1);
  cupsSetServer(Socket.c_str());
  return true;
}

TCupsSpooler::~TCupsSpooler() {
  if (Pid > 0) {
    ::kill(Pid, SIGTERM);
    ::waitpid(Pid, nullptr, 0);
  }
  ::unsetenv("CUPS_SERVER");
  cupsSetServer(nullptr);
}

bool TCupsSpooler::AddRawQueue(const std::string& name, const std::string& uri, std::string& output) {
  return Run("lpadmin -p '" + name + "' -E -v '" + uri + "' -m raw", output) == 0;
}

std::string TCupsSpooler::ErrorLog() const { return TTempDir::Read(Dir.File("log/error_log")); }

}  // namespace ooa::test
