// Application locks of the embedded engine: sp_getapplock grants a lock to
// one session and refuses (-1) every other session on the same file, in this
// process and in another; the lock goes when its session releases it, closes,
// or its process is killed. APPLOCK_MODE reports the session's own locks.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <cstdlib>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "EngineFixture.h"

namespace ooa::test {
namespace {

// The statements the service sends, for any resource name.
std::string TakeSql(const std::string& resource) {
  return "Declare @r int; Exec @r = sp_getapplock @Resource=N'" + resource +
         "', @LockMode=N'Exclusive', @LockOwner=N'Session', @LockTimeout=0; Select @r As Result";
}

int Take(IDbSession& s, const std::string& resource) {
  return static_cast<int>(s.Query(TakeSql(resource)).First().Rows.at(0).at(0).AsInteger());
}

std::string Mode(IDbSession& s, const std::string& resource) {
  return s.Query("Select APPLOCK_MODE('public', N'" + resource + "', 'Session') As Mode").First().Rows.at(0).at(0).AsString();
}

void Release(IDbSession& s, const std::string& resource) {
  s.Execute("Exec sp_releaseapplock @Resource=N'" + resource + "', @LockOwner=N'Session'");
}

class EngineAppLock : public EngineTest {
 protected:
  std::unique_ptr<IDbSession> Other() {
    auto s = CreateEmbeddedSession(Path);
    s->Open();
    return s;
  }
};

TEST_F(EngineAppLock, OneSessionHoldsALockUntilItReleasesItAsOftenAsItTookIt) {
  auto other = Other();
  EXPECT_EQ(Mode(*Db, "Till"), "NoLock");
  EXPECT_EQ(Take(*Db, "Till"), 0);
  EXPECT_EQ(Mode(*Db, "Till"), "Exclusive");
  EXPECT_EQ(Take(*other, "Till"), -1);
  EXPECT_EQ(Mode(*other, "Till"), "NoLock");
  // Another name, in the shape of a batch kept by the parse cache: a lock of its
  // own, and names differ by case.
  EXPECT_EQ(Take(*other, "Till 2"), 0);
  EXPECT_EQ(Take(*Db, "Till 2"), -1);
  EXPECT_EQ(Take(*other, "TILL"), 0);
  // The function also answers inside a query that SQLite runs.
  Exec("Create Table T (A int); Insert T Values (1)");
  EXPECT_EQ(Text("Select Count(*) From T Where APPLOCK_MODE('public', N'Till', 'Session') = 'Exclusive'"), "1");

  // Taken twice, released twice.
  EXPECT_EQ(Take(*Db, "Till"), 0);
  Release(*Db, "Till");
  EXPECT_EQ(Take(*other, "Till"), -1);
  Release(*Db, "Till");
  EXPECT_EQ(Mode(*Db, "Till"), "NoLock");
  EXPECT_EQ(Take(*other, "Till"), 0);

  // A closed session lets go of everything it held.
  EXPECT_EQ(Take(*Db, "Till 2"), -1);
  other->Close();
  EXPECT_EQ(Take(*Db, "Till 2"), 0);
  EXPECT_EQ(Take(*Db, "Till"), 0);
}

// A Shared lock turns Exclusive only when no other session holds the name,
// and a refused request leaves the session's Shared lock as it was.
TEST_F(EngineAppLock, SharedLockTurnsExclusiveOnceItIsTheOnlyOne) {
  auto other = Other();
  auto take = [](IDbSession& s, const char* mode) {
    return static_cast<int>(s.Query(std::string("Declare @r int; Exec @r = sp_getapplock @Resource=N'Till', "
                                                 "@LockMode=N'") + mode + "', @LockOwner=N'Session', @LockTimeout=0; "
                                                 "Select @r As Result").First().Rows.at(0).at(0).AsInteger());
  };
  EXPECT_EQ(take(*Db, "Shared"), 0);
  EXPECT_EQ(take(*other, "Shared"), 0);
  EXPECT_EQ(take(*Db, "Exclusive"), -1);
  EXPECT_EQ(Mode(*Db, "Till"), "Shared");
  EXPECT_EQ(take(*other, "Exclusive"), -1);  // Db's Shared lock still stands
  Release(*other, "Till");
  EXPECT_EQ(take(*Db, "Exclusive"), 0);
  EXPECT_EQ(Mode(*Db, "Till"), "Exclusive");
  EXPECT_EQ(take(*other, "Shared"), -1);
}

#ifdef _WIN32
// The other process is this test program started again: it runs only
// AppLockChild.TakesTheLock, which takes the lock in a session of its own on
// the file it is given, writes the answer to an inherited pipe, and then ends
// or, asked to stay, holds its session until it is killed.
TEST(AppLockChild, TakesTheLock) {
  const char* file = std::getenv("OOA_APPLOCK_FILE");
  const char* report = std::getenv("OOA_APPLOCK_REPORT");
  if (!file || !report) GTEST_SKIP() << "runs only as the process a test starts";
  int value = -100;
  std::unique_ptr<IDbSession> held;
  try {
    held = CreateEmbeddedSession(file);
    held->Open();
    value = Take(*held, "Till");
  } catch (...) {
  }
  DWORD written = 0;
  WriteFile(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::strtoull(report, nullptr, 10))), &value, sizeof value,
            &written, nullptr);
  if (std::getenv("OOA_APPLOCK_STAY")) Sleep(INFINITE);
}

