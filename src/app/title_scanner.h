#pragma once

#include <string>
#include <vector>

#include "app/block_list_matcher.h"
#include "app/block_record.h"
#include "browser/filter_list.h"
#include "platform/ports/windows.h"

namespace sg::app {

// Closes every visible top-level window whose title matches the block list. The list is read
// afresh on every scan, so an edit takes effect at the next one; the matcher is rebuilt only
// when the entries have changed.
class TitleScanner {
 public:
  TitleScanner(platform::WindowsPort& windows, BlockRecord& blocks)
      : windows_(windows), blocks_(blocks) {}

  void Scan(const browser::FilterList& block_list);
  bool running() const { return running_; }

 private:
  void CheckWindowTitle(platform::WindowHandle window);

  platform::WindowsPort& windows_;
  BlockRecord& blocks_;
  bool running_ = false;
  std::vector<std::string> entries_;
  BlockListMatcher matcher_;
};

// Titles of web dialogs that are never closed by the title scan.
bool IsProtectedTitle(const std::string& title);

}  // namespace sg::app
