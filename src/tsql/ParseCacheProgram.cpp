// TParseCache's programs: a batch of a shape that compiled before runs that
// program with its own literals put in, when they make the same program.
#include <algorithm>
#include <functional>
#include <unordered_set>

#include "tsql/Compiler.h"
#include "tsql/ParseCache.h"
#include "tsql/Parser.h"
#include "tsql/SqlType.h"

namespace ooa::tsql {

const TProgram& TParseCache::Compile(const std::string& text, const TCatalog& catalog) {
  ScanLiterals(text, Shape);
  const std::vector<TToken>& shape = Shape.Literals;
  if (Shape.Tokens > kMaxBatchTokens) {
    ++Fresh;
    Scratch = CompileBatch(ParseBatch(text), catalog);
    return Scratch;
  }
  std::string& key = Key;  // taken by the entry made, should one be
  ShapeOf(shape, text, key);
  bool first = false;
  TEntry* entry = Lookup(key, shape, first);
  if (entry && entry->Compiled && Refill(*entry->Compiled, shape)) return entry->Compiled->Program;
  // The program of a shape's first batch waits on probation: its second
  // batch, should it come soon, takes it into the cache instead of being
  // compiled again.
  if (!entry && !first) {
    auto waiting = std::find_if(Probation.begin(), Probation.end(), [&key](const auto& p) { return p.first == key; });
    if (waiting != Probation.end()) {
      TEntry made = std::move(waiting->second);
      ProbationTokens -= made.Tokens;
      Probation.erase(waiting);
      if (Matches(made, shape) && Refill(*made.Compiled, shape))
        return Keep(std::move(key), std::move(made)).Compiled->Program;
    }
  }
  ++Fresh;
  TBatch tree;
  TFills fills;
  TPinned pinned;
  size_t count = 0;
  const bool noted = ParseNoted(text, tree, fills, pinned, count);
  auto compiled = std::make_unique<TCompiled>();
  compiled->Program = CompileBatch(std::move(tree), catalog);
  if (!noted || compiled->Program.HasDdl || !Index(*compiled, fills, shape)) {
    Scratch = std::move(compiled->Program);
    return Scratch;
  }
  if (first) {
    if (count > kMaxProbationTokens) {
      Scratch = std::move(compiled->Program);
      return Scratch;
    }
    while (!Probation.empty() &&
           (Probation.size() >= kMaxProbation || ProbationTokens + count > kMaxProbationTokens)) {
      ProbationTokens -= Probation.front().second.Tokens;
      Probation.erase(Probation.begin());
    }
    for (auto it = Probation.begin(); it != Probation.end();) {  // seen as first again (Seen forgets)
      if (it->first != key) {
        ++it;
        continue;
      }
      ProbationTokens -= it->second.Tokens;
      it = Probation.erase(it);
    }
    TEntry made;
    made.Pinned = std::move(pinned);
    made.Tokens = count;
    made.Compiled = std::move(compiled);
    ProbationTokens += count;
    Probation.emplace_back(std::move(key), std::move(made));
    return Probation.back().second.Compiled->Program;
  }
  // A program its literals did not fit gives way to this one.
  if (!entry) {
    TEntry made;
    made.Pinned = std::move(pinned);
    made.Tokens = count;
    entry = &Keep(std::move(key), std::move(made));
  }
  entry->Compiled = std::move(compiled);
  return entry->Compiled->Program;
}

bool TParseCache::Holds(const std::string& text) {
  ScanLiterals(text, Shape);
  ShapeOf(Shape.Literals, text, Key);
  auto found = Entries.find(Key);
  return found != Entries.end() && found->second.Compiled && Matches(found->second, Shape.Literals);
}

namespace {

bool IsNumberClass(const TSqlType& t) { return t.IsNumeric(); }

// A sum, difference or product of two numbers, or the sign of one: its type
// is the higher of its operands' and its SQL does not depend on them.
bool IsSum(const TExpr& e) {
  if (e.Kind == TExprKind::Unary) return e.Op == "-" && IsNumberClass(e.Type) && IsNumberClass(e.Args[0]->Type);
  return e.Kind == TExprKind::Binary && (e.Op == "+" || e.Op == "-" || e.Op == "*") && IsNumberClass(e.Type) &&
         IsNumberClass(e.Args[0]->Type) && IsNumberClass(e.Args[1]->Type);
}

// Finds the literals of a compiled tree, whether the program depends on the
// length or wholeness of their type (not where only a literal's value or
// class counts: a comparison's side, a value stored into a column or
// variable), and the sums each is in.
struct TLiteralWalk {
  const TParseCache::TFills& Fills;
  struct TFound {
    TExpr* Node;
    bool TypeFree;
    std::vector<TExpr*> Sums;
  };
  std::vector<TFound> Found;
  std::vector<TExpr*> Above;  // the expressions around the one at hand, outer first
  std::vector<std::pair<int, TExpr*>> SumDepths;

