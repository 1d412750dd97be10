// TConfig: the settings record kept in section ApiConfig of OnlineService.ini.
// One process-wide instance. The UI thread loads it at start-up and the settings
// dialog replaces it; worker passes take a consistent copy with ConfigSnapshot()
// when they start and read only that copy.
#pragma once

#include <string>

namespace ooa {

struct TConfig {
  std::string ServerName;
  std::string DatabaseName;
  std::string Url;
  std::string Key;
  std::string Secret;
  std::string PrinterName;
  bool GraphicMode = false;
  bool PrintItemBarcode = false;
  bool PrintProductCodeAsBarcode = false;
  bool OnlyPrintNumberAsBarcode = false;
  bool PrintItemLocation = false;
  std::string WarehouseCode;
  int Desc1 = 0;
  int Desc2 = 0;
  int Desc3 = 0;
  int Desc4 = 0;
  bool Debug = false;
  // Not an ApiConfig key: [Database] Driver=, the ODBC driver for SQL Server
  // ("" lets the database session choose). Read from the file, never written
  // (the file keeps what the shop put there).
  std::string DatabaseDriver;
};

// A copy of the process-wide record, taken under its lock (any thread).
TConfig ConfigSnapshot();
// Replaces the process-wide record (UI thread, or a test).
void SetConfig(const TConfig& config);
// The Debug flag of the process-wide record, readable from any thread.
bool ConfigDebug();

// The settings file path: OnlineService.ini beside the executable, unless a
// program option (--config) chose another one with SetConfigPath.
std::string ConfigPath();
void SetConfigPath(const std::string& path);
// The folder of the settings file (with trailing '/'); files that live "beside
// the executable" (the embedded database, the receipt footer) are looked up here.
std::string ConfigDir();

// Fills the process-wide record from ConfigPath().
void LoadConfig();
// Writes the ApiConfig keys of the process-wide record to ConfigPath(),
// keeping every other section, key and comment of the file. Throws on failure.
void SaveConfig();

// Same, on an explicit record and path (used by the two above and by tests).
void LoadConfigFrom(const std::string& path, TConfig& config);
void SaveConfigTo(const std::string& path, const TConfig& config);

// Language selection number -> shop language code ("en", "zh-hans", "zh-hant", "").
std::string LanguageCodeOf(int selection);
// Shop language code -> translation slot 1..3 (0 when no slot carries it).
int TranslationSlotOf(const std::string& code, const TConfig& config);
int TranslationSlotOf(const std::string& code);  // on ConfigSnapshot()

}  // namespace ooa
