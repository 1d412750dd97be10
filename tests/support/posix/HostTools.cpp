// The tools of a Linux test run: all of them this build's (see HostTools.h).
#include "support/HostTools.h"

namespace ooa::test {

std::string BuiltProgram(const std::string& relative) { return std::string(OOA_BINARY_DIR) + "/" + relative; }
std::string HostProgram(const std::string& relative) { return BuiltProgram(relative); }
std::string HostPath(const std::string& path) { return path; }

}  // namespace ooa::test
