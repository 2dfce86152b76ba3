// Under Wine, in a virtual desktop of its own: one process opens 2,000 visible windows, 5 ms
// apart, every other one with a title the 1,000-entry block list holds ("Blocked Burst*"). Once
// without the program, then twice with it. Prints what became of the listed windows, how long
// they lived, how the main window answered during and after the burst, and what the program
// held afterwards.
//   sg_burst [windows, default 2000]
// Run in a prefix whose desktop is virtual (scripts/bench.sh makes one): without a window manager
// Wine takes seconds to take each X window down, which would hide what the program costs.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/settled_program.h"
#include "e2e/linux_process.h"
#include "e2e/program_driver.h"
#include "e2e/test_windows.h"

namespace {

using namespace sg::e2e;
using Clock = std::chrono::steady_clock;
using sg::testing::PumpFor;

int windows_in_burst = 2000;
constexpr auto kApart = 5ms;
constexpr auto kCloseAllowance = 15s;  // after the last window, for the listed ones to go
constexpr const char* kWindowClass = "SnapgateBurstWindow";
const std::string kProgramName = "Snapgate! 3.293";

FILE* const report = stdout;

struct BurstWindow {
  Clock::time_point created;
  Clock::time_point closed;  // when WM_CLOSE came; none when it never did
  bool listed = false;
  HWND handle = nullptr;
};
std::vector<BurstWindow> windows;

LRESULT CALLBACK BurstProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  } else if (message == WM_CLOSE) {
    const auto index = static_cast<std::size_t>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (index < windows.size() && windows[index].closed == Clock::time_point{}) {
      windows[index].closed = Clock::now();
    }
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

void RegisterBurstClass() {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = BurstProcedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = kWindowClass;
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassA(&window_class);
}

// Runs this thread's messages until the moment, waking for it to the millisecond.
void PumpUntilTime(Clock::time_point until) {
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
    if (left.count() <= 0) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
  }
}

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// How soon the main window answers, asked again and again from a thread of its own: a sent
// message, and the tray's commands that show and hide it.
class AnswerProbe {
 public:
  explicit AnswerProbe(HWND dialog) : dialog_(dialog) {
    thread_ = std::thread([this] { Run(); });
  }
  ~AnswerProbe() { Stop(); }
  void Stop() {
    running_ = false;
    if (thread_.joinable()) thread_.join();
  }
  double longest_sent_ms() const { return longest_sent_ms_; }
  double longest_shown_ms() const { return longest_shown_ms_; }

 private:
  void Run() {
    while (running_) {
      const auto asked = Clock::now();
      DWORD_PTR answer = 0;
      SendMessageTimeoutA(dialog_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer);
      longest_sent_ms_ = std::max(longest_sent_ms_, Milliseconds(Clock::now() - asked));
      const double shown = sg::bench::ShowAndHideMs(dialog_);
      longest_shown_ms_ = shown < 0 ? 60000 : std::max(longest_shown_ms_, shown);
      PumpFor(200ms);
    }
  }

  HWND dialog_;
  std::atomic<bool> running_{true};
  double longest_sent_ms_ = 0;
  double longest_shown_ms_ = 0;
  std::thread thread_;
};

struct BurstFigures {
  int listed = 0;
  int listed_closed = 0;
  int kept_closed = 0;
  double median_life_ms = -1;
  double longest_life_ms = -1;
  double seconds = 0;
};

// Who closes the listed windows.
enum class Closer { kNobody, kTheMaker, kTheProgram };

// Opens the burst's windows, waits for the listed ones to be closed (when a program runs), then
// takes down what is left. The maker closing its listed windows itself shows what taking them
// down costs it, apart from the program.
BurstFigures Burst(Closer closer) {
  windows.assign(windows_in_burst, {});
  const auto started = Clock::now();
  for (int i = 0; i < windows_in_burst; ++i) {
    BurstWindow& window = windows[i];
    window.listed = i % 2 == 0;
    const std::string title =
        std::string(window.listed ? "Blocked Burst " : "Kept Burst ") + std::to_string(i / 2);
    window.created = Clock::now();
    window.handle =
        CreateWindowExA(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        20 + (i * 7) % 900, 20 + (i * 11) % 560, 300, 200, nullptr, nullptr,
                        GetModuleHandleA(nullptr), reinterpret_cast<void*>(i));
    if (window.listed && closer == Closer::kTheMaker) PostMessageA(window.handle, WM_CLOSE, 0, 0);
    PumpUntilTime(Clock::now() + kApart);
  }
  BurstFigures figures;
  figures.seconds = std::chrono::duration<double>(Clock::now() - started).count();

  const auto all_listed_closed = [] {
    return std::all_of(windows.begin(), windows.end(), [](const BurstWindow& window) {
      return !window.listed || window.closed != Clock::time_point{};
    });
  };
  if (closer != Closer::kNobody) PumpUntil(all_listed_closed, kCloseAllowance);

  std::vector<double> lives;
  for (const BurstWindow& window : windows) {
    const bool closed = window.closed != Clock::time_point{};
    if (window.listed) {
      ++figures.listed;
      if (closed) {
        ++figures.listed_closed;
        lives.push_back(Milliseconds(window.closed - window.created));
      }
    } else if (closed) {
      ++figures.kept_closed;
    }
  }
  if (!lives.empty()) {
    std::sort(lives.begin(), lives.end());
    figures.median_life_ms = lives[lives.size() / 2];
    figures.longest_life_ms = lives.back();
  }
  for (const BurstWindow& window : windows) {
    if (IsWindow(window.handle)) DestroyWindow(window.handle);
  }
  PumpFor(1s);
  return figures;
}

