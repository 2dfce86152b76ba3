#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "app/system_tray.h"
#include "app/ui_thread_tasks.h"
#include "platform/ports/platform.h"
#include "resources/resource_ids.h"

namespace sg::app {

// How the user wants to hear of a block.
struct NotificationSettings {
  bool play_sound = false;
  std::string sound_path;
  bool flash_tray = true;
  int flash_count = 1;
};

// The common record of a block: counters, the stored total, the tray tooltip, the list of
// blocked windows, the sound and the flashing tray icon. Used on the user-interface thread;
// the flashes' workers reach the tray through the main dialog's tasks.
class BlockRecord {
 public:
  BlockRecord(platform::Platform& platform, SystemTray& tray, UiThreadTasks& ui_tasks);

  // The main dialog whose list box holds the blocked windows.
  void AttachBlockedList(platform::DialogHost& main_dialog) { main_dialog_ = &main_dialog; }

  // flashes: how often the tray icon flashes; the user's flash count when not given. An empty
  // line lists nothing. The counters and the list change at once; the sound follows once the
  // messages already waiting are handled, once for a burst; the stored total and the tooltip
  // too, and during a burst at most twice a second.
  void Record(const std::string& list_line, bool with_sound, bool with_flash,
              std::optional<int> flashes = std::nullopt);
  // A line of the blocked list that is no block: nothing is counted.
  void ReportLine(const std::string& line, bool with_sound, bool with_flash);
  // Flashes the tray icon flash-count times with the given icon: a worker keeps the time. One
  // sequence runs at a time; a flash asked for meanwhile starts it over with its own icon and
  // count, so that a burst of blocks costs one worker and a few icon changes, not a worker each.
  void FlashTray(int flash_icon = IDI_TRAY_FLASH, std::optional<int> flashes = std::nullopt);

  // The block sound, asynchronously, when the user wants sounds; none while one still plays.
  void PlaySound();

  int total_blocks() const { return total_blocks_; }
  int run_blocks() const { return run_blocks_; }
  const std::string& count_text() const { return count_text_; }
  void set_count_text(const std::string& text) { count_text_ = text; }
  NotificationSettings& settings() { return settings_; }

 private:
  void AddToBlockedList(const std::string& line);
  void Announce(bool with_sound);
  // queued: it runs as a task of the window, which can also end the count's rest.
  void AnnounceNow(bool queued);
  void ShowCount(bool rest);

  platform::Platform& platform_;
  SystemTray& tray_;
  UiThreadTasks& ui_tasks_;
  platform::DialogHost* main_dialog_ = nullptr;
  // The flash asked for last, shared with the worker that flashes.
  struct FlashRequest {
    std::mutex mutex;
    bool flashing = false;
    std::uint64_t asked = 0;  // counts the requests: the worker sees a new one came
    int icon = 0;
    int flashes = 0;
  };
  std::shared_ptr<FlashRequest> flash_ = std::make_shared<FlashRequest>();
  NotificationSettings settings_;
  int total_blocks_ = 0;
  int run_blocks_ = 0;
  int unstored_blocks_ = 0;  // counted, not yet in the stored total and the tooltip
  bool sound_due_ = false;
  bool announcement_due_ = false;  // its task is queued
  bool count_resting_ = false;     // shown a moment ago: the next change waits
  std::string count_text_;
};

}  // namespace sg::app
