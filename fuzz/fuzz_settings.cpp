// Fuzz target: the settings reader. Any file content must load (TIniFile and
// the settings record), and what it loads must survive being written back:
//  - the file's lines and encoding read back the same from its own bytes
//    (but for carriage returns at line ends, see CheckFile);
//  - a value written under a key reads back unchanged, also from the bytes;
//  - the settings record saved into the file and loaded again is the same
//    record (the other sections and keys of the file stay around it).
// A check that fails aborts, so libFuzzer keeps the input.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "ScratchFiles.h"
#include "config/Config.h"
#include "config/IniFile.h"

namespace {

using ooa::TConfig;
using ooa::TIniFile;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz_settings: %s\n", what);
  std::abort();
}

auto Fields(const TConfig& c) {
  return std::tie(c.ServerName, c.DatabaseName, c.Url, c.Key, c.Secret, c.PrinterName, c.GraphicMode,
                  c.PrintItemBarcode, c.PrintProductCodeAsBarcode, c.OnlyPrintNumberAsBarcode, c.PrintItemLocation,
                  c.WarehouseCode, c.Desc1, c.Desc2, c.Desc3, c.Desc4, c.Debug);
}

// A lone CR inside a value reads as part of it, but the writer refuses every
// line-break character; such a record is not written back here.
bool Writable(const TConfig& c) {
  for (const std::string* s : {&c.ServerName, &c.DatabaseName, &c.Url, &c.Key, &c.Secret, &c.PrinterName,
                               &c.WarehouseCode})
    if (s->find('\r') != std::string::npos) return false;
  return true;
}

// The file the settings record is loaded from and saved to (ScratchFiles.h).
const std::string& ScratchFile() {
  static const std::string path =
      ooa::fuzz::ScratchPath(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp", "-settings.ini");
  return path;
}

std::vector<std::string> WithoutTrailingReturns(std::vector<std::string> lines) {
  for (std::string& line : lines)
    while (!line.empty() && line.back() == '\r') line.pop_back();
  return lines;
}

void CheckFile(std::string_view bytes) {
  const TIniFile ini = TIniFile::FromBytes(bytes);
  const TIniFile again = TIniFile::FromBytes(ini.ToBytes());
  // A carriage return that ends a line of an LF file reads as part of the
  // line, but written back it forms a CRLF line end; such returns are blanks
  // to the reader (values and names are trimmed), so lines are compared
  // without them, and the file written back must then stay as it is.
  Check(WithoutTrailingReturns(again.Lines()) == WithoutTrailingReturns(ini.Lines()),
        "lines differ after writing the file back");
  Check(TIniFile::FromBytes(again.ToBytes()).Lines() == again.Lines(), "a file written back changes again");
  Check(again.Encoding() == ini.Encoding(), "encoding differs after writing the file back");

  // The first line as a value: any text without a line break.
  std::string value = ini.Lines().empty() ? std::string() : ini.Lines().front();
  std::erase(value, '\r');
  TIniFile written = ini;
  written.Write("ApiConfig", "Secret", value);
  Check(written.Read("ApiConfig", "Secret") == value, "a written value reads back changed");
  Check(TIniFile::FromBytes(written.ToBytes()).Read("ApiConfig", "Secret") == value,
        "a written value reads back changed from the file");
}

void CheckConfig(std::string_view bytes) {
  const std::string& path = ScratchFile();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  TConfig loaded;
  ooa::LoadConfigFrom(path, loaded);
  if (!Writable(loaded)) return;
  ooa::SaveConfigTo(path, loaded);
  TConfig reloaded;
  ooa::LoadConfigFrom(path, reloaded);
  Check(Fields(reloaded) == Fields(loaded), "the settings changed after saving and loading them");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckFile(bytes);
  CheckConfig(bytes);
  return 0;
}