// Starts the child on file and reads its answer; returns the child's process
// handle (nullptr when it could not start).
HANDLE Child(int& answer, const std::string& file, bool stay) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return nullptr;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_filter=AppLockChild.TakesTheLock";
  const std::wstring wfile(file.begin(), file.end());  // the test's folder: ASCII
  SetEnvironmentVariableW(L"OOA_APPLOCK_FILE", wfile.c_str());
  SetEnvironmentVariableW(L"OOA_APPLOCK_REPORT", std::to_wstring(reinterpret_cast<uintptr_t>(writeEnd)).c_str());
  SetEnvironmentVariableW(L"OOA_APPLOCK_STAY", stay ? L"1" : nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;  // the child's test lines go nowhere
  PROCESS_INFORMATION process{};
  const BOOL started =
      CreateProcessW(exe, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  for (const wchar_t* name : {L"OOA_APPLOCK_FILE", L"OOA_APPLOCK_REPORT", L"OOA_APPLOCK_STAY"})
    SetEnvironmentVariableW(name, nullptr);
  CloseHandle(writeEnd);
  answer = -200;
  if (started) {
    DWORD n = 0;
    ReadFile(readEnd, &answer, sizeof answer, &n, nullptr);
    CloseHandle(process.hThread);
  }
  CloseHandle(readEnd);
  return started ? process.hProcess : nullptr;
}

void Reap(HANDLE process) {
  WaitForSingleObject(process, INFINITE);
  CloseHandle(process);
}

TEST_F(EngineAppLock, AnotherProcessIsRefusedAndTakesOverWhenTheHolderIsKilled) {
  ASSERT_EQ(Take(*Db, "Till"), 0);
  int answer = 0;
  HANDLE child = Child(answer, Path, false);
  ASSERT_NE(child, nullptr);
  Reap(child);
  EXPECT_EQ(answer, -1);
  Db->Close();

  // A process that holds the lock and dies without a word.
  child = Child(answer, Path, true);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(answer, 0);
  auto mine = Other();
  EXPECT_EQ(Take(*mine, "Till"), -1);
  TerminateProcess(child, 9);
  Reap(child);
  EXPECT_EQ(Take(*mine, "Till"), 0);
}

#else
// Runs fn in a child process, which writes one number to the pipe; returns
// the child's id and reads that number into answer.
pid_t Child(int& answer, const std::function<int()>& fn, bool stay) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    int value = -100;
    try {
      value = fn();
    } catch (...) {
    }
    (void)!::write(fds[1], &value, sizeof value);
    if (stay) ::pause();  // holds its session until it is killed
    ::_exit(0);
  }
  ::close(fds[1]);
  answer = -200;
  (void)!::read(fds[0], &answer, sizeof answer);
  ::close(fds[0]);
  return pid;
}

TEST_F(EngineAppLock, AnotherProcessIsRefusedAndTakesOverWhenTheHolderIsKilled) {
  ASSERT_EQ(Take(*Db, "Till"), 0);
  int answer = 0;
  pid_t pid = Child(answer, [this] { return Take(*Other(), "Till"); }, false);
  ASSERT_GT(pid, 0);
  ::waitpid(pid, nullptr, 0);
  EXPECT_EQ(answer, -1);
  Db->Close();

  // A process that holds the lock and dies without a word.
  std::unique_ptr<IDbSession> held;
  pid = Child(answer, [&held, this] {
    held = Other();
    return Take(*held, "Till");
  }, true);
  ASSERT_GT(pid, 0);
  EXPECT_EQ(answer, 0);
  auto mine = Other();
  EXPECT_EQ(Take(*mine, "Till"), -1);
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  EXPECT_EQ(Take(*mine, "Till"), 0);
}

#endif

TEST_F(EngineAppLock, CallsThatCannotBeKeptFailWithTheirReason) {
  struct TCase {
    const char* Batch;
    const char* Error;
  };
  const TCase kCases[] = {
      {"Exec sp_releaseapplock @Resource=N'Till', @LockOwner=N'Session'",
       "Cannot release the application lock (Database Principal: 'public', Resource: 'Till') because it is not "
       "currently held."},
      {"Exec sp_getapplock @Resource=N'Till', @LockMode=N'Exclusive'", "@LockOwner = N'Session'"},
      {"Exec sp_getapplock @Resource=N'Till', @LockMode=N'Update', @LockOwner=N'Session'", "'Update' is not supported"},
      {"Exec sp_getapplock @LockMode=N'Exclusive'", "expects parameter '@Resource', which was not supplied."},
      {"Exec sp_getapplock @Resource=N'Till', @Mode=N'Exclusive'", "@Mode is not a parameter for procedure"},
      {"Exec sp_nosuchthing", "Could not find stored procedure 'sp_nosuchthing'."},
      {"Exec ('Select 1')", "not supported"},
  };
  for (const TCase& c : kCases) EXPECT_NE(ErrorOf(c.Batch).find(c.Error), std::string::npos) << c.Batch << "\n" << ErrorOf(c.Batch);
  // A failed call still hands back its return code, as on SQL Server.
  Exec("Create Table R (A int)");
  EXPECT_NE(ErrorOf("Declare @r int; Exec @r = sp_releaseapplock N'Till', N'Session'; Insert R Values (@r)"),
            "(no error)");
  EXPECT_EQ(Text("Select A From R"), "-999");
  // Positional arguments, and Default for a parameter with one.
  EXPECT_EQ(Text("Declare @r int; Exec @r = sp_getapplock N'Till', N'Shared', N'Session', Default, N'public'; "
                 "Select APPLOCK_MODE('public', N'Till', 'Session')"),
            "Shared");
}

}  // namespace
}  // namespace ooa::test
