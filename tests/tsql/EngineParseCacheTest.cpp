// The parse cache: a batch of a shape seen before gets the very tree that
// parsing it would give, whatever its literals, and a batch that differs in
// anything but those literals is parsed afresh.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include <sqlite3.h>

#include "EngineFixture.h"
#include "PosTables.h"
#include "tsql/Compiler.h"
#include "tsql/ParseCache.h"
#include "tsql/Parser.h"
#include "db/PosSchema.h"
#include "db/order/OrderStatements.h"

namespace ooa::test {
namespace {

using namespace tsql;

// Field by field, positions and lines included; the first difference is
// returned as a path.
struct TTreeDiff {
  std::string Where;
  bool Positions = true;  // a cached program's tree keeps the positions of the batch it was compiled from

  bool Fail(const std::string& where) {
    if (Where.empty()) Where = where;
    return false;
  }
  bool Type(const TSqlType& a, const TSqlType& b, const std::string& at) {
    return (a.Class == b.Class && a.Length == b.Length && a.Scale == b.Scale && a.Name == b.Name) || Fail(at + ".type");
  }
  bool Expr(const TExprPtr& a, const TExprPtr& b, const std::string& at) {
    if (!a || !b) return (!a && !b) || Fail(at + " present");
    const TExpr& x = *a;
    const TExpr& y = *b;
    if (x.Kind != y.Kind || x.Op != y.Op || x.Name != y.Name || x.Qualifier != y.Qualifier || x.IsDate != y.IsDate ||
        x.OriginalText != y.OriginalText || x.Negated != y.Negated || x.Distinct != y.Distinct ||
        x.StarArg != y.StarArg || x.HasOperand != y.HasOperand || x.HasElse != y.HasElse || (Positions && x.Pos != y.Pos))
      return Fail(at);
    if (x.Value.Kind != y.Value.Kind || x.Value.Int != y.Value.Int || x.Value.Text != y.Value.Text ||
        std::memcmp(&x.Value.Float, &y.Value.Float, sizeof(double)) != 0)
      return Fail(at + ".value");
    if (!Type(x.CastType, y.CastType, at + ".cast") || !Type(x.Type, y.Type, at)) return false;
    if (x.Slot != y.Slot || x.Fn != y.Fn || x.Simple != y.Simple) return Fail(at + ".compiled");
    if (x.Args.size() != y.Args.size()) return Fail(at + ".args");
    for (size_t i = 0; i < x.Args.size(); ++i)
      if (!Expr(x.Args[i], y.Args[i], at + ".arg" + std::to_string(i))) return false;
    return Select(x.Sub, y.Sub, at + ".sub");
  }
  bool Exprs(const std::vector<TExprPtr>& a, const std::vector<TExprPtr>& b, const std::string& at) {
    if (a.size() != b.size()) return Fail(at + " count");
    for (size_t i = 0; i < a.size(); ++i)
      if (!Expr(a[i], b[i], at + std::to_string(i))) return false;
    return true;
  }
  bool Source(const TTableSource& a, const TTableSource& b, const std::string& at) {
    return (a.Name == b.Name && a.Alias == b.Alias && (!Positions || a.Pos == b.Pos)) ? Select(a.Derived, b.Derived, at + ".derived")
                                                                      : Fail(at);
  }
  bool Select(const std::unique_ptr<TSelect>& a, const std::unique_ptr<TSelect>& b, const std::string& at) {
    if (!a || !b) return (!a && !b) || Fail(at + " present");
    if (a->Distinct != b->Distinct || (Positions && a->Pos != b->Pos) || a->Items.size() != b->Items.size() ||
        a->From.size() != b->From.size() || a->OrderBy.size() != b->OrderBy.size())
      return Fail(at);
    if (!Expr(a->Top, b->Top, at + ".top")) return false;
    for (size_t i = 0; i < a->Items.size(); ++i) {
      const auto &x = a->Items[i], &y = b->Items[i];
      if (x.Alias != y.Alias || x.AssignVar != y.AssignVar) return Fail(at + ".item" + std::to_string(i));
      if (!Expr(x.Expr, y.Expr, at + ".item" + std::to_string(i))) return false;
    }
    for (size_t i = 0; i < a->From.size(); ++i) {
      const auto &x = a->From[i], &y = b->From[i];
      if (!Source(x.First, y.First, at + ".from") || x.Joins.size() != y.Joins.size()) return Fail(at + ".from");
      for (size_t j = 0; j < x.Joins.size(); ++j)
        if (x.Joins[j].Kind != y.Joins[j].Kind || !Source(x.Joins[j].Source, y.Joins[j].Source, at + ".join") ||
            !Expr(x.Joins[j].On, y.Joins[j].On, at + ".on"))
          return Fail(at + ".join");
    }
    for (size_t i = 0; i < a->OrderBy.size(); ++i)
      if (a->OrderBy[i].Desc != b->OrderBy[i].Desc || !Expr(a->OrderBy[i].Expr, b->OrderBy[i].Expr, at + ".order"))
        return Fail(at + ".order");
    return Expr(a->Where, b->Where, at + ".where") && Exprs(a->GroupBy, b->GroupBy, at + ".group") &&
           Expr(a->Having, b->Having, at + ".having");
  }
  bool Stmt(const TStmtPtr& a, const TStmtPtr& b, const std::string& at) {
    if (!a || !b) return (!a && !b) || Fail(at + " present");
    const TStmt& x = *a;
    const TStmt& y = *b;
    if (x.Kind != y.Kind || (Positions && x.Pos != y.Pos) || x.Line != y.Line || x.Table != y.Table || x.Name != y.Name ||
        x.Columns != y.Columns || x.DefaultValues != y.DefaultValues || x.PrimaryKey != y.PrimaryKey ||
        x.UniqueKeys != y.UniqueKeys || x.Unique != y.Unique || x.Rows.size() != y.Rows.size() ||
        x.Sets.size() != y.Sets.size() || x.Declares.size() != y.Declares.size() || x.Body.size() != y.Body.size() ||
        x.ColumnDefs.size() != y.ColumnDefs.size())
      return Fail(at);
    for (size_t i = 0; i < x.Rows.size(); ++i)
      if (!Exprs(x.Rows[i], y.Rows[i], at + ".row")) return false;
    for (size_t i = 0; i < x.Sets.size(); ++i)
      if (x.Sets[i].Target != y.Sets[i].Target || !Expr(x.Sets[i].Expr, y.Sets[i].Expr, at + ".set"))
        return Fail(at + ".set");
    for (size_t i = 0; i < x.Declares.size(); ++i)
      if (x.Declares[i].Name != y.Declares[i].Name || !Type(x.Declares[i].Type, y.Declares[i].Type, at) ||
          !Expr(x.Declares[i].Init, y.Declares[i].Init, at + ".init"))
        return Fail(at + ".declare");
    for (size_t i = 0; i < x.ColumnDefs.size(); ++i) {
      const auto &c = x.ColumnDefs[i], &d = y.ColumnDefs[i];
      if (c.Name != d.Name || c.NotNull != d.NotNull || c.PrimaryKey != d.PrimaryKey || c.Unique != d.Unique ||
          c.Identity != d.Identity || !Type(c.Type, d.Type, at) || !Expr(c.Default, d.Default, at + ".default"))
        return Fail(at + ".column");
    }
    for (size_t i = 0; i < x.Body.size(); ++i)
      if (!Stmt(x.Body[i], y.Body[i], at + ".body" + std::to_string(i))) return false;
    return Select(x.Query, y.Query, at + ".query") && Expr(x.Where, y.Where, at + ".where") &&
           Expr(x.Cond, y.Cond, at + ".cond") && Stmt(x.Then, y.Then, at + ".then") && Stmt(x.Else, y.Else, at + ".else");
  }
  bool Batch(const TBatch& a, const TBatch& b) {
    if (a.Statements.size() != b.Statements.size()) return Fail("statement count");
    for (size_t i = 0; i < a.Statements.size(); ++i)
      if (!Stmt(a.Statements[i], b.Statements[i], "statement " + std::to_string(i))) return false;
    return true;
  }
};

struct TShapeCase {
  const char* Name;
  const char* First;   // parsed first, fills the cache
  const char* Second;  // same shape with other literals, unless Reused is false
  bool Reused;
};

void PrintTo(const TShapeCase& c, std::ostream* os) { *os << c.Name; }

class EngineParseCache : public ::testing::TestWithParam<TShapeCase> {};

TEST_P(EngineParseCache, GivesTheTreeParsingGives) {
  const TShapeCase& c = GetParam();
  TParseCache cache;
  cache.Parse(c.First);
  EXPECT_EQ(cache.Size(), 0u) << "a shape is kept from its second batch on";
  cache.Parse(c.First);
  size_t entries = cache.Size();
  TBatch got = cache.Parse(c.Second);
  TTreeDiff diff;
  EXPECT_TRUE(diff.Batch(got, ParseBatch(c.Second))) << diff.Where;
  if (c.Reused) EXPECT_EQ(cache.Size(), entries) << "the second batch was not taken from the cache";
  // The entry is not changed by being used: the first batch again.
  TTreeDiff again;
  EXPECT_TRUE(again.Batch(cache.Parse(c.First), ParseBatch(c.First))) << again.Where;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, EngineParseCache,
    ::testing::Values(
        TShapeCase{"InvoiceLine",
                   "Insert Into InvoiceItem(InvoiceNo, ProductCode, Qty, Price) Values(@InvoiceNo, N'P1', 1, 5.5); "
                   "IF @@Error <> 0 begin goto BRK end; BRK:",
                   "Insert Into InvoiceItem(InvoiceNo, ProductCode, Qty, Price) Values(@InvoiceNo, N'Longer code', 12, 12.25); "
                   "IF @@Error <> 0 begin goto BRK end; BRK:",
                   true},
        TShapeCase{"SignsDatesAndQuotes",
                   "Select -5, - -2.5, -(3), '12/08/2026', 'O''Neil', N'x' + 'y', -@a",
                   "Select -70, - -0.25, -(4), '1/2/2025 10:15:00', 'plain', N'' + 'z', -@a", true},
        TShapeCase{"DateThatIsNoLongerADate", "Select '12/08/2026' As D", "Select 'twelfth' As D", true},
        TShapeCase{"NumberTooBigForAnInteger", "Select 1 + 2", "Select 99999999999999999999 + 2", true},
        TShapeCase{"WholeAndDecimalNumbers", "Select 1, 2.5, -3", "Select 1.5, 2e3, -4.25", true},
        TShapeCase{"NullOrText", "Insert Into T(A, B, C) Values(N'x', 'y', -1); Select Null, N'q'",
                   "Insert Into T(A, B, C) Values(Null, N'z', -2); Select N'', Null", true},
        TShapeCase{"NullIsNoNumber", "Select 1 + 2", "Select Null + 2", false},
        TShapeCase{"IsNullStaysAKeyword", "If @a Is Null Select 1", "If @a Is NULL Select 1", false},
        TShapeCase{"LinesMoveWithTextOnManyLines", "Select 'a'\nSelect 1", "Select 'a\nb'\nSelect 1", false},
        TShapeCase{"QueryParts",
                   "Select Distinct Top 3 p.A, Count(*) As N, Case When p.B > 1 Then 'x' Else 'y' End "
                   "From T p Left Join (Select A From U Where C Like 'a%') u On u.A = p.A "
                   "Where p.A In (1, 2) And Exists (Select 1 From V) And p.B Between 1 And 9 And p.C Is Not Null "
                   "Group By p.A Having Count(*) > 1 Order By 2 Desc",
                   "Select Distinct Top 4 p.A, Count(*) As N, Case When p.B > 17 Then 'longer' Else '' End "
                   "From T p Left Join (Select A From U Where C Like 'b_%') u On u.A = p.A "
                   "Where p.A In (10, 20) And Exists (Select 5 From V) And p.B Between 2 And 99 And p.C Is Not Null "
                   "Group By p.A Having Count(*) > 3 Order By 2 Desc",
                   true},
        TShapeCase{"TypeLengthsAreNotLiterals",
                   "Declare @s nvarchar(6) = N'ab'; Select Cast(@s As varchar(6))",
                   "Declare @s nvarchar(8) = N'abcdefg'; Select Cast(@s As varchar(6))", false},
        TShapeCase{"Definitions",
                   "Create Table T (A int Not Null Primary Key, B nvarchar(10) Default N'x', C float Default -1); "
                   "Create Unique Index IX On T (B); Update T Set B = N'q', C = C + 1 Where A = 3; Delete From T Where A = 4",
                   "Create Table T (A int Not Null Primary Key, B nvarchar(10) Default N'yy', C float Default -2); "
                   "Create Unique Index IX On T (B); Update T Set B = N'', C = C + 7 Where A = 30; Delete From T Where A = 40",
                   true},
        TShapeCase{"ControlFlow",
                   "Declare @i int; Set @i = 0; While @i < 3 Begin Set @i = @i + 1; If @i = 2 Continue; Print 'x' End",
                   "Declare @i int; Set @i = 10; While @i < 30 Begin Set @i = @i + 2; If @i = 20 Continue; Print 'yz' End",
                   true},
        TShapeCase{"OtherNamesAreOtherShapes", "Select A From T Where A = 1", "Select B From T Where A = 1", false}));

// A compiled program as text: instructions, their SQL and parameters, the
// variables, and the result columns.
std::string Listing(const TProgram& p) {
  std::string s;
  for (const TInstr& in : p.Code) {
    s += std::to_string(static_cast<int>(in.Op)) + " " + std::to_string(in.Target) + " " + std::to_string(in.Line);
    for (const auto& c : in.Columns) s += " col " + c.Name + ":" + c.Type.Name + std::to_string(c.Type.Length);
    if (in.Sql) {
      s += " " + in.Sql->Sql;
      for (const auto& c : in.Sql->Columns) s += " col " + c.Name + ":" + c.Type.Name + std::to_string(c.Type.Length);
      for (const TParamSource& src : in.Sql->Params)
        s += " [" + std::to_string(src.Slot) + " " + std::to_string(static_cast<int>(src.Value.Kind)) + " " +
             std::to_string(src.Value.Int) + " " + std::to_string(src.Value.Float) + " " + src.Value.Text + "]";
    }
    s += "\n";
  }
  for (const auto& v : p.Vars) s += v.Name + ":" + v.Type.Name + "\n";
  return s;
}

struct TProgramCase {
  const char* Name;
  const char* First;   // compiled first, fills the cache
  const char* Second;  // the same shape with other literals
  bool Reused;         // the second batch takes the first one's program
};

void PrintTo(const TProgramCase& c, std::ostream* os) { *os << c.Name; }

class EngineProgramCache : public EngineTest, public ::testing::WithParamInterface<TProgramCase> {};

// What the cache gives for the second batch is what compiling it gives: the
// same instructions, SQL and parameters, and the same tree for the
// expressions the engine works out itself.
TEST_P(EngineProgramCache, GivesTheProgramCompilingGives) {
  const TProgramCase& c = GetParam();
  Exec(kPosTables);
  Exec("Create Table Stamp (Id int, At datetime, Code nvarchar(4), Note nvarchar(max))");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(Path.c_str(), &db), SQLITE_OK);
  TCatalog catalog;
  catalog.Load(db);
  sqlite3_close(db);

