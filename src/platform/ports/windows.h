#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace sg::platform {

// A window of any process; 0 is none.
using WindowHandle = std::uintptr_t;

inline constexpr std::uint32_t kWmNull = 0x0000;
inline constexpr std::uint32_t kWmClose = 0x0010;
inline constexpr std::uint32_t kWmEndSession = 0x0016;
inline constexpr std::uint32_t kWmCommand = 0x0111;
inline constexpr std::uint32_t kWmSysCommand = 0x0112;
inline constexpr std::uint32_t kWmTimer = 0x0113;
inline constexpr std::uint32_t kWmUser = 0x0400;
inline constexpr std::uint32_t kWmApp = 0x8000;

// ShowWindow commands.
inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShow = 5;

struct WindowRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const WindowRect&) const = default;
};

// Show states of GetWindowPlacement that mean a minimised window.
inline constexpr int kSwShowMinimized = 2;
inline constexpr int kSwMinimize = 6;
inline constexpr int kSwShowMinNoActive = 7;

// The desktop's top-level windows (USER32), of every process.
class WindowsPort {
 public:
  virtual ~WindowsPort() = default;
  // EnumWindows: the top-level windows in Z order, hidden ones included.
  virtual std::vector<WindowHandle> TopLevelWindows() = 0;
  // The shown ones among them, each asked once: for a top-level window, whose parent is the
  // desktop, that is IsVisible's answer at half its cost under Wine.
  virtual std::vector<WindowHandle> ShownTopLevelWindows() = 0;
  // GetWindowTextA into a buffer of buffer_size bytes: at most buffer_size - 1 characters.
  virtual std::string WindowText(WindowHandle window, std::size_t buffer_size) = 0;
  virtual bool IsVisible(WindowHandle window) = 0;
  // IsWindow: the handle still names a window.
  virtual bool IsWindow(WindowHandle window) = 0;
  // GetClassNameA into a buffer of buffer_size bytes.
  virtual std::string ClassName(WindowHandle window, std::size_t buffer_size) = 0;
  // GetWindowRect; nothing when the window is gone.
  virtual std::optional<WindowRect> Rect(WindowHandle window) = 0;
  // The show command of GetWindowPlacement; nothing when the window is gone.
  virtual std::optional<int> ShowState(WindowHandle window) = 0;
  // GetParent: the parent or owner window, 0 for none.
  virtual WindowHandle Parent(WindowHandle window) = 0;
  // GetWindowThreadProcessId: the process that created the window, 0 when it is gone.
  virtual std::uint32_t ProcessId(WindowHandle window) = 0;
  virtual bool PostMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                           std::intptr_t lparam) = 0;
  virtual bool SetForegroundWindow(WindowHandle window) = 0;
  // ShowWindow with a show command.
  virtual void ShowWindow(WindowHandle window, int show_command) = 0;
  // CloseWindow: minimises the window (it does not destroy it).
  virtual void CloseWindow(WindowHandle window) = 0;
  // RegisterWindowMessageA.
  virtual std::uint32_t RegisterMessage(const std::string& name) = 0;
  // GetAsyncKeyState: true when the high bit is set (the key is down).
  virtual bool IsKeyDown(int virtual_key) = 0;
  // Runs work on a worker thread and, until it has returned, dispatches the calling thread's
  // messages: each waiting one is taken off the queue (PeekMessageA, PM_REMOVE) and, unless
  // IsDialogMessageA for the dialog it belongs to takes it (Escape is that dialog's Cancel),
  // translated and dispatched. Between passes the thread sleeps until a message arrives or the
  // work is done, so waiting costs no processor time.
  virtual void RunDispatchingMessages(std::function<void()> work) = 0;
};

}  // namespace sg::platform
