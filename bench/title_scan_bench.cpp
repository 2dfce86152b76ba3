// One title scan over 300 windows against block lists of 10, 1,000 and 10,000 entries, next to
// the step-by-step reference. Compare the two in one run: the scan should be at least 20 times
// faster from 1,000 entries on.
#include <benchmark/benchmark.h>

#include <random>

#include "app/title_scanner.h"
#include "bench/reference_title_match.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/test_doubles.h"

namespace {

using namespace sg;

constexpr int kWindows = 300;
constexpr int kListControl = 7;

std::string Words(std::mt19937& random, int count) {
  static const char* kWords[] = {"Special", "Offer",  "Casino", "Win",   "Free",  "Prize",
                                 "Bonus",   "Online", "Click",  "Here",  "Now",   "Deal",
                                 "Mail",    "Report", "Budget", "Notes", "Music", "Photos"};
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i) text += ' ';
    text += kWords[random() % std::size(kWords)];
    text += std::to_string(random() % 1000);
  }
  return text;
}

// A desktop of 300 titled windows and a block list of the given size that matches none of them.
struct Desktop {
  explicit Desktop(int entries) {
    std::mt19937 random(7);
    for (int i = 0; i < kWindows; ++i) system.desktop.OpenForeign(Words(random, 4) + " - Browser");
    for (int i = 0; i < entries; ++i) {
      std::string entry = Words(random, 2) + "x";
      if (i % 3 == 0) entry += "*";
      list.Append(entry);
    }
  }
  platform::fake::FakePlatform system;
  testing::SilentDialog events;
  std::unique_ptr<platform::DialogHost> dialog = system.dialogs.CreateModeless(1, events, nullptr);
  browser::FilterList list{*dialog, kListControl};
  testing::NoTrayTarget target;
  app::SystemTray tray{system.tray, system.desktop, system.system};
  app::UiThreadTasks ui_tasks{system.desktop};
  app::BlockRecord blocks{system.ports(), tray, ui_tasks};
};

void TitleScan(benchmark::State& state) {
  Desktop desktop(static_cast<int>(state.range(0)));
  app::TitleScanner scanner(desktop.system.desktop, desktop.blocks);
  for (auto _ : state) scanner.Scan(desktop.list, 1);
  if (desktop.blocks.run_blocks() != 0) state.SkipWithError("a window was blocked");
}

void ReferenceScan(benchmark::State& state) {
  Desktop desktop(static_cast<int>(state.range(0)));
  auto& windows = desktop.system.desktop;
  int matches = 0;
  for (auto _ : state) {
    for (const auto window : windows.TopLevelWindows()) {
      const std::string title = windows.WindowText(window, 1000);
      if (title.empty() || app::IsProtectedTitle(title) || !windows.IsVisible(window)) continue;
      matches += bench::ReferenceMatches(AsciiUpper(title), desktop.list);
    }
  }
  if (matches != 0) state.SkipWithError("a window matched");
}

BENCHMARK(TitleScan)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceScan)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
