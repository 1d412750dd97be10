// TProgramRun on Windows (see ProgramRun.h): CreateProcessW with an
// environment block of its own and the output in files.
#ifdef _WIN32
#include <windows.h>

#include <csignal>
#include <map>
#include <stdexcept>

#include "ProgramRun.h"
#include "support/HostTools.h"
#include "support/TempDir.h"
#include "support/win/CommandLine.h"

namespace ooa::test {

namespace {

HANDLE CreateOutput(const std::string& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path);
  return h;
}

std::string WithoutCarriageReturns(std::string text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

}  // namespace

std::string AdaptorPath() { return BuiltProgram("src/app/online-order-adaptor"); }

TProgramRun::TProgramRun(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
                         const std::string& outputDir)
    : OutPath(outputDir + "/stdout.txt"), ErrPath(outputDir + "/stderr.txt") {
  // Names compare without case on Windows: the map's key is the upper-case name.
  std::map<std::wstring, std::wstring> vars;
  wchar_t* block = ::GetEnvironmentStringsW();
  for (const wchar_t* e = block; *e; e += wcslen(e) + 1) {
    const std::wstring kv = e;
    const size_t eq = kv.find(L'=', 1);
    if (eq == std::wstring::npos) continue;
    std::wstring key = kv.substr(0, eq);
    for (auto& c : key) c = static_cast<wchar_t>(towupper(c));
    vars[key] = kv;
  }
  ::FreeEnvironmentStringsW(block);
  for (const auto& [k, v] : env) {
    std::wstring key = Wide(k);
    for (auto& c : key) c = static_cast<wchar_t>(towupper(c));
    if (v.empty()) vars.erase(key);
    else vars[key] = Wide(k + "=" + v);
  }
  std::wstring environment;
  for (const auto& [k, kv] : vars) environment += kv + L'\0';
  environment += L'\0';

  std::vector<std::string> argv = {AdaptorPath()};
  argv.insert(argv.end(), args.begin(), args.end());
  std::wstring commandLine = Wide(CommandLine(argv));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = CreateOutput(OutPath);
  si.hStdError = CreateOutput(ErrPath);
  PROCESS_INFORMATION pi{};
  const BOOL started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &si, &pi);
  ::CloseHandle(si.hStdOutput);
  ::CloseHandle(si.hStdError);
  if (!started) throw std::runtime_error("cannot start " + argv[0] + ": error " + std::to_string(::GetLastError()));
  ::CloseHandle(pi.hThread);
  Pid = reinterpret_cast<long long>(pi.hProcess);
}

TProgramRun::~TProgramRun() {
  if (Pid == -1) return;
  const HANDLE process = reinterpret_cast<HANDLE>(Pid);
  if (Status < 0) {
    ::TerminateProcess(process, 128 + 9);
    ::WaitForSingleObject(process, 5000);
  }
  ::CloseHandle(process);
}

int TProgramRun::Wait(int timeoutMs) {
  if (Status >= 0) return Status;
  const HANDLE process = reinterpret_cast<HANDLE>(Pid);
  if (::WaitForSingleObject(process, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  ::GetExitCodeProcess(process, &code);
  Status = static_cast<int>(code);
  return Status;
}

bool TProgramRun::WaitForOutput(const std::string& text, int timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  while (::GetTickCount64() < end) {
    if (Stdout().find(text) != std::string::npos) return true;
    if (Wait(0) >= 0) return Stdout().find(text) != std::string::npos;
    ::Sleep(20);
  }
  return false;
}

void TProgramRun::Signal(int sig) {
  if (Status >= 0) return;
  constexpr int kSigKill = 9;  // not in the Windows C runtime's <csignal>
  if (sig != kSigKill) throw std::logic_error("TProgramRun: only SIGKILL is there on Windows");
  ::TerminateProcess(reinterpret_cast<HANDLE>(Pid), 128 + 9);
}

bool TProgramRun::Pause(int) { return false; }

std::string TProgramRun::Stdout() const { return WithoutCarriageReturns(TTempDir::Read(OutPath)); }
std::string TProgramRun::Stderr() const { return WithoutCarriageReturns(TTempDir::Read(ErrPath)); }

}  // namespace ooa::test
#endif  // _WIN32
