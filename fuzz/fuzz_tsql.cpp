// Fuzz target: the embedded engine's T-SQL front end. Any text is tokenized,
// parsed and compiled against the POS tables; nothing runs. Bad text must end
// in TDbError, never in a crash, a hang or another exception.
#include <cstddef>
#include <cstdint>
#include <string>

#include "PosDatabase.h"
#include "db/DbSession.h"
#include "db/embedded/Compiler.h"
#include "db/embedded/Parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string batch(reinterpret_cast<const char*>(data), size);
  const ooa::tsql::TCatalog& catalog = ooa::fuzz::PosCatalog();
  try {
    ooa::tsql::CompileBatch(ooa::tsql::ParseBatch(batch), catalog);
  } catch (const ooa::TDbError&) {
  }
  return 0;
}
