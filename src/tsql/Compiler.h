// TCompiler: checks a parsed batch against the catalog (every table, column and
// variable must exist, labels must be declared, Insert lists must match) and
// turns it into a TProgram: SQLite text for the data statements, engine
// instructions for control flow and variables. Nothing runs while compiling;
// any problem throws TDbError naming it. One batch, one thread; methods are
// spread over Compile*.cpp and Emit*.cpp by topic.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tsql/Catalog.h"
#include "tsql/Program.h"

namespace ooa::tsql {

TProgram CompileBatch(TBatch batch, const TCatalog& catalog);

// The type a literal expression has.
TSqlType LiteralType(const TExpr& e);

// Builds the SQLite text of one statement with its parameters.
struct TSqlWriter {
  std::string Sql;
  std::vector<TParamSource> Params;
  std::map<int, int> VarParam;  // slot -> parameter number
  bool Inline = false;          // DDL: literals written into the text

  void Text(const char* s) { Sql += s; }
  void Text(const std::string& s) { Sql += s; }
  void Name(const std::string& name);  // "quoted"
  void Variable(int slot);
  // A value: a parameter, or written into the text when Inline or NULL.
  void Literal(const TValue& v);
  // A value as a parameter, NULL too (written into the text when Inline).
  void Param(TValue v);
};

// The type of arithmetic on a and b that are no texts or date-times: the
// higher of two number types (int for bit); float when one is a float and the
// other of no number type; unknown otherwise.
TSqlType ArithmeticType(const TSqlType& a, const TSqlType& b);

class TCompiler {
 public:
  explicit TCompiler(const TCatalog& catalog) : Catalog(catalog) {}
  TProgram Compile(TBatch batch);

  struct TSource {
    std::string Exposed;       // alias, or the table name
    std::string Table;         // base table, empty for a derived table
    const std::vector<TColumnInfo>* Cols = nullptr;  // the catalog's, or Own for a derived table
    std::vector<TColumnInfo> Own;
    const std::vector<TColumnInfo>& Columns() const { return Cols ? *Cols : Own; }
  };
  struct TScope {
    std::vector<TSource> Sources;
    const TScope* Outer = nullptr;
    const std::vector<TSelectItem>* Items = nullptr;  // ORDER BY may name their aliases
    bool AllowAggregates = false;
  };

 private:
  // Statements (CompileStatements.cpp).
  void Stmt(TStmt& s);
  void SelectStmt(TStmt& s);
  void AssignStmt(TStmt& s, const std::vector<std::pair<int, TExpr*>>& assigns);
  void IfStmt(TStmt& s);
  void WhileStmt(TStmt& s);
  void ExecStmt(TStmt& s);
  int Emit(TOp op, int line);
  int DeclareVariable(const std::string& name, const TSqlType& type);
  int SlotOf(const std::string& name, int pos);

  // Data statements (CompileDml.cpp).
  void InsertStmt(TStmt& s);
  void UpdateStmt(TStmt& s);
  void DeleteStmt(TStmt& s);
  const TTableInfo& TableOf(const std::string& name);
  void EmitConverted(TExpr& e, const TSqlType& target, const std::string& targetName, TSqlWriter& w);

  // Definitions (CompileDdl.cpp).
  void CreateTableStmt(TStmt& s);
  void CreateIndexStmt(TStmt& s);
  void DropStmt(TStmt& s);
  void AlterAddStmt(TStmt& s);
  std::string ColumnSql(const TColumnDef& c, bool tablePkIsThis);
  void EmitDdl(std::string sql, int line);

  // Queries (CompileSelect.cpp).
  // An equality added to a derived table's Where: its stored column Inner
  // equals Value, a literal or variable of the outer query.
  struct TPushed {
    const TExpr* Inner;
    const TExpr* Value;
  };
  // Resolves a SELECT; fills its output columns.
  void ResolveSelect(TSelect& q, const TScope* outer, std::vector<TOutColumn>& out);
  void BuildSources(TSelect& q, const TScope* outer, TScope& scope);
  // pushed: equalities the query's own Where gets as well.
  void EmitSelect(const TSelect& q, TSqlWriter& w, const std::vector<TSqlType>* targets = nullptr,
                  const std::vector<std::string>* targetNames = nullptr,
                  const std::vector<TPushed>* pushed = nullptr);
  void EmitTableSource(const TTableSource& src, TSqlWriter& w, const std::vector<TPushed>& pushed);
  // The outer query's keys that a derived source of q (brought in by join, or
  // nullptr for the first source of a From item) may filter on (CompilePushdown.cpp).
  std::vector<TPushed> PushDown(const TSelect& q, const TTableSource& src, const TJoin* join) const;

  // Expressions (CompileExpr.cpp / EmitExpr.cpp).
  void Resolve(TExpr& e, const TScope* scope);
  void ResolveColumn(TExpr& e, const TScope* scope);
  void EmitExpr(const TExpr& e, TSqlWriter& w);
  void EmitAs(const TExpr& e, TTypeClass other, TSqlWriter& w);
  // a op b, each side adjusted to the other's class, texts compared in TSQL.
  void EmitComparison(const TExpr& a, const std::string& op, const TExpr& b, TSqlWriter& w);
  // Notes how the literal e reached the program; the parameter it became is
  // the last of w's when there are more than paramsBefore.
  void NoteLiteral(const TExpr& e, TLiteralUse::THow how, TSqlWriter* w = nullptr, size_t paramsBefore = 0,
                   const TSqlType* target = nullptr, const std::string* targetName = nullptr);

  TCatalog Catalog;  // a working copy: Create Table earlier in the batch is seen by later statements
  TProgram Prog;
  std::map<std::string, int> Vars;  // lower-case name -> slot
  std::map<std::string, int> Labels;
  std::vector<std::pair<int, std::string>> Gotos;  // instruction, label
  struct TLoop {
    int Start;
    std::vector<int> Breaks;
  };
  std::vector<TLoop> Loops;
  int Line = 1;
};

}  // namespace ooa::tsql
