// The API secret: the settings file that holds it is readable by its owner
// only, however it comes to be written, and the secret never reaches the
// activity log, in debug mode too: request lines, the shop's error bodies
// (even one that repeats the secret), failures, start-up lines.
#ifdef _WIN32
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <httplib.h>

#include "config/Config.h"
#include "config/SecretMask.h"
#include "hardening/OrderWorld.h"
#include "service/ProgramRun.h"
#include "support/PosDatabase.h"
#include "support/TempDir.h"
#include "sync/catalog/CatalogueUploads.h"
#include "sync/OrderSync.h"

namespace ooa::test {
namespace {

#ifdef _WIN32
// Windows: the saved file's rights are its owner's, the administrators' and
// the system's, not inherited from the folder, whatever the file had before.
std::vector<std::string> WhoMayAccess(const std::string& path, bool& inheritsFromFolder) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  PACL dacl = nullptr;
  const std::wstring wide(path.begin(), path.end());
  if (GetNamedSecurityInfoW(wide.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                            nullptr, &sd) != ERROR_SUCCESS)
    return {"<unreadable>"};
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(sd, &control, &revision);
  inheritsFromFolder = !(control & SE_DACL_PROTECTED);
  std::vector<std::string> sids;
  for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
    ACE_HEADER* ace = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace)) || ace->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    auto* allowed = reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace);
    char* text = nullptr;
    if (ConvertSidToStringSidA(&allowed->SidStart, &text)) {
      sids.push_back(text);
      LocalFree(text);
    }
  }
  LocalFree(sd);
  return sids;
}

TEST(SettingsFile, HoldsTheSecretReadableByItsOwnerOnly) {
  for (const bool existing : {false, true}) {
    SCOPED_TRACE(existing ? "a file readable by the folder's users was there" : "first save creates the file");
    TTempDir dir;
    const std::string path = dir.File("OnlineService.ini");
    if (existing) dir.Write("OnlineService.ini", "[ApiConfig]\nKey=old\n");
    TConfig config;
    config.Secret = kDistinctSecret;
    SaveConfigTo(path, config);

    bool inherits = true;
    const std::vector<std::string> sids = WhoMayAccess(path, inherits);
    EXPECT_FALSE(inherits);
    for (const char* everybody : {"S-1-1-0", "S-1-5-11", "S-1-5-32-545"}) {  // Everyone, Authenticated Users, Users
      EXPECT_EQ(std::count(sids.begin(), sids.end(), everybody), 0) << everybody;
    }
    EXPECT_FALSE(sids.empty());
    TConfig back;
    LoadConfigFrom(path, back);
    EXPECT_EQ(back.Secret, kDistinctSecret);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++entries;
    EXPECT_EQ(entries, 1u);
  }
}
#else
class TScopedUmask {
 public:
  explicit TScopedUmask(mode_t mask) : Previous(::umask(mask)) {}
  ~TScopedUmask() { ::umask(Previous); }

 private:
  mode_t Previous;
};

