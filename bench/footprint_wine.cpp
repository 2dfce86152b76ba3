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

#include "bench/close_probe.h"
#include "bench/settled_program.h"
#include "e2e/linux_process.h"
#include "e2e/program_driver.h"
#include "e2e/test_windows.h"

namespace {

using namespace sg::e2e;
using sg::bench::Clock;
using sg::bench::PumpAnsweringBoxes;
using sg::bench::StartedInTheTray;

constexpr int kRuns = 9;
const std::string kProgramName = "Snapgate! 3.293";
const std::string kBareName = "bare_window.exe";

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Report(const char* what, const std::vector<double>& values, const char* unit) {
  if (values.empty()) {
    std::printf("%-56s no figure: the program did not settle\n", what);
    std::fflush(stdout);
    return;
  }
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
  HWND dialog = StartedInTheTray(program);
  if (!dialog) return loads;
  PumpAnsweringBoxes(program, dialog, 5s);  // start-up work settles
  for (int run = 0; run < kRuns; ++run) {
    const ThreadTimes busy_before = ProcessorTimes(kProgramName);
    const auto wall_before = Clock::now();
    PumpAnsweringBoxes(program, dialog,
                       std::chrono::milliseconds(static_cast<int>(seconds * 1000)));
    const double busy = ProcessorSecondsBetween(busy_before, ProcessorTimes(kProgramName));
    loads.push_back(100 * busy / Seconds(Clock::now() - wall_before));
  }
  return loads;
}

// Private memory of the program, or of the bare window program, once started and settled.
double SettledMemory(const std::string& path, const std::string& name) {
  Program program(path);
  HWND dialog = nullptr;
  if (name == kProgramName && !(dialog = StartedInTheTray(program))) return -1;
  PumpAnsweringBoxes(program, dialog, 3s);
  return PrivateMebibytes(name);
}

// Seconds from start to the end of start-up, the longest answer of the main window over the
// following four seconds, and how long a window with a listed title lives that opens meanwhile.
struct Start {
  double seconds = -1;
  double longest_answer_ms = -1;
  double listed_window_ms = -1;
};
Start MeasureStart() {
  Start start;
  const auto started = Clock::now();
  Program program;
  Clock::time_point ended;
  HWND dialog = StartedInTheTray(program, &ended);
  if (!dialog) return start;
  start.seconds = Seconds(ended - started);
  HWND popup = nullptr;
  Clock::time_point shown;
  sg::bench::ClosedAt() = {};
  start.longest_answer_ms = 0;
  const auto until = Clock::now() + 4s;
  while (Clock::now() < until) {
    const auto asked = Clock::now();
    DWORD_PTR result = 0;
    SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
    start.longest_answer_ms =
        std::max(start.longest_answer_ms, 1000 * Seconds(Clock::now() - asked));
    if (!popup && Clock::now() > until - 3s) {
      popup = sg::bench::CreateProbe("FootprintProbe", "Footprint entry 99999 popup");
      shown = Clock::now();
      ShowWindow(popup, SW_SHOW);
    }
    if (popup && start.listed_window_ms < 0 && sg::bench::ClosedAt() != Clock::time_point{}) {
      start.listed_window_ms = 1000 * Seconds(sg::bench::ClosedAt() - shown);
    }
    PumpAnsweringBoxes(program, dialog, 20ms);
  }
  if (popup && IsWindow(popup)) DestroyWindow(popup);
  return start;
}

void LongList() {
  std::vector<double> reference_starts, starts, answers, lifetimes;
  for (int run = 0; run < kRuns; ++run) {
    DeleteFileA((ProgramFolder(ProgramPath()) + "filters.txt").c_str());
    reference_starts.push_back(MeasureStart().seconds);
    WriteBlockList(100000);
    const Start start = MeasureStart();
    starts.push_back(start.seconds);
    answers.push_back(start.longest_answer_ms);
    lifetimes.push_back(start.listed_window_ms);
  }
  Report("no block list: start-up", reference_starts, "s ");
  Report("100,000 entries: start-up", starts, "s ");
  Report("100,000 entries: longest answer of the main window", answers, "ms");
  Report("100,000 entries: a listed window lives", lifetimes, "ms");
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 30;
  SettingsOfALaterStart();
  SetSetting("bMinimized", "1");  // in the tray, as it idles
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

  std::printf("Start-up and answers with a long block list (%d runs):\n", kRuns);
  LongList();
  DeleteFileA(filters.c_str());
  ForgetSettings();
  return 0;
}
