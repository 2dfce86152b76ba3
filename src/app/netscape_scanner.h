#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "app/block_record.h"
#include "app/system_tray.h"
#include "browser/filter_list.h"
#include "platform/ports/system.h"
#include "platform/ports/windows.h"

namespace sg::app {

// Netscape and Mozilla browsers have no automation events, so their popups are found by title:
// a worker thread looks at the desktop every 250 ms, remembers the browser windows that were
// already open or that the user let open, and closes every other one that appears.
class NetscapeScanner {
 public:
  // What the scanner reads of the main dialog while it runs.
  struct Settings {
    const int* hold_down_key;
    const SystemTray* tray;  // the blocking-enabled switch
    browser::FilterList safe_sites;
  };

  NetscapeScanner(platform::WindowsPort& windows, platform::SystemPort& system,
                  BlockRecord& blocks);
  ~NetscapeScanner();

  void Start(const Settings& settings);
  // Asks the thread to end and waits up to 2.4 s; true when it has ended.
  bool Stop();
  // Asks the thread to end without waiting.
  void RequestStop() { run_ = false; }
  bool running() const { return !thread_ended_; }

  // One pass over the desktop, as the thread makes it every period.
  void RunPass();
  static constexpr std::size_t kKnownSlots = 15;
  const std::array<platform::WindowHandle, kKnownSlots>& known() const { return known_; }

 private:
  // False ends the pass at once (a stop was asked for).
  bool CheckNetscapeWindow(platform::WindowHandle window);
  void ForgetClosedWindows();
  bool IsKnown(platform::WindowHandle window) const;
  void Remember(platform::WindowHandle window);
  void Block(platform::WindowHandle window, const std::string& title);

  platform::WindowsPort& windows_;
  platform::SystemPort& system_;
  BlockRecord& blocks_;
  std::optional<Settings> settings_;
  std::atomic<bool> run_{false};
  std::atomic<bool> thread_ended_{true};
  bool first_pass_ = true;
  std::array<platform::WindowHandle, kKnownSlots> known_{};
};

// Titles of Netscape windows that are never closed: mail, news, composer and the like.
bool IsNeverTouchedNetscapeTitle(const std::string& title);
bool IsNetscapeBrowserTitle(const std::string& title);

}  // namespace sg::app
