#include "app/block_record.h"

#include <utility>

#include "settings/registry_store.h"

namespace sg::app {

namespace {
constexpr std::uint32_t kFlashPeriodMs = 285;
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
  if (with_sound) PlaySound();
  ++total_blocks_;
  ++run_blocks_;
  count_text_ = std::to_string(run_blocks_);

  // The stored counter goes up from what is stored, so several copies of the count agree.
  settings::RegistryStore store(platform_.registry);
  const std::string stored = store.ReadString(settings::kProgramSection, "m_TotalBlocks");
  const std::int64_t stored_total = stored.empty() ? 0 : settings::ParseLeadingInt(stored);
  store.WriteString(settings::kProgramSection, "m_TotalBlocks", std::to_string(stored_total + 1));

  ShowCountInTooltip();
  if (main_dialog_ && !list_line.empty()) main_dialog_->ListAdd(IDC_BLOCKED_LIST, list_line);
  if (with_flash && settings_.flash_tray) FlashTray(IDI_TRAY_FLASH, flashes);
}

void BlockRecord::ShowCountInTooltip() {
  // Each change is a round trip to the shell: a burst of blocks changes the tooltip once, after
  // the messages already waiting.
  if (tooltip_due_) return;
  const auto show = [this] {
    tooltip_due_ = false;
    tray_.SetTooltipText("Snapgate! - " + count_text_ + " windows blocked");
  };
  tooltip_due_ = ui_tasks_.poster().Post(show);
  if (!tooltip_due_) show();  // no window to queue it for yet
}

void BlockRecord::ReportLine(const std::string& line, bool with_sound, bool with_flash) {
  if (main_dialog_) main_dialog_->ListAdd(IDC_BLOCKED_LIST, line);
  if (with_sound) PlaySound();
  if (with_flash && settings_.flash_tray) FlashTray();
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
      bool shown = true;  // false once the window has gone
      for (int i = 0; shown && i < flashes && !asked_again(); ++i) {
        shown = show(icon);
        system.Sleep(kFlashPeriodMs);
        shown = shown && show(IDI_TRAY_NORMAL);
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
