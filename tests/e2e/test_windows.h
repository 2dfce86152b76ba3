#pragma once

// Windows of "other programs" that the end-to-end tests open for the real program to judge.
#include <windows.h>

#include <string>

namespace sg::e2e {

// A hidden top-level window of the given class, registered on first use with that procedure.
inline HWND CreateTestWindow(const char* class_name, const char* title,
                             WNDPROC procedure = DefWindowProcA) {
  WNDCLASSA window_class{};
  if (!GetClassInfoA(GetModuleHandleA(nullptr), class_name, &window_class)) {
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = class_name;
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&window_class);
  }
  return CreateWindowExA(0, class_name, title, WS_OVERLAPPEDWINDOW, 60, 60, 400, 300, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

// A visible top-level window of the given class; it closes on WM_CLOSE as ordinary windows do.
inline HWND OpenTestWindow(const char* class_name, const char* title) {
  HWND window = CreateTestWindow(class_name, title);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  return window;
}

// The folder of the program, where it looks for its list files.
inline std::string ProgramFolder(const std::string& program_path) {
  return program_path.substr(0, program_path.find_last_of("/\\") + 1);
}

}  // namespace sg::e2e
