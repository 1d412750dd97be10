// The programs tests start, and the paths they hand them. On Linux every tool
// is one of this build's. The Windows edition's tests run under Wine, where
// posdb is this build's posdb.exe but the stand-ins of the shop and the
// printer stay programs of the build machine (OOA_HOST_BINARY_DIR, the Linux
// build), started through Wine; a path handed to one of those is given as the
// build machine sees it. Test thread only.
#pragma once

#include <string>

namespace ooa::test {

// A program of this build: OOA_BINARY_DIR/relative (with ".exe" on Windows).
std::string BuiltProgram(const std::string& relative);
// A stand-in of the build machine: OOA_HOST_BINARY_DIR/relative.
std::string HostProgram(const std::string& relative);
// `path` as a program of the build machine sees it: the same on Linux, the
// Unix path under Wine.
std::string HostPath(const std::string& path);

}  // namespace ooa::test
