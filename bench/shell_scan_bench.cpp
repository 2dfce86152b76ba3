// One Shell-window scan over 1,000 followed browsers, and the memory of the browser table.
#include <benchmark/benchmark.h>

#include "browser/shell_window_scan.h"
#include "platform/fake/fake_browser.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/test_doubles.h"

namespace {

using namespace sg;

class Context final : public browser::ShellScanContext {
 public:
  explicit Context(platform::DialogHost& dialog) : dialog_(dialog) {}
  bool HoldDownKeyHeld() override { return false; }
  bool BlockingEnabled() override { return true; }
  bool ManualPopupsAllowed() override { return true; }
  browser::FilterList SafeSites() override { return browser::FilterList(dialog_, 7); }
  void ResetNewWindowCounter() override { counter = 0; }
  void RecordBlock(const std::string&) override {}
  void ReportLine(const std::string&) override {}
  bool NormalizeWindows() override { return false; }
  bool PlaySoundOn() override { return false; }
  std::string SoundPath() override { return {}; }
  std::string ProgramBehind() override { return {}; }
  void RecordClosedBrowser(const std::string&) override {}
  int& NewWindowCounter() override { return counter; }
  int counter = 0;

 private:
  platform::DialogHost& dialog_;
};

void ShellScanOverFollowedBrowsers(benchmark::State& state) {
  platform::fake::FakePlatform system;
  testing::SilentDialog events;
  auto dialog = system.dialogs.CreateModeless(1, events, nullptr);
  for (int i = 0; i < 20; ++i) dialog->ListAdd(7, "safe" + std::to_string(i) + ".example");
  Context context(*dialog);
  platform::fake::FakeShellWindows shell;
  auto table = std::make_unique<browser::BrowserTable>();
  browser::ShellWindowScanner scanner(system.ports(), *table, context);
  for (int i = 0; i < state.range(0); ++i) {
    auto page = std::make_shared<platform::fake::FakeBrowser>();
    page->url = "http://site" + std::to_string(i) + ".example/page.html";
    shell.Register(page);
  }
  scanner.Scan(shell, true, false);  // the first scan follows them all
  for (auto _ : state) scanner.Scan(shell, true, false);
  state.counters["followed"] = table->count();
  state.counters["table_MiB"] =
      static_cast<double>(table->SlotBytes()) / (1024.0 * 1024.0);
}

BENCHMARK(ShellScanOverFollowedBrowsers)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
