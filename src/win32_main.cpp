// The Windows entry point: the real platform, the application object and the message loop.
#include <windows.h>

#include <objbase.h>

#include "app/blocker_app.h"
#include "platform/win32/system_libraries.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything can load a library by its bare name.
  sg::platform::win32::LoadLibrariesFromSystemFolderOnly();
  // The user-interface thread is the browsers' single-threaded apartment: their events arrive
  // through its message loop.
  CoInitialize(nullptr);
  static sg::platform::win32::Win32Platform windows;
  static sg::app::BlockerApp app(windows.ports());
  switch (app.StartUp()) {
    case sg::app::StartOutcome::kHandedOver:
      return 0;
    case sg::app::StartOutcome::kWindowRefused:
      return 1;
    case sg::app::StartOutcome::kRunning:
      break;
  }

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    // Keyboard navigation inside whichever dialog the message belongs to.
    HWND dialog = GetAncestor(message.hwnd, GA_ROOT);
    if (dialog && IsDialogMessageA(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
