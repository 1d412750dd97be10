// Shared pieces of the window tests: a service backend whose connection
// succeeds or fails on demand, a settings file in a fresh folder, and a way to
// answer the settings dialog while it runs modally.
#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>
#include <string>

#include "config/ActivityLog.h"
#include "config/Config.h"
#include "service/ServiceBackend.h"
#include "support/TempDir.h"
#include "gui/ConfigurationForm.h"

namespace ooa::test {

class TFakeBackend : public IServiceBackend {
 public:
  bool ConnectSucceeds = true;
  bool IsConnected = false;
  int Connects = 0, PrintParamReads = 0, ShopInits = 0;

  bool Connected() override { return IsConnected; }
  bool ConnectToServer() override {
    ++Connects;
    IsConnected = ConnectSucceeds;
    return IsConnected;
  }
  void ReadPrintParams() override { ++PrintParamReads; }
  void InitShop() override { ++ShopInits; }
  bool TakeAppLock() override { return true; }  // the only copy
  void ReleaseAppLock() override {}
};

// Points the settings at a file of a fresh folder for the test's lifetime.
class TSettingsFile {
 public:
  explicit TSettingsFile(const std::string& content = "") {
    Path = Dir.File("OnlineService.ini");
    if (!content.empty()) Dir.Write("OnlineService.ini", content);
    SetConfigPath(Path);
    SetConfig(TConfig{});
    LoadConfig();
  }
  ~TSettingsFile() { SetConfigPath(""); }
  std::string Text() const { return TTempDir::Read(Path); }
  std::string Path;

 private:
  TTempDir Dir;
};

// Runs answer on the settings dialog once it is shown modally.
inline void WhenDialogShows(std::function<void(TConfigurationForm&)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* form = qobject_cast<TConfigurationForm*>(QApplication::activeModalWidget());
    if (!form) {
      WhenDialogShows(answer);  // not up yet
      return;
    }
    answer(*form);
  });
}

}  // namespace ooa::test
