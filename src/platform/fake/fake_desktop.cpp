#include "platform/fake/fake_desktop.h"

#include <algorithm>

#include "common/ascii.h"

namespace sg::platform::fake {

WindowHandle FakeDesktop::Open(Window window) {
  std::lock_guard lock(mutex_);
  WindowHandle handle = next_window_;
  if (reuse_handles_ && !left_handles_.empty()) {
    handle = left_handles_.extract(left_handles_.begin()).value();
  } else {
    next_window_ += 0x10;
  }
  windows_[handle] = std::move(window);
  z_order_.insert(z_order_.begin(), handle);
  return handle;
}

WindowHandle FakeDesktop::OpenForeign(const std::string& title, bool visible,
                                      const std::string& class_name) {
  Window window;
  window.title = title;
  window.class_name = class_name;
  window.visible = visible;
  window.process_id = 2;
  return Open(std::move(window));
}

void FakeDesktop::Close(WindowHandle window) {
  std::lock_guard lock(mutex_);
  if (windows_.count(window)) Forget(window);
}

void FakeDesktop::Forget(WindowHandle window) {
  windows_.erase(window);
  std::erase(z_order_, window);
  if (foreground_ == window) foreground_ = 0;
  left_handles_.insert(window);
  if (gone_observer_) gone_observer_(window);
}

bool FakeDesktop::Exists(WindowHandle window) const {
  std::lock_guard lock(mutex_);
  return windows_.count(window) > 0;
}

bool FakeDesktop::WithWindow(WindowHandle window, const std::function<void(Window&)>& use) {
  std::lock_guard lock(mutex_);
  auto found = windows_.find(window);
  if (found == windows_.end()) return false;
  use(found->second);
  return true;
}

void FakeDesktop::SetTitle(WindowHandle window, const std::string& title) {
  WithWindow(window, [&](Window& found) { found.title = title; });
}

void FakeDesktop::SetVisible(WindowHandle window, bool visible) {
  WithWindow(window, [&](Window& found) { found.visible = visible; });
}

void FakeDesktop::CloseWindow(WindowHandle window) {
  WithWindow(window, [](Window& found) { found.show_state = kSwShowMinimized; });
}

WindowHandle FakeDesktop::Foreground() const {
  std::lock_guard lock(mutex_);
  return foreground_;
}

void FakeDesktop::PressKey(int virtual_key) {
  std::lock_guard lock(mutex_);
  keys_down_.insert(virtual_key);
}

void FakeDesktop::ReleaseKey(int virtual_key) {
  std::lock_guard lock(mutex_);
  keys_down_.erase(virtual_key);
}

bool FakeDesktop::IsKeyDown(int virtual_key) {
  std::lock_guard lock(mutex_);
  return keys_down_.count(virtual_key) > 0;
}

void FakeDesktop::BringToTop(WindowHandle window) {
  std::lock_guard lock(mutex_);
  if (!windows_.count(window)) return;
  std::erase(z_order_, window);
  z_order_.insert(z_order_.begin(), window);
}

int FakeDesktop::DeliverPosted() {
  int delivered = 0;
  for (;;) {
    PostedMessage posted;
    WindowProcedure procedure;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty()) return delivered;
      posted = queue_.front();
      queue_.pop_front();
      auto found = windows_.find(posted.window);
      if (found == windows_.end()) continue;
      if (!found->second.procedure) {
        // A window of another program: it closes on WM_CLOSE unless told not to.
        if (posted.message == kWmClose && !found->second.ignores_close) Forget(posted.window);
        ++delivered;
        continue;
      }
      procedure = found->second.procedure;
    }
    procedure(posted.message, posted.wparam, posted.lparam);
    ++delivered;
  }
}

std::vector<FakeDesktop::PostedMessage> FakeDesktop::PostLog() const {
  std::lock_guard lock(mutex_);
  return log_;
}

std::vector<WindowHandle> FakeDesktop::TopLevelWindows() {
  std::lock_guard lock(mutex_);
  return z_order_;
}

std::vector<WindowHandle> FakeDesktop::ShownTopLevelWindows() {
  std::lock_guard lock(mutex_);
  std::vector<WindowHandle> shown;
  for (WindowHandle window : z_order_) {
    if (windows_.at(window).visible) shown.push_back(window);
  }
  return shown;
}

std::string FakeDesktop::WindowText(WindowHandle window, std::size_t buffer_size) {
  std::lock_guard lock(mutex_);
  auto found = windows_.find(window);
  if (found == windows_.end() || buffer_size == 0) return {};
  return found->second.title.substr(0, buffer_size - 1);
}

bool FakeDesktop::IsVisible(WindowHandle window) {
  std::lock_guard lock(mutex_);
  auto found = windows_.find(window);
  return found != windows_.end() && found->second.visible;
}

std::string FakeDesktop::ClassName(WindowHandle window, std::size_t buffer_size) {
  std::lock_guard lock(mutex_);
  auto found = windows_.find(window);
  if (found == windows_.end() || buffer_size == 0) return {};
  return found->second.class_name.substr(0, buffer_size - 1);
}

std::optional<WindowRect> FakeDesktop::Rect(WindowHandle window) {
  std::lock_guard lock(mutex_);
  auto found = windows_.find(window);
  if (found == windows_.end()) return std::nullopt;
  return found->second.rect;
}

std::optional<int> FakeDesktop::ShowState(WindowHandle window) {
  std::lock_guard lock(mutex_);
  auto found = windows_.find(window);
  if (found == windows_.end()) return std::nullopt;
  return found->second.show_state;
}

WindowHandle FakeDesktop::Parent(WindowHandle window) {
  std::lock_guard lock(mutex_);
  auto found = windows_.find(window);
  return found == windows_.end() ? 0 : found->second.parent;
}

std::uint32_t FakeDesktop::ProcessId(WindowHandle window) {
  std::lock_guard lock(mutex_);
  auto found = windows_.find(window);
  return found == windows_.end() ? 0 : found->second.process_id;
}

bool FakeDesktop::PostMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                              std::intptr_t lparam) {
  std::lock_guard lock(mutex_);
  if (!windows_.count(window)) return false;
  queue_.push_back({window, message, wparam, lparam});
  log_.push_back({window, message, wparam, lparam});
  return true;
}

bool FakeDesktop::SetForegroundWindow(WindowHandle window) {
  std::lock_guard lock(mutex_);
  if (!windows_.count(window)) return false;
  foreground_ = window;
  std::erase(z_order_, window);
  z_order_.insert(z_order_.begin(), window);
  return true;
}

std::uint32_t FakeDesktop::RegisterMessage(const std::string& name) {
  std::lock_guard lock(mutex_);
  // Registered messages share one range and are named without regard to case.
  auto [at, added] = registered_.emplace(AsciiUpper(name),
                                         0xC000 + static_cast<std::uint32_t>(registered_.size()));
  return at->second;
}

void FakeDesktop::RunDispatchingMessages(std::function<void()> work) {
  work();
  DeliverPosted();
}

}  // namespace sg::platform::fake
