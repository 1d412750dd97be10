// The built-in functions and operators, each evaluated twice: by the engine
// itself (a Select without From) and inside SQLite (the same expression over a
// one-row table). Both must give the T-SQL answer.
#include <gtest/gtest.h>

#include "EngineFixture.h"

namespace ooa::test {
namespace {

struct TExprCase {
  const char* Expr;
  const char* Expected;
};

const TExprCase kCases[] = {
    {"SubString('abcdef', 2, 3)", "bcd"},
    {"SubString('abc', 0, 2)", "a"},
    {"SubString(N'h\xc3\xa9llo', 2, 2)", "\xc3\xa9l"},
    {"Len(N'h\xc3\xa9llo  ')", "5"},
    {"Len('')", "0"},
    {"Replicate('0', 3) + 'x'", "000x"},
    {"IsNull(Replicate('0', -1), 'null')", "null"},
    {"CharIndex('b', 'ABC')", "2"},
    {"CharIndex('x', 'abc')", "0"},
    {"CharIndex('b', 'abcb', 3)", "4"},
    {"IsNull(Null, 5)", "5"},
    {"Coalesce(Null, Null, 'z')", "z"},
    {"Upper('abc') + Lower('DEF')", "ABCdef"},
    {"LTrim('  a') + RTrim('b  ') + '|'", "ab|"},
    {"Left('abcdef', 2) + Right('abcdef', 2)", "abef"},
    {"Replace('aXbx', 'x', '-')", "a-b-"},
    {"Cast('0042' As Int) + 1", "43"},
    {"Cast(12.7 As Int)", "12"},
    {"Cast(-12.7 As Int)", "-12"},
    {"Cast(5 As varchar(3)) + 'a'", "5a"},
    {"Cast('abcdef' As nvarchar(2))", "ab"},
    {"Cast(2.5 As Float) * 2", "5"},
    {"Convert(int, '7') * 2", "14"},
    {"7 / 2", "3"},
    {"7 % 3", "1"},
    {"7 / 2.0", "3.5"},
    {"-(3) + 1", "-2"},
    {"2 - -3", "5"},
    {"Round(2.345, 2)", "2.35"},
    {"Abs(-3)", "3"},
    {"Case When 1 = 1 Then 'a' Else 'b' End", "a"},
    {"Case 2 When 1 Then 'one' When 2 Then 'two' End", "two"},
    {"Case When 'abc' Like 'A%' Then 1 Else 0 End", "1"},
    {"Case When 'abc' Like '_b%' Then 1 Else 0 End", "1"},
    {"Case When 'abc' Like '[a-b]bc' Then 1 Else 0 End", "1"},
    {"Case When 'abc' Not Like 'b%' Then 1 Else 0 End", "1"},
    {"Case When 'x' In ('X', 'y') Then 1 Else 0 End", "1"},
    {"Case When 5 Between 1 And 10 Then 1 Else 0 End", "1"},
    {"Case When Null = Null Then 1 Else 0 End", "0"},
    {"Case When Not (1 = 2) And (2 < 3 Or 1 / 0 = 1) Then 1 Else 0 End", "1"},
    {"Case When N'abc' = 'ABC  ' Then 1 Else 0 End", "1"},
    {"Case When 'a' < 'B' Then 1 Else 0 End", "1"},
    {"Case When '12/31/2026' < '01/01/2027' Then 1 Else 0 End", "1"},
    {"Year('12/08/2026') * 10000 + Month('12/08/2026') * 100 + Day('12/08/2026')", "20261208"},
    {"DateAdd(day, 1, '12/31/2026 10:00:00')", "2027-01-01 10:00:00.000"},
    {"DateAdd(month, 1, '01/31/2027')", "2027-02-28 00:00:00.000"},
    {"DateDiff(day, '12/30/2026', '01/02/2027')", "3"},
    {"Cast('03/05/2024 14:06:59' As datetime)", "2024-03-05 14:06:59.000"},
    {"Null + 'a'", ""},
    {"'a' + Null", ""},
};

class EngineExpressions : public EngineTest {};

TEST_F(EngineExpressions, EngineAndSqliteAgree) {
  Exec("Create Table OneRow (X int); Insert OneRow Values (1)");
  for (const TExprCase& c : kCases) {
    std::string expr = c.Expr;
    EXPECT_EQ(Text("Select " + expr), c.Expected) << "engine: " << expr;
    EXPECT_EQ(Text("Select " + expr + " From OneRow"), c.Expected) << "SQLite: " << expr;
  }
}

TEST_F(EngineExpressions, RuntimeErrorsFailTheStatementAndTheBatchGoesOn) {
  Exec("Create Table Seen (Err int)");
  const char* kBad[] = {"Cast('12x' As Int)", "1 / 0", "Cast('13/45/2024' As datetime)", "SubString('a', 1, -1)"};
  for (const char* e : kBad) {
    // The error still reaches the caller at the end ...
    EXPECT_NE(ErrorOf(std::string("Declare @x nvarchar(20); Set @x = ") + e + "; Insert Seen Values (@@Error)"),
              "(no error)")
        << e;
  }
  // ... after the next statement saw @@Error.
  EXPECT_EQ(Text("Select Count(*) From Seen Where Err <> 0"), "4");
}

}  // namespace
}  // namespace ooa::test
