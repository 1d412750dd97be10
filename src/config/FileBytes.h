// Reading a whole file as bytes, for the settings file and the text files the
// receipt reads. Any thread; nothing is shared.
#pragma once

#include <optional>
#include <string>

namespace ooa {

// The file's bytes; nullopt when it does not exist (or a folder on its path
// does not). An existing file that cannot be opened or read throws
// std::runtime_error "Cannot open <kind> <path>: <reason>" or
// "Cannot read <kind> <path>: <reason>".
std::optional<std::string> ReadFileBytes(const std::string& path, const std::string& kind);

}  // namespace ooa
