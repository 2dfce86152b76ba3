#include "app/system_tray.h"

namespace sg::app {

namespace {
constexpr std::intptr_t kWmRButtonUp = 0x0205;
constexpr std::intptr_t kWmLButtonDblClk = 0x0203;
}  // namespace

SystemTray::SystemTray(platform::TrayPort& tray, platform::WindowsPort& windows,
                       platform::SystemPort& system)
    : tray_(tray), windows_(windows), system_(system) {}

SystemTray::~SystemTray() {
  RemoveIcon();
  if (window_) tray_.DestroyTrayWindow(window_);
}

bool SystemTray::Create(TrayCommandTarget& target, std::uint32_t callback_message,
                        const std::string& tooltip, int icon_resource, std::uint32_t id) {
  target_ = &target;
  // Before Windows 95 and NT 4 there is no notification area.
  if (system_.MajorVersion() < 4) {
    icon_added_ = false;
    return false;
  }
  std::lock_guard lock(mutex_);
  window_ = tray_.CreateTrayWindow(*this);
  id_ = id;
  callback_message_ = callback_message;
  icon_resource_ = icon_resource;
  tooltip_ = tooltip;
  saved_flags_ = platform::kNifMessage | platform::kNifIcon | platform::kNifTip;
  default_item_ = 1;
  default_by_position_ = true;
  icon_added_ =
      tray_.AddIcon(window_, id_, saved_flags_, callback_message_, icon_resource_, tooltip_);
  return icon_added_;
}

void SystemTray::SetIconResource(int icon_resource) {
  std::lock_guard lock(mutex_);
  if (!icon_added_) return;
  icon_resource_ = icon_resource;
  tray_.ModifyIcon(window_, id_, icon_resource);
}

void SystemTray::SetTooltipText(const std::string& text) {
  std::lock_guard lock(mutex_);
  if (!icon_added_) return;
  tooltip_ = text;
  tray_.ModifyTooltip(window_, id_, text);
}

void SystemTray::SetMenuDefaultItem(int item, bool by_position) {
  std::lock_guard lock(mutex_);
  default_item_ = item;
  default_by_position_ = by_position;
}

void SystemTray::RemoveIcon() {
  std::lock_guard lock(mutex_);
  if (!icon_added_) return;
  tray_.DeleteIcon(window_, id_, 0);
  icon_added_ = false;
}

void SystemTray::HideIcon() {
  std::lock_guard lock(mutex_);
  if (!icon_added_ || icon_missing_) return;
  tray_.DeleteIcon(window_, id_, platform::kNifIcon);
  icon_missing_ = true;
}

std::intptr_t SystemTray::OnTrayNotification(std::uintptr_t wparam, std::intptr_t lparam) {
  if (wparam != id_ || !target_) return 0;
  const platform::WindowHandle command_window = target_->CommandWindow();
  if (lparam == kWmRButtonUp) {
    platform::TrayMenuState state;
    {
      std::lock_guard lock(mutex_);
      state.default_position = default_item_;
    }
    state.enabled_checked = blocking_enabled_;
    state.enabled_bitmap = !blocking_enabled_;
    if (!tray_.TrackMenu(IDR_TRAY_MENU, state, command_window)) return 0;
  } else if (lparam == kWmLButtonDblClk) {
    windows_.SetForegroundWindow(command_window);
    int item;
    bool by_position;
    {
      std::lock_guard lock(mutex_);
      item = default_item_;
      by_position = default_by_position_;
    }
    const int command = by_position ? tray_.MenuItemCommand(IDR_TRAY_MENU, item) : item;
    if (command >= 0) target_->SendCommand(command);
  }
  return 1;
}

void SystemTray::OnTaskbarCreated() {
  {
    std::lock_guard lock(mutex_);
    const bool added =
        tray_.AddIcon(window_, id_, saved_flags_, callback_message_, icon_resource_, tooltip_);
    icon_missing_ = !added;
  }
  if (target_) target_->ReconnectBrowsers();
}

}  // namespace sg::app
