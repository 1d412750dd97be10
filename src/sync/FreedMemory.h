// Gives the heap memory the process has freed back to the system (the C
// library keeps it for the process otherwise). Any thread.
#pragma once

namespace ooa {

void ReturnFreedMemory();

}  // namespace ooa
