// Under Wine: how long a blocked window lives, from its appearance (or the change of its title)
// to the program closing it, on each path: the hook library's report, and the title scan alone.
// Prints the medians of nine runs.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <vector>

#include "bench/close_probe.h"
#include "e2e/program_driver.h"
#include "e2e/test_windows.h"

namespace {

using namespace sg::e2e;
using sg::bench::Clock;
using sg::bench::ClosedAt;
using sg::bench::CreateProbe;
using sg::testing::PumpFor;

constexpr int kRuns = 9;
constexpr const char* kListed = "Latency Probe window";
constexpr const char* kUnlisted = "Unlisted probe";

// When the window was shown or renamed.
Clock::time_point changed_at;

// Shows the window, as a user first sees it: creating it costs Wine several milliseconds that
// come before any report.
HWND Show(HWND window) {
  changed_at = Clock::now();
  ShowWindow(window, SW_SHOW);
  return window;
}

// Milliseconds from the change `change` makes to the program's WM_CLOSE, 0 when it came before;
// -1 when none came. `prepare` makes the window beforehand, when the change is not its creation.
double Lifetime(const std::function<HWND()>& prepare, const std::function<HWND(HWND)>& change) {
  HWND window = prepare ? prepare() : nullptr;
  if (window) PumpFor(300ms);  // its reports are handled and the scan has seen it
  ClosedAt() = {};
  changed_at = Clock::now();
  window = change(window);
  if (!PumpUntil([&] { return ClosedAt() != Clock::time_point{}; }, 10s)) {
    DestroyWindow(window);
    return -1;
  }
  const double ms =
      std::max(0.0, std::chrono::duration<double, std::milli>(ClosedAt() - changed_at).count());
  PumpUntil([&] { return !IsWindow(window); }, 10s);
  return ms;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Measure(const char* path, const std::function<HWND()>& prepare,
             const std::function<HWND(HWND)>& change) {
  std::vector<double> lifetimes;
  for (int run = 0; run < kRuns; ++run) lifetimes.push_back(Lifetime(prepare, change));
  std::printf("%-52s median %7.1f ms   (runs:", path, Median(lifetimes));
  for (double ms : lifetimes) std::printf(" %.0f", ms);
  std::printf(")\n");
  std::fflush(stdout);
}

// Wine 8 sends no show or name-change events; the rows "as Windows reports it" raise them as
// Windows' own window manager does.
void Rename(HWND window, bool with_event) {
  changed_at = Clock::now();
  SetWindowTextA(window, kListed);
  if (with_event) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_WINDOW, CHILDID_SELF);
}

}  // namespace

int main() {
  SettingsOfALaterStart();
  SetSetting("bNetscape", "0");
  SetSetting("iResponseRate", "2");
  const std::string filters = ProgramFolder(ProgramPath()) + "filters.txt";
  std::ofstream(filters, std::ios::binary) << "Latency Probe*\r\n";

  int status = 0;
  {
    Program program;
    HWND dialog = program.MainDialog();
    if (!dialog || !program.ShowsWithin(dialog, 30s)) {
      std::printf("the program did not start\n");
      status = 1;
    } else {
      const auto hidden_unlisted = [] { return CreateProbe("LatencyProbe", kUnlisted); };
      const auto shown_unlisted = [] {
        HWND window = CreateProbe("LatencyProbe", kUnlisted);
        ShowWindow(window, SW_SHOW);
        return window;
      };
      std::printf(
          "Time from a blocked window appearing, or taking a blocked title, to the program "
          "closing it (%d runs each; title scan period 350 ms):\n",
          kRuns);
      Measure("opened with a listed title: hook library", nullptr,
              [](HWND) { return Show(CreateProbe("LatencyProbe", kListed)); });
      Measure("opened with a listed title: title scan only", hidden_unlisted, [](HWND window) {
        SetWindowTextA(window, kListed);  // no report: only the scan sees it
        return Show(window);
      });
      Measure("renamed to a listed title: hook library, as Windows", shown_unlisted,
              [](HWND window) {
                Rename(window, true);
                return window;
              });
      Measure("renamed to a listed title: title scan only (Wine)", shown_unlisted, [](HWND window) {
        Rename(window, false);
        return window;
      });
      Measure("new browser frame: hook library", nullptr,
              [](HWND) { return Show(CreateProbe("IEFrame", "Frame not on the list")); });
    }
  }
  DeleteFileA(filters.c_str());
  ForgetSettings();
  return status;
}
