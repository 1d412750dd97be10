// RunPosdb on Windows: CreateProcessW with the streams in files.
#include <windows.h>

#include <stdexcept>

#include "support/PosDatabase.h"
#include "support/TempDir.h"
#include "support/win/CommandLine.h"

namespace ooa::test {

namespace {

std::string WithoutCarriageReturns(std::string text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}

HANDLE OpenStream(const std::string& path, bool write) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE h = ::CreateFileW(Wide(path).c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ, &inherit,
                                 write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  return h;
}

}  // namespace

TPosdbRun RunPosdb(const std::vector<std::string>& args, const std::string& stdinText) {
  TTempDir io;
  const std::string in = io.Write("in", stdinText), out = io.File("out"), err = io.File("err");
  std::vector<std::string> all = {PosdbPath()};
  all.insert(all.end(), args.begin(), args.end());
  std::wstring commandLine = Wide(CommandLine(all));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = OpenStream(in, false);
  si.hStdOutput = OpenStream(out, true);
  si.hStdError = OpenStream(err, true);
  PROCESS_INFORMATION pi{};
  const BOOL started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &si, &pi);
  ::CloseHandle(si.hStdInput);
  ::CloseHandle(si.hStdOutput);
  ::CloseHandle(si.hStdError);
  TPosdbRun r;
  if (!started) {
    r.Err = "cannot start " + PosdbPath() + ": error " + std::to_string(::GetLastError());
    return r;
  }
  ::WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  ::GetExitCodeProcess(pi.hProcess, &code);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  r.ExitCode = static_cast<int>(code);
  // posdb.exe writes its lines as a Windows console program does (CR LF);
  // the tests compare lines.
  r.Out = WithoutCarriageReturns(TTempDir::Read(out));
  r.Err = WithoutCarriageReturns(TTempDir::Read(err));
  return r;
}

}  // namespace ooa::test
