// Fuzz target: the embedded engine's T-SQL front end. Any text is tokenized,
// parsed and compiled against the POS tables; nothing runs. Bad text must end
// in TDbError, never in a crash, a hang or another exception.
//
// Each text also goes through a parse cache that lives as long as the run
// (the fuzzer's inputs of one shape come one after the other, so its trees
// and programs are used with other literals): the program it gives must be
// the one the text compiles to afresh, or fail the same way.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "PosDatabase.h"
#include "db/session/DbSession.h"
#include "tsql/Compiler.h"
#include "tsql/ParseCache.h"
#include "tsql/Parser.h"

namespace {

using namespace ooa::tsql;

// The program as text: its instructions with their SQL and parameter values.
std::string Listing(const TProgram& p) {
  std::string s;
  for (const TInstr& in : p.Code) {
    s += std::to_string(static_cast<int>(in.Op)) + " " + std::to_string(in.Target) + " " + std::to_string(in.Line);
    if (in.Sql) {
      s += " " + in.Sql->Sql;
      for (const TParamSource& src : in.Sql->Params)
        s += " [" + std::to_string(src.Slot) + " " + std::to_string(static_cast<int>(src.Value.Kind)) + " " +
             std::to_string(src.Value.Int) + " " + std::to_string(src.Value.Float) + " " + src.Value.Text + "]";
    }
    s += "\n";
  }
  return s;
}

std::string Compiled(const std::string& batch, TParseCache* cache) {
  try {
    const TCatalog& catalog = ooa::fuzz::PosCatalog();
    return cache ? Listing(cache->Compile(batch, catalog)) : Listing(CompileBatch(ParseBatch(batch), catalog));
  } catch (const ooa::TDbError& e) {
    return std::string("error: ") + e.what();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TParseCache cache;
  const std::string batch(reinterpret_cast<const char*>(data), size);
  std::string fresh = Compiled(batch, nullptr);
  std::string cached = Compiled(batch, &cache);
  if (fresh != cached) {
    std::fprintf(stderr, "The parse cache's tree compiles otherwise:\n%s\n---\n%s\n", fresh.c_str(), cached.c_str());
    std::abort();
  }
  return 0;
}
