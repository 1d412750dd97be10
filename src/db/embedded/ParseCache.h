// TParseCache: the parsed trees and compiled programs of the batches a
// session ran, kept by their shape. The service sends the same batches again
// and again with other values (an invoice for every order), so a batch whose
// tokens equal an earlier one's except for the number and text literals that
// became literal expressions gets a copy of the earlier tree with its own
// literals filled in, instead of being parsed again, or the earlier program
// with its literals put in, instead of being parsed and compiled again. The
// copy is the tree ParseBatch would give: every other token (names, keywords,
// operators, the numbers of a type such as nvarchar(15), the lines) must be
// equal, and each literal is made from its token by the parser's own code.
// A kept program's tree keeps the positions of the batch it was compiled
// from (they serve the compiler's messages only). A shape is kept once a
// second batch of it comes. Owned by the session; one thread.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "db/embedded/Ast.h"
#include "db/embedded/Catalog.h"
#include "db/embedded/Lexer.h"
#include "db/embedded/Program.h"

namespace ooa::tsql {

class TParseCache {
 public:
  // ParseBatch(text), with its errors.
  TBatch Parse(const std::string& text);
  // CompileBatch(ParseBatch(text), catalog), with its errors. A batch of a
  // shape that compiled before gets that program with its own literals put
  // in, when they make the same program (the literals of the program's SQL
  // are parameters; a text must keep its length where the length gives a
  // type, a date-time text must stay one, a value stored into a column must
  // still convert, ...); it is compiled afresh otherwise. The program is the
  // cache's own, valid until the next call. Batches that change a table
  // definition are never kept.
  const TProgram& Compile(const std::string& text, const TCatalog& catalog);
  // The catalog changed: the programs compiled against it go.
  void DropPrograms();
  void Clear();
  size_t Size() const { return Entries.size(); }

  struct TFill {
    size_t Token = 0;
    int Negations = 0;
  };
  using TFills = std::unordered_map<const TExpr*, TFill>;

 private:
  struct TCompiled {
    TProgram Program;
    struct TLiteral {
      TExpr* Node = nullptr;
      TFill Fill;
      bool TypeFree = false;  // the program does not depend on its type's length
      std::string Text;       // the token the program holds it from now
    };
    std::vector<TLiteral> Literals;
    std::unordered_map<const TExpr*, size_t> LiteralOf;
    struct TParam {
      TParamSource* Param = nullptr;  // made from a literal
      size_t Use = 0;
      size_t Literal = 0;
    };
    std::vector<TParam> Params;
  };
  struct TEntry {
    TBatch Tree;  // positions are token numbers
    TFills Fills;
    std::vector<std::pair<size_t, std::string>> Pinned;  // literal tokens that must be equal
    std::unique_ptr<TCompiled> Compiled;
  };

  // The tree of the batch, whose shape tokens (Tokenize without texts) give
  // key; entry is set to its cache entry (or nullptr) and fills to the
  // literals of the tree returned.
  TBatch Tree(const std::string& text, const std::vector<TToken>& shape, std::string key, TEntry*& entry,
              TFills* fills);
  // The key of a batch: its text with every literal left out (ParseCache.cpp).
  static std::string ShapeOf(const std::vector<TToken>& tokens, const std::string& text);
  static bool SameLiteral(const TExpr& a, const TExpr& b);
  static bool Matches(const TEntry& entry, const std::vector<TToken>& tokens);
  static bool Index(TCompiled& compiled, const TFills& fills, const std::vector<TToken>& tokens);
  static bool Refill(TCompiled& compiled, const std::vector<TToken>& tokens);

  // Batches of more tokens are parsed each time; all entries together hold
  // at most kMaxTokens tokens' trees.
  static constexpr size_t kMaxBatchTokens = 20000;
  static constexpr size_t kMaxTokens = 100000;
  static constexpr size_t kMaxEntries = 64;
  static constexpr size_t kMaxSeen = 4096;

  std::unordered_map<std::string, TEntry> Entries;
  std::unordered_set<size_t> Seen;  // the shapes of batches parsed once, by their hash
  size_t Tokens = 0;
  TProgram Scratch;  // a program that is not kept
  std::vector<TToken> Shape;  // the tokens of the batch at hand, without texts
};

}  // namespace ooa::tsql
