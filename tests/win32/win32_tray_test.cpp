// The notification-area icon and its menu through the real shell of Wine (its tray runs on the
// virtual display).
#include "platform/win32/win32_tray.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/unclashed_names.h"
#include "win32/message_pump.h"
#include "win32/test_resources.h"

namespace sg::platform::win32 {
namespace {

using namespace std::chrono_literals;
using sg::testing::PumpFor;
using sg::testing::PumpUntil;

constexpr std::uint32_t kCallback = kWmUser + 1;
constexpr std::uint32_t kIconId = 1;

class RecordingTrayEvents : public TrayEvents {
 public:
  std::intptr_t OnTrayNotification(std::uintptr_t wparam, std::intptr_t lparam) override {
    notifications.emplace_back(wparam, lparam);
    return answer;
  }
  void OnTaskbarCreated() override { ++taskbar_created; }

  std::intptr_t answer = 0;
  std::vector<std::pair<std::uintptr_t, std::intptr_t>> notifications;
  int taskbar_created = 0;
};

class TrayPortUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = tray_.CreateTrayWindow(events_);
    ASSERT_NE(window_, 0u);
  }
  void TearDown() override { tray_.DestroyTrayWindow(window_); }
  HWND hwnd() const { return reinterpret_cast<HWND>(window_); }
  bool Add(const std::string& tooltip) {
    return tray_.AddIcon(window_, kIconId, kNifMessage | kNifIcon | kNifTip, kCallback, TEST_ICON,
                         tooltip);
  }

  Win32Tray tray_;
  RecordingTrayEvents events_;
  WindowHandle window_ = 0;
};

TEST_F(TrayPortUnderWine, TrayWindowIsAnInvisibleSmallPopupOfItsOwnClass) {
  char class_name[64] = {};
  GetClassNameA(hwnd(), class_name, sizeof class_name);
  EXPECT_STREQ(class_name, "CSystemTray");
  EXPECT_EQ(GetWindowTextLengthA(hwnd()), 0);
  EXPECT_FALSE(IsWindowVisible(hwnd()));
  EXPECT_TRUE(GetWindowLongA(hwnd(), GWL_STYLE) & WS_POPUP);
  RECT bounds;
  GetWindowRect(hwnd(), &bounds);
  EXPECT_EQ(bounds.left, 0);
  EXPECT_EQ(bounds.top, 0);
  EXPECT_EQ(bounds.right, 10);
  EXPECT_EQ(bounds.bottom, 10);

  // The class is registered once and serves a second window with its own events.
  RecordingTrayEvents other_events;
  const WindowHandle other = tray_.CreateTrayWindow(other_events);
  ASSERT_NE(other, 0u);
  ASSERT_TRUE(tray_.AddIcon(other, 2, kNifMessage, kWmApp + 2, TEST_ICON, ""));
  SendMessageA(reinterpret_cast<HWND>(other), kWmApp + 2, 2, WM_MOUSEMOVE);
  EXPECT_EQ(other_events.notifications.size(), 1u);
  EXPECT_TRUE(events_.notifications.empty());
  EXPECT_TRUE(tray_.DeleteIcon(other, 2, 0));
  tray_.DestroyTrayWindow(other);
  EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(other)));
}

TEST_F(TrayPortUnderWine, IconIsAddedChangedAndRemoved) {
  ASSERT_TRUE(Add("Snapgate! - 0 popups blocked"));
  EXPECT_TRUE(tray_.ModifyTooltip(window_, kIconId, "Snapgate! - 1 popup blocked"));
  EXPECT_TRUE(tray_.ModifyTooltip(window_, kIconId, std::string(300, 't')));
  EXPECT_TRUE(tray_.ModifyIcon(window_, kIconId, TEST_ICON));
  EXPECT_TRUE(tray_.DeleteIcon(window_, kIconId, 0));
  // Once removed there is nothing left to change or remove.
  EXPECT_FALSE(tray_.ModifyTooltip(window_, kIconId, "gone"));
  EXPECT_FALSE(tray_.DeleteIcon(window_, kIconId, 0));
}

TEST_F(TrayPortUnderWine, ALongTooltipIsCutRatherThanRefused) {
  EXPECT_TRUE(Add(std::string(500, 'L')));
  EXPECT_TRUE(tray_.DeleteIcon(window_, kIconId, kNifMessage | kNifIcon | kNifTip));
}

TEST_F(TrayPortUnderWine, CallbackMessageReachesTheEventsWithItsAnswer) {
  // Before an icon names it, the message means nothing to the window.
  SendMessageA(hwnd(), kCallback, kIconId, WM_LBUTTONUP);
  EXPECT_TRUE(events_.notifications.empty());

  ASSERT_TRUE(Add("Snapgate!"));
  events_.answer = 99;
  EXPECT_EQ(SendMessageA(hwnd(), kCallback, kIconId, WM_LBUTTONDBLCLK), 99);
  PostMessageA(hwnd(), kCallback, kIconId, WM_RBUTTONUP);
  ASSERT_TRUE(PumpUntil([&] { return events_.notifications.size() == 2; }));
  EXPECT_EQ(events_.notifications[0],
            std::make_pair(std::uintptr_t{kIconId}, std::intptr_t{WM_LBUTTONDBLCLK}));
  EXPECT_EQ(events_.notifications[1],
            std::make_pair(std::uintptr_t{kIconId}, std::intptr_t{WM_RBUTTONUP}));

  // Other messages keep their default treatment.
  PostMessageA(hwnd(), kCallback + 1, kIconId, WM_RBUTTONUP);
  PumpFor(100ms);
  EXPECT_EQ(events_.notifications.size(), 2u);
  EXPECT_TRUE(tray_.DeleteIcon(window_, kIconId, 0));
}

