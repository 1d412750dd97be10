// ReadPrintParams on an embedded POS database: the receipt options of the
// Profile table's first row go into the process-wide ReceiptSettings, column
// by column.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "db/PosSchema.h"
#include "tsql/EmbeddedSession.h"
#include "print/ReceiptSettings.h"
#include "support/TempDir.h"
#include "sync/PrintParams.h"

namespace ooa::test {
namespace {

const std::vector<std::pair<std::string, bool TReceiptSettings::*>> BooleanColumns = {
    {"PrintDescription1", &TReceiptSettings::PrintDescription1},
    {"PrintDescription2", &TReceiptSettings::PrintDescription2},
    {"PrintDescription3", &TReceiptSettings::PrintDescription3},
    {"PrintDescription4", &TReceiptSettings::PrintDescription4},
    {"TaxInvoiceNumber", &TReceiptSettings::TaxInvoiceNumber},
    {"POSInvoiceNumber", &TReceiptSettings::POSInvoiceNumber},
    {"POSInvoiceDate", &TReceiptSettings::POSInvoiceDate},
    {"PrintDiscountRateOnPOSInvoice", &TReceiptSettings::PrintDiscountRateOnPOSInvoice},
    {"PrintBarcodeInvoiceNo", &TReceiptSettings::PrintBarcodeInvoiceNo},
    {"ConsolidateItemsOnReceipt", &TReceiptSettings::ConsolidateItemsOnReceipt},
    {"OnlyPrintOneLineDescriptionOnReceipt", &TReceiptSettings::OnlyPrintOneLineDescriptionOnReceipt},
    {"HighlightVoidItemOnReceipts", &TReceiptSettings::HighlightVoidItemOnReceipts},
    {"PrintSplitLinesOnReceipts", &TReceiptSettings::PrintSplitLinesOnReceipts},
    {"PrintCustomerNameOnReceipt", &TReceiptSettings::PrintCustomerNameOnReceipt},
    {"PrintWeightTareMessage", &TReceiptSettings::PrintWeightTareMessage},
};

class ReadPrintParamsTest : public ::testing::Test {
 protected:
  void TearDown() override { SetReceiptSettings({}); }

  // A database file made by the batch, and the module connected to it.
  void Connect(const std::string& batch) {
    const std::string file = Dir.File("pos.db");
    {
      auto session = CreateEmbeddedSession(file, true);
      session->Open();
      session->Execute(batch);
      session->Close();
    }
    TConfig c;
    c.ServerName = "(EMBEDDED)";
    c.DatabaseName = file;
    ASSERT_TRUE(Module.ConnectToServer(c));
  }
  void Exec(const std::string& sql) {
    std::string error;
    ASSERT_TRUE(Module.ExecQueryPro(sql, error)) << error;
  }
  // A Profile table of nullable receipt columns, without the one named.
  static std::string ProfileTable(const std::string& without = "") {
    std::string cols = "CompanyName nvarchar(100) Null, ReceiptFormat int Null";
    for (const auto& b : BooleanColumns) {
      if (b.first == "PrintCustomerNameOnReceipt" && without != "PrintFirstDescription")
        cols += ", PrintFirstDescription int Null";
      if (b.first != without) cols += ", " + b.first + " bit Null";
    }
    return "Create Table Profile (" + cols + ", DefaultGSTRate float Null);";
  }

  TTempDir Dir;
  TDatabaseModule Module;
};

TEST_F(ReadPrintParamsTest, EachColumnLandsInItsOwnField) {
  Connect(PosSchemaBatch({"1"}));  // the POS tables with their one Profile row
  for (const auto& [column, field] : BooleanColumns) {
    SCOPED_TRACE(column);
    std::string set;
    for (const auto& other : BooleanColumns)
      set += (set.empty() ? "" : ", ") + other.first + (other.first == column ? "=1" : "=0");
    Exec("Update Profile Set " + set);
    ASSERT_TRUE(ReadPrintParams(Module));
    const TReceiptSettings s = ReceiptSettings();
    for (const auto& [name, f] : BooleanColumns) EXPECT_EQ(s.*f, name == column) << name;
  }
  Exec("Update Profile Set ReceiptFormat=3, PrintFirstDescription=2, DefaultGSTRate=12.5");
  ASSERT_TRUE(ReadPrintParams(Module));
  EXPECT_EQ(ReceiptSettings().ReceiptFormat, 3);
  EXPECT_EQ(ReceiptSettings().PrintFirstDescription, 2);
  EXPECT_DOUBLE_EQ(ReceiptSettings().DefaultGSTRate, 12.5);
}

TEST_F(ReadPrintParamsTest, OnlyTheFirstRowCounts) {
  Connect(ProfileTable() +
          " Insert Into Profile (CompanyName, POSInvoiceDate, POSInvoiceNumber) Values (N'first', 1, 0);"
          " Insert Into Profile (CompanyName, POSInvoiceDate, POSInvoiceNumber) Values (N'second', 0, 1);");
  ASSERT_TRUE(ReadPrintParams(Module));
  EXPECT_TRUE(ReceiptSettings().POSInvoiceDate);
  EXPECT_FALSE(ReceiptSettings().POSInvoiceNumber);
}

TEST_F(ReadPrintParamsTest, EmptyProfileAndNullsReadAsOff) {
  TReceiptSettings on;
  on.PrintDescription1 = true;
  on.PrintFirstDescription = 2;
  on.DefaultGSTRate = 10;

  Connect(ProfileTable());
  SetReceiptSettings(on);
  EXPECT_TRUE(ReadPrintParams(Module));  // no row: every option off
  EXPECT_FALSE(ReceiptSettings().PrintDescription1);
  EXPECT_EQ(ReceiptSettings().PrintFirstDescription, 0);

  Exec("Insert Into Profile (CompanyName) Values (N'Shop')");
  SetReceiptSettings(on);
  EXPECT_TRUE(ReadPrintParams(Module));  // NULL reads as false / 0
  EXPECT_FALSE(ReceiptSettings().PrintDescription1);
  EXPECT_EQ(ReceiptSettings().PrintFirstDescription, 0);
  EXPECT_EQ(ReceiptSettings().DefaultGSTRate, 0.0);
}

TEST_F(ReadPrintParamsTest, MissingColumnRaisesAndKeepsWhatWasRead) {
  Connect(ProfileTable("PrintFirstDescription") +
          " Insert Into Profile (PrintDescription1, PrintWeightTareMessage) Values (1, 0);");
  TReceiptSettings before;
  before.PrintWeightTareMessage = true;
  SetReceiptSettings(before);
  try {
    ReadPrintParams(Module);
    FAIL() << "no error for the missing column";
  } catch (const TDbError& e) {
    EXPECT_NE(std::string(e.what()).find("PrintFirstDescription"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(ReceiptSettings().PrintDescription1);       // read before the missing column
  EXPECT_TRUE(ReceiptSettings().PrintWeightTareMessage);  // after it: as it was
}

TEST_F(ReadPrintParamsTest, QueryErrorRaisesAndLeavesTheRecord) {
  Connect("Create Table Other (Id int Null);");
  TReceiptSettings before;
  before.POSInvoiceDate = true;
  SetReceiptSettings(before);
  EXPECT_THROW(ReadPrintParams(Module), TDbError);
  EXPECT_TRUE(ReceiptSettings().POSInvoiceDate);
}

}  // namespace
}  // namespace ooa::test
