// TParseCache's parsed trees: the shape key of a batch, and a copy of an
// earlier tree of that shape with the batch's own literals made again.
#include "tsql/ParseCache.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <type_traits>
#include <utility>

#include "tsql/Parser.h"

namespace ooa::tsql {

namespace {

using TFill = TParseCache::TFill;
using TFills = TParseCache::TFills;

bool IsNumberToken(const TToken& t) { return t.Kind == TTok::Integer || t.Kind == TTok::Decimal || t.Kind == TTok::Float; }

// What a pinned token must be again: its kind, prefix and text.
std::string PinText(const TToken& t) {
  std::string pin;
  pin.reserve(t.Text.size() + 2);
  pin += static_cast<char>(t.Kind);
  pin += t.Unicode ? 'N' : '\'';
  pin += t.Text;
  return pin;
}

// The members of each node TCloner copies: its base of plain fields (one
// assignment copies them all, whatever is added to it) and the members that
// own further nodes, each cloned below by hand. Whoever adds a member to a
// node rather than to its base must clone it below and count it here; the
// count is what breaks the build when that is forgotten.
//
// The count is the number of initializers the node takes in braces: one
// for its base, one for each member. The language fixes it, so it is the
// same on every platform and for every member, whatever its size; a node
// that is no longer an aggregate fails the count as well. A size would not
// do: the ABI of GCC and Clang, MinGW's included, lays a derived class's
// first members into the tail padding of a base that is not trivial, so a
// bool added before the owning members leaves sizeof as it was (it does for
// TExpr on x86-64); and where a double aligns to 8 but a pointer to 4
// (32-bit Windows) the base's size is rounded to 8 while its members need
// not be, so sums of sizes are not exact there.
namespace members {

struct TAny {
  template <class T>
  operator T() const;  // only ever named in a requires-expression
};

template <class T, size_t... I>
constexpr bool TakesInitializers(std::index_sequence<I...>) {
  return requires { T{(static_cast<void>(I), TAny{})...}; };
}

// T is an aggregate of exactly n bases and members.
template <class T, size_t n>
constexpr bool Exactly() {
  return std::is_aggregate_v<T> && TakesInitializers<T>(std::make_index_sequence<n>()) &&
         !TakesInitializers<T>(std::make_index_sequence<n + 1>());
}

#define OOA_TSQL_CLONED_WHOLE(node, count, owning)                                                          \
  static_assert(Exactly<node, count>(),                                                                     \
                #node " holds a member TCloner does not copy: a plain field goes into " #node "Fields; "     \
                "a member owning nodes is cloned in TCloner and counted here (now the base and " owning ")"); \
  static_assert(std::is_copy_assignable_v<node##Fields>,                                                    \
                #node "Fields is copied by assignment: a member owning nodes belongs in " #node)

OOA_TSQL_CLONED_WHOLE(TExpr, 3, "Args, Sub");
OOA_TSQL_CLONED_WHOLE(TSelectItem, 2, "Expr");
OOA_TSQL_CLONED_WHOLE(TTableSource, 2, "Derived");
OOA_TSQL_CLONED_WHOLE(TJoin, 3, "Source, On");
OOA_TSQL_CLONED_WHOLE(TOrderItem, 2, "Expr");
OOA_TSQL_CLONED_WHOLE(TSelect, 8, "Top, Items, From, Where, GroupBy, Having, OrderBy");
OOA_TSQL_CLONED_WHOLE(TColumnDef, 2, "Default");
OOA_TSQL_CLONED_WHOLE(TDeclareItem, 2, "Init");
OOA_TSQL_CLONED_WHOLE(TSetItem, 2, "Expr");
OOA_TSQL_CLONED_WHOLE(TStmt, 11, "Query, Rows, Sets, Where, Declares, Cond, Then, Else, Body, ColumnDefs");
#undef OOA_TSQL_CLONED_WHOLE

// Nodes of owning members only.
static_assert(Exactly<TFromItem, 2>(), "TFromItem holds a member TCloner does not copy (now First, Joins)");
static_assert(Exactly<TBatch, 1>(), "TBatch holds a member TCloner does not copy (now Statements)");

}  // namespace members

// Copies a tree. Positions go through MapPos; a literal found in In is made
// again from its token when Tokens is set, and noted in Out under its copy.
struct TCloner {
  std::function<int(int)> MapPos;
  const TFills* In = nullptr;
  TFills* Out = nullptr;
  const std::vector<TToken>* Tokens = nullptr;