mode_t ModeOf(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

TEST(SettingsFile, HoldsTheSecretReadableByItsOwnerOnly) {
  TScopedUmask openUmask(0);  // the most permissive the user could have
  struct TCase {
    const char* Label;
    bool Existing;        // a file is there before the save
    mode_t ExistingMode;  // and has these rights
    bool ThroughLink;     // the settings path is a symbolic link to it
  };
  const TCase cases[] = {
      {"first save creates the file", false, 0, false},
      {"file readable by everyone", true, 0666, false},
      {"link to a file readable by everyone", true, 0644, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Label);
    TTempDir dir;
    const std::string target = dir.File("real.ini");
    const std::string path = c.ThroughLink ? dir.File("OnlineService.ini") : target;
    if (c.Existing) {
      dir.Write("real.ini", "[ApiConfig]\nKey=old\n");
      ASSERT_EQ(::chmod(target.c_str(), c.ExistingMode), 0);
    }
    if (c.ThroughLink) {
      ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
    }
    TConfig config;
    config.Secret = kDistinctSecret;
    SaveConfigTo(path, config);

    EXPECT_EQ(ModeOf(target), 0600u);
    TConfig back;
    LoadConfigFrom(path, back);
    EXPECT_EQ(back.Secret, kDistinctSecret);
    // Only the file itself (and the link) is left in the folder.
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++entries;
    EXPECT_EQ(entries, c.ThroughLink ? 2u : 1u);
  }
}
#endif  // _WIN32

TEST(SecretMask, EveryOccurrenceBecomesStars) {
  struct TCase {
    std::string Text, Secret, Masked;
  };
  const TCase cases[] = {
      {"key cs_abc123 and cs_abc123cs_abc123.", "cs_abc123", "key *** and ******."},
      {"no secret here", "cs_abc123", "no secret here"},
      {"aaaaaaaa", "aaaa", "aaaaaaaa"},  // too short to mask: ordinary text
      {"aaaaaaaaaaaaa", "aaaaaa", "******a"},
      {"anything", "", "anything"},
  };
  for (const TCase& c : cases) EXPECT_EQ(MaskSecret(c.Text, c.Secret), c.Masked) << c.Text;
}

class SecretInLog : public TOrderWorld {
 protected:
  // Runs both passes, swallowing what ends them as the workers do; the
  // texts of those errors are returned.
  std::vector<std::string> RunPasses() {
    std::vector<std::string> errors;
    for (auto pass : {+[](TWooModule& w) { UploadCatgories(w, false); }, +[](TWooModule& w) { SyncOrders(w); }}) {
      try {
        pass(Woo);
      } catch (const std::exception& e) {
        errors.emplace_back(e.what());
      }
    }
    return errors;
  }
};

TEST_F(SecretInLog, NeverLoggedInDebugModeWhateverTheShopAnswers) {
  AdminPost("/standin/orders", MemberOrder(8201, "M8201", R"("first_name": "Ann")", R"("first_name": "Ann")"));
  Pos.Exec("Insert Into Category (Category, Description, OnlineSales, LastUpdatedAt) "
           "Values (N'WINE', N'Wine', 1, '12/01/2026 10:00:00');");
  const std::string echo = std::string(R"({"code":"proxy","message":"bad request, secret )") + kDistinctSecret +
                           R"("})";
  struct TCase {
    const char* Label;
    std::string Fault;  // body of POST /standin/faults, or "" for none
  };
  const TCase cases[] = {
      {"normal answers", ""},
      {"401 from the shop", R"({"route": ".*", "count": 4, "status": 401})"},
      {"500 with a body", R"({"route": ".*", "count": 4, "status": 500, "body": "{\"message\":\"boom\"}"})"},
      {"error body repeating the secret", R"({"route": ".*", "count": 4, "status": 400, "body": )" +
                                              JsonString(echo) + "}"},
      {"server error repeating the secret", R"({"route": ".*", "count": 4, "status": 503, "body": )" +
                                                JsonString(echo) + "}"},
      {"not JSON", R"({"route": ".*", "count": 4, "kind": "notjson"})"},
      {"dropped connection", R"({"route": ".*", "count": 4, "kind": "drop"})"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Label);
    AdminPost("/standin/faults/clear", "{}");
    if (!c.Fault.empty()) AdminPost("/standin/faults", c.Fault);
    Log.Clear();
    const std::vector<std::string> errors = RunPasses();
    const std::vector<std::string> lines = LogLines();
    EXPECT_GT(lines.size(), 2u);  // debug mode: the request lines are there
    for (const std::string& line : lines) EXPECT_EQ(line.find(kDistinctSecret), std::string::npos) << line;
    for (const std::string& error : errors) EXPECT_EQ(error.find(kDistinctSecret), std::string::npos) << error;
  }
  // The echoed body is still logged, masked.
  AdminPost("/standin/faults/clear", "{}");
  AdminPost("/standin/faults", std::string(R"({"route": "orders", "status": 400, "body": )") + JsonString(echo) + "}");
  Log.Clear();
  RunPasses();
  const std::vector<std::string> lines = LogLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), R"({"code":"proxy","message":"bad request, secret ***"})"),
            lines.end());

  // A wrong secret: the shop refuses every signature and says so.
  const std::string wrong = "cs_Wr0ngS3cretZ81kP5";
  TConfig config = Settings();
  config.Secret = wrong;
  Configure(config);
  AdminPost("/standin/faults/clear", "{}");
  Log.Clear();
  RunPasses();
  bool refused = false;
  for (const std::string& line : LogLines()) {
    EXPECT_EQ(line.find(wrong), std::string::npos) << line;
    refused = refused || line.find("Invalid signature") != std::string::npos;
  }
  EXPECT_TRUE(refused);
}

