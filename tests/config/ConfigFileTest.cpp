// The settings file: defaults, Windows profile-file reading, saves that keep
// the rest of the file, and the language slot routines.
#include <gtest/gtest.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include <filesystem>

#include "config/ActivityLog.h"
#include "config/Config.h"
#include "config/TextCodec.h"
#include "config/UtilUnit.h"
#include "support/TempDir.h"

namespace ooa {
namespace {

using test::TTempDir;

const char* const kKeyOrder[] = {"ServerName",  "DatabaseName",     "Url",
                                 "Key",         "Secret",           "PrinterName",
                                 "GraphicMode", "PrintItemBarcode", "PrintProductCodeAsBarcode",
                                 "OnlyPrintNumberAsBarcode",        "PrintItemLocation",
                                 "WarehouseCode", "Desc1", "Desc2", "Desc3", "Desc4", "Debug"};

std::vector<std::string> LinesOf(const std::string& text, const std::string& eol = "\n") {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(eol, start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + eol.size();
  }
  return lines;
}

TConfig Filled() {
  TConfig c;
  c.ServerName = "POS01\\SQLEXPRESS";
  c.DatabaseName = "RETAIL";
  c.Url = "https://shop.example/wp-json/wc/v3/";
  c.Key = "ck_123";
  c.Secret = "cs_456";
  c.PrinterName = "Front desk";
  c.GraphicMode = true;
  c.PrintItemBarcode = false;
  c.PrintProductCodeAsBarcode = true;
  c.OnlyPrintNumberAsBarcode = true;
  c.PrintItemLocation = true;
  c.WarehouseCode = "W1";
  c.Desc1 = 1;
  c.Desc2 = 2;
  c.Desc3 = 3;
  c.Desc4 = 0;
  c.Debug = true;
  return c;
}

void ExpectSame(const TConfig& a, const TConfig& b) {
  EXPECT_EQ(a.ServerName, b.ServerName);
  EXPECT_EQ(a.DatabaseName, b.DatabaseName);
  EXPECT_EQ(a.Url, b.Url);
  EXPECT_EQ(a.Key, b.Key);
  EXPECT_EQ(a.Secret, b.Secret);
  EXPECT_EQ(a.PrinterName, b.PrinterName);
  EXPECT_EQ(a.GraphicMode, b.GraphicMode);
  EXPECT_EQ(a.PrintItemBarcode, b.PrintItemBarcode);
  EXPECT_EQ(a.PrintProductCodeAsBarcode, b.PrintProductCodeAsBarcode);
  EXPECT_EQ(a.OnlyPrintNumberAsBarcode, b.OnlyPrintNumberAsBarcode);
  EXPECT_EQ(a.PrintItemLocation, b.PrintItemLocation);
  EXPECT_EQ(a.WarehouseCode, b.WarehouseCode);
  EXPECT_EQ(a.Desc1, b.Desc1);
  EXPECT_EQ(a.Desc2, b.Desc2);
  EXPECT_EQ(a.Desc3, b.Desc3);
  EXPECT_EQ(a.Desc4, b.Desc4);
  EXPECT_EQ(a.Debug, b.Debug);
}

TEST(ConfigFile, MissingFileClearsTextsAndKeepsTheRestThenSaveWritesAllKeysInOrder) {
  TTempDir dir;
  const std::string path = dir.File("OnlineService.ini");

  TConfig fresh;
  LoadConfigFrom(path, fresh);
  ExpectSame(fresh, TConfig{});  // empty texts (PrinterName too), false flags, 0 selections

  // Only the texts and GraphicMode are cleared; the rest keeps its value.
  TConfig used = Filled();
  LoadConfigFrom(path, used);
  EXPECT_EQ(used.ServerName, "");
  EXPECT_EQ(used.PrinterName, "");
  EXPECT_FALSE(used.GraphicMode);
  EXPECT_TRUE(used.OnlyPrintNumberAsBarcode);
  EXPECT_EQ(used.WarehouseCode, "W1");
  EXPECT_EQ(used.Desc3, 3);
  EXPECT_TRUE(used.Debug);

  // A new file is written as the platform writes one: UTF-16 LE with its mark
  // and CRLF line ends on Windows, UTF-8 with LF line ends elsewhere.
  SaveConfigTo(path, fresh);
  const std::string bytes = TTempDir::Read(path);
#ifdef _WIN32
  ASSERT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  const auto lines = LinesOf(Utf16LeToUtf8(bytes.substr(2)), "\r\n");
#else
  const auto lines = LinesOf(bytes);
#endif
  ASSERT_EQ(lines.size(), 18u);
  EXPECT_EQ(lines[0], "[ApiConfig]");
  for (size_t i = 0; i < 17; ++i) {
    EXPECT_EQ(lines[i + 1].substr(0, lines[i + 1].find('=')), kKeyOrder[i]) << i;
  }
  EXPECT_EQ(lines[7], "GraphicMode=0");
  EXPECT_EQ(lines[13], "Desc1=0");
}

TEST(ConfigFile, OnlyServerAndDatabaseGiveTheKeyDefaults) {
  TTempDir dir;
  const std::string path = dir.Write("OnlineService.ini", "[ApiConfig]\nServerName=SRV\nDatabaseName=DB\n");
  TConfig c = Filled();
  LoadConfigFrom(path, c);
  TConfig expected;
  expected.ServerName = "SRV";
  expected.DatabaseName = "DB";
  expected.PrinterName = "N/A";
  expected.PrintItemBarcode = true;
  expected.PrintProductCodeAsBarcode = true;
  ExpectSame(c, expected);
}

TEST(ConfigFile, IntegerAndBooleanValues) {
  struct Case {
    const char* Raw;
    bool GraphicMode;       // default false
    bool PrintItemBarcode;  // default true
    int Desc2;              // default 0
  };
  const Case cases[] = {
      {"yes", false, true, 0},  {"2", true, true, 2},     {"0", false, false, 0},  {"-1", true, true, -1},
      {" 1 ", true, true, 1},   {"\"1\"", true, true, 1}, {"", false, true, 0},    {"1.5", false, true, 0},
      {"+3", true, true, 3},    {"1x", false, true, 0},   {"99999999999", false, true, 0},
  };
  TTempDir dir;
  for (const Case& k : cases) {
    const std::string raw = k.Raw;
    const std::string path = dir.Write("OnlineService.ini", "[ApiConfig]\nGraphicMode=" + raw +
                                                                "\nPrintItemBarcode=" + raw + "\nDesc2=" + raw + "\n");
    TConfig c;
    LoadConfigFrom(path, c);
    EXPECT_EQ(c.GraphicMode, k.GraphicMode) << raw;
    EXPECT_EQ(c.PrintItemBarcode, k.PrintItemBarcode) << raw;
    EXPECT_EQ(c.Desc2, k.Desc2) << raw;
  }
}

TEST(ConfigFile, GarbageLinesAreIgnored) {
  TTempDir dir;
  const std::string path = dir.Write("OnlineService.ini",
                                     "\x01\x02 binary junk\n[ApiConfig\nServerName\n=orphan value\n"
                                     "[ApiConfig]\n  ; Url=commented out\nno equals sign here\n"
                                     "Url = https://a.example/ \nDesc1=abc\nDesc2=3\n[Other]\nKey=not ours\n");
  TConfig c;
  LoadConfigFrom(path, c);
  EXPECT_EQ(c.ServerName, "");
  EXPECT_EQ(c.Url, "https://a.example/");
  EXPECT_EQ(c.Key, "");
  EXPECT_EQ(c.Desc1, 0);
  EXPECT_EQ(c.Desc2, 3);
}

TEST(ConfigFile, WindowsUtf16FileWithCrlfAndMixedCaseIsReadAndSavedInKind) {
  TTempDir dir;
  const std::string text =
      "; written on the till\r\n"
      "[apiconfig]\r\n"
      "SERVERNAME = TILL01\\SQLEXPRESS \r\n"
      "databasename=Retail\r\n"
      "printername=\"  Caisse \xE2\x80\x93 Caf\xC3\xA9 \"\r\n"
      "desc2=2\r\n"
      "\r\n"
      "[Other]\r\n"
      "ServerName=elsewhere\r\n";
  const std::string path = dir.Write("OnlineService.ini", "\xFF\xFE" + Utf8ToUtf16Le(text));

  TConfig c;
  LoadConfigFrom(path, c);
  EXPECT_EQ(c.ServerName, "TILL01\\SQLEXPRESS");
  EXPECT_EQ(c.DatabaseName, "Retail");
  EXPECT_EQ(c.PrinterName, "  Caisse \xE2\x80\x93 Caf\xC3\xA9 ");
  EXPECT_EQ(c.Desc2, 2);
  EXPECT_TRUE(c.PrintItemBarcode);

  c.ServerName = "TILL02";
  SaveConfigTo(path, c);
  const std::string bytes = TTempDir::Read(path);
  ASSERT_GE(bytes.size(), 2u);
  ASSERT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  const auto lines = LinesOf(Utf16LeToUtf8(bytes.substr(2)), "\r\n");
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(lines[0], "; written on the till");
  EXPECT_EQ(lines[1], "[apiconfig]");
  EXPECT_EQ(lines[2], "ServerName=TILL02");
  EXPECT_EQ(lines[4], "PrinterName=\"  Caisse \xE2\x80\x93 Caf\xC3\xA9 \"");
  EXPECT_EQ(lines[5], "Desc2=2");
  EXPECT_EQ(lines[6], "Url=");  // missing keys go after the section's last key
  EXPECT_EQ(lines[18], "Debug=0");
  EXPECT_EQ(lines[19], "");
  EXPECT_EQ(lines[20], "[Other]");
  EXPECT_EQ(lines[21], "ServerName=elsewhere");

  TConfig back;
  LoadConfigFrom(path, back);
  ExpectSame(back, c);
}

TEST(ConfigFile, EightBitAndMarkedUtf8Files) {
  struct Case {
    const char* Name;
    std::string Bytes;
    std::string SavedStart;  // how the saved file begins
  };
  const Case cases[] = {
      // Written by the 8-bit profile functions: read in the code page, saved as UTF-8.
      {"cp1252", "[ApiConfig]\r\nPrinterName=Caf\xE9\r\n", "[ApiConfig]\r\nPrinterName=Caf\xC3\xA9\r\n"},
      {"utf8-mark", "\xEF\xBB\xBF[ApiConfig]\nPrinterName=Caf\xC3\xA9\n",
       "\xEF\xBB\xBF[ApiConfig]\nPrinterName=Caf\xC3\xA9\n"},
  };
  TTempDir dir;
  for (const Case& k : cases) {
    const std::string path = dir.Write(k.Name, k.Bytes);
    TConfig c;
    LoadConfigFrom(path, c);
    EXPECT_EQ(c.PrinterName, "Caf\xC3\xA9") << k.Name;
    SaveConfigTo(path, c);
    EXPECT_EQ(TTempDir::Read(path).rfind(k.SavedStart, 0), 0u) << k.Name;
  }
}

TEST(ConfigFile, SaveKeepsOtherSectionsCommentsAndUnknownKeysAndIsPrivate) {
  TTempDir dir;
  const std::string original =
      "# site notes\n"
      "[Receipt]\n"
      "CodePage=CP1252\n"
      "\n"
      "[ApiConfig]\n"
      "; the shop\n"
      "Url=https://old.example/\n"
      "Extra=kept\n"
      "debug=1\n"
      "; end of shop settings\n"
      "[Zeta]\n"
      "a = b\n";
  const std::string path = dir.Write("OnlineService.ini", original);
#ifndef _WIN32
  ::chmod(path.c_str(), 0644);
#endif
  const TConfig c = Filled();
  SaveConfigTo(path, c);

  const auto lines = LinesOf(TTempDir::Read(path));
  const std::vector<std::string> head = {"# site notes", "[Receipt]", "CodePage=CP1252", "", "[ApiConfig]",
                                         "; the shop",   "Url=https://shop.example/wp-json/wc/v3/", "Extra=kept",
                                         "Debug=1",      "ServerName=POS01\\SQLEXPRESS"};
  ASSERT_EQ(lines.size(), 27u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 10), head);
  EXPECT_EQ(lines[23], "Desc4=0");
  EXPECT_EQ(lines[24], "; end of shop settings");
  EXPECT_EQ(lines[25], "[Zeta]");
  EXPECT_EQ(lines[26], "a = b");

