#pragma once

#include "platform/ports/windows.h"

namespace sg::platform::win32 {

class Win32Windows final : public WindowsPort {
 public:
  std::vector<WindowHandle> TopLevelWindows() override;
  std::vector<WindowHandle> ShownTopLevelWindows() override;
  std::string WindowText(WindowHandle window, std::size_t buffer_size) override;
  bool IsVisible(WindowHandle window) override;
  bool IsWindow(WindowHandle window) override;
  std::string ClassName(WindowHandle window, std::size_t buffer_size) override;
  std::optional<WindowRect> Rect(WindowHandle window) override;
  std::optional<int> ShowState(WindowHandle window) override;
  WindowHandle Parent(WindowHandle window) override;
  std::uint32_t ProcessId(WindowHandle window) override;
  bool PostMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                   std::intptr_t lparam) override;
  bool SetForegroundWindow(WindowHandle window) override;
  void ShowWindow(WindowHandle window, int show_command) override;
  void CloseWindow(WindowHandle window) override;
  std::uint32_t RegisterMessage(const std::string& name) override;
  bool IsKeyDown(int virtual_key) override;
  void RunDispatchingMessages(std::function<void()> work) override;
};

}  // namespace sg::platform::win32
