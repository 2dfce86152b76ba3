#include "app/netscape_scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "support/test_doubles.h"

namespace sg::app {
namespace {

// Stands in for the main dialog: its timer paces the passes, and the flashes' thread reaches
// the tray through it.
class MainDialogEvents final : public platform::DialogEvents {
 public:
  void OnInitDialog(platform::DialogHost&) override {}
  void OnCommand(int, int) override {}
  void OnTimer(std::uint32_t timer_id) override {
    if (timer_id == kTimerNetscapePass && scanner) scanner->OnTimer();
  }
  std::optional<std::intptr_t> OnMessage(std::uint32_t message, std::uintptr_t,
                                         std::intptr_t) override {
    if (message == kMessageRunUiTasks && tasks) tasks->RunQueued();
    return std::nullopt;
  }
  NetscapeScanner* scanner = nullptr;
  UiThreadTasks* tasks = nullptr;
};

class NetscapeScannerTest : public ::testing::Test {
 protected:
  NetscapeScannerTest() {
    blocks_.AttachBlockedList(*dialog_);
    ui_tasks_.Open(dialog_->Window());
    events_.scanner = &scanner_;
    events_.tasks = &ui_tasks_;
    scanner_.AttachTimers(*dialog_);
    tray_.Create(target_, kTrayCallbackMessage, "Snapgate!", IDI_TRAY_NORMAL, kTrayIconId);
  }

  platform::WindowHandle Open(const std::string& title) {
    return system_.desktop.OpenForeign(title, true, "MozillaWindowClass");
  }
  // Runs the scanner: each action comes before one pass; then it stops.
  void Run(std::vector<std::function<void()>> before_each_pass) {
    scanner_.Start({&hold_down_key_, &tray_, safe_sites_});
    for (const auto& action : before_each_pass) {
      action();
      system_.dialogs.AdvanceTime(250);
      // The other programs' windows handle what was posted to them.
      system_.desktop.DeliverPosted();
    }
    scanner_.Stop();
    system_.system.RunThreads();      // the flashes
    system_.desktop.DeliverPosted();  // reach the tray
  }
  bool Exists(platform::WindowHandle window) { return system_.desktop.Exists(window); }

  platform::fake::FakePlatform system_;
  MainDialogEvents events_;
  testing::NoTrayTarget target_;
  std::unique_ptr<platform::DialogHost> dialog_ =
      system_.dialogs.CreateModeless(1, events_, nullptr);
  browser::FilterList safe_sites_{*dialog_, 7};
  SystemTray tray_{system_.tray, system_.desktop, system_.system};
  UiThreadTasks ui_tasks_{system_.desktop};
  BlockRecord blocks_{system_.ports(), tray_, ui_tasks_};
  int hold_down_key_ = 17;
  NetscapeScanner scanner_{system_.desktop, blocks_};
};

TEST_F(NetscapeScannerTest, WindowsOpenAtTheStartStayAndALaterOneIsClosed) {
  const auto main = Open("Home - Netscape");
  const auto second = Open("News - Netscape 7");
  platform::WindowHandle late = 0;
  Run({[] {}, [&] { late = Open("Casino - Netscape"); }, [] {}});
  EXPECT_TRUE(Exists(main));
  EXPECT_TRUE(Exists(second));
  EXPECT_FALSE(Exists(late));
  EXPECT_EQ(blocks_.run_blocks(), 1);
  EXPECT_EQ(dialog_->ListText(IDC_BLOCKED_LIST, 0), "Casino - Netscape");
  const auto icons = system_.tray.IconHistory();
  EXPECT_EQ(std::count(icons.begin(), icons.end(), IDI_TRAY_FLASH), 1) << "a single flash";
  EXPECT_EQ(icons.back(), IDI_TRAY_NORMAL);
}

TEST_F(NetscapeScannerTest, RecognisesBrowserTitlesAndLeavesMailAlone) {
  EXPECT_TRUE(IsNetscapeBrowserTitle("Page Netscape"));
  EXPECT_TRUE(IsNetscapeBrowserTitle("Page - Mozilla Firefox"));
  EXPECT_FALSE(IsNetscapeBrowserTitle("Netscape fans page"));
  EXPECT_FALSE(IsNetscapeBrowserTitle("page - netscape"));
  EXPECT_TRUE(IsNeverTouchedNetscapeTitle("Inbox for me - Netscape"));
  EXPECT_TRUE(IsNeverTouchedNetscapeTitle("Drafts - Netscape"));
  EXPECT_FALSE(IsNeverTouchedNetscapeTitle("Drafts- Netscape"));

  Open("Home - Netscape");
  platform::WindowHandle mail = 0;
  platform::WindowHandle safe = 0;
  safe_sites_.Append("example.org");
  Run({[] {},
       [&] {
         mail = Open("INBOX - Netscape");
         safe = Open("example.org - Netscape");
       }});
  EXPECT_TRUE(Exists(mail));
  EXPECT_TRUE(Exists(safe));
}

TEST_F(NetscapeScannerTest, WindowsOpenedWhileAllowedAreRemembered) {
  Open("Home - Netscape");
  platform::WindowHandle held = 0;
  platform::WindowHandle while_off = 0;
  Run({[] {},
       [&] {
         system_.desktop.PressKey(17);
         held = Open("Wanted - Netscape");
       },
       [&] {
         system_.desktop.ReleaseKey(17);
         tray_.set_blocking_enabled(false);
         while_off = Open("Also wanted - Netscape");
       },
       [&] { tray_.set_blocking_enabled(true); }, [] {}});
  EXPECT_TRUE(Exists(held));
  EXPECT_TRUE(Exists(while_off));
  EXPECT_EQ(blocks_.run_blocks(), 0);
}

TEST_F(NetscapeScannerTest, TheEarliestRememberedWindowTakesTheMainWindowsPlace) {
  const auto main = Open("Home - Netscape");
  const auto second = Open("Second - Netscape");
  Run({[] {}, [&] { system_.desktop.Close(main); }, [] {}});
  EXPECT_EQ(scanner_.known()[0], second);
  EXPECT_TRUE(Exists(second));
}

TEST_F(NetscapeScannerTest, AStoppedScannerPassesNoMoreAndARestartForgetsEarlierWindows) {
  const auto first = Open("Home - Netscape");
  Run({[] {}});
  EXPECT_FALSE(scanner_.running());
  system_.dialogs.AdvanceTime(1000);
  const auto late = Open("Casino - Netscape");
  system_.dialogs.AdvanceTime(1000);
  system_.desktop.DeliverPosted();
  EXPECT_TRUE(Exists(late)) << "no pass after the stop";

  system_.desktop.Close(first);
  system_.desktop.Close(late);
  const auto again = Open("Again - Netscape");
  Run({[] {}});
  EXPECT_EQ(scanner_.known()[0], again);
  EXPECT_EQ(blocks_.run_blocks(), 0);
}

}  // namespace
}  // namespace sg::app