  TConfig back;
  LoadConfigFrom(path, back);
  ExpectSame(back, c);

#ifndef _WIN32
  // Windows files take the folder's access rules instead of mode bits.
  struct stat st{};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
#endif
  // Nothing but the settings file is left in the folder.
  size_t entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++entries;
  EXPECT_EQ(entries, 1u);
}

TEST(ConfigFile, DatabaseDriverIsReadFromItsOwnSectionAndNeverWritten) {
  TTempDir dir;
  const std::string path = dir.Write("OnlineService.ini",
                                     "[Database]\nDriver=ODBC Driver 17 for SQL Server\n[ApiConfig]\nServerName=A\n");
  TConfig c;
  LoadConfigFrom(path, c);
  EXPECT_EQ(c.DatabaseDriver, "ODBC Driver 17 for SQL Server");
  EXPECT_EQ(c.ServerName, "A");

  // Saving writes the ApiConfig keys only; the shop's entry stays as it was.
  c.DatabaseDriver = "changed in memory";
  SaveConfigTo(path, c);
  const auto lines = LinesOf(TTempDir::Read(path));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "[Database]");
  EXPECT_EQ(lines[1], "Driver=ODBC Driver 17 for SQL Server");
  TConfig back;
  LoadConfigFrom(path, back);
  EXPECT_EQ(back.DatabaseDriver, "ODBC Driver 17 for SQL Server");