void PrintBurst(const char* run, const BurstFigures& figures) {
  std::fprintf(report, "%-28s %6.1f s   listed closed %4d of %4d   others closed %4d", run,
               figures.seconds, figures.listed_closed, figures.listed, figures.kept_closed);
  if (figures.listed_closed > 0) {
    std::fprintf(report, "   listed lived: median %8.1f ms, longest %8.1f ms",
                 figures.median_life_ms, figures.longest_life_ms);
  }
  std::fprintf(report, "\n");
  std::fflush(report);
}

int Threads() {
  const std::vector<std::string> processes = LinuxProcessesNamed(kProgramName);
  return processes.empty()
             ? -1
             : static_cast<int>(LinuxFolderEntries(processes[0] + "\\task", true).size());
}

int CountOfLinesStarting(const std::vector<std::wstring>& lines, const wchar_t* start) {
  return static_cast<int>(std::count_if(
      lines.begin(), lines.end(), [start](const auto& line) { return line.rfind(start, 0) == 0; }));
}

// The count the tooltip shows: the main dialog's count text, filled in when it is shown.
std::string CountText(HWND dialog) {
  SendMessageA(dialog, WM_COMMAND, sg::bench::kShowMainDialog, 0);
  char text[64] = {};
  SendMessageA(GetDlgItem(dialog, 1007), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  SendMessageA(dialog, WM_COMMAND, sg::bench::kHideMainDialog, 0);
  return text;
}

int StoredTotal() {
  const std::string stored = Setting("m_TotalBlocks");
  return stored == "<absent>" ? 0 : std::atoi(stored.c_str());
}

int Run() {
  SettingsOfALaterStart();
  SetSetting("bMinimized", "1");
  SetSetting("bNetscape", "0");
  const std::string filters = ProgramFolder(ProgramPath()) + "filters.txt";
  {
    std::string list;
    for (int i = 0; i < 999; ++i) list += "Listed elsewhere " + std::to_string(i) + "\r\n";
    list += "Blocked Burst*\r\n";
    std::ofstream(filters, std::ios::binary) << list;
  }
  RegisterBurstClass();
  std::fprintf(report,
               "A burst of %d visible windows, %lld ms apart, every other one listed (block list "
               "of 1,000 entries, default options):\n",
               windows_in_burst, static_cast<long long>(kApart.count()));
  PrintBurst("without the program", Burst(Closer::kNobody));
  PrintBurst("closing its own, no program", Burst(Closer::kTheMaker));

  int status = 0;
  {
    Program program;
    HWND dialog = sg::bench::StartedInTheTray(program);
    if (!dialog) {
      std::fprintf(report, "the program did not start\n");
      status = 1;
    } else {
      sg::bench::PumpAnsweringBoxes(program, dialog, 3s);
      const int resting_threads = Threads();
      const int total_before = StoredTotal();
      const double memory_before = PrivateMebibytes(kProgramName);
      double memory_after[2] = {};
      int blocked_lines[2] = {};
      for (int run = 0; run < 2; ++run) {
        AnswerProbe probe(dialog);
        const ThreadTimes busy_before = ProcessorTimes(kProgramName);
        const BurstFigures figures = Burst(Closer::kTheProgram);
        const double busy = ProcessorSecondsBetween(busy_before, ProcessorTimes(kProgramName));
        PumpFor(2s);  // and after it
        probe.Stop();
        PrintBurst(run == 0 ? "with the program, first" : "with the program, second", figures);
        std::fprintf(report,
                     "%-28s longest answer of the main window: %7.1f ms; shown and hidden from "
                     "the tray within %7.1f ms; processor %5.1f s\n",
                     "", probe.longest_sent_ms(), probe.longest_shown_ms(), busy);
        const std::vector<std::wstring> lines = BlockedLines(dialog);
        blocked_lines[run] = CountOfLinesStarting(lines, L"Blocked Burst ");
        if (CountOfLinesStarting(lines, L"Kept Burst ") > 0) {
          std::fprintf(report, "%-28s the blocked list names windows that were not listed\n", "");
        }
        memory_after[run] = PrivateMebibytes(kProgramName);
      }
      // Threads that end by themselves are given the time to.
      PumpUntil([&] { return Threads() <= resting_threads; }, 10s);
      std::fprintf(report,
                   "blocked list: %d lines of listed windows (%d, then %d); count text \"%s\"; "
                   "m_TotalBlocks went up by %d\n",
                   blocked_lines[1], blocked_lines[0], blocked_lines[1] - blocked_lines[0],
                   CountText(dialog).c_str(), StoredTotal() - total_before);
      std::fprintf(report,
                   "private memory: %.2f MiB at rest, %.2f after the first burst, %.2f after "
                   "the second (%+.2f)\n",
                   memory_before, memory_after[0], memory_after[1],
                   memory_after[1] - memory_after[0]);
      std::fprintf(report, "threads: %d at rest, %d afterwards\n", resting_threads, Threads());
    }
  }
  DeleteFileA(filters.c_str());
  ForgetSettings();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) windows_in_burst = std::max(2, std::atoi(argv[1]));
  return Run();
}
