// The program run by itself: --once against the embedded demo database and
// the stand-in shop (headless and in the window), --once against a database it cannot reach, SIGTERM
// in --headless, and the fall-back to headless mode when there is no display.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>
#include <fstream>
#include <map>
#include <string>

#include "ProgramRun.h"
#include "support/TempDir.h"
#if OOA_HAVE_POSDB
#include <httplib.h>

#include "support/PosServer.h"
#include "support/ShopStandin.h"
#endif

namespace ooa::test {
namespace {

const char* const kConnectFailed = "Error: Can not connect to SQL Server database.";

struct HeadlessRunTest : ::testing::Test {
  TTempDir Dir;
  std::string Settings = Dir.File("OnlineService.ini");

  void WriteSettings(const std::string& body) { Dir.Write("OnlineService.ini", "[ApiConfig]\n" + body); }
  // Every run gets its own session folder, so runs never meet each other's
  // instance lock; no display unless a test asks for one.
  std::map<std::string, std::string> Env() {
    std::string runtime = Dir.File("run");
    Dir.Folder("run");
    return {{"XDG_RUNTIME_DIR", runtime}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}};
  }
};

TEST_F(HeadlessRunTest, OnceWithAnUnreachableDatabaseSaysSoAndWhyAndFails) {
  Dir.Write("EMPTY.DB", "");
  Dir.Write("JUNK.DB", std::string(4096, 'x'));
  struct {
    const char* Case;
    std::string Settings;
    std::string Reason;  // the start of the line after the fixed one
  } rows[] = {
      {"no server name", "ServerName=\nDatabaseName=POS\n", "No server name is set."},
      {"embedded file missing", "ServerName=(EMBEDDED)\nDatabaseName=MISSING.DB\n",
       "The POS database file '" + Dir.File("MISSING.DB") + "' does not exist."},
      {"zero-length file", "ServerName=(EMBEDDED)\nDatabaseName=EMPTY.DB\n",
       "The file '" + Dir.File("EMPTY.DB") + "' is empty: it is not a POS database."},
      {"damaged file", "ServerName=(EMBEDDED)\nDatabaseName=JUNK.DB\n",
       "Cannot open the POS database file '" + Dir.File("JUNK.DB") + "': file is not a database"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.Case);
    WriteSettings(r.Settings);
    TProgramRun run({"--once", "--config", Settings}, Env(), Dir.Path());
    int status = run.Wait(30000);
    EXPECT_NE(status, 0);
    EXPECT_NE(status, -1);
    EXPECT_NE(run.Stdout().find(std::string(kConnectFailed) + "\n" + r.Reason), std::string::npos) << run.Stdout();
    EXPECT_EQ(run.Stdout().find("Sync Service Started"), std::string::npos);
  }
  // The service never creates the POS database, nor writes into an empty file.
  EXPECT_FALSE(std::ifstream(Dir.File("MISSING.DB")).good());
  EXPECT_EQ(TTempDir::Read(Dir.File("EMPTY.DB")), "");
}

#if OOA_WITH_GUI
TEST_F(HeadlessRunTest, WithoutADisplayTheWindowProgramRunsHeadless) {
  WriteSettings("ServerName=\n");
  TProgramRun run({"--config", Settings}, Env(), Dir.Path());
  EXPECT_EQ(run.Wait(30000), 1);  // headless and not startable: nothing could start it later
  EXPECT_NE(run.Stderr().find("No display found: running headless."), std::string::npos) << run.Stderr();
  EXPECT_NE(run.Stdout().find(kConnectFailed), std::string::npos);
}
#endif

#if OOA_HAVE_POSDB
// The embedded demo shop's database beside the settings, and the stand-in shop.
// In a run over ODBC the program reaches the file through `posdb serve`.
struct LiveRunTest : HeadlessRunTest {
  TShopStandin Shop;
  TPosServer Server;
  void SetUp() override {
    std::string cmd = std::string(OOA_POSDB) + " init '" + Dir.File("POS.DB") + "' --demo > /dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    TConfig db;
    Server.PointAt(db, Dir.File("POS.DB"));
    const std::string where = Server.Running() ? "ServerName=" + db.ServerName + "\nDatabaseName=" + db.DatabaseName
                                               : std::string("ServerName=(EMBEDDED)\nDatabaseName=POS.DB");
    WriteSettings(where + "\nUrl=" + Shop.BaseUrl() +
                  "\nKey=ck_standin\nSecret=cs_standin\nPrinterName=N/A\nWarehouseCode=1\n");
  }
};

TEST_F(LiveRunTest, OnceRunsBothPassesAndSucceeds) {
  TProgramRun run({"--once", "--config", Settings}, Env(), Dir.Path());
  EXPECT_EQ(run.Wait(120000), 0) << run.Stdout() << run.Stderr();
  const std::string out = run.Stdout();
  EXPECT_EQ(out.rfind("Now: ", 0), 0u) << out;
  EXPECT_NE(out.find("Connect to SQL Server database successful.\nSync Service Started\n"), std::string::npos)
      << out;
}

#if OOA_WITH_GUI
// --once --show-window: the same two passes in the main window, their lines
// also on standard output, and the window's picture kept when asked for.
TEST_F(LiveRunTest, OnceInTheWindowRunsBothPassesEchoesTheLogAndKeepsAPicture) {
  std::ofstream(Settings, std::ios::app) << "Debug=1\n";  // the passes' own lines
  auto env = Env();
  env["QT_QPA_PLATFORM"] = "offscreen";
  TProgramRun run({"--once", "--show-window", "--screenshot", Dir.File("shots"), "--config", Settings}, env,
                  Dir.Path());
  EXPECT_EQ(run.Wait(120000), 0) << run.Stdout() << run.Stderr();
  const std::string out = run.Stdout();
  EXPECT_EQ(out.rfind("Now: ", 0), 0u) << out;
  for (const char* line : {"Sync Service Started\n", "Finished Upload Products\n", "Start Sync orders...\n"})
    EXPECT_NE(out.find(line), std::string::npos) << line << " in:\n" << out;
  struct stat picture {};
  EXPECT_EQ(::stat(Dir.File("shots/main-window.png").c_str(), &picture), 0);
  EXPECT_GT(picture.st_size, 1000);
}
#endif

#if OOA_WITH_GUI
// Without a window (and without a display) the program still draws receipts
// for pdf: as the window does: one file per receipt, named after its invoice.
TEST_F(HeadlessRunTest, OnceDrawsOnePdfPerReceipt) {
  TShopStandin::TOptions options;
  options.Extra = {"--seed", std::string(OOA_SOURCE_DIR) + "/scripts/demo/orders.json"};
  TShopStandin shop(options);
  const std::string db = Dir.File("POS.DB");
  ASSERT_EQ(std::system((std::string(OOA_POSDB) + " init '" + db + "' --demo > /dev/null").c_str()), 0);
  Dir.Folder("receipts");
  WriteSettings("ServerName=(EMBEDDED)\nDatabaseName=POS.DB\nUrl=" + shop.BaseUrl() +
                "\nKey=ck_standin\nSecret=cs_standin\nWarehouseCode=1\nGraphicMode=1\nPrinterName=pdf:" +
                Dir.File("receipts") + "/\n");
  TProgramRun run({"--once", "--config", Settings}, Env(), Dir.Path());
  ASSERT_EQ(run.Wait(120000), 0) << run.Stdout() << run.Stderr();
  EXPECT_EQ(run.Stdout().find("not printed"), std::string::npos) << run.Stdout();

  std::string invoices;
  {
    FILE* p = ::popen((std::string(OOA_POSDB) + " exec '" + db +
                       "' -Q \"Select InvoiceNo From InvoiceHead Where KindFlag=6 Order By InvoiceNo\"").c_str(), "r");
    ASSERT_NE(p, nullptr);
    char buf[256];
    while (size_t n = std::fread(buf, 1, sizeof buf, p)) invoices.append(buf, n);
    ::pclose(p);
  }
  std::vector<std::string> expected;
  std::istringstream lines(invoices);
  std::string line;
  std::getline(lines, line);  // the header
  while (std::getline(lines, line))
    if (!line.empty()) expected.push_back(line + ".pdf");
  EXPECT_EQ(expected.size(), 6u) << invoices;
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(Dir.File("receipts"))) {
    files.push_back(e.path().filename().string());
    EXPECT_EQ(TTempDir::Read(e.path().string()).substr(0, 5), "%PDF-") << e.path();
  }
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, expected);
}
#endif

