#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "app/block_list_matcher.h"
#include "app/block_record.h"
#include "browser/filter_list.h"
#include "platform/ports/windows.h"

namespace sg::app {

// Closes top-level windows whose titles are on the block list: all of them at each tick of the
// scan, and one at once when the hook library reports it shown or renamed. The two never both
// close one window: a window closed on a report waits for the tick after next, and one closed
// by a tick gets no more reports until the next tick. A window that ignores the close is closed
// and counted again by a later tick.
class TitleScanner {
 public:
  TitleScanner(platform::WindowsPort& windows, BlockRecord& blocks)
      : windows_(windows), blocks_(blocks) {}

  // revision: the block list's count of changes; the entries are read again only when it moved.
  void Scan(const browser::FilterList& block_list, std::uint64_t revision);
  void CheckWindow(const browser::FilterList& block_list, std::uint64_t revision,
                   platform::WindowHandle window);
  bool running() const { return running_; }

 private:
  void PrepareMatcher(const browser::FilterList& block_list, std::uint64_t revision);
  // True when the window was closed.
  bool CheckWindowTitle(platform::WindowHandle window);

  platform::WindowsPort& windows_;
  BlockRecord& blocks_;
  bool running_ = false;
  bool prepared_ = false;
  std::uint64_t prepared_revision_ = 0;
  BlockListMatcher matcher_;
  std::set<platform::WindowHandle> closed_on_report_;  // since the last tick
  std::set<platform::WindowHandle> closed_by_tick_;    // by the last tick
};

// Titles of web dialogs that are never closed by the title scan.
bool IsProtectedTitle(const std::string& title);

}  // namespace sg::app
