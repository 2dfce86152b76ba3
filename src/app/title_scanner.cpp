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

void TitleScanner::Scan(const browser::FilterList& block_list) {
  if (running_) return;
  running_ = true;
  std::vector<std::string> entries;
  for (int i = 0; i < block_list.Count(); ++i) entries.push_back(block_list.At(i));
  if (entries != entries_) {
    matcher_ = BlockListMatcher(entries);
    entries_ = std::move(entries);
  }
  for (const platform::WindowHandle window : windows_.TopLevelWindows()) CheckWindowTitle(window);
  running_ = false;
}

void TitleScanner::CheckWindowTitle(platform::WindowHandle window) {
  const std::string title = windows_.WindowText(window, kTitleBufferSize);
  if (title.empty() || IsProtectedTitle(title) || !windows_.IsVisible(window)) return;
  if (matcher_.empty()) return;
  const std::string upper = AsciiUpper(title);

  // A tiny web page dialog is a hidden popup, whatever the block list says.
  bool hidden_dialog = false;
  if (upper.find("-- WEB PAGE DIALOG") != std::string::npos) {
    if (auto rect = windows_.Rect(window)) {
      hidden_dialog = rect->right - rect->left <= kHiddenDialogSize &&
                      rect->bottom - rect->top <= kHiddenDialogSize;
    }
  }
  if (!hidden_dialog && !matcher_.Matches(upper)) return;

  windows_.PostMessage(window, platform::kWmClose, 0, 0);
  blocks_.Record(title, !hidden_dialog, !hidden_dialog);
}

}  // namespace sg::app
