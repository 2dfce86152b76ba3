#pragma once

#include <windows.h>

#include <string>

namespace sg::testing {

// Saves what the screen shows of a window as a 24-bit BMP file.
bool SaveWindowPicture(HWND window, const std::string& path);

}  // namespace sg::testing
