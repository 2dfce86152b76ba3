// The help window from the program's own template 103, through the real dialogs of Wine: it
// opens, lays out, resizes, closes, and opens again at the size it was left at.
#include <windows.h>
// clang-format off
// Before the ports: their operations share names with the Windows headers' macros.
#include "platform/win32/unclashed_names.h"
// clang-format on

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <iostream>
#include <string>
#include <thread>

#include "controls/help_dialog.h"
#include "platform/win32/win32_platform.h"
#include "resources/resource_ids.h"

namespace sg::controls {
namespace {

using namespace std::chrono_literals;

std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

RECT InClient(HWND dialog, int control) {
  RECT bounds{};
  GetWindowRect(GetDlgItem(dialog, control), &bounds);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&bounds), 2);
  return bounds;
}

// What the user saw of one showing, and did to it.
struct Showing {
  SIZE opened{};
  RECT ok_before{}, ok_after{}, browser_before{}, browser_after{};
  std::string browser_class, browser_text;
  bool animation_shown = false;
};

class HelpWindowUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    profile_file_ =
        platform_.ports().profile.ApplicationDataFolder() + "\\Snapgate!\\Snapgate!.ini";
    // Another run of the program may have remembered a size: keep it for afterwards.
    saved_cx_ = GetPrivateProfileIntA("67", "CX", 0, profile_file_.c_str());
    saved_cy_ = GetPrivateProfileIntA("67", "CY", 0, profile_file_.c_str());
    WritePrivateProfileStringA("67", nullptr, nullptr, profile_file_.c_str());
  }
  void TearDown() override {
    WritePrivateProfileStringA("67", nullptr, nullptr, profile_file_.c_str());
    if (saved_cx_ && saved_cy_) {
      WritePrivateProfileStringA("67", "CX", std::to_string(saved_cx_).c_str(),
                                 profile_file_.c_str());
      WritePrivateProfileStringA("67", "CY", std::to_string(saved_cy_).c_str(),
                                 profile_file_.c_str());
    }
  }

  // Shows the window; another thread finds it by its caption, grows it by dx, dy (if any) and
  // presses OK.
  Showing Show(int dx, int dy) {
    Showing seen;
    const std::string caption = HelpCaption();
    auto user = std::async(std::launch::async, [&] {
      const auto deadline = std::chrono::steady_clock::now() + 30s;
      HWND window = nullptr;
      while (!window && std::chrono::steady_clock::now() < deadline) {
        window = FindWindowA(nullptr, caption.c_str());
        if (!window || !IsWindowVisible(window))
          window = nullptr, std::this_thread::sleep_for(20ms);
      }
      if (!window) return false;
      RECT outer{};
      GetWindowRect(window, &outer);
      seen.opened = {outer.right - outer.left, outer.bottom - outer.top};
      seen.ok_before = InClient(window, IDC_HELP_OK);
      seen.browser_before = InClient(window, IDC_HELP_BROWSER);
      HWND browser = GetDlgItem(window, IDC_HELP_BROWSER);
      char class_name[64] = {};
      GetClassNameA(browser, class_name, sizeof class_name);
      seen.browser_class = class_name;
      seen.browser_text = TextOf(browser);
      seen.animation_shown = IsWindowVisible(GetDlgItem(window, IDC_HELP_ANIMATION));
      if (dx || dy) {
        SetWindowPos(window, nullptr, 0, 0, seen.opened.cx + dx, seen.opened.cy + dy,
                     SWP_NOMOVE | SWP_NOZORDER);
      }
      seen.ok_after = InClient(window, IDC_HELP_OK);
      seen.browser_after = InClient(window, IDC_HELP_BROWSER);
      PostMessageA(window, WM_COMMAND, IDOK, 0);
      return true;
    });
    HelpDialog dialog(platform_.ports());
    const int result = platform_.ports().dialogs.RunModal(IDD_HELP, dialog, nullptr);
    EXPECT_TRUE(user.get()) << "no window titled " << caption;
    EXPECT_EQ(result, IDOK);
    return seen;
  }

  platform::win32::Win32Platform platform_;
  std::string profile_file_;
  int saved_cx_ = 0;
  int saved_cy_ = 0;
};

TEST_F(HelpWindowUnderWine, OpensResizesClosesAndOpensAgainAtTheNewSize) {
  CoInitialize(nullptr);
  const Showing first = Show(100, 50);
  EXPECT_GE(first.opened.cx, 400);
  EXPECT_GE(first.opened.cy, 400);
  EXPECT_EQ(first.browser_text, kHelpPageAddress);
  std::cout << "browser control: " << first.browser_class << "\n";
  EXPECT_TRUE(first.animation_shown);
  EXPECT_EQ(first.ok_after.left - first.ok_before.left, 100);
  EXPECT_EQ(first.ok_after.top - first.ok_before.top, 50);
  EXPECT_EQ(first.browser_after.right - first.browser_before.right, 100);
  EXPECT_EQ(first.browser_after.bottom - first.browser_before.bottom, 50);
  EXPECT_EQ(first.browser_after.left, first.browser_before.left);
  EXPECT_EQ(GetPrivateProfileIntA("67", "CX", 0, profile_file_.c_str()), first.opened.cx + 100);

  const Showing second = Show(0, 0);
  EXPECT_EQ(second.opened.cx, first.opened.cx + 100);
  EXPECT_EQ(second.opened.cy, first.opened.cy + 50);
  EXPECT_EQ(second.ok_before.left, first.ok_after.left);
  EXPECT_EQ(second.browser_before.bottom, first.browser_after.bottom);
  CoUninitialize();
}

TEST_F(HelpWindowUnderWine, CannotBeMadeSmallerThan400By400) {
  CoInitialize(nullptr);
  Show(-1000, -1000);
  EXPECT_EQ(GetPrivateProfileIntA("67", "CX", 0, profile_file_.c_str()), 400);
  EXPECT_EQ(GetPrivateProfileIntA("67", "CY", 0, profile_file_.c_str()), 400);
  CoUninitialize();
}

}  // namespace
}  // namespace sg::controls
