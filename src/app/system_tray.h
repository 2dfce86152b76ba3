#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/ports/system.h"
#include "platform/ports/tray.h"
#include "resources/resource_ids.h"

namespace sg::app {

inline constexpr std::uint32_t kTrayCallbackMessage = 0x800A;
inline constexpr std::uint32_t kTrayIconId = 156;

// Who gets the tray icon's commands: the main dialog.
class TrayCommandTarget {
 public:
  virtual ~TrayCommandTarget() = default;
  virtual platform::WindowHandle CommandWindow() = 0;
  // WM_COMMAND sent (not posted) to the command window.
  virtual void SendCommand(int command) = 0;
  // The shell has restarted and made its windows anew.
  virtual void ReconnectBrowsers() = 0;
};

// The notification-area icon, its tooltip and menu, and the switch that turns blocking on and
// off. Icon and tooltip changes may come from worker threads; they are serialised.
class SystemTray final : public platform::TrayEvents {
 public:
  SystemTray(platform::TrayPort& tray, platform::WindowsPort& windows,
             platform::SystemPort& system);
  ~SystemTray() override;
  SystemTray(const SystemTray&) = delete;
  SystemTray& operator=(const SystemTray&) = delete;

  bool Create(TrayCommandTarget& target, std::uint32_t callback_message, const std::string& tooltip,
              int icon_resource, std::uint32_t id);
  void SetIconResource(int icon_resource);
  void SetTooltipText(const std::string& text);
  void SetMenuDefaultItem(int item, bool by_position);
  void RemoveIcon();
  void HideIcon();

  bool blocking_enabled() const { return blocking_enabled_; }
  void set_blocking_enabled(bool enabled) { blocking_enabled_ = enabled; }
  bool icon_added() const { return icon_added_; }

  std::intptr_t OnTrayNotification(std::uintptr_t wparam, std::intptr_t lparam) override;
  void OnTaskbarCreated() override;

 private:
  platform::TrayPort& tray_;
  platform::WindowsPort& windows_;
  platform::SystemPort& system_;
  TrayCommandTarget* target_ = nullptr;

  std::atomic<bool> blocking_enabled_{true};
  std::mutex mutex_;  // the icon's record: window, icon, tooltip, flags
  platform::WindowHandle window_ = 0;
  std::uint32_t id_ = 0;
  std::uint32_t callback_message_ = 0;
  int icon_resource_ = 0;
  std::string tooltip_;
  std::uint32_t saved_flags_ = 0;
  std::atomic<bool> icon_added_{false};
  bool icon_missing_ = false;
  int default_item_ = 0;
  bool default_by_position_ = true;
};

}  // namespace sg::app
