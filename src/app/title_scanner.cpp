#include "app/title_scanner.h"

#include "common/ascii.h"

namespace sg::app {

namespace {

constexpr std::size_t kTitleBufferSize = 1000;
constexpr int kHiddenDialogSize = 100;
// The watch: reports again at once, then the shortest period a window timer keeps, for a second.
constexpr int kQuickLooks = 300;
constexpr std::uint32_t kWatchPeriodMs = 10;
constexpr int kWatchTicks = 100;

}  // namespace

bool IsProtectedTitle(const std::string& title) {
  return title.find("Windows Update -- Web Page Dialog") != std::string::npos ||
         title.find("MSN Hotmail -- Web Page Dialog") != std::string::npos;
}

void TitleScanner::Prepare(const browser::FilterList& block_list, std::uint64_t revision) {
  if (prepared_ && revision == prepared_revision_) return;
  std::vector<std::string> entries;
  entries.reserve(static_cast<std::size_t>(block_list.Count()));
  for (int i = 0; i < block_list.Count(); ++i) entries.push_back(block_list.At(i));
  matcher_ = BlockListMatcher(entries);
  prepared_ = true;
  prepared_revision_ = revision;
}

void TitleScanner::Scan(const browser::FilterList& block_list, std::uint64_t revision) {
  if (running_) return;
  running_ = true;
  Prepare(block_list, revision);
  // An empty list closes nothing: the desktop need not be looked at.
  const std::vector<platform::WindowHandle> windows =
      matcher_.empty() ? std::vector<platform::WindowHandle>{} : windows_.ShownTopLevelWindows();
  std::map<platform::WindowHandle, bool> still_closed;
  for (const platform::WindowHandle window : windows) {
    const auto closed = closed_.find(window);
    if (closed == closed_.end()) {
      if (CheckWindowTitle(window, Shown::kYes) == Verdict::kClosed) {
        still_closed.emplace(window, true);
        watched_.erase(window);
      }
    } else if (!closed->second ||  // closed since the last tick: given time to go
               CheckWindowTitle(window, Shown::kYes, true) == Verdict::kClosed) {
      still_closed.emplace(window, true);
    }
  }
  closed_ = std::move(still_closed);
  running_ = false;
}

void TitleScanner::NoteGone(platform::WindowHandle window) {
  closed_.erase(window);
  watched_.erase(window);
}

bool TitleScanner::CheckWindow(const browser::FilterList& block_list, std::uint64_t revision,
                               platform::WindowHandle window) {
  if (running_) return false;
  running_ = true;
  Prepare(block_list, revision);
  bool look_again = false;
  if (!closed_.count(window)) {
    const Verdict verdict =
        CheckWindowTitle(window, timers_ ? Shown::kWatchIfNot : Shown::kAskFirst);
    if (verdict == Verdict::kClosed) {
      closed_.emplace(window, false);
      watched_.erase(window);
    } else if (verdict == Verdict::kListedButHidden) {
      if (watched_.empty()) timers_->SetTimer(kTimerTitleWatch, kWatchPeriodMs);
      auto watch = watched_.try_emplace(window, Watch{kQuickLooks, kWatchTicks}).first;
      look_again = watch->second.quick_looks_left-- > 0;
    }
  }
  running_ = false;
  return look_again;
}

void TitleScanner::OnWatchTick(const browser::FilterList& block_list, std::uint64_t revision,
                               bool may_block) {
  if (running_) return;
  if (!may_block) return EndWatch();
  running_ = true;
  Prepare(block_list, revision);
  for (auto it = watched_.begin(); it != watched_.end();) {
    const platform::WindowHandle window = it->first;
    const Verdict verdict =
        closed_.count(window) ? Verdict::kLeft : CheckWindowTitle(window, Shown::kWatchIfNot);
    if (verdict == Verdict::kClosed) closed_.emplace(window, false);
    if (verdict == Verdict::kListedButHidden && --it->second.ticks_left > 0) {
      ++it;
    } else {
      it = watched_.erase(it);
    }
  }
  running_ = false;
  if (watched_.empty()) EndWatch();
}

void TitleScanner::EndWatch() {
  watched_.clear();
  if (timers_) timers_->KillTimer(kTimerTitleWatch);
}

TitleScanner::Verdict TitleScanner::CheckWindowTitle(platform::WindowHandle window, Shown shown,
                                                     bool closed_before) {
  if (matcher_.empty()) return Verdict::kLeft;
  // Most top-level windows are hidden: without a watch, that is the cheaper first question.
  if (shown == Shown::kAskFirst && !windows_.IsVisible(window)) return Verdict::kLeft;
  const std::string title = windows_.WindowText(window, kTitleBufferSize);
  if (title.empty() || IsProtectedTitle(title)) return Verdict::kLeft;
  const std::string upper = AsciiUpper(title);

  // A tiny web page dialog is a hidden popup, whatever the block list says.
  bool hidden_dialog = false;
  if (upper.find("-- WEB PAGE DIALOG") != std::string::npos) {
    if (auto rect = windows_.Rect(window)) {
      hidden_dialog = rect->right - rect->left <= kHiddenDialogSize &&
                      rect->bottom - rect->top <= kHiddenDialogSize;
    }
  }
  if (!hidden_dialog && !matcher_.Matches(upper)) return Verdict::kLeft;
  if (shown == Shown::kWatchIfNot && !windows_.IsVisible(window)) {
    return Verdict::kListedButHidden;
  }

  windows_.PostMessage(window, platform::kWmClose, 0, 0);
  if (!closed_before) blocks_.Record(title, !hidden_dialog, !hidden_dialog);
  return Verdict::kClosed;
}

}  // namespace sg::app
