#include "config/Config.h"

#include <atomic>
#include <climits>
#include <filesystem>
#include <mutex>
#include <optional>

#include "config/ActivityLog.h"
#include "config/IniFile.h"
#include "config/ProgramPath.h"
#include "config/UtilUnit.h"

namespace ooa {

namespace {

constexpr const char* kSection = "ApiConfig";
constexpr const char* kFileName = "OnlineService.ini";
// Receipt code page choice, kept outside the ApiConfig keys.
constexpr const char* kReceiptSection = "Receipt";
constexpr const char* kCodePageKey = "CodePage";
// The SQL Server ODBC driver, when the shop names one.
constexpr const char* kDatabaseSection = "Database";
constexpr const char* kDriverKey = "Driver";

struct TConfigState {
  std::mutex Mutex;
  TConfig Record;
  std::string Path;
  std::atomic<bool> Debug{false};
};

TConfigState& State() {
  static TConfigState state;
  return state;
}

// A whole decimal integer (optional sign), or nothing.
std::optional<int> ParseInteger(const std::string& text) {
  if (text.empty()) return std::nullopt;
  size_t pos = 0;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    pos = 1;
  }
  if (pos == text.size()) return std::nullopt;
  long long value = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT_MAX || value < INT_MIN) return std::nullopt;
  return static_cast<int>(value);
}

void ReadText(const TIniFile& ini, const char* key, const char* def, std::string& field) {
  field = ini.Read(kSection, key).value_or(def);
}

void ReadInt(const TIniFile& ini, const char* key, int def, int& field) {
  const auto text = ini.Read(kSection, key);
  field = text ? ParseInteger(*text).value_or(def) : def;
}

void ReadBool(const TIniFile& ini, const char* key, bool def, bool& field) {
  int value = 0;
  ReadInt(ini, key, def ? 1 : 0, value);
  field = value != 0;
}

void ApplyKeys(const TIniFile& ini, TConfig& c) {
  ReadText(ini, "ServerName", "", c.ServerName);
  ReadText(ini, "DatabaseName", "", c.DatabaseName);
  ReadText(ini, "Url", "", c.Url);
  ReadText(ini, "Key", "", c.Key);
  ReadText(ini, "Secret", "", c.Secret);
  ReadText(ini, "PrinterName", "N/A", c.PrinterName);
  ReadBool(ini, "GraphicMode", false, c.GraphicMode);
  ReadBool(ini, "PrintItemBarcode", true, c.PrintItemBarcode);
  ReadBool(ini, "PrintProductCodeAsBarcode", true, c.PrintProductCodeAsBarcode);
  ReadBool(ini, "OnlyPrintNumberAsBarcode", false, c.OnlyPrintNumberAsBarcode);
  ReadBool(ini, "PrintItemLocation", false, c.PrintItemLocation);
  ReadText(ini, "WarehouseCode", "", c.WarehouseCode);
  ReadInt(ini, "Desc1", 0, c.Desc1);
  ReadInt(ini, "Desc2", 0, c.Desc2);
  ReadInt(ini, "Desc3", 0, c.Desc3);
  ReadInt(ini, "Desc4", 0, c.Desc4);
  ReadBool(ini, "Debug", false, c.Debug);
}

// Fills `config` from the file; returns the parsed file when one was read.
// An existing file that cannot be read gives the defaults of every key (as if
// it held none) and its reason in `error`.
std::optional<TIniFile> ReadConfigFile(const std::string& path, TConfig& config, std::string& error) {
  config.ServerName.clear();
  config.DatabaseName.clear();
  config.Url.clear();
  config.Key.clear();
  config.Secret.clear();
  config.PrinterName.clear();
  config.GraphicMode = false;
  config.DatabaseDriver.clear();
  std::optional<TIniFile> ini;
  try {
    ini = LoadIniFile(path);
    if (!ini) return std::nullopt;  // no file: the cleared record stands
  } catch (const std::exception& e) {
    error = e.what();
    ini = TIniFile();
  }
  ApplyKeys(*ini, config);
  config.DatabaseDriver = ini->Read(kDatabaseSection, kDriverKey).value_or("");
  return ini;
}

}  // namespace

