#pragma once

#include "platform/ports/platform.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_resources.h"
#include "platform/win32/win32_shell.h"

namespace sg::platform::win32 {

// The real Windows.
class Win32Platform {
 public:
  Win32Platform() = default;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  Platform& ports() { return ports_; }

 private:
  Win32Registry registry_;
  Win32Files files_;
  Win32Resources resources_;
  Win32Shell shell_;
  Platform ports_{registry_, files_, resources_, shell_};
};

}  // namespace sg::platform::win32
