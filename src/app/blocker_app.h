#pragma once

#include <memory>

#include "app/main_dialog.h"
#include "platform/ports/platform.h"

namespace sg::app {

inline constexpr const char* kSingleInstanceMutex = "SNAPGATE_ONLYONCE";

enum class StartOutcome {
  kRunning,        // the main dialog exists; the message loop follows
  kHandedOver,     // another copy runs and was asked to show itself
  kWindowRefused,  // the window system gave no main dialog; the user has been told
};

// The process's entry: one copy per logon. A second start hands over to the running copy.
class BlockerApp {
 public:
  explicit BlockerApp(platform::Platform& platform) : platform_(platform) {}
  ~BlockerApp();
  BlockerApp(const BlockerApp&) = delete;
  BlockerApp& operator=(const BlockerApp&) = delete;

  StartOutcome StartUp();
  MainDialog* main_dialog() { return main_dialog_.get(); }

 private:
  void HandOverToRunningCopy();

  platform::Platform& platform_;
  platform::KernelHandle mutex_ = 0;
  std::unique_ptr<MainDialog> main_dialog_;
};

}  // namespace sg::app
