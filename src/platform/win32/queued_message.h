#pragma once

#include <windows.h>

namespace sg::platform::win32 {

// A message taken off the thread's queue: the dialog that it belongs to gets the keys it works
// with (Tab, Enter, Escape); anything else is translated and dispatched.
inline void DispatchQueuedMessage(MSG& message) {
  HWND dialog = GetAncestor(message.hwnd, GA_ROOT);
  if (dialog && IsDialogMessageA(dialog, &message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

}  // namespace sg::platform::win32
