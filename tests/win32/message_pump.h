#pragma once

#include <windows.h>

#include <chrono>

namespace sg::testing {

// Runs this thread's messages until the condition holds or the time is up; true when it held.
// Wine is slow on a busy machine, so callers give generous limits and never rely on timing.
template <typename Condition>
bool PumpUntil(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Runs this thread's messages for a while, for tests that check that nothing arrives.
inline void PumpFor(std::chrono::milliseconds duration) {
  PumpUntil([] { return false; }, duration);
}

}  // namespace sg::testing
