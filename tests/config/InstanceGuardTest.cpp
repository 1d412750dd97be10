// One instance per user session: real processes, each running the start-up
// guard. On Windows the guard is the session's named mutex; the instances are
// this test program started again, which runs only the guard (ChildRunsTheGuard)
// and tells the test on an inherited pipe that it runs.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <cstdlib>
#include <string>

#include "config/InstanceGuard.h"

namespace ooa {
namespace {

constexpr const wchar_t* kReportVariable = L"OOA_INSTANCE_REPORT";

struct TInstance {
  PROCESS_INFORMATION Process{};
  HANDLE Report = nullptr;  // the child writes one byte here once it runs
};

// The child's part: runs the guard, says that it runs, and waits to be killed.
TEST(InstanceGuard, ChildRunsTheGuard) {
  const char* report = std::getenv("OOA_INSTANCE_REPORT");
  if (!report) GTEST_SKIP() << "runs only as the instance a test starts";
  ExitIfAnotherInstance();
  DWORD written = 0;
  const HANDLE out = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::strtoull(report, nullptr, 10)));
  if (!WriteFile(out, "R", 1, &written, nullptr)) ExitProcess(3);
  Sleep(INFINITE);
}

TInstance Start() {
  TInstance instance;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return instance;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_filter=InstanceGuard.ChildRunsTheGuard";
  SetEnvironmentVariableW(kReportVariable, std::to_wstring(reinterpret_cast<uintptr_t>(writeEnd)).c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = startup.hStdError = nullptr;  // the child's gtest lines go nowhere
  const BOOL started = CreateProcessW(exe, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                      &instance.Process);
  SetEnvironmentVariableW(kReportVariable, nullptr);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    return instance;
  }
  instance.Report = readEnd;
  return instance;
}

// True once the instance says it runs; false when it ended without a word.
bool Runs(const TInstance& instance) {
  char c;
  DWORD n = 0;
  return ReadFile(instance.Report, &c, 1, &n, nullptr) && n == 1;
}

// The exit code, once the instance has ended.
DWORD WaitExit(TInstance& instance) {
  WaitForSingleObject(instance.Process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(instance.Process.hProcess, &code);
  CloseHandle(instance.Process.hProcess);
  CloseHandle(instance.Process.hThread);
  CloseHandle(instance.Report);
  return code;
}

TEST(InstanceGuard, SecondStartEndsAtOnceAndACrashFreesTheName) {
  TInstance first = Start();
  ASSERT_NE(first.Report, nullptr);
  ASSERT_TRUE(Runs(first));

  TInstance second = Start();
  ASSERT_NE(second.Report, nullptr);
  const bool secondRuns = Runs(second);
  if (secondRuns) TerminateProcess(second.Process.hProcess, 9);  // a failure, but never a hang
  EXPECT_FALSE(secondRuns);
  EXPECT_EQ(WaitExit(second), 0u);

  // The first never released the mutex; a hard kill must still free the name.
  TerminateProcess(first.Process.hProcess, 9);
  EXPECT_EQ(WaitExit(first), 9u);

  TInstance third = Start();
  ASSERT_NE(third.Report, nullptr);
  EXPECT_TRUE(Runs(third));
  TerminateProcess(third.Process.hProcess, 9);
  WaitExit(third);
}

}  // namespace
}  // namespace ooa

#else
// On Linux, in a runtime folder of the test's own.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "config/InstanceGuard.h"
#include "support/TempDir.h"

namespace ooa {
namespace {

struct TInstance {
  pid_t Pid = -1;
  int Report = -1;  // the child writes one byte here once it runs
};

// Forks a process that runs the start-up guard, says that it runs, and waits
// to be killed.
TInstance Start(const std::string& runtimeDir) {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    ::setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
    ExitIfAnotherInstance();
    if (::write(fds[1], "R", 1) != 1) ::_exit(3);
    for (;;) ::pause();
  }
  ::close(fds[1]);
  return {pid, fds[0]};
}

// True once the instance says it runs; false when it ended without a word.
bool Runs(const TInstance& instance) {
  char c;
  ssize_t n;
  do {
    n = ::read(instance.Report, &c, 1);
  } while (n < 0 && errno == EINTR);
  return n == 1;
}

int WaitExit(const TInstance& instance) {
  int status = 0;
  ::waitpid(instance.Pid, &status, 0);
  ::close(instance.Report);
  return status;
}

TEST(InstanceGuard, SecondStartEndsAtOnceAndACrashFreesTheName) {
  test::TTempDir runtime;

  const TInstance first = Start(runtime.Path());
  ASSERT_GT(first.Pid, 0);
  ASSERT_TRUE(Runs(first));

  const TInstance second = Start(runtime.Path());
  ASSERT_GT(second.Pid, 0);
  const bool secondRuns = Runs(second);
  if (secondRuns) ::kill(second.Pid, SIGKILL);  // a failure, but never a hang
  EXPECT_FALSE(secondRuns);
  const int secondStatus = WaitExit(second);
  EXPECT_TRUE(WIFEXITED(secondStatus));
  EXPECT_EQ(WEXITSTATUS(secondStatus), 0);

  // The first never released its lock; a hard kill must still free it.
  ::kill(first.Pid, SIGKILL);
  const int firstStatus = WaitExit(first);
  EXPECT_TRUE(WIFSIGNALED(firstStatus));

  const TInstance third = Start(runtime.Path());
  ASSERT_GT(third.Pid, 0);
  EXPECT_TRUE(Runs(third));
  ::kill(third.Pid, SIGKILL);
  WaitExit(third);
}

TEST(InstanceGuard, EachSessionFolderHasItsOwnInstance) {
  test::TTempDir sessionA, sessionB;
  const TInstance a = Start(sessionA.Path());
  const TInstance b = Start(sessionB.Path());
  EXPECT_TRUE(Runs(a));
  EXPECT_TRUE(Runs(b));
  for (const TInstance& i : {a, b}) {
    ::kill(i.Pid, SIGKILL);
    WaitExit(i);
  }
}

TEST(InstanceGuard, LockFileLivesInTheRuntimeFolder) {
  const char* old = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved = old ? old : "";
  ::setenv("XDG_RUNTIME_DIR", "/nonexistent-runtime-folder", 1);
  EXPECT_EQ(InstanceLockPath(),
            "/tmp/" + std::to_string(::getuid()) + "-OnlineOrderAdaptor-" + kInstanceName + ".lock");
  test::TTempDir runtime;
  ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
  EXPECT_EQ(InstanceLockPath(), runtime.Path() + "/OnlineOrderAdaptor-" + kInstanceName + ".lock");
  if (old) {
    ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
  } else {
    ::unsetenv("XDG_RUNTIME_DIR");
  }
}

}  // namespace
}  // namespace ooa

#endif
