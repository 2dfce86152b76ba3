// A burst of popups, as adware opens them in a loop: every listed window closed at once and
// recorded once, without the program falling behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_fixture.h"

namespace sg::app {
namespace {

using platform::fake::FakeDesktop;

FakeDesktop::Window Visible(const std::string& title) {
  FakeDesktop::Window window;
  window.title = title;
  window.visible = true;
  return window;
}

class BurstTest : public AppTest {
 protected:
  BurstTest() {
    std::string list;
    for (int i = 0; i < 999; ++i) list += "Listed elsewhere " + std::to_string(i) + "\r\n";
    system_.files.PutFile("C:\\Program Files\\Snapgate!\\filters.txt", list + "Blocked Burst*\r\n");
    Store("bDisableSplash", "1");
    Store("m_NumFlashes", "0");
  }
  int Closes(platform::WindowHandle window) {
    int count = 0;
    for (const auto& posted : system_.desktop.PostLog()) {
      count += posted.window == window && posted.message == platform::kWmClose;
    }
    return count;
  }
};

TEST_F(BurstTest, HundredsOfWindowsReportedBetweenTwoTicksAreEachClosedAtOnceAndRecordedOnce) {
  Start();
  auto& blocks = app_->main_dialog()->blocks();
  std::vector<platform::WindowHandle> listed, kept, slow;
  for (int i = 0; i < 500; ++i) {
    FakeDesktop::Window window =
        Visible((i % 2 ? "Kept Burst " : "Blocked Burst ") + std::to_string(i));
    // Some take their time to go, as a busy program does.
    window.ignores_close = i % 20 == 0;
    const auto opened = system_.hooks.OpenWindow(window);
    (i % 2 ? kept : window.ignores_close ? slow : listed).push_back(opened);
  }
  system_.desktop.DeliverPosted();

  for (const auto window : listed) EXPECT_FALSE(system_.desktop.Exists(window));
  for (const auto window : kept) EXPECT_TRUE(system_.desktop.Exists(window));
  EXPECT_EQ(blocks.run_blocks(), 250);
  EXPECT_EQ(MainWindow().ListCount(IDC_BLOCKED_LIST), 250);
  EXPECT_EQ(Stored("m_TotalBlocks"), "250");
  EXPECT_EQ(system_.tray.Shown()->tooltip, "Snapgate! - 250 windows blocked");
  EXPECT_EQ(system_.system.PendingThreads(), 2u)
      << "for the whole burst, one worker flashes and one ends the count's rest";

  // Blocks just after: counted and listed at once, shown in the tooltip once the rest is over.
  system_.hooks.OpenWindow(Visible("Blocked Burst late"));
  system_.desktop.DeliverPosted();
  EXPECT_EQ(MainWindow().ListCount(IDC_BLOCKED_LIST), 251);
  EXPECT_EQ(system_.tray.Shown()->tooltip, "Snapgate! - 250 windows blocked");
  system_.system.RunThreads();
  system_.desktop.DeliverPosted();
  EXPECT_EQ(system_.tray.Shown()->tooltip, "Snapgate! - 251 windows blocked");
  EXPECT_EQ(Stored("m_TotalBlocks"), "251");

  // The slow ones are still there at the following ticks: sent WM_CLOSE again, not counted again.
  system_.dialogs.AdvanceTime(5000);
  system_.desktop.DeliverPosted();
  for (const auto window : slow) EXPECT_GT(Closes(window), 1);
  EXPECT_EQ(blocks.run_blocks(), 251);
  EXPECT_EQ(MainWindow().ListCount(IDC_BLOCKED_LIST), 251);
  system_.system.RunThreads();
  system_.desktop.DeliverPosted();
  EXPECT_EQ(system_.tray.IconHistory().back(), IDI_TRAY_NORMAL);
}

TEST_F(BurstTest, AHandleThatComesBackForANewListedWindowIsJudgedAfresh) {
  system_.desktop.ReuseHandles();
  Start();
  const auto first = system_.hooks.OpenWindow(Visible("Blocked Burst 1"));
  system_.desktop.DeliverPosted();
  ASSERT_FALSE(system_.desktop.Exists(first));

  const auto second = system_.hooks.OpenWindow(Visible("Blocked Burst 2"));
  ASSERT_EQ(second, first) << "the system handed out the same handle";
  system_.desktop.DeliverPosted();
  EXPECT_FALSE(system_.desktop.Exists(second)) << "closed at once, not at the tick after next";
  EXPECT_EQ(app_->main_dialog()->blocks().run_blocks(), 2);
  EXPECT_EQ(MainWindow().ListText(IDC_BLOCKED_LIST, 1), "Blocked Burst 2");
}

}  // namespace
}  // namespace sg::app
