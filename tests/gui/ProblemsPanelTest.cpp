// The problems list in the main window (offscreen): an entry the service
// writes appears on the Problems tab, a receipt can be asked for again, an
// entry can be dismissed, and an entry whose cause is gone leaves the tab.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "AppFixture.h"
#include "gui/MainFormUnit.h"
#include "gui/QtControlThread.h"
#include "config/ProblemList.h"
#include "service/ServiceController.h"
#include "service/SyncScheduler.h"
#include "gui/ProblemsPanel.h"

namespace ooa::test {
namespace {

struct ProblemsPanelTest : ::testing::Test {
  TSettingsFile Settings{"[ApiConfig]\nServerName=(EMBEDDED)\nDatabaseName=pos.db\n"};
  TFakeBackend Backend;
  TQtControlThread Control;
  TSyncScheduler Scheduler{Control, [] {}, [] {}};
  TServiceController Controller{Backend, Scheduler};
  std::unique_ptr<TMainForm> Form;
  TProblemList List{ProblemListPath()};

  void SetUp() override {
    Form = std::make_unique<TMainForm>(Controller, [] {});
    Form->FormCreate();
    Form->show();
  }
  QString TabText() const { return Form->LogTabs->tabText(1); }
  QTreeWidget& Tree() const { return *Form->ProblemsPanel->ProblemTree; }
  // Waits (bounded) until the tab shows rows entries, as the service's
  // writes reach it by the panel's own look at the file.
  bool ShowsRows(int rows) const {
    return QTest::qWaitFor([&] { return Tree().topLevelItemCount() == rows; }, 6000);
  }
};

TEST_F(ProblemsPanelTest, EntriesComeAndGoAndTheOwnerActsOnThem) {
  EXPECT_EQ(Form->LogTabs->tabText(0), "Activity");
  EXPECT_EQ(TabText(), "Problems");
  EXPECT_EQ(Tree().topLevelItemCount(), 0);
  EXPECT_EQ(Form->ProblemsPanel->StatusLabel->text(), "No problems.");

  // The order pass lists a receipt the printer did not take, and an order.
  TProblem receipt;
  receipt.Id = ReceiptProblemId("W26000002");
  receipt.Kind = "receipt";
  receipt.OrderId = "5001";
  receipt.InvoiceNo = "W26000002";
  receipt.Reason = "Printer 127.0.0.1:9100: Connection refused";
  List.Record(receipt, "2026-12-08 13:41:00");
  TProblem order;
  order.Id = OrderProblemId("5002");
  order.Kind = "order";
  order.OrderId = "5002";
  order.Reason = "Order items data error. - The order has no lines.";
  List.Record(order, "2026-12-08 13:42:00");
  ASSERT_TRUE(ShowsRows(2));
  EXPECT_EQ(TabText(), "Problems (2)");
  const QTreeWidgetItem* row = Tree().topLevelItem(0);
  EXPECT_EQ(row->text(0), "Receipt of W26000002 (order 5001)");
  EXPECT_EQ(row->text(1), "2026-12-08 13:41:00");
  EXPECT_EQ(row->text(2), "2026-12-08 13:41:00");
  ASSERT_EQ(row->childCount(), 1);
  EXPECT_EQ(row->child(0)->text(0), "Printer 127.0.0.1:9100: Connection refused");
  EXPECT_EQ(Tree().topLevelItem(1)->text(0), "Order 5002");

  // Print again: only for a receipt; the request goes into the list.
  ASSERT_TRUE(Form->ProblemsPanel->Select("order:5002"));
  EXPECT_FALSE(Form->ProblemsPanel->ReprintButton->isEnabled());
  EXPECT_TRUE(Form->ProblemsPanel->DismissButton->isEnabled());
  ASSERT_TRUE(Form->ProblemsPanel->Select("receipt:W26000002"));
  ASSERT_TRUE(Form->ProblemsPanel->ReprintButton->isEnabled());
  QTest::mouseClick(Form->ProblemsPanel->ReprintButton, Qt::LeftButton);
  EXPECT_TRUE(List.Load().at(0).Reprint);
  EXPECT_EQ(Tree().topLevelItem(0)->text(0), "Receipt of W26000002 (order 5001) - printing again");
  EXPECT_FALSE(Form->ProblemsPanel->ReprintButton->isEnabled());
  EXPECT_EQ(Form->ProblemsPanel->StatusLabel->text(),
            "The next order pass prints the receipt of W26000002 again.");

  // Dismiss: the entry stays in the file, marked, and leaves the tab.
  ASSERT_TRUE(Form->ProblemsPanel->Select("order:5002"));
  QTest::mouseClick(Form->ProblemsPanel->DismissButton, Qt::LeftButton);
  EXPECT_EQ(Tree().topLevelItemCount(), 1);
  EXPECT_TRUE(List.Load().at(1).Dismissed);
  EXPECT_EQ(TabText(), "Problems (1)");

  // The receipt printed: the pass takes it off the list, and the tab follows.
  ASSERT_TRUE(List.Resolve("receipt:W26000002"));
  ASSERT_TRUE(ShowsRows(0));
  EXPECT_EQ(TabText(), "Problems");
  EXPECT_EQ(Form->ProblemsPanel->StatusLabel->text(), "No problems.");
}

}  // namespace
}  // namespace ooa::test
