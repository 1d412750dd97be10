#include "sync/FreedMemory.h"

#include <malloc.h>

namespace ooa {

void ReturnFreedMemory() { malloc_trim(0); }

}  // namespace ooa
