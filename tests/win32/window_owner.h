#pragma once

#include <windows.h>

namespace sg::testing {

// For a test window's procedure: the object that passed itself as the window's creation
// parameter, remembered from WM_NCCREATE on; null for the messages before it.
template <typename Owner>
Owner* WindowOwner(HWND window, UINT message, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<Owner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace sg::testing
