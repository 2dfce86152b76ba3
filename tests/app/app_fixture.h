#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/blocker_app.h"
#include "platform/fake/fake_platform.h"
#include "settings/preset_scrambling.h"

namespace sg::app {

// A fake Windows with the program's menu, on which a test starts the program.
class AppTest : public ::testing::Test {
 protected:
  AppTest() {
    system_.tray.SetMenuCommands(IDR_TRAY_MENU,
                                 {57664, 101, 0, 32772, 32773, 32776, 0, 32775, 32774, 57665});
    system_.dialogs.SetString(101, "&About Snapgate!...");
    // The Netscape scanner's thread runs until stopped; tests that want it switch it on.
    Store("bNetscape", "0");
    const std::vector<std::uint8_t> preset = {'R', 'E', 'G', 'E', 'D', 'I', 'T', '4', '\r', '\n'};
    for (std::uint16_t id : {117, 118, 119}) {
      system_.resources.Add(id, "TXT", settings::ScramblePreset(preset));
    }
  }

  void Store(const std::string& name, const std::string& value) {
    system_.registry.PutString(platform::RegistryRoot::kCurrentUser, "Software\\Snapgate!", name,
                               value);
  }
  std::optional<std::string> Stored(const std::string& name) {
    return system_.registry.GetString(platform::RegistryRoot::kCurrentUser, "Software\\Snapgate!",
                                      name);
  }
  MainDialog& Start() {
    app_ = std::make_unique<BlockerApp>(system_.ports());
    EXPECT_EQ(app_->StartUp(), StartOutcome::kRunning);
    return *app_->main_dialog();
  }
  platform::fake::FakeDialogHost& MainWindow() { return *system_.dialogs.Modeless(IDD_MAIN); }
  int RegeditRuns() {
    int runs = 0;
    for (const auto& run : system_.shell.Executions())
      runs += run.request.file == "C:\\Windows\\regedit.exe";
    return runs;
  }

  platform::fake::FakeSystem::Machine machine_;
  platform::fake::FakePlatform system_{machine_};
  std::unique_ptr<BlockerApp> app_;
};

}  // namespace sg::app