TEST_F(TrayPortUnderWine, TaskbarCreatedReachesTheEvents) {
  PostMessageA(hwnd(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return events_.taskbar_created == 1; }));
  EXPECT_TRUE(events_.notifications.empty());
}

TEST_F(TrayPortUnderWine, MenuItemCommandsOfTheFirstSubMenu) {
  EXPECT_EQ(tray_.MenuItemCommand(TEST_MENU, 0), TEST_MENU_OPEN);
  EXPECT_EQ(tray_.MenuItemCommand(TEST_MENU, 1), TEST_MENU_OPTIONS);
  EXPECT_EQ(tray_.MenuItemCommand(TEST_MENU, 3), TEST_MENU_ENABLED);
  EXPECT_EQ(tray_.MenuItemCommand(TEST_MENU, 4), TEST_MENU_EXIT);
  EXPECT_EQ(tray_.MenuItemCommand(TEST_MENU, 5), -1);
  EXPECT_EQ(tray_.MenuItemCommand(4996, 0), -1);
}

// What the menu looked like while it was open.
struct MenuSeen {
  bool shown = false;
  UINT default_item = static_cast<UINT>(-1);
  bool enabled_checked = false;
  bool enabled_has_bitmap = false;
};

MenuSeen g_menu_seen;
HWND g_menu_owner = nullptr;

// Runs inside the menu's own loop: looks at the open menu, then picks its first item.
void CALLBACK InspectOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND popup = FindWindowA("#32768", nullptr);
  if (!popup || !IsWindowVisible(popup)) return;
  KillTimer(nullptr, timer);
  const auto menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
  g_menu_seen.shown = true;
  g_menu_seen.default_item = GetMenuDefaultItem(menu, TRUE, 0);
  g_menu_seen.enabled_checked = GetMenuState(menu, 3, MF_BYPOSITION) & MF_CHECKED;
  MENUITEMINFOA item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_CHECKMARKS;
  GetMenuItemInfoA(menu, 3, TRUE, &item);
  g_menu_seen.enabled_has_bitmap = item.hbmpUnchecked != nullptr;
  PostMessageA(g_menu_owner, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(g_menu_owner, WM_KEYDOWN, VK_RETURN, 0);
}

class TrayMenuUnderWine : public TrayPortUnderWine {
 protected:
  // Opens the menu, lets it be inspected and an item chosen; the command the owner received.
  std::optional<int> TrackAndChoose(const TrayMenuState& state) {
    g_menu_seen = {};
    g_menu_owner = hwnd();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, InspectOpenMenu);
    const bool tracked = tray_.TrackMenu(TEST_MENU, state, window_);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(tracked);
    MSG message;
    std::optional<int> command;
    bool null_seen = false;
    while (PeekMessageA(&message, hwnd(), 0, 0, PM_REMOVE)) {
      if (message.message == WM_COMMAND) command = LOWORD(message.wParam);
      if (message.message == WM_NULL) null_seen = true;
    }
    EXPECT_TRUE(null_seen);
    return command;
  }
};

TEST_F(TrayMenuUnderWine, MenuShowsTheStateAndSendsTheChosenCommandToTheOwner) {
  TrayMenuState state;
  state.default_position = 1;
  state.enabled_checked = true;
  EXPECT_EQ(TrackAndChoose(state), TEST_MENU_OPEN);
  EXPECT_TRUE(g_menu_seen.shown);
  EXPECT_EQ(g_menu_seen.default_item, 1u);
  EXPECT_TRUE(g_menu_seen.enabled_checked);
  EXPECT_FALSE(g_menu_seen.enabled_has_bitmap);
}

TEST_F(TrayMenuUnderWine, UncheckedWithTheBitmapMark) {
  TrayMenuState state;
  state.default_position = 0;
  state.enabled_checked = false;
  state.enabled_bitmap = true;
  TrackAndChoose(state);
  EXPECT_TRUE(g_menu_seen.shown);
  EXPECT_EQ(g_menu_seen.default_item, 0u);
  EXPECT_FALSE(g_menu_seen.enabled_checked);
  EXPECT_TRUE(g_menu_seen.enabled_has_bitmap);
}

TEST_F(TrayMenuUnderWine, AMissingMenuIsNotShown) {
  EXPECT_FALSE(tray_.TrackMenu(4996, TrayMenuState{}, window_));
}

}  // namespace
}  // namespace sg::platform::win32
