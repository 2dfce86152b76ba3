// SGDriver.dll through its adapter under Wine: which windows and which input it reports, and that
// it falls silent when stopped. Input goes through SendInput to windows of this test, the only
// input Wine shows it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/win32/win32_hook_library.h"
#include "win32/message_pump.h"
#include "win32/window_owner.h"

namespace sg::platform::win32 {
namespace {

using namespace std::chrono_literals;
using sg::testing::PumpFor;
using sg::testing::PumpUntil;

constexpr const char* kPlainClass = "SnapgateHookTestPlain";
constexpr const char* kFrameClass = "IEFrame";
constexpr const char* kWebDialogClass = "Internet Explorer_TridentDlgFrame";

void RegisterClassOnce(const char* name) {
  WNDCLASSEXA description{};
  description.cbSize = sizeof description;
  if (GetClassInfoExA(GetModuleHandleA(nullptr), name, &description)) return;
  description.lpfnWndProc = DefWindowProcA;
  description.hInstance = GetModuleHandleA(nullptr);
  description.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  description.lpszClassName = name;
  RegisterClassExA(&description);
}

struct WindowDestroyer {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// A hidden top-level window of the given class, at a place of its own on the screen.
Window OpenWindow(const char* class_name, int left) {
  RegisterClassOnce(class_name);
  return Window(CreateWindowExA(0, class_name, "Snapgate hook test", WS_POPUP | WS_BORDER, left, 60,
                                240, 180, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
}

// A message-only window that collects the library's notifications. Being message-only it is no
// top-level window itself, so it never shows up in what it hears.
class Listener {
 public:
  Listener() {
    static const ATOM window_class = [] {
      WNDCLASSEXA description{};
      description.cbSize = sizeof description;
      description.lpfnWndProc = Procedure;
      description.hInstance = GetModuleHandleA(nullptr);
      description.lpszClassName = "SnapgateHookListener";
      return RegisterClassExA(&description);
    }();
    window_ = CreateWindowExA(0, MAKEINTATOM(window_class), "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, GetModuleHandleA(nullptr), this);
  }
  ~Listener() { DestroyWindow(window_); }

  WindowHandle handle() const { return reinterpret_cast<WindowHandle>(window_); }
  std::uint32_t message() const { return message_; }
  std::size_t heard() const { return heard_.size(); }
  int Count(WPARAM code) const {
    return static_cast<int>(std::count_if(heard_.begin(), heard_.end(),
                                          [&](const MSG& m) { return m.wParam == code; }));
  }
  int NewWindowCount(HWND window) const { return Count(kHookNewWindow, window); }
  int TitleCount(HWND window) const { return Count(kHookWindowTitle, window); }
  int Count(WPARAM code, HWND window) const {
    return static_cast<int>(std::count_if(heard_.begin(), heard_.end(), [&](const MSG& m) {
      return m.wParam == code && m.lParam == reinterpret_cast<LPARAM>(window);
    }));
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = sg::testing::WindowOwner<Listener>(window, message, lparam);
    if (self && message == self->message_) {
      self->heard_.push_back({window, message, wparam, lparam, 0, {}});
    }
    return DefWindowProcA(window, message, wparam, lparam);
  }

  const std::uint32_t message_ = RegisterWindowMessageA("SnapgateHookTestMessage");
  HWND window_;
  std::vector<MSG> heard_;
};

class HookLibraryUnderWine : public ::testing::Test {
 protected:
  void TearDown() override {
    hooks_.UnInstallFilters();
    hooks_.ShutdownHooksDll();
  }

  void Start(const Listener& listener) {
    ASSERT_TRUE(hooks_.InitHooksDll(listener.handle(), listener.message()));
    ASSERT_TRUE(hooks_.InstallFilters());
    NoticeHooks();
  }
  // Wine keeps in each thread whether any hooks exist and renews it only when the thread takes
  // a message from its queue; until then windows the thread makes raise no window events.
  static void NoticeHooks() {
    PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
    MSG message;
    PeekMessageA(&message, nullptr, WM_APP, WM_APP, PM_REMOVE);
  }
  void Stop() {
    EXPECT_TRUE(hooks_.UnInstallFilters());
    EXPECT_TRUE(hooks_.ShutdownHooksDll());
  }

  // Asks again while waiting: under Wine a late focus event of the X server can take the
  // foreground back to the window that had it.
  static void BringToFront(HWND window) {
    ShowWindow(window, SW_SHOW);
    ASSERT_TRUE(PumpUntil([&] {
      if (GetForegroundWindow() == window) return true;
      SetForegroundWindow(window);
      return false;
    }));
  }
  // A left click at the centre of the window, as the user makes it.
  static void Click(HWND window) {
    RECT bounds;
    GetWindowRect(window, &bounds);
    SetCursorPos((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, click, sizeof click[0]), 2u);
  }
  // Presses the keys in order and lets them go in reverse, as for a shortcut.
  static void Press(std::initializer_list<WORD> keys) {
    std::vector<INPUT> strokes;
    auto stroke = [&](WORD key, DWORD flags) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = key;
      input.ki.dwFlags = flags;
      strokes.push_back(input);
    };
    for (WORD key : keys) stroke(key, 0);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) stroke(*key, KEYEVENTF_KEYUP);
    ASSERT_EQ(SendInput(static_cast<UINT>(strokes.size()), strokes.data(), sizeof(INPUT)),
              strokes.size());
  }

  Win32HookLibrary hooks_;
  Listener listener_;
};

TEST_F(HookLibraryUnderWine, IsLoadedFromBesideTheProgramWithTheFourExportsByName) {
  HMODULE library = GetModuleHandleA("SGDriver.dll");
  ASSERT_NE(library, nullptr);
  char program[MAX_PATH] = {};
  char loaded[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, sizeof program);
  GetModuleFileNameA(library, loaded, sizeof loaded);
  const std::string folder(program, std::string_view(program).rfind('\\') + 1);
  EXPECT_STRCASEEQ(loaded, (folder + "SGDriver.dll").c_str());
  for (const char* name :
       {"InitHooksDll", "InstallFilters", "UnInstallFilters", "ShutdownHooksDll"})
    EXPECT_NE(GetProcAddress(library, name), nullptr) << name;
}

TEST_F(HookLibraryUnderWine, EveryNewTopLevelWindowIsReportedOnceWithItsHandle) {
  Window older = OpenWindow(kPlainClass, 40);
  Start(listener_);
  Window plain = OpenWindow(kPlainClass, 40);
  Window frame = OpenWindow(kFrameClass, 320);
  HWND child = CreateWindowExA(0, kPlainClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, plain.get(),
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  ShowWindow(plain.get(), SW_SHOW);  // shown after being made: still one report
  ShowWindow(older.get(), SW_SHOW);  // was there before the hooks: not new

  // Window events come in order: once the last window is heard, all before it were handled.
  Window last = OpenWindow(kPlainClass, 600);
  ASSERT_TRUE(PumpUntil([&] { return listener_.NewWindowCount(last.get()) > 0; }));
  EXPECT_EQ(listener_.NewWindowCount(plain.get()), 1);
  EXPECT_EQ(listener_.NewWindowCount(frame.get()), 1);
  EXPECT_EQ(listener_.NewWindowCount(child), 0);
  EXPECT_EQ(listener_.NewWindowCount(older.get()), 0);
}

// Its title is judged when a window is created, shown and renamed. Wine 8 sends only the
// creation event itself, so the test raises the other two as Windows does.
TEST_F(HookLibraryUnderWine, AWindowsTitleIsReportedWhenItIsCreatedShownAndRenamed) {
  Start(listener_);
  Window popup = OpenWindow(kPlainClass, 40);
  HWND child = CreateWindowExA(0, kPlainClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, popup.get(),
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return listener_.TitleCount(popup.get()) == 1; }));
  NotifyWinEvent(EVENT_OBJECT_SHOW, popup.get(), OBJID_WINDOW, CHILDID_SELF);
  SetWindowTextA(popup.get(), "Renamed");
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, popup.get(), OBJID_WINDOW, CHILDID_SELF);
  // Not the window itself: a child's text, a part of the window.
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, child, OBJID_WINDOW, CHILDID_SELF);
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, popup.get(), OBJID_CLIENT, CHILDID_SELF);
  // Window events come in order: a later window heard means nothing more is on its way.
  Window last = OpenWindow(kPlainClass, 600);
  ASSERT_TRUE(PumpUntil([&] { return listener_.TitleCount(last.get()) == 1; }));
  EXPECT_EQ(listener_.TitleCount(popup.get()), 3);
  EXPECT_EQ(listener_.TitleCount(child), 0);
  EXPECT_EQ(listener_.NewWindowCount(popup.get()), 1);
}