  void Expr(TExpr* e, bool typeFree) {
    if (!e) return;
    if (e->Kind == TExprKind::Literal && Fills.count(e)) {
      TFound f{e, typeFree, {}};
      for (auto it = Above.rbegin(); it != Above.rend() && IsSum(**it); ++it) {
        f.Sums.push_back(*it);
        SumDepths.emplace_back(static_cast<int>(Above.rend() - it), *it);
      }
      Found.push_back(std::move(f));
    }
    bool free = e->Kind == TExprKind::Compare || e->Kind == TExprKind::Like || e->Kind == TExprKind::IsNull ||
                e->Kind == TExprKind::Between || e->Kind == TExprKind::InList;
    Above.push_back(e);
    for (auto& a : e->Args) Expr(a.get(), free);
    Above.pop_back();
    std::vector<TExpr*> outer;
    outer.swap(Above);
    Select(e->Sub.get());
    Above.swap(outer);
  }
  void Select(TSelect* q) {
    if (!q) return;
    Expr(q->Top.get(), false);
    for (auto& item : q->Items) Expr(item.Expr.get(), false);
    for (auto& from : q->From) {
      Select(from.First.Derived.get());
      for (auto& join : from.Joins) {
        Select(join.Source.Derived.get());
        Expr(join.On.get(), false);
      }
    }
    Expr(q->Where.get(), false);
    for (auto& g : q->GroupBy) Expr(g.get(), false);
    Expr(q->Having.get(), false);
    for (auto& o : q->OrderBy) Expr(o.Expr.get(), false);
  }
  void Stmt(TStmt* s) {
    if (!s) return;
    Select(s->Query.get());
    for (auto& row : s->Rows)
      for (auto& v : row) Expr(v.get(), true);
    for (auto& set : s->Sets) Expr(set.Expr.get(), true);
    Expr(s->Where.get(), false);
    for (auto& d : s->Declares) Expr(d.Init.get(), true);
    Expr(s->Cond.get(), s->Kind == TStmtKind::Set);
    Stmt(s->Then.get());
    Stmt(s->Else.get());
    for (auto& b : s->Body) Stmt(b.get());
    for (auto& c : s->ColumnDefs) Expr(c.Default.get(), false);
  }
};

bool SameType(const TSqlType& a, const TSqlType& b) {
  return a.Class == b.Class && a.Length == b.Length && a.Scale == b.Scale && a.Name == b.Name;
}

bool IsTextOrNull(const TValue& v) { return v.Kind == TValue::TKind::Text || v.IsNull(); }

}  // namespace

bool TParseCache::Index(TCompiled& compiled, const TFills& fills, const std::vector<TToken>& literals) {
  TLiteralWalk walk{fills, {}, {}, {}};
  for (auto& s : compiled.Program.Ast.Statements) walk.Stmt(s.get());
  if (walk.Found.size() != fills.size()) return false;
  std::unordered_map<const TExpr*, size_t> literalOf;
  for (auto& found : walk.Found) {
    if (!literalOf.emplace(found.Node, compiled.Literals.size()).second) return false;
    const TFill& fill = fills.at(found.Node);
    compiled.Literals.push_back({found.Node, fill, found.TypeFree, true, std::move(found.Sums),
                                 literals[fill.Token].Text, found.Node->Value.Kind, found.Node->IsDate,
                                 found.Node->Type});
  }
  std::sort(walk.SumDepths.begin(), walk.SumDepths.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first > b.first : std::less<const TExpr*>()(a.second, b.second);
  });
  walk.SumDepths.erase(std::unique(walk.SumDepths.begin(), walk.SumDepths.end()), walk.SumDepths.end());
  compiled.SumsByDepth = std::move(walk.SumDepths);
  const auto& uses = compiled.Program.LiteralUses;
  compiled.UseLiteral.assign(uses.size(), kNone);
  for (size_t k = 0; k < uses.size(); ++k) {
    auto at = literalOf.find(uses[k].Node);
    if (at == literalOf.end()) continue;
    compiled.UseLiteral[k] = at->second;
    if (uses[k].How != TLiteralUse::THow::Stored && uses[k].How != TLiteralUse::THow::NotStored)
      compiled.Literals[at->second].StoredOnly = false;
  }
  for (TInstr& in : compiled.Program.Code) {
    if (!in.Sql) continue;
    for (TParamSource& p : in.Sql->Params) {
      if (p.Use < 0) continue;
      auto use = static_cast<size_t>(p.Use);
      if (compiled.UseLiteral[use] != kNone) compiled.Params.push_back({&p, use, compiled.UseLiteral[use]});
    }
  }
  compiled.FreshOf.assign(compiled.Literals.size(), -1);
  compiled.Values.resize(uses.size());
  return true;
}

