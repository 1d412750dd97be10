// Reading a whole file as bytes, for the settings file and the text files the
// receipt reads, and replacing one atomically (the settings and state files).
// Any thread; nothing is shared.
#pragma once

#include <optional>
#include <string>

namespace ooa {

// The file's bytes; nullopt when it does not exist (or a folder on its path
// does not). An existing file that cannot be opened or read throws
// std::runtime_error "Cannot open <kind> <path>: <reason>" or
// "Cannot read <kind> <path>: <reason>".
std::optional<std::string> ReadFileBytes(const std::string& path, const std::string& kind);

// Replaces the file with bytes so that a crash leaves either the old or the
// new content: a temporary file beside it (owner read/write only), synced,
// renamed over the file (or the file a symbolic link names), and the folder
// synced. Throws std::runtime_error "Cannot write <kind> <path>: <reason>".
void WriteFileAtomically(const std::string& path, const std::string& bytes, const std::string& kind);

// Renames `from` to `to`, replacing a file there; false when it cannot.
bool MoveFileOver(const std::string& from, const std::string& to);

}  // namespace ooa