TEST_F(HookLibraryUnderWine, AClickOnAPageInsideABrowserFrameIsReported) {
  Window frame = OpenWindow(kFrameClass, 40);
  HWND page = CreateWindowExA(0, kPlainClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 400, 400,
                              frame.get(), nullptr, GetModuleHandleA(nullptr), nullptr);
  Start(listener_);
  BringToFront(frame.get());
  Click(page);
  EXPECT_TRUE(PumpUntil([&] { return listener_.Count(kHookBrowserClick) == 1; }));
  EXPECT_EQ(listener_.Count(kHookBrowserKey), 0);
}

TEST_F(HookLibraryUnderWine, EnterInAWebDialogIsReported) {
  Window dialog = OpenWindow(kWebDialogClass, 40);
  Start(listener_);
  BringToFront(dialog.get());
  Press({VK_RETURN});
  EXPECT_TRUE(PumpUntil([&] { return listener_.Count(kHookBrowserKey) == 1; }));
  EXPECT_EQ(listener_.Count(kHookBrowserClick), 0);
}

TEST_F(HookLibraryUnderWine, OnlyKeysThatMayOpenAWindowAreReported) {
  Window frame = OpenWindow(kFrameClass, 40);
  Start(listener_);
  BringToFront(frame.get());

  Press({'A'});
  Press({VK_SHIFT});
  Press({VK_CONTROL, 'N'});
  Press({VK_SPACE});
  Press({VK_RETURN});
  // Input is handled in order: once the click is heard, every key before it was handled.
  Click(frame.get());
  ASSERT_TRUE(PumpUntil([&] { return listener_.Count(kHookBrowserClick) == 1; }));
  EXPECT_EQ(listener_.Count(kHookBrowserKey), 3) << "Ctrl+N, Space and Enter; not A or Shift";
}