  TParseCache cache;
  cache.Compile(c.First, catalog);
  const TProgram* first = &cache.Compile(c.First, catalog);
  EXPECT_EQ(Listing(*first), Listing(CompileBatch(ParseBatch(c.First), catalog)));
  const TProgram& got = cache.Compile(c.Second, catalog);
  TProgram want = CompileBatch(ParseBatch(c.Second), catalog);
  EXPECT_EQ(Listing(got), Listing(want));
  TTreeDiff diff{"", false};
  EXPECT_TRUE(diff.Batch(got.Ast, want.Ast)) << diff.Where;
  EXPECT_EQ(&got == first, c.Reused);
  // And back: the program put right again for the first batch.
  const TProgram& again = cache.Compile(c.First, catalog);
  TProgram firstWant = CompileBatch(ParseBatch(c.First), catalog);
  EXPECT_EQ(Listing(again), Listing(firstWant));
  TTreeDiff back{"", false};
  EXPECT_TRUE(back.Batch(again.Ast, firstWant.Ast)) << back.Where;
}

INSTANTIATE_TEST_SUITE_P(
    Literals, EngineProgramCache,
    ::testing::Values(
        TProgramCase{"InvoiceLineAndStock",
                     "Declare @InvoiceNo nvarchar(15); Set @InvoiceNo = N'W26000001'; "
                     "Insert Into InvoiceItem(InvoiceNo, ProductCode, Qty, Price, ID) Values(@InvoiceNo, N'P1', 1, 5.5, 1); "
                     "Update Product Set StockQty1 = StockQty1 - (1 * 1) Where ProductCode = N'P1'",
                     "Declare @InvoiceNo nvarchar(15); Set @InvoiceNo = N'W26000002'; "
                     "Insert Into InvoiceItem(InvoiceNo, ProductCode, Qty, Price, ID) Values(@InvoiceNo, N'Longer-17', 3, 0.25, 2); "
                     "Update Product Set StockQty1 = StockQty1 - (3 * 1) Where ProductCode = N'Longer-17'",
                     true},
        TProgramCase{"EngineWorksOutConditionsAndAssignments",
                     "Declare @a nvarchar(10), @n int; Set @a = 'ab'; Select @n = 5; If @a = 'ab' And @n > 2 Select 'yes' Else Select 'no'",
                     "Declare @a nvarchar(10), @n int; Set @a = 'xyz1'; Select @n = 7; If @a = 'q' And @n > 30 Select 'yes' Else Select 'no'",
                     true},
        TProgramCase{"DateTextStaysADate",
                     "Select InvoiceNo From InvoiceHead Where InvoiceDate >= '12/08/2026' And InvoiceDate < '2026-12-09'",
                     "Select InvoiceNo From InvoiceHead Where InvoiceDate >= '01/02/2025' And InvoiceDate < '2025-01-03'",
                     true},
        TProgramCase{"DateTextThatIsNoDate", "Select InvoiceNo From InvoiceHead Where InvoiceDate < '2026-12-09'",
                     "Select InvoiceNo From InvoiceHead Where InvoiceDate < 'tomorrow'", false},
        TProgramCase{"StoredIntoColumns",
                     "Insert Stamp Values (1, '12/08/2026 10:15:00', N'ab', N'x')",
                     "Insert Stamp Values (2, '01/31/2027', N'abcd', N'a much longer note than before')", true},
        TProgramCase{"DateTextIntoATextColumn", "Insert Stamp Values (1, Null, N'ab', '12/08/2026')",
                     "Insert Stamp Values (2, Null, N'cd', '01/31/2027 10:15:00')", true},
        TProgramCase{"TooLongForItsColumn", "Insert Stamp Values (1, Null, N'ab', N'x')",
                     "Insert Stamp Values (1, Null, N'abcde', N'x')", false},
        TProgramCase{"NoDateForADateColumn", "Insert Stamp Values (1, '2026-12-08', N'ab', N'x')",
                     "Insert Stamp Values (1, 'soon', N'ab', N'x')", false},
        TProgramCase{"LengthGivesTheType",
                     "Declare @s nvarchar(8); Set @s = N'ab' + N'cd'; Select Cast(N'abc' As nvarchar(3)), N'x' + @s",
                     "Declare @s nvarchar(8); Set @s = N'abcdef' + N'cd'; Select Cast(N'abcd' As nvarchar(3)), N'xyz' + @s",
                     false},
        TProgramCase{"OrderByPosition", "Select InvoiceNo, Amount From InvoiceHead Order By 1",
                     "Select InvoiceNo, Amount From InvoiceHead Order By 2", false},
        TProgramCase{"WholeAndDecimalPrices",
                     "Insert Into InvoiceItem(InvoiceNo, ProductCode, Qty, Price, ID) Values(N'W1', N'P1', 1, 5.5, 1)",
                     "Insert Into InvoiceItem(InvoiceNo, ProductCode, Qty, Price, ID) Values(N'W2', N'P2', 2.5, 11, 2)",
                     true},
        TProgramCase{"NullForAText",
                     "Insert Into Customer(CustomerCode, CustomerName, Address) Values(N'C1', N'Ann', N'1 Main St'); "
                     "Update Customer Set Address=N'2 Main St' Where CustomerCode=N'C1'",
                     "Insert Into Customer(CustomerCode, CustomerName, Address) Values(N'C2', N'Bob', Null); "
                     "Update Customer Set Address=Null Where CustomerCode=N'C2'",
                     true},
        TProgramCase{"TextForANull", "Insert Into Customer(CustomerCode, CustomerName) Values(N'C1', Null)",
                     "Insert Into Customer(CustomerCode, CustomerName) Values(N'C1', 'Ann')", true},
        TProgramCase{"NullWhereItIsNotStored", "Select InvoiceNo From InvoiceHead Where Notes = N'x'",
                     "Select InvoiceNo From InvoiceHead Where Notes = Null", false},
        TProgramCase{"StockDeduction",
                     "Update Product Set StockQty1=StockQty1-(2 * 1),StockValue1=StockValue1-(2 * 1 * 2.25) Where "
                     "ProductCode=N'P1'",
                     "Update Product Set StockQty1=StockQty1-(1.5 * 6),StockValue1=StockValue1-(1.5 * 6 * 2) Where "
                     "ProductCode=N'P2'",
                     true},
        TProgramCase{"NumberInAComparison", "Select InvoiceNo From InvoiceHead Where Amount = 5 Or KindFlag > -1",
                     "Select InvoiceNo From InvoiceHead Where Amount = 5.5 Or KindFlag > -1.5", true},
        TProgramCase{"WholenessThatReachesTheResult", "Select 2 * 3 As N, Amount From InvoiceHead",
                     "Select 2.5 * 3 As N, Amount From InvoiceHead", false},
        TProgramCase{"WholenessThatReachesAVariable", "Declare @i int; Set @i = 1; Select @i = @i + 1",
                     "Declare @i int; Set @i = 1; Select @i = @i + 1.5", false},
        TProgramCase{"DivisionByAWholeNumber", "Select InvoiceNo, KindFlag / 2 From InvoiceHead",
                     "Select InvoiceNo, KindFlag / 2.5 From InvoiceHead", false},
        TProgramCase{"KeyPushedIntoAGroup",
                     "Select h.InvoiceNo, P.S From InvoiceHead h Left Join (Select InvoiceNo, Sum(Amount) As S From "
                     "InvoiceHead Group By InvoiceNo) As P On h.InvoiceNo=P.InvoiceNo Where h.InvoiceNo=N'W1' And "
                     "h.KindFlag=6",
                     "Select h.InvoiceNo, P.S From InvoiceHead h Left Join (Select InvoiceNo, Sum(Amount) As S From "
                     "InvoiceHead Group By InvoiceNo) As P On h.InvoiceNo=P.InvoiceNo Where h.InvoiceNo=N'W22' And "
                     "h.KindFlag=6.5",
                     true},
        TProgramCase{"NumberKeyPushedIntoAGroup",
                     "Select h.InvoiceNo, P.N From InvoiceHead h Left Join (Select KindFlag, Count(*) As N From "
                     "InvoiceHead Group By KindFlag) As P On h.KindFlag=P.KindFlag Where h.KindFlag=6",
                     "Select h.InvoiceNo, P.N From InvoiceHead h Left Join (Select KindFlag, Count(*) As N From "
                     "InvoiceHead Group By KindFlag) As P On h.KindFlag=P.KindFlag Where h.KindFlag=6.5",
                     true},
        TProgramCase{"PatternsAndLists",
                     "Select InvoiceNo From InvoiceHead Where InvoiceNo Like 'W26%' And KindFlag In (1, 2) And Amount Between 1 And 5",
                     "Select InvoiceNo From InvoiceHead Where InvoiceNo Like 'X2_%' And KindFlag In (7, 9) And Amount Between 10 And 50",
                     true}));

// Invoice batches as the order import writes them for orders as varied as a
// shop's: whole and decimal quantities, prices and costs, texts given or
// empty (NULL), with and without a deposit. Each one's program is the one
// compiling it gives, and the cache compiles only the first two batches of
// each shape (lines and payments), not one for each spelling of its values.
class EngineVariedBatches : public EngineTest {};

TEST_F(EngineVariedBatches, TakeTheProgramOfTheirShape) {
  Exec(PosSchemaBatch({"1"}));
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(Path.c_str(), &db), SQLITE_OK);
  TCatalog catalog;
  catalog.Load(db);
  sqlite3_close(db);

