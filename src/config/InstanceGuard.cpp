#include "config/InstanceGuard.h"

#include <cstdlib>

namespace ooa {

void ExitIfAnotherInstance() {
  if (!CheckSingleInstance()) std::_Exit(0);
}

}  // namespace ooa
