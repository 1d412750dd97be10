// Bookkeeping that lets TDatabaseModule drop a thread's rows when that thread
// ends: worker threads come and go with every pass, and each keeps its last
// result in the module. Internal to the database module; any thread.
#pragma once

#include <functional>

namespace ooa {

// A module is live from construction to destruction.
void RegisterLiveModule(const void* module);
void UnregisterLiveModule(const void* module);
// Runs dropRows when the calling thread ends, if the module is still live then.
void AtThreadExit(const void* module, std::function<void()> dropRows);

}  // namespace ooa
