#include "app/block_record.h"

#include <utility>

#include "settings/registry_store.h"

namespace sg::app {

namespace {
constexpr std::uint32_t kFlashPeriodMs = 285;
constexpr std::uint32_t kCountRestMs = 500;
constexpr std::int32_t kLargestShownTotal = 100000;
}  // namespace

BlockRecord::BlockRecord(platform::Platform& platform, SystemTray& tray, UiThreadTasks& ui_tasks)
    : platform_(platform), tray_(tray), ui_tasks_(ui_tasks) {
  settings::RegistryStore store(platform_.registry);
  count_text_ = store.ReadString(settings::kProgramSection, "m_TotalBlocks");
  if (!count_text_.empty()) {
    total_blocks_ = settings::ParseLeadingInt(count_text_);
    if (total_blocks_ > kLargestShownTotal) {
      total_blocks_ = 0;
      count_text_ = "0";
    }
  }
}

void BlockRecord::Record(const std::string& list_line, bool with_sound, bool with_flash,
                         std::optional<int> flashes) {
  ++total_blocks_;
  ++run_blocks_;
  count_text_ = std::to_string(run_blocks_);
  ++unstored_blocks_;
  AddToBlockedList(list_line);
  if (with_flash && settings_.flash_tray) FlashTray(IDI_TRAY_FLASH, flashes);
  Announce(with_sound);
}

void BlockRecord::ReportLine(const std::string& line, bool with_sound, bool with_flash) {
  AddToBlockedList(line);
  if (with_flash && settings_.flash_tray) FlashTray();
  Announce(with_sound);
}

void BlockRecord::AddToBlockedList(const std::string& line) {
  if (!main_dialog_ || line.empty()) return;
  // A burst adds without repainting; the announcement paints the list once.
  if (!announcement_due_) main_dialog_->SetRedraw(IDC_BLOCKED_LIST, false);
  main_dialog_->ListAdd(IDC_BLOCKED_LIST, line);
}

void BlockRecord::Announce(bool with_sound) {
  sound_due_ = sound_due_ || with_sound;
  if (announcement_due_) return;
  // Each announcement costs round trips to the shell, the registry and the sound device: a burst
  // of blocks is announced once, after the messages already waiting.
  announcement_due_ = ui_tasks_.poster().Post([this] { AnnounceNow(true); });
  if (!announcement_due_) AnnounceNow(false);  // no window to queue it for yet
}

void BlockRecord::AnnounceNow(bool queued) {
  announcement_due_ = false;
  if (std::exchange(sound_due_, false)) PlaySound();
  if (main_dialog_) main_dialog_->SetRedraw(IDC_BLOCKED_LIST, true);
  if (unstored_blocks_ > 0 && !count_resting_) ShowCount(queued);
}

void BlockRecord::ShowCount(bool rest) {
  // The stored counter goes up from what is stored, so several copies of the count agree.
  settings::RegistryStore store(platform_.registry);
  const std::string stored = store.ReadString(settings::kProgramSection, "m_TotalBlocks");
  const std::int64_t stored_total = stored.empty() ? 0 : settings::ParseLeadingInt(stored);
  store.WriteString(settings::kProgramSection, "m_TotalBlocks",
                    std::to_string(stored_total + std::exchange(unstored_blocks_, 0)));
  tray_.SetTooltipText("Snapgate! - " + count_text_ + " windows blocked");
  if (!rest) return;
  // A busy shell answers each change late, and the window waits for it: while blocks keep
  // coming, the count is shown at most every so often.
  count_resting_ = true;
  ui_tasks_.PostAfter(platform_.system, kCountRestMs, [this] {
    count_resting_ = false;
    if (unstored_blocks_ > 0) ShowCount(true);
  });
}

void BlockRecord::PlaySound() {
  if (!settings_.play_sound) return;
  platform_.system.PlaySound(settings_.sound_path,
                             platform::kSndFilename | platform::kSndAsync | platform::kSndNoStop);
}

void BlockRecord::FlashTray(int flash_icon, std::optional<int> flash_count) {
  {
    std::lock_guard lock(flash_->mutex);
    ++flash_->asked;
    flash_->icon = flash_icon;
    flash_->flashes = flash_count.value_or(settings_.flash_count);
    if (std::exchange(flash_->flashing, true)) return;  // the running sequence starts over
  }
  // The worker keeps the time; the icon changes on the user-interface thread, while the tray is.
  auto show = [poster = ui_tasks_.poster(), tray = &tray_](int icon) {
    return poster.Post([tray, icon] { tray->SetIconResource(icon); });
  };
  platform::SystemPort& system = platform_.system;
  system.StartThread([show, &system, request = flash_] {
    bool shown = true;  // false once the window has gone
    int showing = IDI_TRAY_NORMAL;
    const auto put_up = [&](int icon) {
      if (icon == showing) return;
      shown = show(icon);
      showing = icon;
    };
    for (;;) {
      std::uint64_t asked;
      int icon, flashes;
      {
        std::lock_guard lock(request->mutex);
        asked = request->asked;
        icon = request->icon;
        flashes = request->flashes;
      }
      const auto asked_again = [&] {
        std::lock_guard lock(request->mutex);
        return request->asked != asked;
      };
      for (int i = 0; shown && i < flashes && !asked_again(); ++i) {
        put_up(icon);
        system.Sleep(kFlashPeriodMs);
        // A block meanwhile keeps the flash up: a burst shows it steadily rather than as a
        // flicker of round trips to a shell that is busy drawing the burst.
        if (!shown || asked_again()) break;
        put_up(IDI_TRAY_NORMAL);
        if (shown) system.Sleep(kFlashPeriodMs);
      }
      std::lock_guard lock(request->mutex);
      if (shown && request->asked != asked) continue;  // asked again meanwhile: start over
      request->flashing = false;
      if (shown) show(IDI_TRAY_NORMAL);
      return;
    }
  });
}

}  // namespace sg::app
