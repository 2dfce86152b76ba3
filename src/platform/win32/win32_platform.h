#pragma once

#include "platform/ports/platform.h"
#include "platform/win32/win32_browsers.h"
#include "platform/win32/win32_crypto.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_hook_library.h"
#include "platform/win32/win32_internet.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_resources.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_tray.h"
#include "platform/win32/win32_url_cache.h"
#include "platform/win32/win32_windows.h"

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
  Win32Windows windows_;
  Win32System system_;
  Win32Dialogs dialogs_;
  Win32Tray tray_;
  Win32Processes processes_;
  Win32HookLibrary hooks_;
  Win32Browsers browsers_;
  Win32UrlCache url_cache_;
  Win32Profile profile_;
  Win32Crypto crypto_;
  Win32Internet internet_;
  Platform ports_{registry_,  files_, resources_, shell_,     windows_, system_, dialogs_, tray_,
                  processes_, hooks_, browsers_,  url_cache_, profile_, crypto_, internet_};
};

}  // namespace sg::platform::win32
