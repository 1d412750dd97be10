// TParseCache: the parsed trees of the batches a session ran, kept by their
// shape. The service sends the same batches again and again with other
// values (an invoice for every order), so a batch whose tokens equal an
// earlier one's except for the number and text literals that became literal
// expressions gets a copy of the earlier tree with its own literals filled
// in, instead of being parsed again. The copy is the tree ParseBatch would
// give: every other token (names, keywords, operators, the numbers of a type
// such as nvarchar(15), the lines) must be equal, and each literal is made
// from its token by the parser's own code. Owned by the session; one thread.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "db/embedded/Ast.h"
#include "db/embedded/Lexer.h"

namespace ooa::tsql {

class TParseCache {
 public:
  // ParseBatch(text), with its errors.
  TBatch Parse(const std::string& text);
  void Clear();
  size_t Size() const { return Entries.size(); }

  struct TFill {
    size_t Token = 0;
    int Negations = 0;
  };

 private:
  struct TEntry {
    TBatch Tree;  // positions are token numbers
    std::unordered_map<const TExpr*, TFill> Fills;
    std::vector<std::pair<size_t, std::string>> Pinned;  // literal tokens that must be equal
  };

  // Batches of more tokens are parsed each time; all entries together hold
  // at most kMaxTokens tokens' trees.
  static constexpr size_t kMaxBatchTokens = 20000;
  static constexpr size_t kMaxTokens = 100000;
  static constexpr size_t kMaxEntries = 64;

  std::unordered_map<std::string, TEntry> Entries;
  size_t Tokens = 0;
};

}  // namespace ooa::tsql
