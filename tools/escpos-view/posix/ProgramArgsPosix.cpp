#include "escpos-view/ProgramArgs.h"

namespace ooa::escpos {

std::vector<std::string> Utf8Arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

void SetUpStandardStreams() {}

}  // namespace ooa::escpos
