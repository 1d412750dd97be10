// The engine on the batches the order import sends: numbering, credit notes,
// rollback on a failing statement, and the T-SQL rules the batches rely on.
#include <gtest/gtest.h>

#include <vector>

#include "EngineFixture.h"
#include "PosTables.h"

namespace ooa::test {
namespace {

struct TBatchCase {
  const char* Name;
  std::vector<std::string> Setup;  // batches run after the POS tables exist
  std::string Batch;     // the batch under test
  std::string Check;     // a query whose first value is compared
  std::string Expected;  // "" when Check is empty
  std::string FirstValue = "";  // expected first value of the batch's own first result set, if any
};

void PrintTo(const TBatchCase& c, std::ostream* os) { *os << c.Name; }

class EngineBatches : public EngineTest, public ::testing::WithParamInterface<TBatchCase> {};

TEST_P(EngineBatches, RunsAsTheServerWould) {
  const TBatchCase& c = GetParam();
  Exec(kPosTables);
  for (const auto& b : c.Setup) Exec(b);
  TQueryResult r = Query(c.Batch);
  if (!c.FirstValue.empty()) {
    ASSERT_FALSE(r.Empty());
    ASSERT_FALSE(r.First().Rows.empty());
    EXPECT_EQ(r.First().Rows[0][0].AsString(), c.FirstValue);
  }
  if (!c.Check.empty()) {
    EXPECT_EQ(Text(c.Check), c.Expected);
  }
}

const std::string kYearly = "Insert Profile (GenerateInvoiceNoKind, POSInit) Values (0, N'W'); "
                            "Insert Product (ProductCode, StockQty1, StockValue1) Values (N'A', 10, 40);";
const std::string kDaily = "Insert Profile (GenerateInvoiceNoKind, POSInit) Values (1, N'W'); "
                           "Insert Product (ProductCode, StockQty1, StockValue1) Values (N'A', 10, 40);";

INSTANTIATE_TEST_SUITE_P(
    Numbering, EngineBatches,
    ::testing::Values(
        TBatchCase{"YearlyFirst", {kYearly}, InvoiceBatch("1001", "261208", "C1", {{"A", 2, 5}}, 10),
                   "Select InvoiceNo From InvoiceHead Where OnlineOrderId=N'1001'", "W26000001", "W26000001"},
        TBatchCase{"YearlyNext", {kYearly, InvoiceBatch("1001", "261208", "C1", {{"A", 2, 5}}, 10)},
                   InvoiceBatch("1002", "261209", "C1", {{"A", 1, 5}}, 5),
                   "Select Max(InvoiceNo) From InvoiceHead", "W26000002", "W26000002"},
        TBatchCase{"DailyAfterExisting",
                   {kDaily, "Insert InvoiceHead (InvoiceNo, KindFlag) Values (N'W2612080041', 6);"},
                   InvoiceBatch("1003", "261208", "C1", {{"A", 1, 5}}, 5),
                   "Select InvoiceNo From InvoiceHead Where OnlineOrderId=N'1003'", "W2612080042", "W2612080042"},
        TBatchCase{"FourLetterPrefixUsesThree",
                   {"Insert Profile (GenerateInvoiceNoKind, POSInit) Values (0, N'ABCD');"},
                   InvoiceBatch("1004", "261208", "C1", {}, 0),
                   "Select InvoiceNo From InvoiceHead", "ABC26000001", "ABC26000001"},
        TBatchCase{"StockAndPaidTotal", {kYearly},
                   InvoiceBatch("1005", "261208", "C1", {{"A", 2, 5}, {"A", 1, 5}}, 15),
                   "Select Cast(StockQty1 As varchar(10)) + '/' + Cast(StockValue1 As varchar(10)) + '/' + "
                   "Cast((Select PaidAmount From InvoiceHead) As varchar(10)) From Product",
                   "7/28/15"},
        TBatchCase{"SameOrderAgainKeepsItsNumber",
                   {kYearly, InvoiceBatch("1006", "261208", "C1", {{"A", 1, 5}}, 5)},
                   InvoiceBatch("1006", "261208", "C1", {{"A", 1, 5}}, 5),
                   "Select Cast(Count(*) As varchar(3)) + InvoiceNo From InvoiceHead Group By InvoiceNo",
                   "1W26000001", "W26000001"},
        TBatchCase{"CreditNoteNumbers",
                   {kYearly, InvoiceBatch("1007", "261208", "C1", {{"A", 1, 5}}, 5),
                    CreditNoteBatch("W26000001", "26")},
                   CreditNoteBatch("W26000001", "26"), "Select Max(InvoiceNo) From InvoiceHead Where KindFlag = 5",
                   "CN2600002", "CN2600002"},
        TBatchCase{"CreditNoteOnEmptyNotes", {kYearly, InvoiceBatch("1008", "261208", "C1", {}, 0)},
                   CreditNoteBatch("W26000001", "26"),
                   "Select Notes From InvoiceHead Where InvoiceNo = N'W26000001'",
                   "This Invoice has been credited: CN2600001", "CN2600001"},
        TBatchCase{"CreditNoteAppendsOnce",
                   {kYearly, InvoiceBatch("1009", "261208", "C1", {}, 0),
                    "Update InvoiceHead Set Notes = N'Leave at door' Where InvoiceNo = N'W26000001';"},
                   CreditNoteBatch("W26000001", "26") + ";" +
                       // The same note text again is not appended twice.
                       "Declare @X nvarchar(100); Select @X = N'This Invoice has been credited: CN2600001';"
                       "if CharIndex(@X, (Select Notes From InvoiceHead Where InvoiceNo = N'W26000001')) = 0 "
                       "Update InvoiceHead Set Notes = Notes + @X Where InvoiceNo = N'W26000001'",
                   "Select Notes From InvoiceHead Where InvoiceNo = N'W26000001'",
                   "Leave at door\r\nThis Invoice has been credited: CN2600001", "CN2600001"}),
    [](const auto& info) { return std::string(info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    Rules, EngineBatches,
    ::testing::Values(
        TBatchCase{"AssignOverNoRowsLeavesNull", {},
                   "Declare @x nvarchar(15); Select @x = CustomerCode From Customer Where CustomerCode = N'none'; "
                   "Select IsNull(@x, N'null')",
                   "", "", "null"},
        TBatchCase{"AssignOverNoRowsKeepsValue", {},
                   "Declare @x nvarchar(15); Set @x = N'keep'; Select @x = CustomerCode From Customer; Select @x", "", "",
                   "keep"},
        TBatchCase{"AssignTakesLastRow", {"Insert Customer (CustomerCode) Values (N'A'), (N'B')"},
                   "Declare @x nvarchar(15); Select @x = CustomerCode From Customer Order By CustomerCode; Select @x",
                   "", "", "B"},
        TBatchCase{"LenIgnoresTrailingBlanks", {}, "Select Len('ab  ')", "", "", "2"},
        TBatchCase{"TextEqualityIgnoresCaseAndBlanks", {"Insert Customer (CustomerCode) Values (N'abc')"},
                   "Select Case When N'abc' = 'ABC  ' Then 'yes' Else 'no' End",
                   "Select Count(*) From Customer Where CustomerCode = 'ABC  '", "1", "yes"},
        TBatchCase{"QuoteSurvivesRoundTrip", {},
                   "Insert Customer (CustomerCode, Address) Values (N'Q', N'1 O''Neil St'); "
                   "Select Address From Customer Where Address = N'1 O''Neil St'",
                   "Select Count(*) From Customer Where Address Like N'%''Neil%'", "1", "1 O'Neil St"},
        TBatchCase{"DateTimesCompareInTimeOrder",
                   {"Insert InvoiceHead (InvoiceNo, InvoiceDate) Values (N'A', '12/31/2026 23:41:48'), "
                    "(N'B', '01/02/2027')"},
                   "Select InvoiceNo From InvoiceHead Where InvoiceDate > '12/31/2026 23:59:59'",
                   "Select InvoiceDate From InvoiceHead Where InvoiceNo = N'A'", "2026-12-31 23:41:48.000", "B"},
        TBatchCase{"IntegerDivisionAndConcatenation", {},
                   "Select Cast(7/2 As varchar(5)) + '|' + Cast(7/2.0 As varchar(5)) + '|' + N'a' + 'b' + '|' + "
                   "Cast(1 + 2 As varchar(5))",
                   "", "", "3|3.5|ab|3"},
        TBatchCase{"LikeOnAKeyIgnoresCase",
                   {"Insert InvoiceHead (InvoiceNo) Values (N'W26000001'), (N'W2612080001'), (N'X26000001'), (N'CN2600001')"},
                   "Select Count(*) From InvoiceHead Where InvoiceNo Like 'w26%'",
                   "Select Count(*) From InvoiceHead Where InvoiceNo Like '%26%01'", "4", "2"},
        TBatchCase{"TopExistsAndInSelect",
                   {"Insert Customer (CustomerCode) Values (N'A'), (N'B'), (N'C'); "
                    "Insert InvoiceHead (InvoiceNo, CustomerCode) Values (N'1', N'B'), (N'2', N'C')"},
                   "Select Top 1 CustomerCode From Customer c Where Exists (Select * From InvoiceHead h Where "
                   "h.CustomerCode = c.CustomerCode) Order By CustomerCode Desc",
                   "Select Count(*) From Customer Where CustomerCode Not In (Select CustomerCode From InvoiceHead)", "1",
                   "C"},
        TBatchCase{"VariableTextIsCutToItsLength", {}, "Declare @n nvarchar(3); Set @n = N'ABCDEF'; Select @n", "", "",
                   "ABC"}),
    [](const auto& info) { return std::string(info.param.Name); });

// A batch that fails is not allowed to leave anything behind.
struct TFailCase {
  const char* Name;
  std::string Batch;
  std::string Message;  // part of the error text
};

void PrintTo(const TFailCase& c, std::ostream* os) { *os << c.Name; }

class EngineFailures : public EngineTest, public ::testing::WithParamInterface<TFailCase> {};

TEST_P(EngineFailures, LeaveNothingWritten) {
  const TFailCase& c = GetParam();
  Exec(kPosTables);
  Exec(kYearly);
  EXPECT_NE(ErrorOf(c.Batch).find(c.Message), std::string::npos) << ErrorOf(c.Batch);
  EXPECT_EQ(Text("Select Count(*) From Customer"), "0");
  EXPECT_EQ(Text("Select Count(*) From InvoiceHead"), "0");
  EXPECT_EQ(Text("Select StockQty1 From Product"), "10");
}

INSTANTIATE_TEST_SUITE_P(
    Batches, EngineFailures,
    ::testing::Values(
        // The second line's product code is longer than the column: the insert fails,
        // the batch jumps to its rollback and the error still reaches the caller.
        TFailCase{"FailingStatementRollsBack",
                  InvoiceBatch("2001", "261208", "C1", {{"A", 2, 5}, {std::string(40, 'X'), 1, 5}}, 10), "truncated"},
        TFailCase{"MissingColumnRunsNothing",
                  "Insert Customer (CustomerCode) Values (N'X'); Update Product Set StockQty1 = 0; "
                  "Update Customer Set Nope = 1",
                  "Invalid column name 'Nope'"},
        TFailCase{"MissingTableRunsNothing",
                  "Insert Customer (CustomerCode) Values (N'X'); Select * From Nowhere", "Invalid object name 'Nowhere'"},
        TFailCase{"SyntaxErrorRunsNothing", "Insert Customer (CustomerCode) Values (N'X'); Selec * From Customer",
                  "Incorrect syntax"},
        TFailCase{"UndeclaredVariableRunsNothing", "Insert Customer (CustomerCode) Values (@Nobody)",
                  "Must declare the scalar variable \"@Nobody\""},
        TFailCase{"OpenTransactionIsRolledBack",
                  "Begin Tran Insert Customer (CustomerCode) Values (N'X'); Update Product Set StockQty1 = 0",
                  "transaction still open"},
        TFailCase{"UnknownLabel", "Insert Customer (CustomerCode) Values (N'X'); GoTo Nowhere", "label 'Nowhere'"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace ooa::test