// An order list that is not JSON is a failed pass: the reason on standard
// error and as a status line (debug off), and --once fails.
TEST_F(LiveRunTest, OnceFailsWhenTheOrderListIsNotJson) {
  httplib::Client admin(Shop.Origin());
  auto fault = admin.Post("/standin/faults", R"({"route": "^orders$", "status": 200, "body": "[{\"id\": 5001, \"st"})",
                          "application/json");
  ASSERT_TRUE(fault && fault->status < 300);
  TProgramRun run({"--once", "--config", Settings}, Env(), Dir.Path());
  EXPECT_EQ(run.Wait(120000), 1) << run.Stdout() << run.Stderr();
  const std::string reason =
      "The order pass failed: The shop's order list cannot be read: it is not valid JSON: Missing a closing quotation "
      "mark in string at byte 17.";
  EXPECT_NE(run.Stderr().find(reason + "\n"), std::string::npos) << run.Stderr();
  EXPECT_NE(run.Stdout().find(reason + "\n"), std::string::npos) << run.Stdout();
}

TEST_F(LiveRunTest, HeadlessStopsCleanlyOnSigterm) {
#ifdef _WIN32
  GTEST_SKIP() << "a console's stop request cannot be sent to another process's console here";
#endif
  TProgramRun run({"--headless", "--config", Settings}, Env(), Dir.Path());
  ASSERT_TRUE(run.WaitForOutput("Sync Service Started\n", 30000)) << run.Stdout() << run.Stderr();
  run.Signal(SIGTERM);
  EXPECT_EQ(run.Wait(30000), 0) << run.Stderr();
  const std::string out = run.Stdout();
  EXPECT_EQ(out.substr(out.size() - std::string("Sync Service Stoped\n").size()), "Sync Service Stoped\n");
}
#endif

}  // namespace
}  // namespace ooa::test
