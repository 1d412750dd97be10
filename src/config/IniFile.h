// TIniFile: a settings file in the Windows profile format ("[Section]" lines
// and "Key=Value" lines), kept line by line so that writing a key changes only
// that key's line and every other section, key, comment and blank line stays
// as it was. Section and key names match without regard to (ASCII) case;
// values are trimmed and lose one pair of surrounding double quotes.
//
// A file that starts with the UTF-16 LE byte order mark is read as UTF-16 and
// written back the same way; any other file is read as UTF-8 (a leading UTF-8
// mark is kept), or, when its bytes are not valid UTF-8, from the 8-bit
// receipt code page, and then written back as UTF-8. CRLF line ends are kept.
// A new file (no bytes parsed) is written as the platform writes one: UTF-16
// LE with its byte order mark and CRLF line ends on Windows, UTF-8 with LF
// line ends elsewhere.
//
// A plain value owned by its user; not shared between threads.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ooa {

class TIniFile {
 public:
  enum class TEncoding { Utf8, Utf8WithMark, Utf16Le };

  // Parses raw file content.
  static TIniFile FromBytes(std::string_view bytes);
  // The content to write, in the file's encoding and line ends.
  std::string ToBytes() const;

  // The value of the first `key` in the first section `section`, or nothing
  // when either is absent.
  std::optional<std::string> Read(std::string_view section, std::string_view key) const;
  // Replaces the first `key` line of the section, or adds one at the section's
  // end (adding the section at the end of the file when it is missing).
  // A value with outer blanks or outer double quotes is written in quotes so
  // that it reads back unchanged. Throws std::invalid_argument for a value
  // with a line break, which the format cannot hold.
  void Write(std::string_view section, std::string_view key, std::string_view value);

  TEncoding Encoding() const { return FileEncoding; }
  const std::vector<std::string>& Lines() const { return Text; }

 private:
  std::vector<std::string> Text;  // UTF-8, without line ends
#ifdef _WIN32
  TEncoding FileEncoding = TEncoding::Utf16Le;
  std::string LineEnd = "\r\n";
#else
  TEncoding FileEncoding = TEncoding::Utf8;
  std::string LineEnd = "\n";
#endif
};

// The file at `path`, or nothing when no file exists there. Throws
// std::runtime_error when an existing file cannot be read.
std::optional<TIniFile> LoadIniFile(const std::string& path);

// Writes the file atomically: a temporary file beside it, flushed to disk, then
// renamed over the old one, so a crash leaves either the old or the new file.
// The file is readable and writable by its owner only. A symbolic link at
// `path` is followed and its target replaced. Throws std::runtime_error.
void SaveIniFile(const std::string& path, const TIniFile& file);

}  // namespace ooa
