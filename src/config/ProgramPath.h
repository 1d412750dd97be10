// Where the running program lives, and how paths of this system separate
// their folders and meet std::filesystem. Any thread.
#pragma once

#include <filesystem>
#include <string>

namespace ooa {

// The characters that end a folder's name in a path.
#ifdef _WIN32
inline constexpr const char* kPathSeparators = "/\\";
#else
inline constexpr const char* kPathSeparators = "/";
#endif

// A path in this system's text (UTF-8) as std::filesystem takes it, and back.
// On Windows a std::string path would be read in the ANSI code page.
#ifdef _WIN32
inline std::filesystem::path FsPath(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}
inline std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}
#else
inline std::filesystem::path FsPath(const std::string& text) { return std::filesystem::path(text); }
inline std::string PathText(const std::filesystem::path& path) { return path.string(); }
#endif

// The folder of the program's executable, with a trailing separator ("./"
// when the system does not tell).
std::string ProgramDir();

}  // namespace ooa
