// The desktop's windows through the real USER32 of Wine.
#include "platform/win32/win32_windows.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/unclashed_names.h"
#include "win32/message_pump.h"
#include "win32/window_owner.h"

namespace sg::platform::win32 {
namespace {

using sg::testing::PumpUntil;

// A plain top-level window of this process that records what is posted to it.
class TestWindow {
 public:
  explicit TestWindow(const char* title) {
    static const ATOM window_class = [] {
      WNDCLASSEXA description{};
      description.cbSize = sizeof description;
      description.lpfnWndProc = Procedure;
      description.hInstance = GetModuleHandleA(nullptr);
      description.lpszClassName = "SnapgateWindowsPortTest";
      return RegisterClassExA(&description);
    }();
    window_ = CreateWindowExA(0, MAKEINTATOM(window_class), title, WS_OVERLAPPEDWINDOW, 10, 10, 200,
                              100, nullptr, nullptr, GetModuleHandleA(nullptr), this);
  }
  ~TestWindow() { DestroyWindow(window_); }

  WindowHandle handle() const { return reinterpret_cast<WindowHandle>(window_); }
  HWND hwnd() const { return window_; }
  const std::vector<MSG>& received() const { return received_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = sg::testing::WindowOwner<TestWindow>(window, message, lparam);
    if (self && message >= WM_APP)
      self->received_.push_back({window, message, wparam, lparam, 0, {}});
    return DefWindowProcA(window, message, wparam, lparam);
  }

  HWND window_;
  std::vector<MSG> received_;
};

class WindowsPortUnderWine : public ::testing::Test {
 protected:
  Win32Windows windows_;
};

TEST_F(WindowsPortUnderWine, EnumerationFindsHiddenAndShownWindowsOfThisProcess) {
  TestWindow first("Snapgate enumeration one");
  TestWindow second("Snapgate enumeration two");
  ShowWindow(second.hwnd(), SW_SHOWNOACTIVATE);

  const std::vector<WindowHandle> all = windows_.TopLevelWindows();
  EXPECT_NE(std::find(all.begin(), all.end(), first.handle()), all.end());
  EXPECT_NE(std::find(all.begin(), all.end(), second.handle()), all.end());
  EXPECT_FALSE(windows_.IsVisible(first.handle()));
  EXPECT_TRUE(windows_.IsVisible(second.handle()));

  const std::vector<WindowHandle> shown = windows_.ShownTopLevelWindows();
  EXPECT_EQ(std::find(shown.begin(), shown.end(), first.handle()), shown.end());
  EXPECT_NE(std::find(shown.begin(), shown.end(), second.handle()), shown.end());
  for (WindowHandle window : shown) EXPECT_TRUE(windows_.IsVisible(window));
}

TEST_F(WindowsPortUnderWine, TitleIsCutToTheBufferLessItsTerminator) {
  TestWindow window("Snapgate title");
  EXPECT_EQ(windows_.WindowText(window.handle(), 1000), "Snapgate title");
  EXPECT_EQ(windows_.WindowText(window.handle(), 15), "Snapgate title");
  EXPECT_EQ(windows_.WindowText(window.handle(), 14), "Snapgate titl");
  EXPECT_EQ(windows_.WindowText(window.handle(), 2), "S");
  EXPECT_EQ(windows_.WindowText(window.handle(), 1), "");
  EXPECT_EQ(windows_.WindowText(window.handle(), 0), "");

  const std::string long_title(1500, 'x');
  SetWindowTextA(window.hwnd(), long_title.c_str());
  EXPECT_EQ(windows_.WindowText(window.handle(), 1000), std::string(999, 'x'));
}

TEST_F(WindowsPortUnderWine, AWindowThatIsGoneHasNoTitleAndTakesNoMessages) {
  WindowHandle gone = 0;
  {
    TestWindow window("Snapgate short-lived");
    gone = window.handle();
  }
  EXPECT_EQ(windows_.WindowText(gone, 1000), "");
  EXPECT_FALSE(windows_.IsVisible(gone));
  EXPECT_FALSE(windows_.PostMessage(gone, kWmApp, 0, 0));
}

TEST_F(WindowsPortUnderWine, PostedMessagesArriveWithTheirParameters) {
  TestWindow window("Snapgate post");
  ASSERT_TRUE(windows_.PostMessage(window.handle(), kWmApp + 3, 0xABCD, -42));
  ASSERT_TRUE(PumpUntil([&] { return !window.received().empty(); }));
  EXPECT_EQ(window.received()[0].message, kWmApp + 3);
  EXPECT_EQ(window.received()[0].wParam, 0xABCDu);
  EXPECT_EQ(window.received()[0].lParam, -42);
}

TEST_F(WindowsPortUnderWine, WhileWorkRunsElsewhereTheCallerSleepsAndDispatchesItsMessages) {
  TestWindow window("Snapgate waiting");
  DWORD worker = 0;
  const auto thread_time = [] {
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    const auto ticks = [](const FILETIME& time) {
      return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    };
    return (ticks(kernel) + ticks(user)) / 10000;  // in milliseconds
  };
  const std::uint64_t busy_before = thread_time();
  const ULONGLONG started = GetTickCount64();

  windows_.RunDispatchingMessages([&] {
    worker = GetCurrentThreadId();
    PostMessageA(window.hwnd(), WM_APP + 5, 0, 0);
    Sleep(1500);
  });

  const ULONGLONG waited = GetTickCount64() - started;
  const std::uint64_t busy = thread_time() - busy_before;
  EXPECT_NE(worker, GetCurrentThreadId());
  ASSERT_EQ(window.received().size(), 1u) << "dispatched before the work ended";
  EXPECT_EQ(window.received()[0].message, static_cast<UINT>(WM_APP + 5));
  EXPECT_GE(waited, 1500u);
  EXPECT_LT(busy * 2, waited) << "the waiting thread was busy for " << busy << " of " << waited
                              << " ms";
}

TEST_F(WindowsPortUnderWine, RegisteredMessagesAreSharedByName) {
  const std::uint32_t first = windows_.RegisterMessage("SnapgatePortTestMessage");
  EXPECT_GE(first, 0xC000u);
  EXPECT_LE(first, 0xFFFFu);
  EXPECT_EQ(windows_.RegisterMessage("SnapgatePortTestMessage"), first);
  EXPECT_EQ(RegisterWindowMessageA("snapgateporttestmessage"), first);
  EXPECT_NE(windows_.RegisterMessage("SnapgatePortOtherMessage"), first);
}

TEST_F(WindowsPortUnderWine, ForegroundWindowCanBeChosen) {
  TestWindow first("Snapgate foreground one");
  TestWindow second("Snapgate foreground two");
  ShowWindow(first.hwnd(), SW_SHOW);
  ShowWindow(second.hwnd(), SW_SHOW);
  EXPECT_TRUE(windows_.SetForegroundWindow(first.handle()));
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == first.hwnd(); }));
  EXPECT_TRUE(windows_.SetForegroundWindow(second.handle()));
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == second.hwnd(); }));
}

