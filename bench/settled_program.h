#pragma once

// The real program started under Wine and left to settle in the tray, for the benchmarks.
#include <windows.h>

#include <chrono>
#include <vector>

#include "e2e/program_driver.h"

namespace sg::bench {

using namespace std::chrono_literals;

// The tray menu's "&Options" and the main dialog's "&OK".
inline constexpr WPARAM kShowMainDialog = 101;
inline constexpr WPARAM kHideMainDialog = 1009;

// Answers the program's message boxes with OK, as a user would, while the time passes: a box
// that comes late (about what this Wine lacks) would otherwise hold the program's start-up.
inline void PumpAnsweringBoxes(e2e::Program& program, HWND dialog,
                               std::chrono::milliseconds duration) {
  e2e::PumpUntil(
      [&] {
        for (HWND box : e2e::MessageBoxesOf(program.id(), dialog)) {
          PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        return false;
      },
      duration);
}

// The milliseconds the main dialog took to show and to hide again on the tray menu's commands,
// posted as the tray posts them: a posted message is handled in turn behind every message
// already waiting, as a click is, while a sent one is answered even from inside a call that
// waits. -1 when it did not within the limit.
inline double ShowAndHideMs(HWND dialog, std::chrono::milliseconds limit = 60s) {
  const auto posted = std::chrono::steady_clock::now();
  PostMessageA(dialog, WM_COMMAND, kShowMainDialog, 0);
  if (!e2e::PumpUntil([&] { return IsWindowVisible(dialog) != FALSE; }, limit)) return -1;
  PostMessageA(dialog, WM_COMMAND, kHideMainDialog, 0);
  if (!e2e::PumpUntil([&] { return IsWindowVisible(dialog) == FALSE; }, limit)) return -1;
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - posted)
      .count();
}

// The program started, resting in the tray once its start-up has ended: its main dialog answers
// at once and shows no message box for a second (the boxes of its start, about what this Wine
// lacks, answered with OK), and it handles the tray's commands. `ended` gets the moment the
// start-up ended.
inline HWND StartedInTheTray(e2e::Program& program,
                             std::chrono::steady_clock::time_point* ended = nullptr) {
  HWND dialog = program.MainDialog(60s);
  if (!dialog) return nullptr;
  std::chrono::steady_clock::time_point quiet_since{};
  const bool settled = e2e::PumpUntil(
      [&] {
        const std::vector<HWND> boxes = e2e::MessageBoxesOf(program.id(), dialog);
        for (HWND box : boxes) PostMessageA(box, WM_COMMAND, IDOK, 0);
        DWORD_PTR result = 0;
        const bool answers =
            SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 50, &result) != 0;
        if (!boxes.empty() || !answers) {
          quiet_since = {};
        } else if (quiet_since == std::chrono::steady_clock::time_point{}) {
          quiet_since = std::chrono::steady_clock::now();
        }
        return quiet_since != std::chrono::steady_clock::time_point{} &&
               std::chrono::steady_clock::now() - quiet_since > 1s;
      },
      60s);
  if (ended) *ended = quiet_since;
  // A window that waits inside a call answers what is sent to it, yet handles nothing posted.
  return settled && ShowAndHideMs(dialog) >= 0 ? dialog : nullptr;
}

}  // namespace sg::bench
