// One instance per user session: real processes, each running the start-up
// guard, in a runtime folder of the test's own.
#include <gtest/gtest.h>
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
