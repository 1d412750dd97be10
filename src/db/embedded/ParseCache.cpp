#include "db/embedded/ParseCache.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "db/embedded/Parser.h"

namespace ooa::tsql {

namespace {

using TFill = TParseCache::TFill;
using TFills = std::unordered_map<const TExpr*, TFill>;

bool IsLiteralToken(TTok k) { return k == TTok::Integer || k == TTok::Decimal || k == TTok::Float || k == TTok::String; }

void PutInt(std::string& key, size_t v) {
  char b[sizeof(uint32_t)];
  auto u = static_cast<uint32_t>(v);
  std::memcpy(b, &u, sizeof b);
  key.append(b, sizeof b);
}

// Every token with its kind and line; the text of all but the literals.
std::string ShapeOf(const std::vector<TToken>& tokens, size_t textSize) {
  std::string key;
  key.reserve(textSize + tokens.size() * 2);
  int line = 1;
  for (const TToken& t : tokens) {
    key += static_cast<char>(t.Kind);
    if (t.Line != line) {
      key += '\n';
      PutInt(key, static_cast<size_t>(t.Line));
      line = t.Line;
    }
    if (IsLiteralToken(t.Kind)) {
      key += t.Unicode ? 'N' : '\'';
    } else {
      PutInt(key, t.Text.size());
      key += t.Text;
    }
  }
  return key;
}

bool SameLiteral(const TExpr& a, const TExpr& b) {
  return a.Value.Kind == b.Value.Kind && a.Value.Int == b.Value.Int &&
         std::memcmp(&a.Value.Float, &b.Value.Float, sizeof(double)) == 0 && a.Value.Text == b.Value.Text &&
         a.IsDate == b.IsDate && a.OriginalText == b.OriginalText;
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

TBatch TParseCache::Parse(const std::string& text) {
  std::vector<TToken> tokens = Tokenize(text);
  if (tokens.size() > kMaxBatchTokens) return ParseTokens(std::move(tokens), nullptr);
  std::string key = ShapeOf(tokens, text.size());
  auto found = Entries.find(key);
  if (found != Entries.end()) {
    const TEntry& entry = found->second;
    bool same = true;
    for (const auto& [index, pinned] : entry.Pinned) same = same && tokens[index].Text == pinned;
    if (same) {
      TCloner c;
      c.MapPos = [&tokens](int index) { return tokens[static_cast<size_t>(index)].Pos; };
      c.In = &entry.Fills;
      c.Tokens = &tokens;
      return c.Batch(entry.Tree);
    }
  }

  std::vector<int> starts;
  starts.reserve(tokens.size());
  for (const TToken& t : tokens) starts.push_back(t.Pos);
  std::vector<TLiteralSite> sites;
  std::vector<TToken> kept = tokens;
  TBatch tree = ParseTokens(std::move(tokens), &sites);

  // The template: positions as token numbers, each literal made from a token
  // noted. A literal whose token cannot be told (a site the tree no longer
  // holds, or a value its token does not give) leaves the batch uncached.
  TFills bySite;
  std::vector<bool> free(kept.size(), false);
  for (const TLiteralSite& s : sites) {
    if (!s.Node || s.Token >= kept.size() || free[s.Token]) return tree;
    TExpr check;
    MakeLiteral(check, kept[s.Token]);
    for (int n = 0; n < s.Negations; ++n) NegateLiteral(check);
    if (!SameLiteral(check, *s.Node)) return tree;
    free[s.Token] = true;
    bySite.emplace(s.Node, TFill{s.Token, s.Negations});
  }
  if (bySite.size() != sites.size()) return tree;
  TEntry entry;
  TCloner c;
  c.MapPos = [&starts](int pos) {
    return static_cast<int>(std::lower_bound(starts.begin(), starts.end(), pos) - starts.begin());
  };
  c.In = &bySite;
  c.Out = &entry.Fills;
  entry.Tree = c.Batch(tree);
  if (entry.Fills.size() != sites.size()) return tree;
  for (size_t i = 0; i < kept.size(); ++i)
    if (IsLiteralToken(kept[i].Kind) && !free[i]) entry.Pinned.emplace_back(i, kept[i].Text);

  if (Entries.size() >= kMaxEntries || Tokens + kept.size() > kMaxTokens) Clear();
  Tokens += kept.size();
  Entries.insert_or_assign(std::move(key), std::move(entry));
  return tree;
}

void TParseCache::Clear() {
  Entries.clear();
  Tokens = 0;
}

}  // namespace ooa::tsql
