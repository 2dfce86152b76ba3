// The About box and the gesture hidden in its icon.
#include "app/about_dialog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <vector>

#include "app_fixture.h"
#include "platform/fake/fake_platform.h"
#include "resources/resource_ids.h"

namespace sg::app {
namespace {

using platform::SystemIcon;
using platform::fake::FakeDialogHost;

constexpr int kVkShift = 16;
constexpr int kVkControl = 17;
constexpr int kAboutText = 1001;  // any control of the box other than the icon

class AboutDialogTest : public ::testing::Test {
 protected:
  // Opens the box, lets the user act in it, and answers how it ended.
  int Open(std::function<void(FakeDialogHost&)> user) {
    system_.dialogs.ScriptModal(IDD_ABOUT, std::move(user));
    AboutDialog about(system_.ports(), [this] {
      const int drawn = draws_.empty() ? 0 : draws_.front();
      if (!draws_.empty()) draws_.pop_front();
      return drawn;
    });
    return system_.dialogs.RunModal(IDD_ABOUT, about, nullptr);
  }
  void HoldKeys(std::vector<int> keys) {
    for (int key : keys) system_.desktop.PressKey(key);
  }
  static void RightDoubleClick(FakeDialogHost& box, int control) {
    box.events().OnControlRightDoubleClick(control);
  }
  int PostsTo(platform::WindowHandle window) {
    int posts = 0;
    for (const auto& posted : system_.desktop.PostLog()) posts += posted.window == window;
    return posts;
  }

