// The two sync passes the scheduler runs, one call per pass, on a worker
// thread: the catalogue upload on the shop module's first channel and the
// order sync on its second. Each pass takes its own copy of the settings
// (ConfigSnapshot) when it starts. Errors are raised to the caller, which
// ends the pass. When a pass ends, however it ends, the memory it used to be
// faster goes back (TDatabaseModule::ReleaseMemory, and the freed heap to the
// system).
#pragma once

namespace ooa {

class TWooModule;

void RunCatalogPass(TWooModule& woo);
void RunOrderPass(TWooModule& woo);

}  // namespace ooa
