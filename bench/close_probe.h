#pragma once

// Windows that note when the program closes them: WM_CLOSE's arrival is the moment of blocking.
// Taking a window down afterwards costs Wine about two seconds on a display without a window
// manager, which says nothing about the program.
#include <windows.h>

#include <chrono>

namespace sg::bench {

using Clock = std::chrono::steady_clock;

inline Clock::time_point& ClosedAt() {
  static Clock::time_point closed_at;
  return closed_at;
}

inline LRESULT CALLBACK ProbeProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CLOSE) ClosedAt() = Clock::now();
  return DefWindowProcA(window, message, wparam, lparam);
}

// A hidden top-level window of a class of probes, registered on first use.
inline HWND CreateProbe(const char* class_name, const char* title) {
  WNDCLASSA window_class{};
  if (!GetClassInfoA(GetModuleHandleA(nullptr), class_name, &window_class)) {
    window_class.lpfnWndProc = ProbeProcedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = class_name;
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&window_class);
  }
  return CreateWindowExA(0, class_name, title, WS_OVERLAPPEDWINDOW, 60, 60, 400, 300, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace sg::bench
