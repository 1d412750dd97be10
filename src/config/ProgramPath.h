// Where the running program lives, and how paths of this system separate
// their folders. Any thread.
#pragma once

#include <string>

namespace ooa {

// The characters that end a folder's name in a path.
#ifdef _WIN32
inline constexpr const char* kPathSeparators = "/\\";
#else
inline constexpr const char* kPathSeparators = "/";
#endif

// The folder of the program's executable, with a trailing separator ("./"
// when the system does not tell).
std::string ProgramDir();

}  // namespace ooa
