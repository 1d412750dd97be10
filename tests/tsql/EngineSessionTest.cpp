// The embedded session: opening the file, result values as callers read them,
// and two sessions working on one file at the same time.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <fstream>
#include <set>
#include <thread>

#include "EngineFixture.h"
#include "PosTables.h"

namespace ooa::test {
namespace {

class EngineSession : public EngineTest {};

TEST_F(EngineSession, MissingFileIsAFailedConnectionAndIsNotCreated) {
  auto path = Dir / "absent.db";
  auto s = CreateEmbeddedSession(path.string());
  EXPECT_THROW(s->Open(), TDbError);
  EXPECT_FALSE(s->IsOpen());
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(EngineSession, FileNameIsFoundWithoutRegardToCase) {
  Exec("Create Table T (A int); Insert T Values (7)");
  Db.reset();
  std::filesystem::rename(Path, Dir / "Shop.db");
  auto s = CreateEmbeddedSession((Dir / "SHOP.DB").string());
  s->Open();
  EXPECT_EQ(s->Query("Select A From T").First().Rows[0][0].AsInteger(), 7);
}

TEST_F(EngineSession, FileThatIsNoDatabaseFailsToOpen) {
  std::ofstream(Dir / "junk.db") << "this is not a database file, just some text that is long enough";
  auto s = CreateEmbeddedSession((Dir / "junk.db").string());
  EXPECT_THROW(s->Open(), TDbError);
}

#ifdef _WIN32
// A file the service may not write opens read-only in SQLite, and every
// invoice would fail later: refused at once, saying so. On Windows the file
// carries the read-only attribute.
TEST_F(EngineSession, ReadOnlyFileIsRefusedAsSuch) {
  Exec("Create Table T (A int)");
  Db.reset();
  namespace fs = std::filesystem;
  fs::permissions(Path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  // Wine run by root maps the attribute to mode bits, which root passes.
  const std::wstring wpath(Path.begin(), Path.end());  // the test's folder: ASCII
  HANDLE probe = CreateFileW(wpath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);
    fs::permissions(Path, fs::perms::owner_write, fs::perm_options::add);
    GTEST_SKIP() << "this user may write a read-only file here";
  }
  std::string what = "opened";
  try {
    auto s = CreateEmbeddedSession(Path);
    s->Open();
  } catch (const TDbError& e) {
    what = e.what();
  }
  fs::permissions(Path, fs::perms::owner_write, fs::perm_options::add);  // the fixture removes it
  EXPECT_EQ(what, "The POS database file '" + Path + "' is read-only: the service cannot write into it.");
}

#else
// A file the service may not write opens read-only in SQLite, and every
// invoice would fail later: refused at once, saying so. Root may write any
// file, so the open runs in a child without root's rights.
TEST_F(EngineSession, ReadOnlyFileIsRefusedAsSuch) {
  Exec("Create Table T (A int)");
  Db.reset();
  ASSERT_EQ(::chmod(Path.c_str(), 0444), 0);
  ASSERT_EQ(::chmod(Dir.c_str(), 0777), 0);
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(pipeFds[0]);
    if (::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(2);
    std::string what = "opened";
    try {
      auto s = CreateEmbeddedSession(Path);
      s->Open();
    } catch (const TDbError& e) {
      what = e.what();
    }
    (void)!::write(pipeFds[1], what.data(), what.size());
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  std::string what;
  char buf[512];
  for (ssize_t n; (n = ::read(pipeFds[0], buf, sizeof buf)) > 0;) what.append(buf, static_cast<size_t>(n));
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child could not drop root's rights";
  EXPECT_EQ(what, "The POS database file '" + Path + "' is read-only: the service cannot write into it.");
}

#endif

TEST_F(EngineSession, ResultValuesCarryTheirKinds) {
  Exec("Create Table P (ProductCode nvarchar(10) Primary Key, Live bit, Price float, Qty int, ModifyDate datetime, Note nvarchar(20));"
       "Create Table PE (ProductCode nvarchar(10), WooID nvarchar(10));"
       "Insert P Values (N'A', 1, 2.5, 3, '03/05/2024 14:06:59', Null)");
  TQueryResult r = Query("Select p.*, pe.* From P p Left Join PE pe On p.ProductCode = pe.ProductCode");
  TRecordSet& set = r.First();
  ASSERT_EQ(set.RecordCount(), 1);
  EXPECT_EQ(set.Columns.size(), 8u);
  // The first of two equal names wins: P's code, not PE's empty one.
  EXPECT_EQ(set.FieldByName("productcode").AsString(), "A");
  EXPECT_EQ(set.FieldByName("Live").Kind, TDbValue::TKind::Integer);
  EXPECT_TRUE(set.FieldByName("Live").AsBoolean());
  EXPECT_EQ(set.FieldByName("Price").Kind, TDbValue::TKind::Float);
  EXPECT_DOUBLE_EQ(set.FieldByName("Price").AsFloat(), 2.5);
  EXPECT_EQ(set.FieldByName("Qty").AsInteger(), 3);
  EXPECT_EQ(set.FieldByName("ModifyDate").Kind, TDbValue::TKind::DateTime);
  EXPECT_EQ(set.FieldByName("ModifyDate").AsString(), "2024-03-05 14:06:59.000");
  EXPECT_EQ(set.FieldByName("ModifyDate").AsDateTime(), TDateTime::FromCivil(2024, 3, 5, 14, 6, 59));
  EXPECT_TRUE(set.FieldByName("Note").IsNull());
  EXPECT_EQ(set.FieldByName("Note").AsString(), "");
  EXPECT_EQ(set.FieldByName("WooID").AsInteger(), 0);
  EXPECT_THROW(set.FieldByName("Nope"), TDbError);
}

TEST_F(EngineSession, EveryResultSetComesBackInOrder) {
  Exec("Create Table T (A int); Insert T Values (1), (2)");
  TQueryResult r = Query("Update T Set A = A + 10; Select A From T Order By A; Select Count(*) As N From T Where A > 100");
  ASSERT_EQ(r.Sets.size(), 2u);
  EXPECT_EQ(r.Sets[0].RecordCount(), 2);
  EXPECT_EQ(r.Sets[0].Rows[1][0].AsInteger(), 12);
  EXPECT_EQ(r.Sets[1].Columns[0], "N");
  EXPECT_EQ(r.Sets[1].Rows[0][0].AsInteger(), 0);
}

TEST_F(EngineSession, TwoSessionsWriteInvoicesAtTheSameTime) {
  Exec(kPosTables);
  Exec("Insert Profile (GenerateInvoiceNoKind, POSInit) Values (0, N'W'); Insert Product (ProductCode, StockQty1) Values (N'A', 100)");
  constexpr int kEach = 15;
  auto run = [&](int first) {
    auto s = CreateEmbeddedSession(Path);
    s->Open();
    for (int i = 0; i < kEach; ++i)
      s->Query(InvoiceBatch(std::to_string(first + i), "261208", "C" + std::to_string(first + i), {{"A", 1, 5}}, 5));
  };
  std::thread a(run, 1000), b(run, 2000);
  a.join();
  b.join();
  TQueryResult r = Query("Select InvoiceNo From InvoiceHead");
  std::set<std::string> numbers;
  for (auto& row : r.First().Rows) numbers.insert(row[0].AsString());
  EXPECT_EQ(numbers.size(), 2u * kEach);
  EXPECT_EQ(*numbers.rbegin(), "W26000030");
  EXPECT_EQ(Text("Select StockQty1 From Product"), "70");
}

TEST_F(EngineSession, TableMadeByAnotherSessionIsSeen) {
  auto other = CreateEmbeddedSession(Path);
  other->Open();
  Exec("Select 1");  // this session has read the schema before
  other->Execute("Create Table Later (A int); Insert Later Values (5)");
  EXPECT_EQ(Text("Select A From Later"), "5");
}

TEST_F(EngineSession, BatchIsCompiledAgainAfterAnotherSessionChangesItsTable) {
  Exec("Create Table Later (A int)");
  Exec("Insert Later (A) Values (1)");
  Exec("Insert Later (A) Values (2)");  // this shape's program is kept now
  auto other = CreateEmbeddedSession(Path);
  other->Open();
  other->Execute("Drop Table Later; Create Table Later (A nvarchar(1))");
  // Against the new column a two-digit number no longer fits.
  EXPECT_NE(ErrorOf("Insert Later (A) Values (25)"), "(no error)");
  EXPECT_EQ(Text("Select Count(*) From Later"), "0");
}

struct TValueCase {
  TDbValue::TKind Kind;
  const char* Text;
  double Float;
  int64_t Integer;
  bool Boolean;
};

TEST(DbValue, ReadsAsEveryType) {
  const TValueCase kCases[] = {
      {TDbValue::TKind::Null, "", 0, 0, false},
      {TDbValue::TKind::Integer, "1", 1, 1, true},
      {TDbValue::TKind::Integer, "0", 0, 0, false},
      {TDbValue::TKind::Float, "2.5", 2.5, 3, true},
      {TDbValue::TKind::Text, "true", 0, 1, true},
      {TDbValue::TKind::Text, "-7", -7, -7, true},
  };
  for (const auto& c : kCases) {
    TDbValue v;
    v.Kind = c.Kind;
    v.Text = c.Text;
    if (c.Kind != TDbValue::TKind::Text || std::string(c.Text) != "true") {
      EXPECT_DOUBLE_EQ(v.AsFloat(), c.Float) << c.Text;
    }
    EXPECT_EQ(v.AsInteger(), c.Integer) << c.Text;
    EXPECT_EQ(v.AsBoolean(), c.Boolean) << c.Text;
  }
  TDbValue d;
  d.Kind = TDbValue::TKind::Text;
  for (const char* t : {"2024-03-05 14:06:59.000", "2024-03-05 14:06:59", "03/05/2024 14:06:59"}) {
    d.Text = t;
    EXPECT_EQ(d.AsDateTime(), TDateTime::FromCivil(2024, 3, 5, 14, 6, 59)) << t;
  }
  d.Text = "03/05/2024";
  EXPECT_EQ(d.AsDateTime(), TDateTime::FromCivil(2024, 3, 5));
  EXPECT_EQ(TDbValue().AsDateTime(), TDateTime(0.0));
  d.Text = "not a date";
  EXPECT_THROW(d.AsDateTime(), TDbError);
}

}  // namespace
}  // namespace ooa::test
