// TServerProcess on Windows (see ServerProcess.h): CreateProcessW with the
// child's standard output on a pipe; Stop() ends the process. Under Wine the
// program may be one of the build machine's (a Linux stand-in).
#include "support/ServerProcess.h"

#include <windows.h>

#include <chrono>
#include <stdexcept>

#include "support/win/CommandLine.h"

namespace ooa::test {

TServerProcess::~TServerProcess() { Stop(); }

std::string TServerProcess::Start(std::vector<std::string> args, const std::string& what) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) throw std::runtime_error(what + ": pipe failed");
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  std::wstring commandLine = Wide(CommandLine(args));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = writeEnd;
  si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi{};
  const BOOL started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  ::CloseHandle(writeEnd);
  if (!started) {
    ::CloseHandle(readEnd);
    throw std::runtime_error(what + " did not start (" + args[0] + "): error " + std::to_string(::GetLastError()));
  }
  ::CloseHandle(pi.hThread);
  Pid = reinterpret_cast<long long>(pi.hProcess);

  // The first line, read a byte at a time while the 10 seconds last.
  std::string first;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (first.find('\n') == std::string::npos && std::chrono::steady_clock::now() < end) {
    DWORD available = 0;
    if (!::PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr)) break;
    if (available == 0) {
      ::Sleep(20);
      continue;
    }
    char c;
    DWORD got = 0;
    if (!::ReadFile(readEnd, &c, 1, &got, nullptr) || got != 1) break;
    first += c;
  }
  const std::string prefix = "listening on ";
  if (first.rfind(prefix, 0) != 0) {
    ::CloseHandle(readEnd);
    Stop();
    throw std::runtime_error(what + " did not start (" + args[0] + "): " + first);
  }
  std::string rest = first.substr(prefix.size());
  while (!rest.empty() && (rest.back() == '\n' || rest.back() == '\r')) rest.pop_back();
  Drain = std::thread([readEnd] {
    char buf[256];
    DWORD got = 0;
    while (::ReadFile(readEnd, buf, sizeof buf, &got, nullptr) && got > 0) {
    }
    ::CloseHandle(readEnd);
  });
  return rest;
}

void TServerProcess::Stop() {
  if (Pid != -1) {
    const HANDLE process = reinterpret_cast<HANDLE>(Pid);
    ::TerminateProcess(process, 1);
    ::WaitForSingleObject(process, 5000);
    ::CloseHandle(process);
    Pid = -1;
  }
  if (Drain.joinable()) Drain.join();
}

}  // namespace ooa::test
