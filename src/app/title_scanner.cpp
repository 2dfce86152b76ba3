#include "app/title_scanner.h"

#include "common/ascii.h"

namespace sg::app {

namespace {

constexpr std::size_t kTitleBufferSize = 1000;
constexpr int kHiddenDialogSize = 100;

}  // namespace

bool IsProtectedTitle(const std::string& title) {
  return title.find("Windows Update -- Web Page Dialog") != std::string::npos ||
         title.find("MSN Hotmail -- Web Page Dialog") != std::string::npos;
}

void TitleScanner::PrepareMatcher(const browser::FilterList& block_list, std::uint64_t revision) {
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
  PrepareMatcher(block_list, revision);
  std::set<platform::WindowHandle> closed;
  for (const platform::WindowHandle window : windows_.TopLevelWindows()) {
    if (!closed_on_report_.count(window) && CheckWindowTitle(window)) closed.insert(window);
  }
  closed_by_tick_ = std::move(closed);
  closed_on_report_.clear();
  running_ = false;
}

void TitleScanner::CheckWindow(const browser::FilterList& block_list, std::uint64_t revision,
                               platform::WindowHandle window) {
  if (running_) return;
  running_ = true;
  PrepareMatcher(block_list, revision);
  if (!closed_on_report_.count(window) && !closed_by_tick_.count(window) &&
      CheckWindowTitle(window)) {
    closed_on_report_.insert(window);
  }
  running_ = false;
}

bool TitleScanner::CheckWindowTitle(platform::WindowHandle window) {
  const std::string title = windows_.WindowText(window, kTitleBufferSize);
  if (title.empty() || IsProtectedTitle(title) || !windows_.IsVisible(window)) return false;
  if (matcher_.empty()) return false;
  const std::string upper = AsciiUpper(title);

  // A tiny web page dialog is a hidden popup, whatever the block list says.
  bool hidden_dialog = false;
  if (upper.find("-- WEB PAGE DIALOG") != std::string::npos) {
    if (auto rect = windows_.Rect(window)) {
      hidden_dialog = rect->right - rect->left <= kHiddenDialogSize &&
                      rect->bottom - rect->top <= kHiddenDialogSize;
    }
  }
  if (!hidden_dialog && !matcher_.Matches(upper)) return false;

  windows_.PostMessage(window, platform::kWmClose, 0, 0);
  blocks_.Record(title, !hidden_dialog, !hidden_dialog);
  return true;
}

}  // namespace sg::app