  std::mt19937 rng(11);
  auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  auto text = [&](const std::string& t) { return pick(3) ? t : std::string(); };
  auto amount = [&](double whole) { return pick(2) ? whole : whole + 0.25 * (1 + pick(3)); };
  const TDateTime day = TDateTime::FromCivil(2026, 12, 8, 10, 15, 0);
  TParseCache cache;
  const int kBatches = 120;
  for (int n = 0; n < kBatches; ++n) {
    TCustomer c;
    c.CustomerCode = "M" + std::to_string(n);
    c.CustomerName = "Ann O'Neil";
    c.Telephone = text("0411 555 0" + std::to_string(n));
    c.Mobile = text("0422");
    c.Address = text(std::to_string(n) + " Main St");
    c.Suburb = text("Hobart");
    c.Email = text("ann@example.com");
    TInvoiceHead h;
    h.CustomerCode = c.CustomerCode;
    h.InvoiceDate = day;
    h.TransferDateTime = day;
    h.KindFlag = 6;
    h.OnlineOrder = true;
    h.OnlineOrderId = std::to_string(5000 + n);
    h.OnlineOrderStatus = "processing";
    h.Notes = text("Leave at the door");
    h.VoucherId = text("SAVE5");
    h.Freight = amount(9);
    h.Amount = amount(40);
    h.GST = amount(4);
    h.WarehouseCode = "1";
    std::vector<TInvoiceItem> items(1 + static_cast<size_t>(pick(3)));
    for (TInvoiceItem& it : items) {
      it.ProductCode = "P" + std::to_string(pick(50));
      it.Qty = pick(4) ? 1 + pick(3) : 0.5;
      it.Price = amount(5);
      it.NetPrice = it.Price;
      it.UnitCost = amount(2);
      it.DeductStockQty = pick(2) ? 1 : 6;
      it.GSTRate = 10;
      it.KindFlag = 6;
      it.WarehouseCode = "1";
    }
    TPayment pay{day, amount(44), "stripe", 0};
    TPayment deposit{day, pick(4) ? 0 : amount(5), "Deposit", amount(10)};
    const std::string batch = InvoiceBatchSql({c, h, items, pay, deposit}, day);
    SCOPED_TRACE(batch);
    const TProgram& got = cache.Compile(batch, catalog);
    TProgram want = CompileBatch(ParseBatch(batch), catalog);
    ASSERT_EQ(Listing(got), Listing(want));
    TTreeDiff diff{"", false};
    ASSERT_TRUE(diff.Batch(got.Ast, want.Ast)) << diff.Where;
  }
  // 1 to 3 lines, with and without a deposit: 6 shapes, each compiled once.
  EXPECT_LE(cache.Compilations(), 6u);
}

