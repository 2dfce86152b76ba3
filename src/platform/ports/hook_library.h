#pragma once

#include <cstdint>

#include "platform/ports/windows.h"

namespace sg::platform {

// What the hook library puts in wParam of its message.
inline constexpr std::uintptr_t kHookNewWindow = 17;     // lParam: a new top-level window
inline constexpr std::uintptr_t kHookBrowserClick = 22;  // a mouse button went down in a browser
inline constexpr std::uintptr_t kHookBrowserKey = 23;  // a key that may open a window, in a browser
// lParam: a top-level window that was shown or whose title changed
inline constexpr std::uintptr_t kHookWindowTitle = 24;
// lParam: a top-level window that was destroyed; its handle may come back for another window
inline constexpr std::uintptr_t kHookWindowGone = 25;

// The hook library "SGDriver.dll", a load-time import of the program. Between InitHooksDll and
// InstallFilters on one side and UnInstallFilters and ShutdownHooksDll on the other it posts the
// given message to the given window. Every call may come twice and in any order.
class HookLibraryPort {
 public:
  virtual ~HookLibraryPort() = default;
  // Where the notifications go.
  virtual bool InitHooksDll(WindowHandle window, std::uint32_t message) = 0;
  // Starts watching windows and input.
  virtual bool InstallFilters() = 0;
  virtual bool UnInstallFilters() = 0;
  // Forgets the window: nothing is sent any more.
  virtual bool ShutdownHooksDll() = 0;
};

}  // namespace sg::platform
