// TServerProcess under Wine (see ServerProcess.h). The tool is a program of
// the build machine: Wine starts it, but gives back no process handle and
// leaves its output on Wine's own. So it runs as
//   /bin/sh -c 'echo $$ >pid; exec TOOL ARGS >out'
// and the first line is read from the file; Stop() runs a second /bin/sh that
// signals that process id, waits for it to end, and then leaves a mark file.
#include "support/ServerProcess.h"

#include <windows.h>

#include <chrono>
#include <stdexcept>

#include "support/HostTools.h"
#include "support/TempDir.h"
#include "support/win/CommandLine.h"

namespace ooa::test {

namespace {

std::string ShellQuoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Runs `script` with the build machine's /bin/sh; does not wait for it.
void RunShell(const std::string& script, const std::string& what) {
  std::wstring commandLine = Wide(CommandLine({"/bin/sh", "-c", script}));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    throw std::runtime_error(what + ": /bin/sh did not start: error " + std::to_string(::GetLastError()));
  // For a program of the build machine Wine hands back no process handle and
  // leaves whatever its own memory held in hThread: closing that would close
  // some handle of this process (its standard output, once). Nothing to close.
}

// Waits up to `seconds` for `done(text of file)`.
template <typename TDone>
bool WaitForFile(const std::string& path, int seconds, TDone done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  for (;;) {
    if (done(TTempDir::Read(path))) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    ::Sleep(20);
  }
}

}  // namespace

TServerProcess::~TServerProcess() { Stop(); }

std::string TServerProcess::Start(std::vector<std::string> args, const std::string& what) {
  Files = std::make_unique<TTempDir>();
  std::string script = "echo $$ >" + ShellQuoted(HostPath(Files->File("pid"))) + "; exec";
  for (const std::string& a : args) script += " " + ShellQuoted(a);
  script += " >" + ShellQuoted(HostPath(Files->File("out")));
  RunShell(script, what);

  const bool started =
      WaitForFile(Files->File("pid"), 10, [](const std::string& t) { return !t.empty() && t.back() == '\n'; });
  if (started) Pid = std::stoll(TTempDir::Read(Files->File("pid")));
  std::string first;
  WaitForFile(Files->File("out"), 10, [&first](const std::string& t) {
    const size_t end = t.find('\n');
    first = t.substr(0, end);
    return end != std::string::npos;
  });
  const std::string prefix = "listening on ";
  if (first.rfind(prefix, 0) != 0) {
    Stop();
    throw std::runtime_error(what + " did not start (" + args[0] + "): " + first);
  }
  std::string rest = first.substr(prefix.size());
  while (!rest.empty() && rest.back() == '\r') rest.pop_back();
  return rest;
}

void TServerProcess::Stop() {
  if (Pid != -1) {
    // SIGTERM; after 5 seconds SIGKILL. A process that has ended but is not
    // yet reaped (state Z) counts as ended.
    const std::string pid = std::to_string(Pid);
    const std::string alive = "{ s=$(sed 's/.*) //;s/ .*//' /proc/" + pid +
                              "/stat 2>/dev/null); [ -n \"$s\" ] && [ \"$s\" != Z ] && [ \"$s\" != X ]; }";
    const std::string waitUpTo = "n=0; while [ $n -lt $N ] && " + alive + "; do sleep 0.05; n=$((n+1)); done; ";
    const std::string mark = HostPath(Files->File("stopped"));
    RunShell("kill -TERM " + pid + " 2>/dev/null; N=100; " + waitUpTo + "kill -KILL " + pid +
                 " 2>/dev/null; N=40; " + waitUpTo + "echo stopped >" + ShellQuoted(mark),
             "stopping a stand-in");
    WaitForFile(Files->File("stopped"), 15, [](const std::string& t) { return !t.empty(); });
    Pid = -1;
  }
  Files.reset();
}

}  // namespace ooa::test
