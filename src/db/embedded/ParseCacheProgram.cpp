// TParseCache's programs: a batch of a shape that compiled before runs that
// program with its own literals put in, when they make the same program.
#include "db/embedded/ParseCache.h"

#include "db/embedded/Compiler.h"
#include "db/embedded/Parser.h"
#include "db/embedded/SqlType.h"

namespace ooa::tsql {

const TProgram& TParseCache::Compile(const std::string& text, const TCatalog& catalog) {
  std::vector<TToken>& shape = Shape;
  Tokenize(text, false, shape);
  if (shape.size() > kMaxBatchTokens) {
    Scratch = CompileBatch(ParseBatch(text), catalog);
    return Scratch;
  }
  std::string key = ShapeOf(shape, text);
  auto found = Entries.find(key);
  if (found != Entries.end() && found->second.Compiled && Matches(found->second, shape) &&
      Refill(*found->second.Compiled, shape))
    return found->second.Compiled->Program;
  TEntry* entry = nullptr;
  TFills fills;
  TBatch tree = Tree(text, shape, std::move(key), entry, &fills);
  auto compiled = std::make_unique<TCompiled>();
  compiled->Program = CompileBatch(std::move(tree), catalog);
  if (!entry || compiled->Program.HasDdl || !Index(*compiled, fills, shape)) {
    if (entry) entry->Compiled.reset();
    Scratch = std::move(compiled->Program);
    return Scratch;
  }
  entry->Compiled = std::move(compiled);
  return entry->Compiled->Program;
}

namespace {

// Finds the literals of a compiled tree and whether the program depends on
// the length of their type: not where only a literal's value or class counts
// (a comparison's side, a value stored into a column or variable).
struct TLiteralWalk {
  const TParseCache::TFills& Fills;
  std::vector<std::pair<TExpr*, bool>> Found;

  void Expr(TExpr* e, bool typeFree) {
    if (!e) return;
    if (e->Kind == TExprKind::Literal && Fills.count(e)) Found.emplace_back(e, typeFree);
    bool free = e->Kind == TExprKind::Compare || e->Kind == TExprKind::Like || e->Kind == TExprKind::IsNull ||
                e->Kind == TExprKind::Between || e->Kind == TExprKind::InList;
    for (auto& a : e->Args) Expr(a.get(), free);
    Select(e->Sub.get());
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

}  // namespace

bool TParseCache::Index(TCompiled& compiled, const TFills& fills, const std::vector<TToken>& tokens) {
  TLiteralWalk walk{fills, {}};
  for (auto& s : compiled.Program.Ast.Statements) walk.Stmt(s.get());
  if (walk.Found.size() != fills.size()) return false;
  for (auto& [node, typeFree] : walk.Found) {
    if (!compiled.LiteralOf.emplace(node, compiled.Literals.size()).second) return false;
    const TFill& fill = fills.at(node);
    compiled.Literals.push_back({node, fill, typeFree, tokens[fill.Token].Text});
  }
  for (TInstr& in : compiled.Program.Code) {
    if (!in.Sql) continue;
    for (TParamSource& p : in.Sql->Params) {
      if (p.Use < 0) continue;
      auto use = static_cast<size_t>(p.Use);
      auto at = compiled.LiteralOf.find(compiled.Program.LiteralUses[use].Node);
      if (at != compiled.LiteralOf.end()) compiled.Params.push_back({&p, use, at->second});
    }
  }
  return true;
}

bool TParseCache::Refill(TCompiled& compiled, const std::vector<TToken>& tokens) {
  using THow = TLiteralUse::THow;
  // A literal of the same token as the program holds now stays as it is,
  // with everything made from it.
  std::vector<TExpr> fresh(compiled.Literals.size());
  std::vector<bool> changed(compiled.Literals.size(), false);
  for (size_t i = 0; i < compiled.Literals.size(); ++i) {
    const TCompiled::TLiteral& lit = compiled.Literals[i];
    if (tokens[lit.Fill.Token].Text == lit.Text) continue;
    changed[i] = true;
    TExpr& e = fresh[i];
    MakeLiteral(e, tokens[lit.Fill.Token]);
    for (int n = 0; n < lit.Fill.Negations; ++n) NegateLiteral(e);
    e.Type = LiteralType(e);
    const TExpr& old = *lit.Node;
    if (e.Value.Kind != old.Value.Kind || e.IsDate != old.IsDate) return false;
    if (!lit.TypeFree && !SameType(e.Type, old.Type)) return false;
  }
  const auto& uses = compiled.Program.LiteralUses;
  std::vector<TValue> values(uses.size());
  for (size_t k = 0; k < uses.size(); ++k) {
    const TLiteralUse& use = uses[k];
    auto at = compiled.LiteralOf.find(use.Node);
    if (at == compiled.LiteralOf.end() || !changed[at->second]) continue;
    const TExpr& e = fresh[at->second];
    std::string canonical;
    switch (use.How) {
      case THow::Value: values[k] = e.Value; break;
      case THow::OriginalText: values[k] = TValue::MakeText(e.OriginalText); break;
      case THow::DateText:
        if (!ParseDateTimeText(e.Value.Text, canonical)) return false;
        values[k] = TValue::MakeText(std::move(canonical));
        break;
      case THow::NoDateText:
        if (ParseDateTimeText(e.Value.Text, canonical)) return false;
        break;
      case THow::Stored:
      case THow::NotStored: {
        TValue v = e.IsDate && use.Target.IsText() ? TValue::MakeText(e.OriginalText) : e.Value;
        bool stored = true;
        try {
          values[k] = ConvertTo(v, use.Target, TConvertMode::Store, use.TargetName.c_str());
        } catch (const TRuntimeError&) {
          stored = false;
        }
        if (stored != (use.How == THow::Stored)) return false;
        if (stored && values[k].IsNull()) return false;  // written as NULL into the text
        break;
      }
      case THow::Exact:
        if (!SameLiteral(e, *use.Node)) return false;
        break;
    }
  }
  for (size_t i = 0; i < compiled.Literals.size(); ++i) {
    if (!changed[i]) continue;
    compiled.Literals[i].Text = tokens[compiled.Literals[i].Fill.Token].Text;
    TExpr& node = *compiled.Literals[i].Node;
    node.Value = std::move(fresh[i].Value);
    node.IsDate = fresh[i].IsDate;
    node.OriginalText = std::move(fresh[i].OriginalText);
    node.Type = std::move(fresh[i].Type);
  }
  for (const auto& p : compiled.Params)
    if (changed[p.Literal]) p.Param->Value = std::move(values[p.Use]);
  return true;
}

void TParseCache::DropPrograms() {
  for (auto& [key, entry] : Entries) entry.Compiled.reset();
}

}  // namespace ooa::tsql
