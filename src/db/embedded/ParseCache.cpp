// TParseCache's parsed trees: the shape key of a batch, and a copy of an
// earlier tree of that shape with the batch's own literals made again.
#include "db/embedded/ParseCache.h"

#include <cstring>
#include <functional>

#include "db/embedded/Parser.h"

namespace ooa::tsql {

namespace {

using TFill = TParseCache::TFill;
using TFills = TParseCache::TFills;

bool IsLiteralToken(TTok k) { return k == TTok::Integer || k == TTok::Decimal || k == TTok::Float || k == TTok::String; }

void PutInt(std::string& key, size_t v) {
  char b[sizeof(uint32_t)];
  auto u = static_cast<uint32_t>(v);
  std::memcpy(b, &u, sizeof b);
  key.append(b, sizeof b);
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

// The batch as written with each number and text literal replaced by its
// kind and line. The tokenizer reads from a token's start on without looking
// back, so two batches of one shape give the same tokens but for the
// literals' texts. Each piece of text goes with its length, so that no text
// can pass for a literal.
std::string TParseCache::ShapeOf(const std::vector<TToken>& tokens, const std::string& text) {
  std::string key;
  key.reserve(text.size() + 64);
  size_t from = 0;
  for (const TToken& t : tokens) {
    if (!IsLiteralToken(t.Kind)) continue;
    auto pos = static_cast<size_t>(t.Pos);
    PutInt(key, pos - from);
    key.append(text, from, pos - from);
    key += static_cast<char>(t.Kind);
    key += t.Unicode ? 'N' : '\'';
    PutInt(key, static_cast<size_t>(t.Line));
    from = static_cast<size_t>(t.End);
  }
  PutInt(key, text.size() - from);
  key.append(text, from, std::string::npos);
  return key;
}

bool TParseCache::SameLiteral(const TExpr& a, const TExpr& b) {
  return a.Value.Kind == b.Value.Kind && a.Value.Int == b.Value.Int &&
         std::memcmp(&a.Value.Float, &b.Value.Float, sizeof(double)) == 0 && a.Value.Text == b.Value.Text &&
         a.IsDate == b.IsDate && a.OriginalText == b.OriginalText;
}

bool TParseCache::Matches(const TEntry& entry, const std::vector<TToken>& tokens) {
  for (const auto& [index, pinned] : entry.Pinned)
    if (tokens[index].Text != pinned) return false;
  return true;
}

TBatch TParseCache::Parse(const std::string& text) {
  std::vector<TToken>& shape = Shape;
  Tokenize(text, false, shape);
  if (shape.size() > kMaxBatchTokens) return ParseBatch(text);
  TEntry* entry = nullptr;
  return Tree(text, shape, ShapeOf(shape, text), entry, nullptr);
}

TBatch TParseCache::Tree(const std::string& text, const std::vector<TToken>& shape, std::string key, TEntry*& entry,
                         TFills* fills) {
  entry = nullptr;
  auto found = Entries.find(key);
  if (found != Entries.end() && Matches(found->second, shape)) {
    entry = &found->second;
    TCloner c;
    c.MapPos = [&shape](int index) { return shape[static_cast<size_t>(index)].Pos; };
    c.In = &entry->Fills;
    c.Out = fills;
    c.Tokens = &shape;
    return c.Batch(entry->Tree);
  }

  // A shape is kept from its second batch on: a batch of its own kind costs
  // no copy of its tree.
  if (found == Entries.end()) {
    if (Seen.size() >= kMaxSeen) Seen.clear();
    if (Seen.insert(std::hash<std::string>()(key)).second) return ParseBatch(text);
  }
  std::vector<TToken> tokens = Tokenize(text);

  std::vector<int> starts;
  starts.reserve(tokens.size());
  for (const TToken& t : tokens) starts.push_back(t.Pos);
  std::vector<TLiteralSite> sites;
  TBatch tree = ParseTokens(tokens, &sites);

  // The template: positions as token numbers, each literal made from a token
  // noted. A literal whose token cannot be told (a site the tree no longer
  // holds, or a value its token does not give) leaves the batch uncached.
  TFills bySite;
  std::vector<bool> free(tokens.size(), false);
  for (const TLiteralSite& s : sites) {
    if (!s.Node || s.Token >= tokens.size() || free[s.Token]) return tree;
    TExpr check;
    MakeLiteral(check, tokens[s.Token]);
    for (int n = 0; n < s.Negations; ++n) NegateLiteral(check);
    if (!SameLiteral(check, *s.Node)) return tree;
    free[s.Token] = true;
    bySite.emplace(s.Node, TFill{s.Token, s.Negations});
  }
  if (bySite.size() != sites.size()) return tree;
  TEntry made;
  TCloner c;
  c.MapPos = [&starts](int pos) {
    return static_cast<int>(std::lower_bound(starts.begin(), starts.end(), pos) - starts.begin());
  };
  c.In = &bySite;
  c.Out = &made.Fills;
  made.Tree = c.Batch(tree);
  if (made.Fills.size() != sites.size()) return tree;
  for (size_t i = 0; i < tokens.size(); ++i)
    if (IsLiteralToken(tokens[i].Kind) && !free[i]) made.Pinned.emplace_back(i, tokens[i].Text);

  if (Entries.size() >= kMaxEntries || Tokens + tokens.size() > kMaxTokens) Clear();
  Tokens += tokens.size();
  entry = &Entries.insert_or_assign(std::move(key), std::move(made)).first->second;
  if (fills) *fills = std::move(bySite);
  return tree;
}

void TParseCache::Clear() {
  Entries.clear();
  Tokens = 0;
}

}  // namespace ooa::tsql
