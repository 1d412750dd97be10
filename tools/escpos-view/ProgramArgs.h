// The command line and standard streams of escpos-view: the paths it is
// given and the text it prints are UTF-8 and a job read from standard input
// is read byte for byte on every platform (on Windows the arguments come
// from the wide command line, standard input is switched to binary and the
// console to UTF-8). posix/ and win/ hold the two halves. Main thread.
#pragma once

#include <string>
#include <vector>

namespace ooa::escpos {

// The arguments, the program's name first, as UTF-8.
std::vector<std::string> Utf8Arguments(int argc, char** argv);
// Standard input reads bytes unchanged; standard output shows UTF-8 text.
void SetUpStandardStreams();

}  // namespace ooa::escpos
