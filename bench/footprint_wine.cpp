// Under Wine: what the idle program costs, in processor time and private memory, and how that
// grows with the block list; with a very long list, how soon the program answers and blocks.
//   sg_footprint [idle seconds per run, default 30]
// Prints the medians of nine runs; memory against a bare Win32 window program in the same run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "e2e/linux_process.h"
#include "e2e/program_driver.h"
#include "e2e/test_windows.h"

namespace {

using namespace sg::e2e;
using sg::testing::PumpFor;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 9;
const std::string kProgramName = "Snapgate! 3.293";
const std::string kBareName = "bare_window.exe";

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Report(const char* what, const std::vector<double>& values, const char* unit) {
  std::printf("%-56s median %8.3f %s   (runs:", what, Median(values), unit);
  for (double value : values) std::printf(" %.3f", value);
  std::printf(")\n");
  std::fflush(stdout);
}

double Seconds(Clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

void WriteBlockList(int entries) {
  std::string text;
  for (int i = 0; i < entries; ++i) text += "Footprint entry " + std::to_string(i) + "*\r\n";
  std::ofstream(ProgramFolder(ProgramPath()) + "filters.txt", std::ios::binary) << text;
}

// Per cent of one core the started program used while idle, in runs of `seconds` each.
std::vector<double> IdleLoad(double seconds) {
  std::vector<double> loads;
  Program program;
  HWND dialog = program.MainDialog();
  if (!dialog || !program.ShowsWithin(dialog, 60s)) return loads;
  ShowWindow(dialog, SW_HIDE);  // to the tray, as it idles
  PumpFor(5s);                  // start-up work settles
  for (int run = 0; run < kRuns; ++run) {
    const double busy_before = ProcessorSeconds(kProgramName);
    const auto wall_before = Clock::now();
    PumpFor(std::chrono::milliseconds(static_cast<int>(seconds * 1000)));
    const double busy = ProcessorSeconds(kProgramName) - busy_before;
    loads.push_back(100 * busy / Seconds(Clock::now() - wall_before));
  }
  return loads;
}

// Private memory of the program, or of the bare window program, once started and settled.
double SettledMemory(const std::string& path, const std::string& name) {
  Program program(path);
  if (name == kProgramName) {
    HWND dialog = program.MainDialog();
    if (!dialog || !program.ShowsWithin(dialog, 60s)) return -1;
  }
  PumpFor(3s);
  return PrivateMebibytes(name);
}

// With a very long list: seconds from start to the first answer, the longest answer of the main
// window while it runs, and how long a listed window then lives.
void LongList() {
  std::vector<double> starts, answers, lifetimes;
  for (int run = 0; run < kRuns; ++run) {
    const auto started = Clock::now();
    Program program;
    HWND dialog = program.MainDialog(60s);
    if (!dialog || !program.ShowsWithin(dialog, 60s)) return;
    starts.push_back(Seconds(Clock::now() - started));
    ShowWindow(dialog, SW_HIDE);
    double longest = 0;
    HWND popup = nullptr;
    Clock::time_point opened;
    double lifetime = -1;
    const auto until = Clock::now() + 4s;
    while (Clock::now() < until) {
      const auto asked = Clock::now();
      DWORD_PTR result = 0;
      SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
      longest = std::max(longest, 1000 * Seconds(Clock::now() - asked));
      if (!popup && Clock::now() > until - 3s) {
        popup = OpenTestWindow("FootprintProbe", "Footprint entry 99999 popup");
        opened = Clock::now();
      }
      if (popup && lifetime < 0 && !IsWindowVisible(popup)) {
        lifetime = 1000 * Seconds(Clock::now() - opened);
      }
      PumpFor(20ms);
    }
    answers.push_back(longest);
    lifetimes.push_back(lifetime);
    if (popup && IsWindow(popup)) DestroyWindow(popup);
  }
  Report("100,000 entries: start to main dialog shown", starts, "s ");
  Report("100,000 entries: longest answer of the main window", answers, "ms");
  Report("100,000 entries: a listed window lives", lifetimes, "ms");
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 30;
  SettingsOfALaterStart();
  SetSetting("bNetscape", "0");
  const std::string filters = ProgramFolder(ProgramPath()) + "filters.txt";
  DeleteFileA(filters.c_str());

  std::printf("Idle processor time, per cent of one core (%d runs of %.0f s each):\n", kRuns,
              seconds);
  Report("default options, no block list", IdleLoad(seconds), "% ");
  WriteBlockList(10);
  Report("10 block-list entries", IdleLoad(seconds), "% ");
  WriteBlockList(10000);
  Report("10,000 block-list entries", IdleLoad(seconds), "% ");
  DeleteFileA(filters.c_str());

  std::printf("Private memory once settled, MiB (%d runs):\n", kRuns);
  std::vector<double> bare, program;
  for (int run = 0; run < kRuns; ++run) {
    bare.push_back(SettledMemory(SNAPGATE_BARE_WINDOW_PATH, kBareName));
    program.push_back(SettledMemory(ProgramPath(), kProgramName));
  }
  Report("bare Win32 window program", bare, "MiB");
  Report("Snapgate!, default options", program, "MiB");

  WriteBlockList(100000);
  LongList();
  DeleteFileA(filters.c_str());
  ForgetSettings();
  return 0;
}
