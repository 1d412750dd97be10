#include "BatchCheck.h"

#include <cstdio>
#include <cstdlib>
#include <set>

#include "PosDatabase.h"
#include "db/session/DbSession.h"
#include "tsql/Compiler.h"
#include "tsql/Lexer.h"
#include "tsql/Parser.h"

namespace ooa::fuzz {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& batch) {
  std::fprintf(stderr, "batch check: %s\nbatch: %s\n", what.c_str(), batch.c_str());
  std::abort();
}

}  // namespace

void CheckBatch(const std::string& batch, const std::vector<const std::string*>& texts) {
  std::set<std::string> literals;
  try {
    for (const tsql::TToken& t : tsql::Tokenize(batch))
      if (t.Kind == tsql::TTok::String) literals.insert(t.Text);
    tsql::CompileBatch(tsql::ParseBatch(batch), PosCatalog());
  } catch (const TDbError& e) {
    Fail(std::string("the batch does not compile: ") + e.what(), batch);
  }
  for (const std::string* text : texts)
    if (!text->empty() && !literals.count(*text)) Fail("a text is not one whole literal: " + *text, batch);
}

}  // namespace ooa::fuzz