// The program itself in debug mode, once: start-up, connection and both
// passes' lines on standard output, failures on standard error.
TEST(SecretInProgramOutput, NeverPrinted) {
  TTempDir dir;
  TShopStandin shop(DistinctCredentials());
  CreatePosDatabase(dir.File("POS.DB"));
  dir.Write("OnlineService.ini", "[ApiConfig]\nServerName=(EMBEDDED)\nDatabaseName=POS.DB\nUrl=" + shop.BaseUrl() +
                                     "\nKey=ck_hardening\nSecret=" + kDistinctSecret +
                                     "\nPrinterName=N/A\nWarehouseCode=1\nDesc1=1\nDebug=1\n");
  const std::string runtime = dir.Folder("run");
  TTempDir out;
  TProgramRun run({"--once", "--config", dir.File("OnlineService.ini")},
                  {{"XDG_RUNTIME_DIR", runtime}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}},
                  out.Path());
  ASSERT_NE(run.Wait(120000), -1);
  EXPECT_NE(run.Stdout().find("URI: " + shop.BaseUrl()), std::string::npos) << run.Stdout() << run.Stderr();
  EXPECT_EQ(run.Stdout().find(kDistinctSecret), std::string::npos);
  EXPECT_EQ(run.Stderr().find(kDistinctSecret), std::string::npos);
}

// A shop that echoes the secret where the pass quotes what it got: in the
// refusal of a refund list (the pass fails and says why on standard error)
// and in an order's total (the order is refused and listed with its reason).
TEST(SecretInProgramOutput, NeverPrintedWhenTheShopEchoesItIntoAFailure) {
  TTempDir dir;
  TShopStandin shop(DistinctCredentials());
  httplib::Client admin(shop.Origin());
  std::string withRefund = MemberOrder(8201, "M8201", R"("first_name": "Ann")", R"("first_name": "Ann")");
  const std::string noRefunds = R"("refunds": [])", total = R"("total": "44.00")";
  withRefund.replace(withRefund.find(noRefunds), noRefunds.size(), R"("refunds": [{"id": 9001}])");
  std::string echoedTotal = MemberOrder(8202, "M8202", R"("first_name": "Bo")", R"("first_name": "Bo")");
  echoedTotal.replace(echoedTotal.find(total), total.size(), std::string(R"("total": ")") + kDistinctSecret + "\"");
  for (std::string* order : {&withRefund, &echoedTotal})
    order->replace(order->find(R"("status")"), 0,
                   R"("date_created_gmt": "2026-12-08T03:30:00", "date_modified_gmt": "2026-12-08T03:31:00", )");
  auto seeded = admin.Post("/standin/orders?raw=1", "[" + withRefund + "," + echoedTotal + "]", "application/json");
  ASSERT_TRUE(seeded && seeded->status < 300) << (seeded ? seeded->body : "");
  const std::string echo = std::string(R"({"code":"proxy","message":"bad request, secret )") + kDistinctSecret + "\"}";
  ASSERT_TRUE(admin.Post("/standin/faults",
                         R"({"route": "orders/8201/refunds", "status": 400, "body": )" + JsonString(echo) + "}",
                         "application/json"));
  CreatePosDatabase(dir.File("POS.DB"));
  dir.Write("OnlineService.ini", "[ApiConfig]\nServerName=(EMBEDDED)\nDatabaseName=POS.DB\nUrl=" + shop.BaseUrl() +
                                     "\nKey=ck_hardening\nSecret=" + kDistinctSecret +
                                     "\nPrinterName=N/A\nWarehouseCode=1\nDesc1=1\nDebug=1\n");
  const std::string runtime = dir.Folder("run");
  TTempDir out;
  TProgramRun run({"--once", "--config", dir.File("OnlineService.ini")},
                  {{"XDG_RUNTIME_DIR", runtime}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}},
                  out.Path());
  EXPECT_EQ(run.Wait(120000), 1) << run.Stdout();
  EXPECT_NE(run.Stderr().find("The order pass failed: 1 document was not written (the next pass tries again); the "
                              "first: The shop refused the refund list of order 8201: 400 Bad Request: bad request, "
                              "secret ***"),
            std::string::npos)
      << run.Stderr();
  EXPECT_EQ(run.Stdout().find(kDistinctSecret), std::string::npos);
  EXPECT_EQ(run.Stderr().find(kDistinctSecret), std::string::npos);
  const std::string problems = TTempDir::Read(dir.File("OnlineService.state"));
  EXPECT_NE(problems.find("order:8202"), std::string::npos) << problems;
  EXPECT_EQ(problems.find(kDistinctSecret), std::string::npos) << problems;
}

}  // namespace
}  // namespace ooa::test