TEST_F(HookLibraryUnderWine, InputOutsideBrowsersIsNotReported) {
  Window plain = OpenWindow(kPlainClass, 40);
  Window frame = OpenWindow(kFrameClass, 320);
  ShowWindow(frame.get(), SW_SHOWNOACTIVATE);
  Start(listener_);
  BringToFront(plain.get());

  Click(plain.get());
  Press({VK_RETURN});
  // A click on the browser while it is still inactive counts: input is handled in order, so
  // once it is heard the earlier input was passed over.
  Click(frame.get());
  ASSERT_TRUE(PumpUntil([&] { return listener_.Count(kHookBrowserClick) == 1; }));
  EXPECT_EQ(listener_.Count(kHookBrowserKey), 0);
}

TEST_F(HookLibraryUnderWine, NothingIsSentOnceStopped) {
  Start(listener_);
  Window before = OpenWindow(kPlainClass, 40);
  ASSERT_TRUE(PumpUntil([&] { return listener_.NewWindowCount(before.get()) == 1; }));
  Stop();
  const std::size_t heard = listener_.heard();

  Window frame = OpenWindow(kFrameClass, 320);
  BringToFront(frame.get());
  Click(frame.get());
  Press({VK_RETURN});
  // Silence cannot be waited for; this is ample for what a live library reports within ms.
  PumpFor(1s);
  EXPECT_EQ(listener_.heard(), heard);
}

TEST_F(HookLibraryUnderWine, StoppingWithoutStartAndRepeatingAnyStepIsHarmless) {
  EXPECT_TRUE(hooks_.UnInstallFilters());
  EXPECT_TRUE(hooks_.ShutdownHooksDll());
  EXPECT_TRUE(hooks_.ShutdownHooksDll());

  // Installed before anyone is named, twice, then named twice: the second name counts, and one
  // set of hooks reports each window once.
  Listener first;
  ASSERT_TRUE(hooks_.InstallFilters());
  ASSERT_TRUE(hooks_.InstallFilters());
  ASSERT_TRUE(hooks_.InitHooksDll(first.handle(), first.message()));
  ASSERT_TRUE(hooks_.InitHooksDll(listener_.handle(), listener_.message()));
  NoticeHooks();
  Window window = OpenWindow(kPlainClass, 40);
  Window last = OpenWindow(kPlainClass, 320);
  ASSERT_TRUE(PumpUntil([&] { return listener_.NewWindowCount(last.get()) > 0; }));
  EXPECT_EQ(listener_.NewWindowCount(window.get()), 1);
  EXPECT_EQ(first.heard(), 0u);

  Stop();
  Stop();
  Start(listener_);
  Window after_restart = OpenWindow(kPlainClass, 600);
  EXPECT_TRUE(PumpUntil([&] { return listener_.NewWindowCount(after_restart.get()) == 1; }));
}

}  // namespace
}  // namespace sg::platform::win32