  // A file without the entry leaves no driver from an earlier load.
  LoadConfigFrom(dir.Write("other.ini", "[ApiConfig]\nServerName=B\n"), back);
  EXPECT_EQ(back.DatabaseDriver, "");
}

TEST(ConfigFile, ValuesThatNeedQuotesReadBackUnchanged) {
  TTempDir dir;
  const std::string path = dir.File("OnlineService.ini");
  TConfig c;
  c.Secret = " padded ";
  c.Key = "\"quoted\"";
  c.PrinterName = "a=b; c";
  SaveConfigTo(path, c);
  TConfig back;
  LoadConfigFrom(path, back);
  EXPECT_EQ(back.Secret, c.Secret);
  EXPECT_EQ(back.Key, c.Key);
  EXPECT_EQ(back.PrinterName, c.PrinterName);
}

TEST(ConfigFile, FailuresLoseNothing) {
  TTempDir dir;
  // A line break cannot be stored: the save refuses before touching the file.
  const std::string path = dir.Write("OnlineService.ini", "[ApiConfig]\nServerName=A\n");
  TConfig bad;
  bad.Secret = "two\nlines";
  EXPECT_THROW(SaveConfigTo(path, bad), std::invalid_argument);
  EXPECT_EQ(TTempDir::Read(path), "[ApiConfig]\nServerName=A\n");

  // A folder where the file should be: unreadable, so the defaults apply, and
  // a save fails rather than replacing it.
  const std::string folder = dir.File("folder.ini");
  std::filesystem::create_directory(folder);
  TConfig c;
  LoadConfigFrom(folder, c);
  EXPECT_EQ(c.PrinterName, "N/A");
  EXPECT_TRUE(c.PrintItemBarcode);
  EXPECT_THROW(SaveConfigTo(folder, c), std::runtime_error);
  EXPECT_TRUE(std::filesystem::is_directory(folder));

  EXPECT_THROW(SaveConfigTo(dir.File("no/such/folder/OnlineService.ini"), c), std::runtime_error);
}

