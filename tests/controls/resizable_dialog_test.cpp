// The help window as a user resizes it: what moves, what is remembered, what damage does.
#include "controls/resizable_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "controls/help_dialog.h"
#include "controls/help_layout.h"
#include "platform/fake/fake_platform.h"
#include "resources/resource_ids.h"

namespace sg::controls {
namespace {

using platform::WindowRect;
using platform::WindowSize;
using platform::fake::FakeDialogHost;

constexpr WindowSize kTemplateSize = kHelpTemplateSize;
constexpr WindowSize kMinimum{400, 400};
constexpr WindowSize kScreen{1024, 768};
constexpr int kDx = 100, kDy = 50;  // how far the user drags the frame
constexpr WindowSize kEnlarged{kTemplateSize.width + kDx, kTemplateSize.height + kDy};
constexpr int kGripInset = 8;  // well inside the grip's square
constexpr const char* kProfileFile = "C:\\Users\\User\\AppData\\Roaming\\Snapgate!\\Snapgate!.ini";
constexpr int kFollowers[] = {IDC_HELP_BROWSER,  IDC_HELP_OK,   IDC_HELP_ANIMATION, IDC_HELP_EMAIL,
                              IDC_HELP_WEB_SITE, IDC_HELP_ICON, IDC_HELP_VERSION};
using Layout = std::map<int, WindowRect>;

Layout ControlsOf(FakeDialogHost& host) {
  Layout layout;
  for (const int id : kFollowers) layout[id] = *host.ControlRect(id);
  return layout;
}

struct Opening {  // what a showing of the help window opened with
  WindowSize size;
  Layout controls;
};

class HelpWindowSize : public ::testing::Test {
 protected:
  HelpWindowSize() { fake_.dialogs.DeclareLayout(IDD_HELP, HelpLayout()); }

  // One modal showing of the help window, worked by the user's script.
  Opening Show(std::function<void(FakeDialogHost&)> script = {}) {
    Opening opening;
    fake_.dialogs.ScriptModal(IDD_HELP, [&](FakeDialogHost& host) {
      const WindowRect outer = host.OuterRect();
      opening = {{outer.right - outer.left, outer.bottom - outer.top}, ControlsOf(host)};
      if (script) script(host);
    });
    HelpDialog dialog(fake_.ports());
    fake_.ports().dialogs.RunModal(IDD_HELP, dialog, nullptr);
    return opening;
  }

  platform::fake::FakePlatform fake_;
};

TEST_F(HelpWindowSize, AnEnlargedWindowReopensAsLargeWithItsControlsFollowingTheirAnchors) {
  const Layout before = Show().controls;
  EXPECT_FALSE(fake_.files.Exists(kProfileFile)) << "an unchanged size is not stored";

  Layout dragged;
  Show([&](FakeDialogHost& host) {
    host.DragFrameTo(kEnlarged.width, kEnlarged.height);
    dragged = ControlsOf(host);
  });
  const Opening next = Show();

  EXPECT_EQ(next.size, kEnlarged);
  const WindowRect browser = before.at(IDC_HELP_BROWSER), ok = before.at(IDC_HELP_OK);
  EXPECT_EQ(dragged[IDC_HELP_BROWSER],
            (WindowRect{browser.left, browser.top, browser.right + kDx, browser.bottom + kDy}));
  EXPECT_EQ(dragged[IDC_HELP_OK],
            (WindowRect{ok.left + kDx, ok.top + kDy, ok.right + kDx, ok.bottom + kDy}));
  for (const int id : {IDC_HELP_ANIMATION, IDC_HELP_EMAIL, IDC_HELP_WEB_SITE}) {
    const WindowRect link = before.at(id);
    EXPECT_EQ(dragged[id], (WindowRect{link.left, link.top + kDy, link.right, link.bottom + kDy}));
  }
  EXPECT_EQ(dragged[IDC_HELP_ICON], before.at(IDC_HELP_ICON)) << "unanchored controls stay";
  EXPECT_EQ(next.controls, dragged);
}

TEST_F(HelpWindowSize, MaximisingMovesTheControlsAndRestoringBringsThemBack) {
  fake_.dialogs.SetScreenSize(kScreen);
  Layout maximised, restored;
  const Opening opening = Show([&](FakeDialogHost& host) {
    host.Maximize();
    maximised = ControlsOf(host);
    host.Restore();
    restored = ControlsOf(host);
  });
  const Layout& before = opening.controls;
  EXPECT_NE(maximised[IDC_HELP_OK], before.at(IDC_HELP_OK));
  EXPECT_EQ(restored, before);
}

TEST_F(HelpWindowSize, DragsAndDamagedEntriesStayBetweenTheMinimumAndTheScreen) {
  fake_.dialogs.SetScreenSize(kScreen);
  Show([](FakeDialogHost& host) { host.DragFrameTo(120, 90); });
  EXPECT_EQ(Show().size, kMinimum);

  fake_.files.PutFile(kProfileFile, "[67]\r\nCX=wide\r\nCY=\r\n");
  EXPECT_EQ(Show().size, kTemplateSize);
  fake_.files.PutFile(kProfileFile, "[67]\r\nCX=99999999999\r\nCY=2147483647\r\n");
  const WindowSize huge = Show().size;
  EXPECT_GE(huge.width, kMinimum.width);
  EXPECT_LE(huge.width, kScreen.width);
  EXPECT_GE(huge.height, kMinimum.height);
  EXPECT_LE(huge.height, kScreen.height);

  fake_.files.PutFile(kProfileFile, "[67]\r\nCX=-50\r\nCY=-7000\r\n");
  EXPECT_EQ(Show().size, kMinimum);

  // A file grown past any list of sizes is neither read whole nor replaced.
  const std::string grown = "[67]\r\nCX=-50\r\nCY=-7000\r\n;" + std::string(1u << 20, 'x');
  fake_.files.PutFile(kProfileFile, grown);
  Show([](FakeDialogHost& host) { host.DragFrameTo(700, 500); });
  EXPECT_EQ(fake_.files.FileContent(kProfileFile), grown);
}

TEST_F(HelpWindowSize, TheGripSquareResizesFromTheBottomRightCorner) {
  int in_corner = 0, beside_corner = 0;
  Show([&](FakeDialogHost& host) {
    const WindowRect outer = host.OuterRect();
    in_corner = host.HitTest(outer.right - kGripInset, outer.bottom - kGripInset);
    beside_corner = host.HitTest(outer.right - 4 * kGripInset, outer.bottom - kGripInset);
  });
  EXPECT_EQ(in_corner, platform::kHtBottomRight);
  EXPECT_EQ(beside_corner, platform::kHtClient);
}

}  // namespace
}  // namespace sg::controls