TEST_F(WindowsPortUnderWine, KeyIsDownOnlyWhileHeld) {
  // A key nobody presses by accident; Wine sees injected input of its own windows.
  TestWindow window("Snapgate keys");
  ShowWindow(window.hwnd(), SW_SHOW);
  ::SetForegroundWindow(window.hwnd());
  PumpUntil([&] { return GetForegroundWindow() == window.hwnd(); });
  INPUT key{};
  key.type = INPUT_KEYBOARD;
  key.ki.wVk = VK_F23;
  ASSERT_EQ(SendInput(1, &key, sizeof key), 1u);
  EXPECT_TRUE(PumpUntil([&] { return windows_.IsKeyDown(VK_F23); }));
  key.ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(1, &key, sizeof key), 1u);
  EXPECT_TRUE(PumpUntil([&] { return !windows_.IsKeyDown(VK_F23); }));
}

TEST_F(WindowsPortUnderWine, AWindowTellsItsClassPlaceParentAndProcess) {
  TestWindow window("Snapgate inspection");
  EXPECT_EQ(windows_.ClassName(window.handle(), 260), "SnapgateWindowsPortTest");
  EXPECT_EQ(windows_.ClassName(window.handle(), 9), "Snapgate");
  const std::optional<WindowRect> rect = windows_.Rect(window.handle());
  ASSERT_TRUE(rect.has_value());
  EXPECT_EQ(rect->left, 10);
  EXPECT_EQ(rect->top, 10);
  EXPECT_EQ(rect->right, 210);
  EXPECT_EQ(rect->bottom, 110);
  EXPECT_EQ(windows_.Parent(window.handle()), 0u);
  EXPECT_EQ(windows_.ProcessId(window.handle()), GetCurrentProcessId());

  // GetParent answers the owner of a popup window, and nothing for an owned overlapped one.
  HWND popup = CreateWindowExA(0, "STATIC", "popup", WS_POPUP, 0, 0, 50, 50, window.hwnd(), nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  HWND overlapped = CreateWindowExA(0, "STATIC", "overlapped", WS_OVERLAPPED, 0, 0, 50, 50,
                                    window.hwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
  EXPECT_EQ(windows_.Parent(reinterpret_cast<WindowHandle>(popup)), window.handle());
  EXPECT_EQ(windows_.Parent(reinterpret_cast<WindowHandle>(overlapped)), 0u);
  DestroyWindow(overlapped);
  DestroyWindow(popup);
}

TEST_F(WindowsPortUnderWine, AMinimisedWindowSaysSoInItsPlacement) {
  TestWindow window("Snapgate placement");
  ShowWindow(window.hwnd(), SW_SHOWNOACTIVATE);
  EXPECT_EQ(windows_.ShowState(window.handle()), kSwShowNormal);
  ShowWindow(window.hwnd(), SW_MINIMIZE);
  const std::optional<int> minimised = windows_.ShowState(window.handle());
  ASSERT_TRUE(minimised.has_value());
  EXPECT_TRUE(*minimised == kSwShowMinimized || *minimised == kSwMinimize ||
              *minimised == kSwShowMinNoActive)
      << *minimised;
}

TEST_F(WindowsPortUnderWine, AWindowThatIsGoneHasNoClassPlaceOrProcess) {
  WindowHandle gone = 0;
  {
    TestWindow window("Snapgate vanished");
    gone = window.handle();
  }
  EXPECT_EQ(windows_.ClassName(gone, 260), "");
  EXPECT_FALSE(windows_.Rect(gone).has_value());
  EXPECT_FALSE(windows_.ShowState(gone).has_value());
  EXPECT_EQ(windows_.Parent(gone), 0u);
  EXPECT_EQ(windows_.ProcessId(gone), 0u);
}

}  // namespace
}  // namespace sg::platform::win32
