// TParseCache: the parsed trees and compiled programs of the batches a
// session ran, kept by their shape. The service sends the same batches again
// and again with other values (an invoice for every order), so a batch whose
// tokens equal an earlier one's except for its literals gets the earlier
// program with its own literals put in, instead of being parsed and compiled
// again (or, through Parse, a copy of the earlier tree with its own literals
// filled in). Literals are the number and text tokens that became literal
// expressions and the keyword NULL where it is one. A shape does not depend
// on how a literal is spelt: every number (11, 5.5, 1e3) is one kind of
// literal, every text ('x', N'x') or NULL another; whether the program of the
// batch at hand is the one kept is decided when its literals are put in. The
// copy is the tree ParseBatch would give: every other token (names,
// keywords, operators, the numbers of a type such as nvarchar(15), the lines)
// must be equal, and each literal is made from its token by the parser's own
// code. A kept program's tree keeps the positions of the batch it was
// compiled from (they serve the compiler's messages only).
//
// A shape is kept once a second batch of it comes; the program of its first
// batch waits on probation for it (a few shapes, the oldest giving way), so
// that the second is not compiled again. When the cache is full
// (kMaxEntries shapes, or kMaxTokens tokens in all) the shape least used of
// late makes room (of equally used ones the one unused longest): each use
// counts, and the counts halve each time kMaxEntries shapes have left, so
// that the shapes of a pass long over give way. Owned by the session; one
// thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "tsql/Ast.h"
#include "tsql/Catalog.h"
#include "tsql/Lexer.h"
#include "tsql/Program.h"

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
  // still convert, a number may change between whole and not only where its
  // type does not reach the program, ...); it is compiled afresh otherwise,
  // and that program is kept instead. The program is the cache's own, valid
  // until the next call. Batches that change a table definition are never
  // kept.
  const TProgram& Compile(const std::string& text, const TCatalog& catalog);
  // Whether a program of the batch's shape is kept (whatever its literals).
  bool Holds(const std::string& text);
  // The batches Compile compiled afresh so far, not taking a kept program.
  size_t Compilations() const { return Fresh; }
  // The catalog changed: the programs compiled against it go.
  void DropPrograms();
  // Every shape and program goes, and what the cache knows of shapes seen
  // once: it starts afresh.
  void Clear();
  size_t Size() const { return Entries.size(); }

  struct TFill {
    size_t Token = 0;  // the literal's place among the batch's literal tokens
    int Negations = 0;
  };
  using TFills = std::unordered_map<const TExpr*, TFill>;
  using TPinned = std::vector<std::pair<size_t, std::string>>;  // literal tokens (by place) that must be equal

 private:
  struct TCompiled {
    TProgram Program;
    struct TLiteral {
      TExpr* Node = nullptr;
      TFill Fill;
      bool TypeFree = false;    // the program does not depend on its type's length, nor on its being whole
      bool StoredOnly = true;   // every use stores it into a column (NULL as well as a text)
      std::vector<TExpr*> Sums;  // the sums, differences, products and signs of numbers it is in, inner first
      std::string Text;         // the token the program holds it from now
      // What the node holds now, kept here as well: Refill compares without
      // reaching into the tree.
      TValue::TKind Kind = TValue::TKind::Null;
      bool IsDate = false;
      TSqlType Type;
    };
    std::vector<TLiteral> Literals;
    std::vector<size_t> UseLiteral;  // for each of Program.LiteralUses its literal, or kNone
    std::vector<std::pair<int, TExpr*>> SumsByDepth;  // every Sums node with its depth in the tree, deepest first
    struct TParam {
      TParamSource* Param = nullptr;  // made from a literal
      size_t Use = 0;
      size_t Literal = 0;
    };
    std::vector<TParam> Params;
    // Room Refill uses again: the literals that changed, their new values
    // (by literal: the place in Fresh, or -1) and the values of their uses.
    std::vector<size_t> Changed;
    std::vector<int> FreshOf;
    std::vector<TExpr> Fresh;
    std::vector<TValue> Values;
  };
  static constexpr size_t kNone = static_cast<size_t>(-1);
  struct TEntry {
    bool HasTree = false;
    TBatch Tree;  // for Parse: positions are token numbers
    TFills Fills;
    TPinned Pinned;
    std::unique_ptr<TCompiled> Compiled;
    size_t Tokens = 0;
    uint64_t Uses = 0;
    uint64_t LastUse = 0;
  };

  // The key of a batch: its text with every literal left out (ParseCache.cpp).
  static void ShapeOf(const std::vector<TToken>& literals, const std::string& text, std::string& key);
  static bool SameLiteral(const TExpr& a, const TExpr& b);
  static bool Matches(const TEntry& entry, const std::vector<TToken>& literals);
  // The entry of the batch's shape whose pinned tokens match, counting a
  // use, or nullptr; first is set when no batch of the shape came before.
  TEntry* Lookup(const std::string& key, const std::vector<TToken>& literals, bool& first);
  // The batch parsed from all its tokens with the token of every literal
  // noted in fills; false when a literal's token cannot be told (the tree is
  // still the batch's).
  static bool ParseNoted(const std::string& text, TBatch& tree, TFills& fills, TPinned& pinned, size_t& tokens);
  // Stores an entry under key, making room first.
  TEntry& Keep(std::string key, TEntry entry);
  static bool Index(TCompiled& compiled, const TFills& fills, const std::vector<TToken>& literals);
  static bool Refill(TCompiled& compiled, const std::vector<TToken>& literals);

  // Batches of more tokens are parsed each time; all entries together hold
  // at most kMaxTokens tokens' trees or programs.
  static constexpr size_t kMaxBatchTokens = 20000;
  static constexpr size_t kMaxTokens = 200000;
  static constexpr size_t kMaxEntries = 128;
  static constexpr size_t kMaxSeen = 4096;

  // The programs of shapes seen once, oldest first: a shape's second batch
  // takes its program from here into Entries. At most kMaxProbation of them,
  // of kMaxProbationTokens tokens in all.
  static constexpr size_t kMaxProbation = 8;
  static constexpr size_t kMaxProbationTokens = 40000;
  std::vector<std::pair<std::string, TEntry>> Probation;
  size_t ProbationTokens = 0;

  std::unordered_map<std::string, TEntry> Entries;
  std::unordered_set<size_t> Seen;  // the shapes of batches parsed once, by their hash
  size_t Tokens = 0;
  uint64_t Clock = 0;
  size_t Evictions = 0;
  size_t Fresh = 0;
  TProgram Scratch;  // a program that is not kept
  TLiteralScan Shape;  // the literal tokens of the batch at hand
  std::string Key;     // the shape of the batch at hand
};

}  // namespace ooa::tsql
