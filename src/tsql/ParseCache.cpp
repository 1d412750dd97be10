// TParseCache's parsed trees: the shape key of a batch, and a copy of an
// earlier tree of that shape with the batch's own literals made again.
#include "tsql/ParseCache.h"

#include <algorithm>
#include <cstring>
#include <functional>

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
    e->Kind = t.Kind;
    e->Op = t.Op;
    e->Name = t.Name;
    e->Qualifier = t.Qualifier;
    e->Value = t.Value;
    e->IsDate = t.IsDate;
    e->OriginalText = t.OriginalText;
    e->Negated = t.Negated;
    e->Distinct = t.Distinct;
    e->StarArg = t.StarArg;
    e->HasOperand = t.HasOperand;
    e->HasElse = t.HasElse;
    e->CastType = t.CastType;
    e->Args.reserve(t.Args.size());
    for (const auto& a : t.Args) e->Args.push_back(Expr(*a));
    e->Sub = Select(t.Sub);
    e->Pos = MapPos(t.Pos);
    e->Type = t.Type;
    e->Slot = t.Slot;
    e->Fn = t.Fn;
    e->Simple = t.Simple;
    e->BaseColumn = t.BaseColumn;
    e->AliasRef = t.AliasRef;
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
    s.Name = t.Name;
    s.Alias = t.Alias;
    s.Derived = Select(t.Derived);
    s.Pos = MapPos(t.Pos);
    return s;
  }

  std::unique_ptr<TSelect> Select(const std::unique_ptr<TSelect>& p) {
    if (!p) return nullptr;
    const TSelect& t = *p;
    auto q = std::make_unique<TSelect>();
    q->Distinct = t.Distinct;
    q->Top = Expr(t.Top);
    for (const auto& item : t.Items) {
      TSelectItem i;
      i.Expr = Expr(item.Expr);
      i.Alias = item.Alias;
      i.AssignVar = item.AssignVar;
      i.AssignSlot = item.AssignSlot;
      q->Items.push_back(std::move(i));
    }
    for (const auto& from : t.From) {
      TFromItem f;
      f.First = Source(from.First);
      for (const auto& join : from.Joins) {
        TJoin j;
        j.Kind = join.Kind;
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
      i.Expr = Expr(o.Expr);
      i.Desc = o.Desc;
      q->OrderBy.push_back(std::move(i));
    }
    q->Pos = MapPos(t.Pos);
    return q;
  }

  TStmtPtr Stmt(const TStmtPtr& p) {
    if (!p) return nullptr;
    const TStmt& t = *p;
    auto s = std::make_unique<TStmt>();
    s->Kind = t.Kind;
    s->Pos = MapPos(t.Pos);
    s->Line = t.Line;
    s->Query = Select(t.Query);
    s->Table = t.Table;
    s->Name = t.Name;
    s->Columns = t.Columns;
    s->Rows.reserve(t.Rows.size());
    for (const auto& row : t.Rows) s->Rows.push_back(Exprs(row));
    s->DefaultValues = t.DefaultValues;
    for (const auto& set : t.Sets) {
      TSetItem i;
      i.Target = set.Target;
      i.Expr = Expr(set.Expr);
      s->Sets.push_back(std::move(i));
    }
    s->ReturnVar = t.ReturnVar;
    s->Where = Expr(t.Where);
    for (const auto& d : t.Declares) {
      TDeclareItem i;
      i.Name = d.Name;
      i.Type = d.Type;
      i.Init = Expr(d.Init);
      i.Slot = d.Slot;
      s->Declares.push_back(std::move(i));
    }
    s->Cond = Expr(t.Cond);
    s->Then = Stmt(t.Then);
    s->Else = Stmt(t.Else);
    s->Body.reserve(t.Body.size());
    for (const auto& b : t.Body) s->Body.push_back(Stmt(b));
    for (const auto& c : t.ColumnDefs) {
      TColumnDef d;
      d.Name = c.Name;
      d.Type = c.Type;
      d.NotNull = c.NotNull;
      d.PrimaryKey = c.PrimaryKey;
      d.Unique = c.Unique;
      d.Identity = c.Identity;
      d.Default = Expr(c.Default);
      s->ColumnDefs.push_back(std::move(d));
    }
    s->PrimaryKey = t.PrimaryKey;
    s->UniqueKeys = t.UniqueKeys;
    s->Unique = t.Unique;
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