// The second batch of a shape takes the program compiled for the first, as
// long as few other shapes came in between.
TEST(EngineParseCacheRoom, CompilesAShapeOnceUnlessManyOthersCameBetween) {
  TCatalog catalog;
  TTableInfo t;
  t.Name = "T";
  t.Columns.push_back(TColumnInfo{"A", TSqlType::Of(TTypeClass::Int), false, false});
  catalog.Put(t);
  TParseCache cache;
  cache.Compile("Select A From T Where A = 1", catalog);
  EXPECT_EQ(cache.Size(), 0u);
  cache.Compile("Select A From T Where A = 2", catalog);
  EXPECT_EQ(cache.Compilations(), 1u);
  EXPECT_EQ(cache.Size(), 1u);
  // A shape whose first batch many other shapes followed is compiled again.
  cache.Compile("Select A + 1 From T Where A = 1", catalog);
  for (int n = 0; n < 20; ++n) cache.Compile("Select A As C" + std::to_string(n) + " From T", catalog);
  const size_t before = cache.Compilations();
  cache.Compile("Select A + 1 From T Where A = 2", catalog);
  EXPECT_EQ(cache.Compilations(), before + 1);
  EXPECT_TRUE(cache.Holds("Select A + 1 From T Where A = 3"));
}

// A full cache makes room by dropping the shapes used least of late: the
// invoice shape used all along stays while one-off shapes come and go.
TEST(EngineParseCacheRoom, KeepsTheMostUsedShapes) {
  TCatalog catalog;
  TTableInfo t;
  t.Name = "T";
  t.Columns.push_back(TColumnInfo{"A", TSqlType::Of(TTypeClass::Int), false, false});
  catalog.Put(t);
  TParseCache cache;
  const std::string often = "Select A From T Where A = 1";
  for (int i = 0; i < 10; ++i) cache.Compile(often, catalog);
  ASSERT_TRUE(cache.Holds(often));
  // One-off shapes, each twice so that it is kept, more than the cache
  // holds: first with the invoice shape now and then, then without it.
  for (int n = 0; n < 500; ++n) {
    const std::string once = "Select A As C" + std::to_string(n) + " From T Where A = 2";
    cache.Compile(once, catalog);
    cache.Compile(once, catalog);
    if (n < 300 && n % 10 == 0) cache.Compile(often, catalog);
  }
  EXPECT_TRUE(cache.Holds(often));
  EXPECT_GT(cache.Size(), 1u);
}

}  // namespace
}  // namespace ooa::test
