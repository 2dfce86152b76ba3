#include "platform/fake/fake_tray.h"

namespace sg::platform::fake {

namespace {
constexpr std::size_t kTooltipCharacters = 127;
}

void FakeTray::RestartShell() {
  std::vector<TrayEvents*> listeners;
  {
    std::lock_guard lock(mutex_);
    icons_.clear();
    for (const auto& [window, events] : windows_) listeners.push_back(events);
  }
  for (TrayEvents* events : listeners) events->OnTaskbarCreated();
}

std::intptr_t FakeTray::SendMouse(std::uint32_t id, std::uint32_t mouse_message) {
  TrayEvents* target = nullptr;
  {
    std::lock_guard lock(mutex_);
    for (const auto& [key, icon] : icons_) {
      if (key.second == id) {
        target = windows_[key.first];
        break;
      }
    }
    if (!target && !windows_.empty()) target = windows_.begin()->second;
  }
  return target ? target->OnTrayNotification(id, mouse_message) : 0;
}

void FakeTray::SetShellRunning(bool running) {
  std::lock_guard lock(mutex_);
  shell_running_ = running;
}

void FakeTray::SetMenuCommands(int menu_resource, std::vector<int> commands) {
  std::lock_guard lock(mutex_);
  menus_[menu_resource] = std::move(commands);
}

std::vector<FakeTray::MenuShown> FakeTray::Menus() const {
  std::lock_guard lock(mutex_);
  return menus_shown_;
}

std::optional<FakeTray::Icon> FakeTray::Shown() const {
  std::lock_guard lock(mutex_);
  if (icons_.empty()) return std::nullopt;
  return icons_.begin()->second;
}

std::vector<int> FakeTray::IconHistory() const {
  std::lock_guard lock(mutex_);
  return history_;
}

WindowHandle FakeTray::CreateTrayWindow(TrayEvents& events) {
  FakeDesktop::Window window;
  window.class_name = "CSystemTray";
  window.process_id = 1;
  // Posted messages are not how the shell talks to this window; SendMouse is.
  window.procedure = [](std::uint32_t, std::uintptr_t, std::intptr_t) {};
  const WindowHandle handle = desktop_.Open(std::move(window));
  std::lock_guard lock(mutex_);
  windows_[handle] = &events;
  return handle;
}

void FakeTray::DestroyTrayWindow(WindowHandle window) {
  desktop_.Close(window);
  std::lock_guard lock(mutex_);
  windows_.erase(window);
  std::erase_if(icons_, [window](const auto& entry) { return entry.first.first == window; });
}

bool FakeTray::AddIcon(WindowHandle window, std::uint32_t id, std::uint32_t,
                       std::uint32_t callback_message, int icon_resource,
                       const std::string& tooltip) {
  std::lock_guard lock(mutex_);
  if (!shell_running_ || icons_.count({window, id})) return false;
  icons_[{window, id}] = {icon_resource, tooltip.substr(0, kTooltipCharacters), callback_message};
  history_.push_back(icon_resource);
  return true;
}

bool FakeTray::ModifyIcon(WindowHandle window, std::uint32_t id, int icon_resource) {
  std::lock_guard lock(mutex_);
  auto found = icons_.find({window, id});
  if (found == icons_.end()) return false;
  found->second.icon_resource = icon_resource;
  history_.push_back(icon_resource);
  return true;
}

bool FakeTray::ModifyTooltip(WindowHandle window, std::uint32_t id, const std::string& tooltip) {
  std::lock_guard lock(mutex_);
  auto found = icons_.find({window, id});
  if (found == icons_.end()) return false;
  found->second.tooltip = tooltip.substr(0, kTooltipCharacters);
  return true;
}

bool FakeTray::DeleteIcon(WindowHandle window, std::uint32_t id, std::uint32_t) {
  std::lock_guard lock(mutex_);
  return icons_.erase({window, id}) > 0;
}

bool FakeTray::TrackMenu(int menu_resource, const TrayMenuState& state, WindowHandle owner) {
  std::lock_guard lock(mutex_);
  if (!menus_.count(menu_resource)) return false;
  menus_shown_.push_back({menu_resource, state, owner});
  return true;
}

int FakeTray::MenuItemCommand(int menu_resource, int position) {
  std::lock_guard lock(mutex_);
  auto found = menus_.find(menu_resource);
  if (found == menus_.end() || position < 0 || position >= static_cast<int>(found->second.size())) {
    return -1;
  }
  return found->second[static_cast<std::size_t>(position)];
}

}  // namespace sg::platform::fake
