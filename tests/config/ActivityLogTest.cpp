// The activity log: detail lines only in debug mode, status lines always, and
// each writing thread's lines in that thread's order.
#include <gtest/gtest.h>

#include <thread>

#include "config/ActivityLog.h"
#include "config/Config.h"

namespace ooa {
namespace {

class ActivityLogTest : public ::testing::Test {
 protected:
  void SetUp() override { ActivityLog().SetSink(&Sink); }
  void TearDown() override {
    ActivityLog().SetSink(nullptr);
    SetConfig(TConfig{});
  }
  static void SetDebug(bool on) {
    TConfig c;
    c.Debug = on;
    SetConfig(c);
  }
  TMemoryLogSink Sink;
};

TEST_F(ActivityLogTest, DetailLinesOnlyInDebugMode) {
  SetDebug(false);
  LogLine("hidden");
  StatusLine("Sync Service Started");
  EXPECT_EQ(Sink.Lines(), std::vector<std::string>{"Sync Service Started"});

  SetDebug(true);
  LogLine(" |- Order ID: 17");
  EXPECT_EQ(Sink.Lines(), (std::vector<std::string>{"Sync Service Started", " |- Order ID: 17"}));

  ActivityLog().Clear();
  EXPECT_TRUE(Sink.Lines().empty());
}

TEST_F(ActivityLogTest, EachThreadKeepsItsOrder) {
  SetDebug(true);
  constexpr int kLines = 3000;
  auto writer = [](char tag) {
    for (int i = 0; i < kLines; ++i) LogLine(std::string(1, tag) + std::to_string(i));
  };
  std::thread a(writer, 'a');
  std::thread b(writer, 'b');
  a.join();
  b.join();

  const auto lines = Sink.Lines();
  ASSERT_EQ(lines.size(), 2u * kLines);
  int next[2] = {0, 0};
  for (const std::string& line : lines) {
    const int which = line[0] - 'a';
    ASSERT_EQ(std::stoi(line.substr(1)), next[which]) << line;
    ++next[which];
  }
}

}  // namespace
}  // namespace ooa
