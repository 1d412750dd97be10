// Scratch files of the fuzz targets: named after the process that owns them
// ("<dir>/ooa-fuzz-<pid><suffix>"), because libFuzzer ends a run without
// running destructors or exit handlers. Every target removes the scratch
// files of processes that have ended before it makes its own. One thread.
#pragma once

#include <string>

namespace ooa::fuzz {

// The path of this process's scratch file or folder with the given suffix
// under dir, after removing the ones of ended processes in dir.
std::string ScratchPath(const std::string& dir, const std::string& suffix);

}  // namespace ooa::fuzz
