#pragma once

#include <cstdint>
#include <string>

#include "platform/ports/windows.h"

namespace sg::platform {

// What the invisible window of the notification-area icon receives.
class TrayEvents {
 public:
  virtual ~TrayEvents() = default;
  // The icon's callback message.
  virtual std::intptr_t OnTrayNotification(std::uintptr_t wparam, std::intptr_t lparam) = 0;
  // The registered message "TaskbarCreated": the shell has restarted.
  virtual void OnTaskbarCreated() = 0;
};

struct TrayMenuState {
  int default_position = 1;
  bool enabled_checked = true;  // check mark at position 3
  bool enabled_bitmap = false;  // bitmap 146 as the unchecked mark at position 3
};

inline constexpr std::uint32_t kNifMessage = 0x1;
inline constexpr std::uint32_t kNifIcon = 0x2;
inline constexpr std::uint32_t kNifTip = 0x4;

// The notification area (Shell_NotifyIconA) and the icon's context menu.
class TrayPort {
 public:
  virtual ~TrayPort() = default;
  // Creates the invisible "CSystemTray" window that receives the icon's messages.
  virtual WindowHandle CreateTrayWindow(TrayEvents& events) = 0;
  virtual void DestroyTrayWindow(WindowHandle window) = 0;
  // NIM_ADD; the tooltip keeps at most 127 characters.
  virtual bool AddIcon(WindowHandle window, std::uint32_t id, std::uint32_t flags,
                       std::uint32_t callback_message, int icon_resource,
                       const std::string& tooltip) = 0;
  // NIM_MODIFY with NIF_ICON or NIF_TIP.
  virtual bool ModifyIcon(WindowHandle window, std::uint32_t id, int icon_resource) = 0;
  virtual bool ModifyTooltip(WindowHandle window, std::uint32_t id, const std::string& tooltip) = 0;
  // NIM_DELETE with the given flags.
  virtual bool DeleteIcon(WindowHandle window, std::uint32_t id, std::uint32_t flags) = 0;
  // Shows the first sub-menu of a menu resource at the cursor, owned by a window that gets the
  // chosen command as WM_COMMAND. False when the menu cannot be loaded.
  virtual bool TrackMenu(int menu_resource, const TrayMenuState& state, WindowHandle owner) = 0;
  // GetMenuItemID of an item of the first sub-menu; -1 when there is none.
  virtual int MenuItemCommand(int menu_resource, int position) = 0;
};

}  // namespace sg::platform
