#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/ports/windows.h"

namespace sg::platform::fake {

// Receives what is posted to a window that belongs to the program (a dialog or the tray window).
using WindowProcedure =
    std::function<void(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)>;

// The desktop: top-level windows of every process, the keyboard and a queue of posted messages
// that tests deliver when they choose, as a message loop would. Any thread may use it.
class FakeDesktop final : public WindowsPort {
 public:
  struct Window {
    std::string title;
    std::string class_name;
    bool visible = false;
    std::uint32_t process_id = 0;
    bool ignores_close = false;  // a window that stays open on WM_CLOSE
    WindowProcedure procedure;   // set for the program's own windows
    WindowRect rect{100, 100, 600, 500};
    int show_state = kSwShowNormal;
    WindowHandle parent = 0;
  };

  // Opens a window on top of the others.
  WindowHandle Open(Window window);
  // Opens a window of another program.
  WindowHandle OpenForeign(const std::string& title, bool visible = true,
                           const std::string& class_name = "Other");
  void Close(WindowHandle window);
  // Called with each window that goes, closed by a test or by WM_CLOSE.
  void OnWindowGone(std::function<void(WindowHandle)> observer) { gone_observer_ = observer; }
  // From now on a window that opens takes the lowest handle a window that went has left, as a
  // system's handle table may.
  void ReuseHandles() { reuse_handles_ = true; }
  bool Exists(WindowHandle window) const;
  // Runs `use` on the window's record under the desktop's lock, which no record is handed out
  // beyond; false when there is no such window.
  bool WithWindow(WindowHandle window, const std::function<void(Window&)>& use);
  void SetTitle(WindowHandle window, const std::string& title);
  void SetVisible(WindowHandle window, bool visible);
  void BringToTop(WindowHandle window);
  WindowHandle Foreground() const;

  void PressKey(int virtual_key);
  void ReleaseKey(int virtual_key);

  // Delivers every posted message, also those posted while delivering. Returns the count.
  int DeliverPosted();
  struct PostedMessage {
    WindowHandle window;
    std::uint32_t message;
    std::uintptr_t wparam;
    std::intptr_t lparam;
  };
  // Every message posted so far, delivered or not.
  std::vector<PostedMessage> PostLog() const;

  std::vector<WindowHandle> TopLevelWindows() override;
  std::vector<WindowHandle> ShownTopLevelWindows() override;
  std::string WindowText(WindowHandle window, std::size_t buffer_size) override;
  bool IsVisible(WindowHandle window) override;
  bool IsWindow(WindowHandle window) override { return Exists(window); }
  std::string ClassName(WindowHandle window, std::size_t buffer_size) override;
  std::optional<WindowRect> Rect(WindowHandle window) override;
  std::optional<int> ShowState(WindowHandle window) override;
  WindowHandle Parent(WindowHandle window) override;
  std::uint32_t ProcessId(WindowHandle window) override;
  bool PostMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                   std::intptr_t lparam) override;
  bool SetForegroundWindow(WindowHandle window) override;
  void ShowWindow(WindowHandle window, int show_command) override {
    SetVisible(window, show_command != kSwHide);
  }
  void CloseWindow(WindowHandle window) override;
  std::uint32_t RegisterMessage(const std::string& name) override;
  bool IsKeyDown(int virtual_key) override;
  // Runs the work at once, on the calling thread, then delivers what was posted meanwhile.
  void RunDispatchingMessages(std::function<void()> work) override;

 private:
  mutable std::recursive_mutex mutex_;
  std::map<WindowHandle, Window> windows_;
  std::vector<WindowHandle> z_order_;  // topmost first
  WindowHandle next_window_ = 0x10010;
  WindowHandle foreground_ = 0;
  std::set<int> keys_down_;
  std::deque<PostedMessage> queue_;
  std::vector<PostedMessage> log_;
  std::map<std::string, std::uint32_t> registered_;
  std::function<void(WindowHandle)> gone_observer_;
  bool reuse_handles_ = false;
  std::set<WindowHandle> left_handles_;
  void Forget(WindowHandle window);  // under the lock
};

}  // namespace sg::platform::fake
