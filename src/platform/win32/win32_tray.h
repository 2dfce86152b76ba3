#pragma once

#include "platform/ports/tray.h"

namespace sg::platform::win32 {

// The icon's window keeps its events and its callback message with it, so one Win32Tray serves
// any number of tray windows.
class Win32Tray final : public TrayPort {
 public:
  WindowHandle CreateTrayWindow(TrayEvents& events) override;
  void DestroyTrayWindow(WindowHandle window) override;
  bool AddIcon(WindowHandle window, std::uint32_t id, std::uint32_t flags,
               std::uint32_t callback_message, int icon_resource,
               const std::string& tooltip) override;
  bool ModifyIcon(WindowHandle window, std::uint32_t id, int icon_resource) override;
  bool ModifyTooltip(WindowHandle window, std::uint32_t id, const std::string& tooltip) override;
  bool DeleteIcon(WindowHandle window, std::uint32_t id, std::uint32_t flags) override;
  bool TrackMenu(int menu_resource, const TrayMenuState& state, WindowHandle owner) override;
  int MenuItemCommand(int menu_resource, int position) override;
};

}  // namespace sg::platform::win32
