#include "config/IniFile.h"

#include <stdexcept>

#include "config/FileBytes.h"
#include "config/TextCodec.h"
#include "config/UtilUnit.h"

namespace ooa {

namespace {

bool IsBlankChar(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlankChar(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlankChar(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionOf(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
  line = Trim(line);
  return !line.empty() && (line.front() == ';' || line.front() == '#');
}

// Key and raw value of a "key=value" line.
bool SplitKeyLine(std::string_view line, std::string_view& key, std::string_view& value) {
  if (IsComment(line) || SectionOf(line)) return false;
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(line.substr(0, eq));
  value = line.substr(eq + 1);
  return !key.empty();
}

std::string Unquote(std::string_view raw) {
  std::string_view v = Trim(raw);
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
  return std::string(v);
}

}  // namespace

TIniFile TIniFile::FromBytes(std::string_view bytes) {
  TIniFile file;
  file.FileEncoding = TEncoding::Utf8;
  file.LineEnd = "\n";
  std::string text;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    file.FileEncoding = TEncoding::Utf16Le;
    text = Utf16LeToUtf8(bytes.substr(2));
  } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    file.FileEncoding = TEncoding::Utf8WithMark;
    text = std::string(bytes.substr(3));
  } else if (IsValidUtf8(bytes)) {
    text = std::string(bytes);
  } else {
    // Written with the 8-bit profile functions on Windows.
    text = AnsiToUtf8(std::string(bytes));
  }
  if (text.find("\r\n") != std::string::npos) file.LineEnd = "\r\n";
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    file.Text.push_back(std::move(line));
    start = end + 1;
  }
  return file;
}

std::string TIniFile::ToBytes() const {
  std::string text;
  for (const std::string& line : Text) {
    text += line;
    text += LineEnd;
  }
  switch (FileEncoding) {
    case TEncoding::Utf16Le:
      return "\xFF\xFE" + Utf8ToUtf16Le(text);
    case TEncoding::Utf8WithMark:
      return "\xEF\xBB\xBF" + text;
    case TEncoding::Utf8:
      break;
  }
  return text;
}

std::optional<std::string> TIniFile::Read(std::string_view section, std::string_view key) const {
  bool inSection = false;
  bool seenSection = false;
  for (const std::string& line : Text) {
    if (const auto name = SectionOf(line)) {
      if (inSection) return std::nullopt;  // only the first section of that name counts
      inSection = !seenSection && SameName(*name, section);
      seenSection = seenSection || inSection;
      continue;
    }
    std::string_view k, v;
    if (inSection && SplitKeyLine(line, k, v) && SameName(k, key)) return Unquote(v);
  }
  return std::nullopt;
}

void TIniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  if (value.find_first_of("\r\n") != std::string_view::npos) {
    throw std::invalid_argument("The setting " + std::string(key) + " cannot hold a line break");
  }
  std::string stored(value);
  if (Trim(value) != value || (value.size() >= 2 && value.front() == '"' && value.back() == '"')) {
    stored = "\"" + stored + "\"";
  }
  std::string line = std::string(key) + "=" + stored;

  size_t header = Text.size();
  for (size_t i = 0; i < Text.size(); ++i) {
    const auto name = SectionOf(Text[i]);
    if (name && SameName(*name, section)) {
      header = i;
      break;
    }
  }
  if (header == Text.size()) {
    Text.push_back("[" + std::string(section) + "]");
    Text.push_back(std::move(line));
    return;
  }
  size_t insertAt = header + 1;
  for (size_t i = header + 1; i < Text.size() && !SectionOf(Text[i]); ++i) {
    std::string_view k, v;
    if (!SplitKeyLine(Text[i], k, v)) continue;
    if (SameName(k, key)) {
      Text[i] = std::move(line);
      return;
    }
    insertAt = i + 1;
  }
  Text.insert(Text.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
}

std::optional<TIniFile> LoadIniFile(const std::string& path) {
  const std::optional<std::string> data = ReadFileBytes(path, "settings file");
  if (!data) return std::nullopt;
  return TIniFile::FromBytes(*data);
}

void SaveIniFile(const std::string& path, const TIniFile& file) {
  WriteFileAtomically(path, file.ToBytes(), "settings file");
}

}  // namespace ooa
