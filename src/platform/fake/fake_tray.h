#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/fake_desktop.h"
#include "platform/ports/tray.h"

namespace sg::platform::fake {

// The notification area: at most one icon per window and identifier, its history of icons,
// and the context menu as shown. A test can take the notification area away (no shell).
class FakeTray final : public TrayPort {
 public:
  struct Icon {
    int icon_resource = 0;
    std::string tooltip;
    std::uint32_t callback_message = 0;
  };
  struct MenuShown {
    int menu_resource;
    TrayMenuState state;
    WindowHandle owner;
  };

  explicit FakeTray(FakeDesktop& desktop) : desktop_(desktop) {}

  void SetShellRunning(bool running);
  // The shell restarts: every icon is gone and each tray window hears "TaskbarCreated".
  void RestartShell();
  // A mouse message on the icon, as the shell sends it to the tray window.
  std::intptr_t SendMouse(std::uint32_t id, std::uint32_t mouse_message);
  void SetMenuCommands(int menu_resource, std::vector<int> commands);

  std::optional<Icon> Shown() const;  // the one icon shown, if any
  std::vector<int> IconHistory() const;
  std::vector<MenuShown> Menus() const;

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

 private:
  using Key = std::pair<WindowHandle, std::uint32_t>;
  FakeDesktop& desktop_;
  mutable std::mutex mutex_;
  bool shell_running_ = true;
  std::map<WindowHandle, TrayEvents*> windows_;
  std::map<Key, Icon> icons_;
  std::vector<int> history_;
  std::map<int, std::vector<int>> menus_;
  std::vector<MenuShown> menus_shown_;
};

}  // namespace sg::platform::fake
