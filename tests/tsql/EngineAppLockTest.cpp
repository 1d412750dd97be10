// Application locks of the embedded engine: sp_getapplock grants a lock to
// one session and refuses (-1) every other session on the same file, in this
// process and in another; the lock goes when its session releases it, closes,
// or its process is killed. APPLOCK_MODE reports the session's own locks.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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