  TExprPtr Expr(const TExprPtr& p) { return p ? Expr(*p) : nullptr; }

  TExprPtr Expr(const TExpr& t) {
    auto e = std::make_unique<TExpr>();
    static_cast<TExprFields&>(*e) = t;
    e->Pos = MapPos(t.Pos);
    e->Args.reserve(t.Args.size());
    for (const auto& a : t.Args) e->Args.push_back(Expr(*a));
    e->Sub = Select(t.Sub);
    if (t.Kind == TExprKind::Literal && In) {
      auto it = In->find(&t);
      if (it != In->end()) {
        if (Tokens) {
          e->Value = TValue();
          e->IsDate = false;
          e->OriginalText.clear();
          MakeLiteral(*e, (*Tokens)[it->second.Token]);
          for (int n = 0; n < it->second.Negations; ++n) NegateLiteral(*e);
        }
        if (Out) Out->emplace(e.get(), it->second);
      }
    }
    return e;
  }

  std::vector<TExprPtr> Exprs(const std::vector<TExprPtr>& v) {
    std::vector<TExprPtr> r;
    r.reserve(v.size());
    for (const auto& e : v) r.push_back(Expr(e));
    return r;
  }

  TTableSource Source(const TTableSource& t) {
    TTableSource s;
    static_cast<TTableSourceFields&>(s) = t;
    s.Pos = MapPos(t.Pos);
    s.Derived = Select(t.Derived);
    return s;
  }

  std::unique_ptr<TSelect> Select(const std::unique_ptr<TSelect>& p) {
    if (!p) return nullptr;
    const TSelect& t = *p;
    auto q = std::make_unique<TSelect>();
    static_cast<TSelectFields&>(*q) = t;
    q->Pos = MapPos(t.Pos);
    q->Top = Expr(t.Top);
    for (const auto& item : t.Items) {
      TSelectItem i;
      static_cast<TSelectItemFields&>(i) = item;
      i.Expr = Expr(item.Expr);
      q->Items.push_back(std::move(i));
    }
    for (const auto& from : t.From) {
      TFromItem f;
      f.First = Source(from.First);
      for (const auto& join : from.Joins) {
        TJoin j;
        static_cast<TJoinFields&>(j) = join;
        j.Source = Source(join.Source);
        j.On = Expr(join.On);
        f.Joins.push_back(std::move(j));
      }
      q->From.push_back(std::move(f));
    }
    q->Where = Expr(t.Where);
    q->GroupBy = Exprs(t.GroupBy);
    q->Having = Expr(t.Having);
    for (const auto& o : t.OrderBy) {
      TOrderItem i;
      static_cast<TOrderItemFields&>(i) = o;
      i.Expr = Expr(o.Expr);
      q->OrderBy.push_back(std::move(i));
    }
    return q;
  }

  TStmtPtr Stmt(const TStmtPtr& p) {
    if (!p) return nullptr;
    const TStmt& t = *p;
    auto s = std::make_unique<TStmt>();
    static_cast<TStmtFields&>(*s) = t;
    s->Pos = MapPos(t.Pos);
    s->Query = Select(t.Query);
    s->Rows.reserve(t.Rows.size());
    for (const auto& row : t.Rows) s->Rows.push_back(Exprs(row));
    for (const auto& set : t.Sets) {
      TSetItem i;
      static_cast<TSetItemFields&>(i) = set;
      i.Expr = Expr(set.Expr);
      s->Sets.push_back(std::move(i));
    }
    s->Where = Expr(t.Where);
    for (const auto& d : t.Declares) {
      TDeclareItem i;
      static_cast<TDeclareItemFields&>(i) = d;
      i.Init = Expr(d.Init);
      s->Declares.push_back(std::move(i));
    }
    s->Cond = Expr(t.Cond);
    s->Then = Stmt(t.Then);
    s->Else = Stmt(t.Else);
    s->Body.reserve(t.Body.size());
    for (const auto& b : t.Body) s->Body.push_back(Stmt(b));
    for (const auto& c : t.ColumnDefs) {
      TColumnDef d;
      static_cast<TColumnDefFields&>(d) = c;
      d.Default = Expr(c.Default);
      s->ColumnDefs.push_back(std::move(d));
    }
    return s;
  }

