// Under Wine: how long a blocked window lives, from its appearance to the program closing it, when
// the title scan closes it and when the hook library reports it. Prints the medians of a few runs.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <vector>

#include "e2e/program_driver.h"
#include "e2e/test_windows.h"

namespace {

using namespace sg::e2e;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 9;

// When the window got WM_CLOSE. Taking the window down afterwards costs Wine about two seconds
// on a display without a window manager, which says nothing about the program.
Clock::time_point closed_at;

LRESULT CALLBACK ProbeProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CLOSE) closed_at = Clock::now();
  return DefWindowProcA(window, message, wparam, lparam);
}

void RegisterProbeClass(const char* class_name) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = ProbeProcedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = class_name;
  RegisterClassA(&window_class);
}

// Milliseconds from opening the window to the program's WM_CLOSE; -1 when none came.
double Lifetime(const char* class_name, const char* title) {
  closed_at = {};
  const auto opened = Clock::now();
  HWND window = OpenTestWindow(class_name, title);
  if (!PumpUntil([&] { return closed_at != Clock::time_point{}; }, 10s)) {
    DestroyWindow(window);
    return -1;
  }
  const double ms = std::chrono::duration<double, std::milli>(closed_at - opened).count();
  PumpUntil([&] { return !IsWindow(window); }, 10s);
  return ms;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Report(const char* path, const std::vector<double>& lifetimes) {
  std::printf("%-34s median %7.1f ms   (runs:", path, Median(lifetimes));
  for (double ms : lifetimes) std::printf(" %.0f", ms);
  std::printf(")\n");
}

}  // namespace

int main() {
  SettingsOfALaterStart();
  SetSetting("bNetscape", "0");
  SetSetting("iResponseRate", "2");
  const std::string filters = ProgramFolder(ProgramPath()) + "filters.txt";
  std::ofstream(filters, std::ios::binary) << "Latency Probe*\r\n";

  RegisterProbeClass("LatencyProbe");
  RegisterProbeClass("IEFrame");
  int status = 0;
  {
    Program program;
    HWND dialog = program.MainDialog();
    if (!dialog || !program.ShowsWithin(dialog, 30s)) {
      std::printf("the program did not start\n");
      status = 1;
    } else {
      std::vector<double> scan;
      std::vector<double> hook;
      for (int run = 0; run < kRuns; ++run) {
        scan.push_back(Lifetime("LatencyProbe", "Latency Probe window"));
        hook.push_back(Lifetime("IEFrame", "Frame not on the list"));
      }
      std::printf(
          "Time from a blocked window appearing to the program closing it (%d runs each):\n",
          kRuns);
      Report("title scan (350 ms period)", scan);
      Report("hook library (new IEFrame)", hook);
    }
  }
  DeleteFileA(filters.c_str());
  ForgetSettings();
  return status;
}
