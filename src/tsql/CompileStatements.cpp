#include <cstdio>

#include "db/session/DbSession.h"
#include "tsql/Compiler.h"
#include "tsql/Procedures.h"

namespace ooa::tsql {

void TSqlWriter::Name(const std::string& name) {
  Sql += '"';
  for (char c : name) {
    if (c == '"') Sql += '"';
    Sql += c;
  }
  Sql += '"';
}

void TSqlWriter::Variable(int slot) {
  auto it = VarParam.find(slot);
  int n;
  if (it == VarParam.end()) {
    TParamSource p;
    p.Slot = slot;
    Params.push_back(std::move(p));
    n = static_cast<int>(Params.size());
    VarParam[slot] = n;
  } else {
    n = it->second;
  }
  Sql += '?';
  Sql += std::to_string(n);
}

void TSqlWriter::Literal(const TValue& v) {
  if (v.IsNull()) {
    Sql += "NULL";
    return;
  }
  if (Inline) {
    switch (v.Kind) {
      case TValue::TKind::Int: Sql += std::to_string(v.Int); break;
      case TValue::TKind::Float: {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", v.Float);
        Sql += buf;
        break;
      }
      default: {
        Sql += '\'';
        for (char c : v.Text) {
          if (c == '\'') Sql += '\'';
          Sql += c;
        }
        Sql += '\'';
      }
    }
    return;
  }
  TParamSource p;
  p.Value = v;
  Params.push_back(std::move(p));
  Sql += '?';
  Sql += std::to_string(Params.size());
}

void TSqlWriter::Param(TValue v) {
  if (Inline) {
    Literal(v);
    return;
  }
  TParamSource p;
  p.Value = std::move(v);
  Params.push_back(std::move(p));
  Sql += '?';
  Sql += std::to_string(Params.size());
}

TProgram CompileBatch(TBatch batch, const TCatalog& catalog) {
  TCompiler c(catalog);
  return c.Compile(std::move(batch));
}

TProgram TCompiler::Compile(TBatch batch) {
  Prog.Ast = std::move(batch);
  static const char* const kSpecial[] = {"@@error", "@@rowcount", "@@trancount", "@@identity"};
  for (const char* n : kSpecial) DeclareVariable(n, TSqlType::Of(TTypeClass::Int));
  for (auto& s : Prog.Ast.Statements) Stmt(*s);
  for (auto& [instr, label] : Gotos) {
    auto it = Labels.find(AsciiLower(label));
    if (it == Labels.end())
      throw TDbError("A GOTO statement references the label '" + label + "' but the label has not been declared.");
    Prog.Code[static_cast<size_t>(instr)].Target = it->second;
  }
  return std::move(Prog);
}

int TCompiler::Emit(TOp op, int line) {
  TInstr i;
  i.Op = op;
  i.Line = line;
  Prog.Code.push_back(std::move(i));
  return static_cast<int>(Prog.Code.size()) - 1;
}

int TCompiler::DeclareVariable(const std::string& name, const TSqlType& type) {
  std::string key = AsciiLower(name);
  if (Vars.count(key))
    throw TDbError("The variable name '" + name + "' has already been declared. Variable names must be unique within a batch.");
  int slot = static_cast<int>(Prog.Vars.size());
  Prog.Vars.push_back(TVariable{name, type});
  Vars[key] = slot;
  return slot;
}

int TCompiler::SlotOf(const std::string& name, int) {
  auto it = Vars.find(AsciiLower(name));
  if (it == Vars.end()) throw TDbError("Must declare the scalar variable \"" + name + "\".");
  return it->second;
}

void TCompiler::Stmt(TStmt& s) {
  Line = s.Line;
  switch (s.Kind) {
    case TStmtKind::Select: SelectStmt(s); break;
    case TStmtKind::Insert: InsertStmt(s); break;
    case TStmtKind::Update: UpdateStmt(s); break;
    case TStmtKind::Delete: DeleteStmt(s); break;
    case TStmtKind::Declare: {
      std::vector<std::pair<int, TExpr*>> inits;
      for (auto& d : s.Declares) {
        // The initial value may not see the variable itself.
        if (d.Init) Resolve(*d.Init, nullptr);
        d.Slot = DeclareVariable(d.Name, d.Type);
        if (d.Init) inits.emplace_back(d.Slot, d.Init.get());
      }
      if (!inits.empty()) AssignStmt(s, inits);
      break;
    }
    case TStmtKind::Set: {
      int slot = SlotOf(s.Name, s.Pos);
      if (slot < kFirstUserSlot) throw TDbError("Incorrect syntax near '" + s.Name + "'.");
      Resolve(*s.Cond, nullptr);
      AssignStmt(s, {{slot, s.Cond.get()}});
      break;
    }
    case TStmtKind::If: IfStmt(s); break;
    case TStmtKind::While: WhileStmt(s); break;
    case TStmtKind::Block:
      for (auto& b : s.Body) Stmt(*b);
      break;
    case TStmtKind::Goto: {
      int i = Emit(TOp::Jump, s.Line);
      Gotos.emplace_back(i, s.Name);
      break;
    }
    case TStmtKind::Label: {
      std::string key = AsciiLower(s.Name);
      if (Labels.count(key)) throw TDbError("The label '" + s.Name + "' has already been declared. Label names must be unique within a query batch.");
      Labels[key] = static_cast<int>(Prog.Code.size());
      break;
    }
    case TStmtKind::Break:
    case TStmtKind::Continue: {
      if (Loops.empty()) throw TDbError("Break and Continue must be inside a While loop.");
      int i = Emit(TOp::Jump, s.Line);
      if (s.Kind == TStmtKind::Break) Loops.back().Breaks.push_back(i);
      else Prog.Code[static_cast<size_t>(i)].Target = Loops.back().Start;
      break;
    }
    case TStmtKind::Return: Emit(TOp::Return, s.Line); break;
    case TStmtKind::BeginTran: Emit(TOp::BeginTran, s.Line); break;
    case TStmtKind::CommitTran: Emit(TOp::CommitTran, s.Line); break;
    case TStmtKind::RollbackTran: Emit(TOp::RollbackTran, s.Line); break;
    case TStmtKind::CreateTable: CreateTableStmt(s); break;
    case TStmtKind::CreateIndex: CreateIndexStmt(s); break;
    case TStmtKind::DropTable:
    case TStmtKind::DropIndex: DropStmt(s); break;
    case TStmtKind::AlterAdd: AlterAddStmt(s); break;
    case TStmtKind::Print:
      Resolve(*s.Cond, nullptr);
      break;
    case TStmtKind::Exec: ExecStmt(s); break;
    case TStmtKind::Nop: break;
  }
}

void TCompiler::AssignStmt(TStmt& s, const std::vector<std::pair<int, TExpr*>>& assigns) {
  bool simple = true;
  for (auto& a : assigns) simple = simple && a.second->Simple;
  if (simple) {
    int i = Emit(TOp::EvalAssign, s.Line);
    for (auto& a : assigns) Prog.Code[static_cast<size_t>(i)].Assigns.emplace_back(a.first, a.second);
    return;
  }
  auto step = std::make_unique<TSqlStep>();
  TSqlWriter w;
  w.Text("SELECT ");
  for (size_t k = 0; k < assigns.size(); ++k) {
    if (k) w.Text(", ");
    EmitExpr(*assigns[k].second, w);
    step->AssignSlots.push_back(assigns[k].first);
  }
  step->Sql = std::move(w.Sql);
  step->Params = std::move(w.Params);
  int i = Emit(TOp::QueryAssign, s.Line);
  Prog.Code[static_cast<size_t>(i)].Sql = std::move(step);
}

void TCompiler::SelectStmt(TStmt& s) {
  TSelect& q = *s.Query;
  bool anyAssign = false, allAssign = true;
  for (auto& item : q.Items) {
    if (item.AssignVar.empty()) allAssign = false;
    else anyAssign = true;
  }
  if (anyAssign && !allAssign)
    throw TDbError("A SELECT statement that assigns a value to a variable must not be combined with data-retrieval operations.");
  for (auto& item : q.Items)
    if (!item.AssignVar.empty()) item.AssignSlot = SlotOf(item.AssignVar, q.Pos);
  std::vector<TOutColumn> out;
  ResolveSelect(q, nullptr, out);
  bool simple = q.From.empty() && !q.Where && q.GroupBy.empty() && !q.Having && !q.Top;
  for (auto& item : q.Items) simple = simple && item.Expr->Simple;
  if (simple) {
    if (anyAssign) {
      int i = Emit(TOp::EvalAssign, s.Line);
      for (auto& item : q.Items) Prog.Code[static_cast<size_t>(i)].Assigns.emplace_back(item.AssignSlot, item.Expr.get());
    } else {
      int i = Emit(TOp::EvalResult, s.Line);
      for (auto& item : q.Items) Prog.Code[static_cast<size_t>(i)].Exprs.push_back(item.Expr.get());
      Prog.Code[static_cast<size_t>(i)].Columns = out;
    }
    return;
  }
  auto step = std::make_unique<TSqlStep>();
  TSqlWriter w;
  EmitSelect(q, w);
  step->Sql = std::move(w.Sql);
  step->Params = std::move(w.Params);
  if (anyAssign) {
    for (auto& item : q.Items) step->AssignSlots.push_back(item.AssignSlot);
  } else {
    step->Columns = std::move(out);
  }
  int i = Emit(anyAssign ? TOp::QueryAssign : TOp::Query, s.Line);
  Prog.Code[static_cast<size_t>(i)].Sql = std::move(step);
}

void TCompiler::IfStmt(TStmt& s) {
  Resolve(*s.Cond, nullptr);
  int jump = Emit(TOp::JumpIfFalse, s.Line);
  if (s.Cond->Simple) {
    Prog.Code[static_cast<size_t>(jump)].Cond = s.Cond.get();
  } else {
    auto step = std::make_unique<TSqlStep>();
    TSqlWriter w;
    w.Text("SELECT CASE WHEN ");
    EmitExpr(*s.Cond, w);
    w.Text(" THEN 1 ELSE 0 END");
    step->Sql = std::move(w.Sql);
    step->Params = std::move(w.Params);
    Prog.Code[static_cast<size_t>(jump)].Sql = std::move(step);
  }
  Stmt(*s.Then);
  if (s.Else) {
    int skip = Emit(TOp::Jump, s.Line);
    Prog.Code[static_cast<size_t>(jump)].Target = static_cast<int>(Prog.Code.size());
    Stmt(*s.Else);
    Prog.Code[static_cast<size_t>(skip)].Target = static_cast<int>(Prog.Code.size());
  } else {
    Prog.Code[static_cast<size_t>(jump)].Target = static_cast<int>(Prog.Code.size());
  }
}

void TCompiler::WhileStmt(TStmt& s) {
  int start = static_cast<int>(Prog.Code.size());
  Loops.push_back(TLoop{start, {}});
  Resolve(*s.Cond, nullptr);
  int jump = Emit(TOp::JumpIfFalse, s.Line);
  if (s.Cond->Simple) {
    Prog.Code[static_cast<size_t>(jump)].Cond = s.Cond.get();
  } else {
    auto step = std::make_unique<TSqlStep>();
    TSqlWriter w;
    w.Text("SELECT CASE WHEN ");
    EmitExpr(*s.Cond, w);
    w.Text(" THEN 1 ELSE 0 END");
    step->Sql = std::move(w.Sql);
    step->Params = std::move(w.Params);
    Prog.Code[static_cast<size_t>(jump)].Sql = std::move(step);
  }
  Stmt(*s.Then);
  int back = Emit(TOp::Jump, s.Line);
  Prog.Code[static_cast<size_t>(back)].Target = start;
  int end = static_cast<int>(Prog.Code.size());
  Prog.Code[static_cast<size_t>(jump)].Target = end;
  for (int b : Loops.back().Breaks) Prog.Code[static_cast<size_t>(b)].Target = end;
  Loops.pop_back();
}

// The arguments go to the procedure's parameters by name or by position; each
// is a value the engine evaluates (a literal or a variable).
void TCompiler::ExecStmt(TStmt& s) {
  const TProcedure* proc = FindProcedure(AsciiLower(s.Name));
  if (!proc) throw TDbError("Could not find stored procedure '" + s.Name + "'.");
  const std::string name = proc->Name;
  std::vector<const TExpr*> args(proc->Params.size(), nullptr);
  std::vector<bool> given(proc->Params.size(), false);
  for (size_t k = 0; k < s.Sets.size(); ++k) {
    TSetItem& arg = s.Sets[k];
    size_t at = k;
    if (!arg.Target.empty()) {
      int p = ParamIndex(*proc, AsciiLower(arg.Target));
      if (p < 0) throw TDbError(arg.Target + " is not a parameter for procedure " + name + ".");
      at = static_cast<size_t>(p);
      if (given[at]) throw TDbError("Parameter '" + arg.Target + "' was supplied multiple times.");
    } else if (at >= args.size()) {
      throw TDbError("Procedure or function " + name + " has too many arguments specified.");
    }
    given[at] = true;
    if (!arg.Expr) continue;
    Resolve(*arg.Expr, nullptr);
    if (!arg.Expr->Simple) throw TDbError("The arguments of " + name + " must be values or variables.");
    args[at] = arg.Expr.get();
  }
  for (size_t p = 0; p < proc->Required; ++p)
    if (!args[p])
      throw TDbError("Procedure or function '" + name + "' expects parameter '" + proc->Params[p] +
                     "', which was not supplied.");
  int slot = -1;
  if (!s.ReturnVar.empty()) {
    slot = SlotOf(s.ReturnVar, s.Pos);
    if (slot < kFirstUserSlot) throw TDbError("Incorrect syntax near '" + s.ReturnVar + "'.");
  }
  TInstr& in = Prog.Code[static_cast<size_t>(Emit(TOp::CallProc, s.Line))];
  in.Proc = proc;
  in.Exprs = std::move(args);
  in.ResultSlot = slot;
}

}  // namespace ooa::tsql