  TBatch Batch(const TBatch& t) {
    TBatch b;
    b.Statements.reserve(t.Statements.size());
    for (const auto& s : t.Statements) b.Statements.push_back(Stmt(s));
    return b;
  }
};

}  // namespace

// The batch as written with each literal replaced by its family (a number;
// a text or NULL) and line. The tokenizer reads from a token's start on
// without looking back, so two batches of one shape give the same tokens but
// for the literals. Each piece of text goes with its length, so that no text
// can pass for a literal.
void TParseCache::ShapeOf(const std::vector<TToken>& literals, const std::string& text, std::string& key) {
  // Written straight into room made for the longest key (the text, and per
  // literal two lengths and its family), then cut to what was written; the
  // room of the last key is used again.
  key.resize(text.size() + literals.size() * (2 * sizeof(uint32_t) + 1) + sizeof(uint32_t));
  char* out = key.data();
  const char* in = text.data();
  auto putInt = [&out](size_t v) {
    auto u = static_cast<uint32_t>(v);
    std::memcpy(out, &u, sizeof u);
    out += sizeof u;
  };
  auto putText = [&out, &putInt, in](size_t from, size_t length) {
    putInt(length);
    std::memcpy(out, in + from, length);
    out += length;
  };
  size_t from = 0;
  for (const TToken& t : literals) {
    auto pos = static_cast<size_t>(t.Pos);
    putText(from, pos - from);
    *out++ = IsNumberToken(t) ? '#' : '\'';
    putInt(static_cast<size_t>(t.Line));
    from = static_cast<size_t>(t.End);
  }
  putText(from, text.size() - from);
  key.resize(static_cast<size_t>(out - key.data()));
}

bool TParseCache::SameLiteral(const TExpr& a, const TExpr& b) {
  return a.Value.Kind == b.Value.Kind && a.Value.Int == b.Value.Int &&
         std::memcmp(&a.Value.Float, &b.Value.Float, sizeof(double)) == 0 && a.Value.Text == b.Value.Text &&
         a.IsDate == b.IsDate && a.OriginalText == b.OriginalText;
}

bool TParseCache::Matches(const TEntry& entry, const std::vector<TToken>& literals) {
  for (const auto& [index, pinned] : entry.Pinned)
    if (PinText(literals[index]) != pinned) return false;
  return true;
}

TParseCache::TEntry* TParseCache::Lookup(const std::string& key, const std::vector<TToken>& literals, bool& first) {
  first = false;
  auto found = Entries.find(key);
  if (found == Entries.end()) {
    if (Seen.size() >= kMaxSeen) Seen.clear();
    first = Seen.insert(std::hash<std::string>()(key)).second;
    return nullptr;
  }
  if (!Matches(found->second, literals)) return nullptr;
  ++found->second.Uses;
  found->second.LastUse = ++Clock;
  return &found->second;
}

bool TParseCache::ParseNoted(const std::string& text, TBatch& tree, TFills& fills, TPinned& pinned,
                             size_t& count) {
  std::vector<TToken> tokens = Tokenize(text);
  count = tokens.size();
  std::vector<TLiteralSite> sites;
  tree = ParseTokens(tokens, &sites);
  // A literal whose token cannot be told (a site the tree no longer holds, or
  // a value its token does not give) leaves the batch uncached.
  std::vector<bool> free(tokens.size(), false);
  // Fills and pins name a literal by its place among the literal tokens.
  std::vector<size_t> place(tokens.size(), 0);
  for (size_t i = 0, literals = 0; i < tokens.size(); ++i)
    if (IsLiteralToken(tokens[i])) place[i] = literals++;
  for (const TLiteralSite& s : sites) {
    if (!s.Node || s.Token >= tokens.size() || free[s.Token] || !IsLiteralToken(tokens[s.Token])) return false;
    TExpr check;
    MakeLiteral(check, tokens[s.Token]);
    for (int n = 0; n < s.Negations; ++n) NegateLiteral(check);
    if (!SameLiteral(check, *s.Node)) return false;
    free[s.Token] = true;
    fills.emplace(s.Node, TFill{place[s.Token], s.Negations});
  }
  if (fills.size() != sites.size()) return false;
  for (size_t i = 0; i < tokens.size(); ++i)
    if (IsLiteralToken(tokens[i]) && !free[i]) pinned.emplace_back(place[i], PinText(tokens[i]));
  return true;
}

TParseCache::TEntry& TParseCache::Keep(std::string key, TEntry entry) {
  auto found = Entries.find(key);
  if (found != Entries.end()) {
    Tokens -= found->second.Tokens;
    entry.Uses = found->second.Uses;
    Entries.erase(found);
  }
  while (!Entries.empty() && (Entries.size() >= kMaxEntries || Tokens + entry.Tokens > kMaxTokens)) {
    auto victim = Entries.begin();
    for (auto it = Entries.begin(); it != Entries.end(); ++it)
      if (it->second.Uses < victim->second.Uses ||
          (it->second.Uses == victim->second.Uses && it->second.LastUse < victim->second.LastUse))
        victim = it;
    Tokens -= victim->second.Tokens;
    Entries.erase(victim);
    if (++Evictions % kMaxEntries == 0)
      for (auto& [k, e] : Entries) e.Uses /= 2;
  }
  Tokens += entry.Tokens;
  entry.Uses = std::max<uint64_t>(entry.Uses, 1);
  entry.LastUse = ++Clock;
  return Entries.insert_or_assign(std::move(key), std::move(entry)).first->second;
}

TBatch TParseCache::Parse(const std::string& text) {
  ScanLiterals(text, Shape);
  if (Shape.Tokens > kMaxBatchTokens) return ParseBatch(text);
  std::string& key = Key;  // taken by the entry made, should one be
  ShapeOf(Shape.Literals, text, key);
  bool first = false;
  TEntry* entry = Lookup(key, Shape.Literals, first);
  // The tree keeps positions as token numbers.
  std::vector<TToken> all;
  if (entry && entry->HasTree) {
    Tokenize(text, false, all);
    TCloner c;
    c.MapPos = [&all](int index) { return all[static_cast<size_t>(index)].Pos; };
    c.In = &entry->Fills;
    c.Tokens = &Shape.Literals;
    return c.Batch(entry->Tree);
  }
  // A shape is kept from its second batch on: a batch of its own kind costs
  // no copy of its tree.
  if (first) return ParseBatch(text);

  TBatch tree;
  TFills bySite;
  TPinned pinned;
  size_t count = 0;
  if (!ParseNoted(text, tree, bySite, pinned, count)) return tree;
  // The template: positions as token numbers, each literal noted.
  Tokenize(text, false, all);
  std::vector<int> starts;
  starts.reserve(all.size());
  for (const TToken& t : all) starts.push_back(t.Pos);
  TEntry made;
  TCloner c;
  c.MapPos = [&starts](int pos) {
    return static_cast<int>(std::lower_bound(starts.begin(), starts.end(), pos) - starts.begin());
  };
  c.In = &bySite;
  c.Out = &made.Fills;
  made.Tree = c.Batch(tree);
  if (made.Fills.size() != bySite.size()) return tree;
  made.HasTree = true;
  if (entry) {
    entry->Tree = std::move(made.Tree);
    entry->Fills = std::move(made.Fills);
    entry->HasTree = true;
  } else {
    made.Pinned = std::move(pinned);
    made.Tokens = count;
    Keep(std::move(key), std::move(made));
  }
  return tree;
}

void TParseCache::Clear() {
  Entries.clear();
  Probation = std::vector<std::pair<std::string, TEntry>>();
  ProbationTokens = 0;
  Tokens = 0;
  Scratch = TProgram();
  Shape = TLiteralScan();
  Key = std::string();
  Seen = std::unordered_set<size_t>();
}

}  // namespace ooa::tsql
