#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "app/block_record.h"
#include "app/system_tray.h"
#include "app/ui_thread_tasks.h"
#include "browser/filter_list.h"
#include "platform/ports/system.h"
#include "platform/ports/windows.h"

namespace sg::app {

// Netscape and Mozilla browsers have no automation events, so their popups are found by title:
// the desktop is looked at every 250 ms, the browser windows that were already open or that the
// user let open are remembered, and every other one that appears is closed. A worker thread
// keeps the time; the passes run on the user-interface thread, which owns what they read.
class NetscapeScanner {
 public:
  // What the scanner reads of the main dialog while it runs.
  struct Settings {
    const int* hold_down_key;
    const SystemTray* tray;  // the blocking-enabled switch
    browser::FilterList safe_sites;
  };

  NetscapeScanner(platform::WindowsPort& windows, platform::SystemPort& system, BlockRecord& blocks,
                  UiThreadTasks& ui_tasks);
  ~NetscapeScanner();

  void Start(const Settings& settings);
  // Asks the thread to end and waits up to 2.4 s; true when it has ended.
  bool Stop();
  // Asks the thread to end without waiting.
  void RequestStop();
  bool running() const { return run_ && !run_->ended; }

  static constexpr std::size_t kKnownSlots = 15;
  const std::array<platform::WindowHandle, kKnownSlots>& known() const { return known_; }

 private:
  // One start's thread, shared with it: the thread may outlive the scanner.
  struct Run {
    std::atomic<bool> go{true};
    std::atomic<bool> ended{false};
  };

  // One pass over the desktop, on the user-interface thread.
  void RunPass();
  void CheckNetscapeWindow(platform::WindowHandle window);
  void ForgetClosedWindows();
  bool IsKnown(platform::WindowHandle window) const;
  void Remember(platform::WindowHandle window);
  void Block(platform::WindowHandle window, const std::string& title);

  platform::WindowsPort& windows_;
  platform::SystemPort& system_;
  BlockRecord& blocks_;
  UiThreadTasks& ui_tasks_;
  std::optional<Settings> settings_;
  std::shared_ptr<Run> run_;  // none before the first start
  bool first_pass_ = true;
  std::array<platform::WindowHandle, kKnownSlots> known_{};
};

// Titles of Netscape windows that are never closed: mail, news, composer and the like.
bool IsNeverTouchedNetscapeTitle(const std::string& title);
bool IsNetscapeBrowserTitle(const std::string& title);

}  // namespace sg::app