bool TParseCache::Refill(TCompiled& compiled, const std::vector<TToken>& literals) {
  using THow = TLiteralUse::THow;
  // A literal of the same token as the program holds now stays as it is,
  // with everything made from it.
  std::vector<size_t>& changed = compiled.Changed;
  changed.clear();
  for (size_t i = 0; i < compiled.Literals.size(); ++i)
    if (literals[compiled.Literals[i].Fill.Token].Text != compiled.Literals[i].Text) changed.push_back(i);
  if (changed.empty()) return true;
  if (compiled.Fresh.size() < changed.size()) compiled.Fresh.resize(changed.size());
  std::vector<int>& freshOf = compiled.FreshOf;
  struct TForget {  // FreshOf back to -1 whatever the outcome
    std::vector<int>& FreshOf;
    const std::vector<size_t>& Changed;
    ~TForget() {
      for (size_t i : Changed) FreshOf[i] = -1;
    }
  } forget{freshOf, changed};

  std::vector<size_t> wholeness;  // numbers now whole where they were not, or the other way round
  for (size_t f = 0; f < changed.size(); ++f) {
    const size_t i = changed[f];
    freshOf[i] = static_cast<int>(f);
    const TCompiled::TLiteral& lit = compiled.Literals[i];
    __builtin_prefetch(lit.Node, 1);  // written below, once every check has passed
    TExpr& e = compiled.Fresh[f];
    e.IsDate = false;
    e.OriginalText.clear();
    MakeLiteral(e, literals[lit.Fill.Token]);
    for (int n = 0; n < lit.Fill.Negations; ++n) NegateLiteral(e);
    e.Type = LiteralType(e);
    if (e.IsDate != lit.IsDate) return false;
    TValue old;
    old.Kind = lit.Kind;
    if (e.Value.Kind == lit.Kind) {
      if (!lit.TypeFree && !SameType(e.Type, lit.Type)) return false;
    } else if (e.Value.IsNumber() && old.IsNumber()) {
      if (!lit.TypeFree) wholeness.push_back(i);
    } else if (IsTextOrNull(e.Value) && IsTextOrNull(old)) {
      // NULL for a text (or the other way round) only where it is stored.
      if (!lit.TypeFree || !lit.StoredOnly) return false;
    } else {
      return false;
    }
  }
  // A number that changed between whole and not changes the types of the
  // sums it is in; the program stays the same where a sum further out keeps
  // its type (the stock deduction "StockQty1-(2 * 1)" is a float either way).
  std::unordered_map<const TExpr*, TSqlType> retyped;
  if (!wholeness.empty()) {
    for (size_t i : wholeness) retyped[compiled.Literals[i].Node] = compiled.Fresh[static_cast<size_t>(freshOf[i])].Type;
    auto typeOf = [&retyped](const TExpr* e) -> const TSqlType& {
      auto it = retyped.find(e);
      return it == retyped.end() ? e->Type : it->second;
    };
    std::unordered_set<const TExpr*> affected;
    for (size_t i : wholeness)
      for (const TExpr* sum : compiled.Literals[i].Sums) affected.insert(sum);
    for (const auto& [depth, sum] : compiled.SumsByDepth) {
      if (!affected.count(sum)) continue;
      const TSqlType& a = typeOf(sum->Args[0].get());
      TSqlType t = sum->Kind == TExprKind::Unary ? a : ArithmeticType(a, typeOf(sum->Args[1].get()));
      if (!SameType(t, sum->Type)) retyped[sum] = std::move(t);
    }
    for (size_t i : wholeness) {
      const auto& sums = compiled.Literals[i].Sums;
      if (std::none_of(sums.begin(), sums.end(), [&](const TExpr* s) { return !retyped.count(s); })) return false;
    }
  }
  const auto& uses = compiled.Program.LiteralUses;
  std::vector<TValue>& values = compiled.Values;
  for (size_t k = 0; k < uses.size(); ++k) {
    const size_t lit = compiled.UseLiteral[k];
    if (lit == kNone || freshOf[lit] < 0) continue;
    const TLiteralUse& use = uses[k];
    const TExpr& e = compiled.Fresh[static_cast<size_t>(freshOf[lit])];
    switch (use.How) {
      case THow::Value: values[k] = e.Value; break;
      case THow::OriginalText: values[k] = TValue::MakeText(e.OriginalText); break;
      case THow::DateText: {
        std::string canonical;
        if (!ParseDateTimeText(e.Value.Text, canonical)) return false;
        values[k] = TValue::MakeText(std::move(canonical));
        break;
      }
      case THow::NoDateText: {
        std::string canonical;
        if (ParseDateTimeText(e.Value.Text, canonical)) return false;
        break;
      }
      case THow::Stored:
      case THow::NotStored: {
        // The value as the batch gives it; a date written as text is stored
        // into a text column as written.
        TValue asWritten;
        const TValue* v = &e.Value;
        if (e.IsDate && use.Target.IsText()) {
          asWritten = TValue::MakeText(e.OriginalText);
          v = &asWritten;
        }
        bool stored = true;
        try {
          if (v->IsNull()) values[k] = TValue();
          else values[k] = ConvertTo(*v, use.Target, TConvertMode::Store, use.TargetName.c_str());
        } catch (const TRuntimeError&) {
          stored = false;
        }
        if (stored != (use.How == THow::Stored)) return false;
        break;
      }
      case THow::Exact:
        if (!SameLiteral(e, *use.Node)) return false;
        break;
    }
  }
  for (size_t f = 0; f < changed.size(); ++f) {
    TCompiled::TLiteral& lit = compiled.Literals[changed[f]];
    lit.Text = literals[lit.Fill.Token].Text;
    TExpr& node = *lit.Node;
    TExpr& e = compiled.Fresh[f];
    lit.Kind = e.Value.Kind;
    lit.IsDate = e.IsDate;
    std::swap(node.Value, e.Value);
    node.IsDate = e.IsDate;
    if (!node.OriginalText.empty() || !e.OriginalText.empty()) std::swap(node.OriginalText, e.OriginalText);
    // The node's type is the one noted for it (a number keeps its type).
    if (!SameType(lit.Type, e.Type)) {
      lit.Type = e.Type;
      std::swap(node.Type, e.Type);
    }
  }
  for (auto& [node, type] : retyped) const_cast<TExpr*>(node)->Type = std::move(type);
  for (const auto& p : compiled.Params)
    if (freshOf[p.Literal] >= 0) std::swap(p.Param->Value, values[p.Use]);
  return true;
}

void TParseCache::DropPrograms() {
  Probation.clear();
  ProbationTokens = 0;
  for (auto it = Entries.begin(); it != Entries.end();) {
    it->second.Compiled.reset();
    if (it->second.HasTree) {
      ++it;
    } else {
      Tokens -= it->second.Tokens;
      it = Entries.erase(it);
    }
  }
}

}  // namespace ooa::tsql