// The process-wide record, its path and the receipt code page choice.
class ProcessConfig : public ::testing::Test {
 protected:
  void SetUp() override { ActivityLog().SetSink(&Log); }
  void TearDown() override {
    ActivityLog().SetSink(nullptr);
    SetConfigPath("");
    SetConfig(TConfig{});
    SetAnsiCodePage("CP1252");
  }
  TMemoryLogSink Log;
  TTempDir Dir;
};

TEST_F(ProcessConfig, DefaultPathIsBesideTheExecutable) {
  SetConfigPath("");
#ifdef _WIN32
  wchar_t buffer[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  const std::string exe = Utf16LeToUtf8(std::string(reinterpret_cast<const char*>(buffer), n * sizeof(wchar_t)));
  const std::string dir = exe.substr(0, exe.rfind('\\') + 1);
#else
  const std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string dir = exe.substr(0, exe.rfind('/') + 1);
#endif
  EXPECT_EQ(ConfigPath(), dir + "OnlineService.ini");
  EXPECT_EQ(ConfigDir(), dir);
}

TEST_F(ProcessConfig, LoadAndSaveGoThroughTheChosenPath) {
  const std::string path = Dir.Write("custom.ini", "[ApiConfig]\nDebug=1\nUrl=u\n[Receipt]\nCodePage=GBK\n");
  SetConfigPath(path);
  EXPECT_EQ(ConfigDir(), Dir.Path() + "/");
  LoadConfig();
  EXPECT_TRUE(ConfigDebug());
  EXPECT_EQ(ConfigSnapshot().Url, "u");
  EXPECT_EQ(AnsiCodePage(), "GBK");
  EXPECT_TRUE(Log.Lines().empty());

  TConfig c = ConfigSnapshot();
  c.WarehouseCode = "MAIN";
  SetConfig(c);
  SaveConfig();
  TConfig back;
  LoadConfigFrom(path, back);
  EXPECT_EQ(back.WarehouseCode, "MAIN");
  EXPECT_NE(TTempDir::Read(path).find("CodePage=GBK"), std::string::npos);
}

TEST_F(ProcessConfig, ProblemsAreReportedInTheLog) {
  const std::string path = Dir.Write("custom.ini", "[Receipt]\nCodePage=NO-SUCH-PAGE\n");
  SetConfigPath(path);
  LoadConfig();
  EXPECT_EQ(AnsiCodePage(), "CP1252");
  EXPECT_EQ(Log.Lines(), std::vector<std::string>{"Error: Unknown receipt code page NO-SUCH-PAGE; using CP1252"});

  Log.Clear();
  std::filesystem::create_directory(Dir.File("unreadable.ini"));
  SetConfigPath(Dir.File("unreadable.ini"));
  LoadConfig();
  EXPECT_EQ(ConfigSnapshot().PrinterName, "N/A");
  ASSERT_EQ(Log.Lines().size(), 1u);
  EXPECT_EQ(Log.Lines()[0].rfind("Error: Cannot read settings file " + Dir.File("unreadable.ini"), 0), 0u)
      << Log.Lines()[0];
}

TEST(LanguageCodes, SelectionNumbers) {
  const std::pair<int, const char*> cases[] = {{0, ""},       {1, "en"}, {2, "zh-hans"}, {3, "zh-hant"},
                                               {4, ""},       {7, ""},   {-1, ""}};
  for (const auto& [selection, code] : cases) EXPECT_EQ(LanguageCodeOf(selection), code) << selection;
}

TEST(LanguageCodes, TranslationSlots) {
  struct Case {
    int Desc2, Desc3, Desc4;
    const char* Code;
    int Slot;
  };
  const Case cases[] = {
      {1, 1, 0, "en", 1},      {0, 0, 0, "en", 0},      {0, 0, 0, "", 1},       {2, 7, 3, "", 2},
      {2, 3, 1, "en", 3},      {2, 3, 1, "zh-hant", 2}, {2, 3, 1, "ZH-HANS", 0}, {2, 3, 1, "", 0},
  };
  for (const Case& k : cases) {
    TConfig c;
    c.Desc1 = 1;  // the main texts never count as a slot
    c.Desc2 = k.Desc2;
    c.Desc3 = k.Desc3;
    c.Desc4 = k.Desc4;
    EXPECT_EQ(TranslationSlotOf(k.Code, c), k.Slot) << k.Desc2 << k.Desc3 << k.Desc4 << " '" << k.Code << "'";
  }
}

}  // namespace
}  // namespace ooa
