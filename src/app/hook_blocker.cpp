#include "app/hook_blocker.h"

#include <string>

#include "platform/ports/hook_library.h"

namespace sg::app {

namespace {

constexpr std::uint32_t kFrameGraceMs = 12000;
constexpr std::uint32_t kDialogGraceMs = 3000;
constexpr std::size_t kClassBufferSize = 5000;
constexpr std::size_t kTitleBufferSize = 2000;
constexpr const char* kFrameClass = "IEFrame";
constexpr const char* kDialogClass = "Internet Explorer_TridentDlgFrame";

}  // namespace

bool HookBlocker::OnHookMessage(std::uintptr_t code, std::intptr_t window, bool may_block) {
  if (code == platform::kHookNewWindow) {
    return OnNewWindow(static_cast<platform::WindowHandle>(window), may_block);
  }
  if (code == platform::kHookBrowserClick || code == platform::kHookBrowserKey) OpenGraces();
  return false;
}

bool HookBlocker::OnNewWindow(platform::WindowHandle window, bool may_block) {
  const std::string class_name = windows_.ClassName(window, kClassBufferSize);
  const bool frame = class_name == kFrameClass;
  if (!frame && class_name != kDialogClass) return false;
  if (!may_block) return false;
  if (frame && frame_grace_) {
    frame_grace_ = false;
    return false;
  }
  if (!frame && dialog_grace_) {
    dialog_grace_ = false;
    return false;
  }
  std::string line = windows_.WindowText(window, kTitleBufferSize);
  if (line.empty()) {
    line = (frame ? "Spyware popup blocked (id  " : "Modeless popup blocked (id ") +
           std::to_string(window) + ")";
  }
  windows_.PostMessage(window, platform::kWmClose, 0, 0);
  blocks_.Record(line, true, true);
  return true;
}

void HookBlocker::OpenGraces() {
  if (!timers_) return;
  timers_->KillTimer(kTimerDialogGrace);
  dialog_grace_ = true;
  timers_->SetTimer(kTimerDialogGrace, kDialogGraceMs);
  timers_->KillTimer(kTimerFrameGrace);
  frame_grace_ = true;
  timers_->SetTimer(kTimerFrameGrace, kFrameGraceMs);
}

bool HookBlocker::OnTimer(std::uint32_t timer_id) {
  if (timer_id == kTimerFrameGrace) {
    timers_->KillTimer(kTimerFrameGrace);
    frame_grace_ = false;
    return true;
  }
  if (timer_id == kTimerDialogGrace) {
    timers_->KillTimer(kTimerDialogGrace);
    dialog_grace_ = false;
    return true;
  }
  return false;
}

}  // namespace sg::app