TConfig ConfigSnapshot() {
  std::lock_guard lock(State().Mutex);
  return State().Record;
}

void SetConfig(const TConfig& config) {
  {
    std::lock_guard lock(State().Mutex);
    State().Record = config;
    State().Debug.store(config.Debug);
  }
  // Outside the record's lock: the log takes its own.
  ActivityLog().SetSecret(config.Secret);
}

bool ConfigDebug() { return State().Debug.load(); }

std::string ConfigPath() {
  {
    std::lock_guard lock(State().Mutex);
    if (!State().Path.empty()) return State().Path;
  }
  return ProgramDir() + kFileName;
}

void SetConfigPath(const std::string& path) {
  std::string absolute = path;
  if (!path.empty()) {
    std::error_code ec;
    const auto p = std::filesystem::absolute(FsPath(path), ec);
    if (!ec) absolute = PathText(p);
  }
  std::lock_guard lock(State().Mutex);
  State().Path = absolute;
}

std::string ConfigDir() {
  const std::string path = ConfigPath();
  const size_t slash = path.find_last_of(kPathSeparators);
  return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

void LoadConfigFrom(const std::string& path, TConfig& config) {
  std::string error;
  ReadConfigFile(path, config, error);
}

void LoadConfig() {
  const std::string path = ConfigPath();
  TConfig config = ConfigSnapshot();
  std::string error;
  const auto ini = ReadConfigFile(path, config, error);
  SetConfig(config);
  if (!error.empty()) StatusLine("Error: " + error);
  if (!ini) return;
  if (const auto codePage = ini->Read(kReceiptSection, kCodePageKey); codePage && !codePage->empty()) {
    try {
      SetAnsiCodePage(*codePage);
    } catch (const std::exception&) {
      StatusLine("Error: Unknown receipt code page " + *codePage + "; using " + AnsiCodePage());
    }
  }
}

void SaveConfigTo(const std::string& path, const TConfig& c) {
  // An existing file that cannot be read is left alone rather than replaced
  // by one that lost its other sections.
  TIniFile ini = LoadIniFile(path).value_or(TIniFile());
  auto text = [&ini](const char* key, const std::string& value) { ini.Write(kSection, key, value); };
  auto number = [&ini](const char* key, int value) { ini.Write(kSection, key, std::to_string(value)); };
  auto flag = [&ini](const char* key, bool value) { ini.Write(kSection, key, value ? "1" : "0"); };
  text("ServerName", c.ServerName);
  text("DatabaseName", c.DatabaseName);
  text("Url", c.Url);
  text("Key", c.Key);
  text("Secret", c.Secret);
  text("PrinterName", c.PrinterName);
  flag("GraphicMode", c.GraphicMode);
  flag("PrintItemBarcode", c.PrintItemBarcode);
  flag("PrintProductCodeAsBarcode", c.PrintProductCodeAsBarcode);
  flag("OnlyPrintNumberAsBarcode", c.OnlyPrintNumberAsBarcode);
  flag("PrintItemLocation", c.PrintItemLocation);
  text("WarehouseCode", c.WarehouseCode);
  number("Desc1", c.Desc1);
  number("Desc2", c.Desc2);
  number("Desc3", c.Desc3);
  number("Desc4", c.Desc4);
  flag("Debug", c.Debug);
  SaveIniFile(path, ini);
}

void SaveConfig() { SaveConfigTo(ConfigPath(), ConfigSnapshot()); }

std::string LanguageCodeOf(int selection) {
  switch (selection) {
    case 1:
      return "en";
    case 2:
      return "zh-hans";
    case 3:
      return "zh-hant";
    default:
      return "";
  }
}

int TranslationSlotOf(const std::string& code, const TConfig& config) {
  if (code == LanguageCodeOf(config.Desc2)) return 1;
  if (code == LanguageCodeOf(config.Desc3)) return 2;
  if (code == LanguageCodeOf(config.Desc4)) return 3;
  return 0;
}

int TranslationSlotOf(const std::string& code) { return TranslationSlotOf(code, ConfigSnapshot()); }

}  // namespace ooa
