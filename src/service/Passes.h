// The two sync passes the scheduler runs, one call per pass, on a worker
// thread: the catalogue upload on the shop module's first channel and the
// order sync on its second. Each pass takes its own copy of the settings
// (ConfigSnapshot) when it starts. Errors are raised to the caller, which
// ends the pass.
#pragma once

namespace ooa {

class TWooModule;

void RunCatalogPass(TWooModule& woo);
void RunOrderPass(TWooModule& woo);

}  // namespace ooa
