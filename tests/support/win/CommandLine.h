// Command lines and wide text for the Windows halves of the test support.
#pragma once

#include <string>
#include <vector>

namespace ooa::test {

// The arguments as one command line that the C runtime (and Wine, for a
// program of the build machine) splits back into the same arguments.
std::string CommandLine(const std::vector<std::string>& args);
std::wstring Wide(const std::string& utf8);

}  // namespace ooa::test