  platform::fake::FakePlatform system_;
  std::deque<int> draws_;
};

TEST_F(AboutDialogTest, OkAndCancelCloseTheBoxAndNothingElseDoes) {
  EXPECT_EQ(Open([](FakeDialogHost& box) { box.Click(platform::kIdOk); }), platform::kIdOk);
  EXPECT_EQ(Open([](FakeDialogHost& box) { box.Click(platform::kIdCancel); }), platform::kIdCancel);
  Open([](FakeDialogHost& box) {
    box.events().OnCommand(IDC_ABOUT_ICON, platform::kBnClicked);
    box.events().OnCommand(kAboutText, platform::kBnClicked);
    EXPECT_FALSE(box.ended());
  });
}

TEST_F(AboutDialogTest, TheGestureNeedsCtrlAndShiftAndTheIcon) {
  struct Attempt {
    std::vector<int> keys;
    int control;
    const char* what;
  };
  const Attempt attempts[] = {
      {{}, IDC_ABOUT_ICON, "no keys"},
      {{kVkControl}, IDC_ABOUT_ICON, "Ctrl only"},
      {{kVkShift}, IDC_ABOUT_ICON, "Shift only"},
      {{kVkControl, kVkShift}, kAboutText, "both keys, but the text"},
  };
  for (const Attempt& attempt : attempts) {
    system_.desktop.ReleaseKey(kVkControl);
    system_.desktop.ReleaseKey(kVkShift);
    HoldKeys(attempt.keys);
    Open([&](FakeDialogHost& box) {
      RightDoubleClick(box, attempt.control);
      const auto& icon = box.control(IDC_ABOUT_ICON);
      EXPECT_EQ(icon.system_icon, std::nullopt) << attempt.what;
      EXPECT_EQ(icon.width, 0) << attempt.what;
      EXPECT_EQ(icon.x, 0) << attempt.what;
      EXPECT_FALSE(box.control(kAboutText).system_icon.has_value()) << attempt.what;
    });
    EXPECT_EQ(system_.system.PendingThreads(), 0u) << attempt.what;
  }

  // A left double click with both keys is not the gesture either.
  HoldKeys({kVkControl, kVkShift});
  Open([](FakeDialogHost& box) {
    box.events().OnControlDoubleClick(IDC_ABOUT_ICON);
    EXPECT_EQ(box.control(IDC_ABOUT_ICON).system_icon, std::nullopt);
  });
  EXPECT_EQ(system_.system.PendingThreads(), 0u);
}

TEST_F(AboutDialogTest, TheIconTurnsIntoTheLogoAndJumpsByTheDrawnOffsets) {
  // Draws up to 8 jump up or left by 2 more than drawn; from 9 on, down or right likewise.
  struct Jump {
    int drawn_x;
    int drawn_y;
    int dx;
    int dy;
  };
  for (const Jump jump : {Jump{0, 8, -2, -10}, Jump{9, 18, 11, 20}, Jump{18, 0, 20, -2}}) {
    draws_ = {jump.drawn_x, jump.drawn_y};
    HoldKeys({kVkControl, kVkShift});
    Open([&](FakeDialogHost& box) {
      RightDoubleClick(box, IDC_ABOUT_ICON);
      const auto& icon = box.control(IDC_ABOUT_ICON);
      EXPECT_EQ(icon.system_icon, SystemIcon::kWinLogo);
      EXPECT_EQ(icon.x, jump.dx) << "drawn " << jump.drawn_x;
      EXPECT_EQ(icon.y, jump.dy) << "drawn " << jump.drawn_y;
      EXPECT_EQ(icon.width, 32);
      EXPECT_EQ(icon.height, 32);
      EXPECT_FALSE(box.ended());
    });
    EXPECT_TRUE(draws_.empty()) << "one draw for each direction";
    EXPECT_EQ(system_.system.RunThreads(), 1) << "one flashing worker per gesture";
  }
}

TEST_F(AboutDialogTest, TheWorkerFlashesTheIconFiveTimesFasterEachTime) {
  HoldKeys({kVkControl, kVkShift});
  std::vector<std::uint64_t> waits;
  std::vector<std::optional<SystemIcon>> shown_while_waiting;
  Open([&](FakeDialogHost& box) {
    RightDoubleClick(box, IDC_ABOUT_ICON);
    // The icon changes on the box's own thread: the worker's messages arrive while it waits.
    std::uint64_t last = 0;
    system_.system.OnSleep([&](std::uint64_t now) {
      waits.push_back(now - last);
      last = now;
      system_.desktop.DeliverPosted();
      shown_while_waiting.push_back(box.control(IDC_ABOUT_ICON).system_icon);
    });
    EXPECT_EQ(system_.system.RunThreads(), 1);
    system_.desktop.DeliverPosted();
    // Five swaps starting with the application icon: application, logo, application, logo,
    // application. The box ends on the application icon.
    EXPECT_EQ(box.control(IDC_ABOUT_ICON).system_icon, SystemIcon::kApplication);
    EXPECT_EQ(box.control(IDC_ABOUT_ICON).width, 32) << "flashing keeps the jumped rectangle";
    EXPECT_EQ(PostsTo(box.Window()), 5);
  });
  EXPECT_EQ(waits, (std::vector<std::uint64_t>{250, 200, 150, 100, 50}));
  const auto A = SystemIcon::kApplication;
  const auto W = SystemIcon::kWinLogo;
  EXPECT_EQ(shown_while_waiting, (std::vector<std::optional<SystemIcon>>{W, A, W, A, W}));
}

TEST_F(AboutDialogTest, ClosingTheBoxWhileTheWorkerWaitsStopsTheFlashing) {
  HoldKeys({kVkControl, kVkShift});
  Open([&](FakeDialogHost& box) {
    RightDoubleClick(box, IDC_ABOUT_ICON);
    int wait = 0;
    system_.system.OnSleep([&](std::uint64_t) {
      if (++wait == 2) box.Click(platform::kIdOk);
    });
    system_.system.RunThreads();
    // The window still exists until the modal loop returns; only the first swap reached it.
    EXPECT_EQ(PostsTo(box.Window()), 1);
    system_.desktop.DeliverPosted();
    EXPECT_EQ(box.control(IDC_ABOUT_ICON).system_icon, SystemIcon::kApplication);
  });
}

TEST_F(AboutDialogTest, AWorkerOutlivingTheBoxTouchesNothing) {
  HoldKeys({kVkControl, kVkShift});
  platform::WindowHandle window = 0;
  Open([&](FakeDialogHost& box) {
    window = box.Window();
    RightDoubleClick(box, IDC_ABOUT_ICON);
    box.Click(platform::kIdOk);
  });
  // The box, its host and its message map are gone; the worker only finds the box closed.
  ASSERT_FALSE(system_.desktop.Exists(window));
  EXPECT_EQ(system_.system.RunThreads(), 1);
  EXPECT_EQ(PostsTo(window), 0);
  EXPECT_EQ(system_.desktop.DeliverPosted(), 0);
}

TEST_F(AppTest, TheAboutCommandOpensTheBoxWithItsGesture) {
  Start();
  system_.system.RunThreads();  // the splash's
  system_.desktop.PressKey(kVkControl);
  system_.desktop.PressKey(kVkShift);
  bool opened = false;
  system_.dialogs.ScriptModal(IDD_ABOUT, [&](FakeDialogHost& box) {
    opened = true;
    box.events().OnControlRightDoubleClick(IDC_ABOUT_ICON);
    const auto& icon = box.control(IDC_ABOUT_ICON);
    EXPECT_EQ(icon.system_icon, SystemIcon::kWinLogo);
    for (int offset : {icon.x, icon.y}) {
      EXPECT_GE(std::abs(offset), 2);
      EXPECT_LE(std::abs(offset), 20);
    }
    box.Click(platform::kIdOk);
  });
  MainWindow().events().OnCommand(IDM_ABOUT, 0);
  EXPECT_TRUE(opened);
  EXPECT_EQ(system_.system.RunThreads(), 1);
}

}  // namespace
}  // namespace sg::app
