#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "app/block_record.h"
#include "app/system_tray.h"
#include "browser/filter_list.h"
#include "platform/ports/dialogs.h"
#include "platform/ports/windows.h"

namespace sg::app {

inline constexpr std::uint32_t kTimerNetscapePass = 1069;

// Netscape and Mozilla browsers have no automation events, so their popups are found by title:
// the desktop is looked at every 250 ms, the browser windows that were already open or that the
// user let open are remembered, and every other one that appears is closed. The main dialog's
// timer keeps the time: a thread of its own would cost a megabyte of stack under Wine and a
// cross-thread message for every pass.
class NetscapeScanner {
 public:
  // What the scanner reads of the main dialog while it runs.
  struct Settings {
    const int* hold_down_key;
    const SystemTray* tray;  // the blocking-enabled switch
    browser::FilterList safe_sites;
  };

  NetscapeScanner(platform::WindowsPort& windows, BlockRecord& blocks)
      : windows_(windows), blocks_(blocks) {}

  // The main dialog, whose timer paces the passes.
  void AttachTimers(platform::DialogHost& main_dialog) { timers_ = &main_dialog; }
  void Start(const Settings& settings);
  void Stop();
  bool running() const { return settings_.has_value(); }
  // One pass over the desktop, at each tick of kTimerNetscapePass.
  void OnTimer();

  static constexpr std::size_t kKnownSlots = 15;
  const std::array<platform::WindowHandle, kKnownSlots>& known() const { return known_; }

 private:
  void CheckNetscapeWindow(platform::WindowHandle window);
  void ForgetClosedWindows();
  bool IsKnown(platform::WindowHandle window) const;
  void Remember(platform::WindowHandle window);
  void Block(platform::WindowHandle window, const std::string& title);

  platform::WindowsPort& windows_;
  BlockRecord& blocks_;
  platform::DialogHost* timers_ = nullptr;
  std::optional<Settings> settings_;  // while running
  bool first_pass_ = true;
  std::array<platform::WindowHandle, kKnownSlots> known_{};
};

// Titles of Netscape windows that are never closed: mail, news, composer and the like.
bool IsNeverTouchedNetscapeTitle(const std::string& title);
bool IsNetscapeBrowserTitle(const std::string& title);

}  // namespace sg::app
