#pragma once

#include <cstdint>

#include "app/block_record.h"
#include "platform/ports/dialogs.h"
#include "platform/ports/windows.h"

namespace sg::app {

inline constexpr std::uint32_t kTimerFrameGrace = 1054;
inline constexpr std::uint32_t kTimerDialogGrace = 1059;

// Closes new browser frames and web dialogs that the hook library reports, unless the user has
// just clicked or typed in a browser: then one of each may open within its grace.
class HookBlocker {
 public:
  HookBlocker(platform::WindowsPort& windows, BlockRecord& blocks)
      : windows_(windows), blocks_(blocks) {}

  // The main dialog, whose timers end the graces.
  void AttachTimers(platform::DialogHost& main_dialog) { timers_ = &main_dialog; }
  // may_block: the hold-down key is up, blocking is enabled and adware protection is on.
  // True when it closed the reported window.
  bool OnHookMessage(std::uintptr_t code, std::intptr_t window, bool may_block);
  // True when the timer was one of the graces'.
  bool OnTimer(std::uint32_t timer_id);

  bool frame_grace() const { return frame_grace_; }
  bool dialog_grace() const { return dialog_grace_; }

 private:
  bool OnNewWindow(platform::WindowHandle window, bool may_block);
  void OpenGraces();

  platform::WindowsPort& windows_;
  BlockRecord& blocks_;
  platform::DialogHost* timers_ = nullptr;
  bool frame_grace_ = false;
  bool dialog_grace_ = false;
};

}  // namespace sg::app
