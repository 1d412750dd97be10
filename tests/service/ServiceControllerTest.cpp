// The controller's start when reading the print settings fails: the start
// goes no further, and the next start completes the set-up on the open
// connection instead of leaving the shop channels without their settings.
#include <gtest/gtest.h>

#include <stdexcept>

#include "config/ActivityLog.h"
#include "service/EventLoop.h"
#include "service/ServiceController.h"

namespace ooa {
namespace {

struct TFlakyBackend : IServiceBackend {
  bool IsConnected = false;
  int Connects = 0, PrintParamReads = 0, ShopInits = 0;
  int PrintParamFailures = 1;

  bool Connected() override { return IsConnected; }
  bool ConnectToServer() override {
    ++Connects;
    return IsConnected = true;
  }
  void ReadPrintParams() override {
    ++PrintParamReads;
    if (PrintParamFailures-- > 0) throw std::runtime_error("Invalid object name 'Profile'.");
  }
  void InitShop() override { ++ShopInits; }
  bool TakeAppLock() override { return true; }
  void ReleaseAppLock() override {}
};

TEST(ServiceControllerTest, AStartThatFailedOnThePrintSettingsIsCompletedByTheNextStart) {
  TMemoryLogSink log;
  ActivityLog().SetSink(&log);
  TEventLoop loop;
  TSyncScheduler scheduler(loop, [] {}, [] {});
  TFlakyBackend backend;
  TServiceController controller(backend, scheduler);

  EXPECT_THROW(controller.StartService(), std::runtime_error);
  EXPECT_FALSE(controller.Running());
  EXPECT_FALSE(scheduler.TimerEnabled(TPassKind::Catalogue));
  EXPECT_EQ(backend.ShopInits, 0);
  EXPECT_TRUE(log.Lines().empty());

  controller.StartService();
  EXPECT_TRUE(controller.Running());
  EXPECT_EQ(backend.Connects, 1);
  EXPECT_EQ(backend.PrintParamReads, 2);
  EXPECT_EQ(backend.ShopInits, 1);
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"Connect to SQL Server database successful.", "Sync Service Started"}));
  ActivityLog().SetSink(nullptr);
}

}  // namespace
}  // namespace ooa
