#pragma once

// Windows that note when the program closes them: WM_CLOSE's arrival is the moment of blocking.
// Taking a window down afterwards costs Wine about two seconds on a display without a window
// manager, which says nothing about the program.
#include <windows.h>

#include <chrono>

#include "e2e/test_windows.h"

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

// A hidden top-level window of a class of probes.
inline HWND CreateProbe(const char* class_name, const char* title) {
  return e2e::CreateTestWindow(class_name, title, ProbeProcedure);
}

}  // namespace sg::bench
