// The outer query's key carried into a grouped derived table (the receipt's
// rounding total): the rows stay what the query means, where the key may be
// carried and where it must not be.
#include <gtest/gtest.h>

#include "EngineFixture.h"

namespace ooa::test {
namespace {

const char* kTables = R"(
Create Table Customer (CustomerCode nvarchar(15) Primary Key, CustomerName nvarchar(60));
Create Table InvoiceHead (InvoiceNo nvarchar(15) Primary Key, CustomerCode nvarchar(15), KindFlag int);
Create Table RecvAcct (InvoiceNo nvarchar(15) Not Null, IDNo int Not Null, PaidAmount float, PayBy nvarchar(30),
  Primary Key (InvoiceNo, IDNo));
Insert Customer Values (N'C1', N'Ann');
Insert InvoiceHead Values (N'W26000001', N'C1', 6), (N'W26000002', N'C1', 6), (N'W26000003', N'C1', 6);
Insert RecvAcct Values (N'W26000001', 1, 10, N'card'), (N'W26000001', 2, -0.02, N'ROUNDING'),
  (N'w26000001 ', 3, -0.01, N'rounding'), (N'W26000002', 1, 0.04, N'ROUNDING'), (N'W26000009', 1, 0.5, N'ROUNDING');
)";

const std::string kRounding =
    "(Select InvoiceNo, Sum(PaidAmount) As Rounding From RecvAcct Where PayBy=N'ROUNDING' Group By InvoiceNo) As P";

struct TPushCase {
  const char* Name;
  std::string Sql;
  std::string Rows;  // every row's columns joined with "|", rows with ","
};

void PrintTo(const TPushCase& c, std::ostream* os) { *os << c.Name; }

class EnginePushdown : public EngineTest, public ::testing::WithParamInterface<TPushCase> {};

TEST_P(EnginePushdown, KeepsTheRows) {
  Exec(kTables);
  TQueryResult r = Query(GetParam().Sql);
  std::string rows;
  for (auto& row : r.First().Rows) {
    rows += rows.empty() ? "" : ",";
    for (size_t i = 0; i < row.size(); ++i) rows += (i ? "|" : "") + row[i].AsString();
  }
  EXPECT_EQ(rows, GetParam().Rows);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EnginePushdown,
    ::testing::Values(
        // Texts equal in the POS collation (case, trailing blanks) stay in the group.
        TPushCase{"ReceiptRounding",
                  "Select InvoiceHead.InvoiceNo, Rounding From Customer, InvoiceHead Left Join " + kRounding +
                      " On InvoiceHead.InvoiceNo=P.InvoiceNo Where InvoiceHead.CustomerCode=Customer.CustomerCode and "
                      "InvoiceHead.InvoiceNo=N'W26000001' and KindFlag=6",
                  "W26000001|-0.03"},
        TPushCase{"KeyInAVariable",
                  "Declare @No nvarchar(15); Set @No = N'w26000002'; Select h.InvoiceNo, Rounding From InvoiceHead h "
                  "Left Join " + kRounding + " On h.InvoiceNo=P.InvoiceNo Where h.InvoiceNo=@No",
                  "W26000002|0.04"},
        TPushCase{"NoGroupOfTheKey",
                  "Select h.InvoiceNo, Rounding From InvoiceHead h Left Join " + kRounding +
                      " On P.InvoiceNo=h.InvoiceNo Where N'W26000003'=h.InvoiceNo",
                  "W26000003|"},
        TPushCase{"JoinedInTheWhere",
                  "Select h.InvoiceNo, Rounding From InvoiceHead h, " + kRounding +
                      " Where h.InvoiceNo=P.InvoiceNo And h.InvoiceNo=N'W26000002'",
                  "W26000002|0.04"},
        // The equality sits in another join's On: groups of other keys stay.
        TPushCase{"EqualityOfAnotherJoin",
                  "Select h.InvoiceNo, P.InvoiceNo, c.CustomerName From InvoiceHead h Cross Join " + kRounding +
                      " Left Join Customer c On c.CustomerCode=h.CustomerCode And h.InvoiceNo=P.InvoiceNo "
                      "Where h.InvoiceNo=N'W26000001' Order By 2",
                  "W26000001|W26000001|Ann,W26000001|W26000002|,W26000001|W26000009|"},
        // Top picks among all groups before the join.
        TPushCase{"TopOfAllGroups",
                  "Select h.InvoiceNo, Rounding From InvoiceHead h Left Join (Select Top 1 InvoiceNo, Sum(PaidAmount) As "
                  "Rounding From RecvAcct Group By InvoiceNo Order By InvoiceNo Desc) As P On h.InvoiceNo=P.InvoiceNo "
                  "Where h.InvoiceNo=N'W26000001'",
                  "W26000001|"},
        // A number key meets a grouped number column of another type.
        TPushCase{"NumberKey",
                  "Select h.InvoiceNo, P.N From InvoiceHead h Left Join (Select KindFlag, Count(*) As N From InvoiceHead "
                  "Group By KindFlag) As P On h.KindFlag=P.KindFlag Where h.KindFlag=6.0 And h.InvoiceNo=N'W26000003'",
                  "W26000003|3"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace ooa::test
