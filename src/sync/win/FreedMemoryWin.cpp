#include "sync/FreedMemory.h"

#include <malloc.h>
#include <windows.h>

namespace ooa {

void ReturnFreedMemory() {
  _heapmin();
  HeapCompact(GetProcessHeap(), 0);
}

}  // namespace ooa
