#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/block_list_matcher.h"
#include "app/block_record.h"
#include "browser/filter_list.h"
#include "platform/ports/dialogs.h"
#include "platform/ports/windows.h"

namespace sg::app {

// Watches listed windows that were reported before they were shown.
inline constexpr std::uint32_t kTimerTitleWatch = 1064;

// Closes top-level windows whose titles are on the block list: all of them at each tick of the
// scan, and one at once when the hook library reports it created, shown or renamed. A window it
// closed is recorded once, however long it takes to go: one still there at the tick after next
// (the next tick, when a tick closed it) is sent WM_CLOSE again, without a second record.
class TitleScanner {
 public:
  TitleScanner(platform::WindowsPort& windows, BlockRecord& blocks)
      : windows_(windows), blocks_(blocks) {}

  // The main dialog, whose timer watches listed windows not shown yet.
  void AttachTimers(platform::DialogHost& main_dialog) { timers_ = &main_dialog; }
  // revision: the block list's count of changes; the entries are read again only when it moved.
  // Reads them now, so that the first tick need not.
  void Prepare(const browser::FilterList& block_list, std::uint64_t revision);
  void Scan(const browser::FilterList& block_list, std::uint64_t revision);
  // A listed window that is still hidden is watched, so that one created before it is shown is
  // closed when it shows even where the system reports only its creation: true while the caller
  // should report it again at once (a few hundred times, a few milliseconds), and then it is
  // looked at at each watch tick, for a second.
  bool CheckWindow(const browser::FilterList& block_list, std::uint64_t revision,
                   platform::WindowHandle window);
  // may_block: the hold-down key is up and blocking is enabled; if not, the watch ends.
  void OnWatchTick(const browser::FilterList& block_list, std::uint64_t revision, bool may_block);
  // Another blocker closed the window: the reports leave it be as if this one had.
  void NoteClosed(platform::WindowHandle window) { closed_.try_emplace(window, false); }
  // The window is gone; its handle may come back for another window.
  void NoteGone(platform::WindowHandle window);
  bool running() const { return running_; }

 private:
  enum class Verdict { kLeft, kClosed, kListedButHidden };
  // What is known of the window's being shown; kWatchIfNot tells a listed window not shown yet
  // apart, to be watched.
  enum class Shown { kYes, kAskFirst, kWatchIfNot };

  // closed_before: the window was closed and recorded already; it is only sent WM_CLOSE again.
  Verdict CheckWindowTitle(platform::WindowHandle window, Shown shown, bool closed_before = false);
  void EndWatch();

  platform::WindowsPort& windows_;
  BlockRecord& blocks_;
  platform::DialogHost* timers_ = nullptr;
  bool running_ = false;
  bool prepared_ = false;
  std::uint64_t prepared_revision_ = 0;
  BlockListMatcher matcher_;
  // Windows closed and not seen gone; true once a tick has given them time to go. A tick forgets
  // those it no longer finds shown.
  std::map<platform::WindowHandle, bool> closed_;
  struct Watch {
    int quick_looks_left;
    int ticks_left;
  };
  std::map<platform::WindowHandle, Watch> watched_;
};

// Titles of web dialogs that are never closed by the title scan.
bool IsProtectedTitle(const std::string& title);

}  // namespace sg::app
