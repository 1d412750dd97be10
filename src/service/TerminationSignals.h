// The requests to end headless mode: SIGTERM and SIGINT on Linux; Ctrl+C,
// Ctrl+Break, closing the console, logging off and shutting down on Windows.
// BlockTerminationSignals (HeadlessRunner.h) takes them from the default
// action first thing in main; a request that comes before the watch begins
// waits for it.
#pragma once

#include <functional>

namespace ooa {

// Starts watching on a thread of its own: the first request calls onFirst
// (from that thread); a second one ends the process at once with exit code
// 128 + the signal's number (SIGINT for Ctrl+C and Ctrl+Break, SIGTERM for
// the others on Windows). Call it once per process.
void WatchTerminationSignals(std::function<void()> onFirst);

}  // namespace ooa
