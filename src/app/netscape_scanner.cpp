#include "app/netscape_scanner.h"

#include <algorithm>

#include "common/ascii.h"

namespace sg::app {

namespace {

constexpr std::uint32_t kPeriodMs = 250;
constexpr std::size_t kTitleBufferSize = 5000;

bool Contains(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

bool IsNeverTouchedNetscapeTitle(const std::string& title) {
  static constexpr std::string_view kTexts[] = {"C:\\",
                                                "- Netscape Composer",
                                                "- Netscape Folder",
                                                "- Netscape Newsgroup",
                                                "- Netscape Message",
                                                "Source of:",
                                                "Source for:",
                                                "Page Info -",
                                                "Netscape Message Center",
                                                "Setup - Welcome",
                                                "Setup - Download",
                                                "webmail.netscape.com ",
                                                "Local Folders ",
                                                "news -",
                                                "Sent ",
                                                "Trash ",
                                                "Templates ",
                                                "Drafts ",
                                                "Unsent Messages ",
                                                "mail -"};
  for (std::string_view text : kTexts) {
    if (Contains(title, text)) return true;
  }
  return Contains(AsciiUpper(title), "INBOX");
}

bool IsNetscapeBrowserTitle(const std::string& title) {
  if (title.size() >= 8 && title.compare(title.size() - 8, 8, "Netscape") == 0) return true;
  static constexpr std::string_view kTexts[] = {"- Netscape", "Netscape 8", "Netscape 7",
                                                "Netscape 6", "Netscape 5", "Netscape 4",
                                                "- Mozilla"};
  return std::any_of(std::begin(kTexts), std::end(kTexts),
                     [&](std::string_view text) { return Contains(title, text); });
}

void NetscapeScanner::Start(const Settings& settings) {
  known_.fill(0);
  settings_.emplace(settings);
  first_pass_ = true;
  timers_->SetTimer(kTimerNetscapePass, kPeriodMs);
}

void NetscapeScanner::Stop() {
  if (!settings_) return;
  timers_->KillTimer(kTimerNetscapePass);
  settings_.reset();
}

void NetscapeScanner::OnTimer() {
  if (!settings_) return;
  for (const platform::WindowHandle window : windows_.ShownTopLevelWindows()) {
    CheckNetscapeWindow(window);
  }
  first_pass_ = false;
}

void NetscapeScanner::CheckNetscapeWindow(platform::WindowHandle window) {
  const std::string title = windows_.WindowText(window, kTitleBufferSize);
  if (title.empty()) return;
  ForgetClosedWindows();
  if (settings_->safe_sites.AnyMatch(
          [&](const std::string& site) { return Contains(title, site); })) {
    return;
  }
  if (IsNeverTouchedNetscapeTitle(title) || !IsNetscapeBrowserTitle(title)) return;

  const bool key_down = windows_.IsKeyDown(*settings_->hold_down_key);
  const bool enabled = settings_->tray->blocking_enabled();
  if (enabled && !first_pass_) {
    if (known_[0] == 0) {
      known_[0] = window;
      return;
    }
    if (!IsKnown(window) && !key_down) {
      Block(window, title);
      return;
    }
  }
  if (known_[0] == 0) {
    known_[0] = window;
  } else if (key_down || !enabled || first_pass_) {
    Remember(window);
  }
}

void NetscapeScanner::ForgetClosedWindows() {
  for (auto& slot : known_) {
    if (slot && !windows_.IsWindow(slot)) slot = 0;
  }
  if (known_[0] == 0) {
    // The main browser window is gone: the earliest remembered window takes its place.
    auto next = std::find_if(known_.begin() + 1, known_.end(), [](auto slot) { return slot; });
    if (next != known_.end()) std::swap(known_[0], *next);
  }
}

bool NetscapeScanner::IsKnown(platform::WindowHandle window) const {
  return std::find(known_.begin(), known_.end(), window) != known_.end();
}

void NetscapeScanner::Remember(platform::WindowHandle window) {
  if (IsKnown(window)) return;
  auto free_slot = std::find(known_.begin(), known_.end(), 0);
  if (free_slot != known_.end()) *free_slot = window;
}

void NetscapeScanner::Block(platform::WindowHandle window, const std::string& title) {
  windows_.PostMessage(window, platform::kWmClose, 0, 0);
  blocks_.Record(title, true, true, 1);  // a single flash
}

}  // namespace sg::app
