// The program at the sizes users reach: long lists, many windows, processes and browsers, and
// blocks arriving from many threads at once. Run under AddressSanitizer too, which would report
// a leak or a stray access that only these sizes reach.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/block_record.h"
#include "app/system_tray.h"
#include "app/title_scanner.h"
#include "app/ui_thread_tasks.h"
#include "browser/browser_table.h"
#include "browser/list_files.h"
#include "platform/fake/fake_browser.h"
#include "platform/fake/fake_platform.h"
#include "support/test_doubles.h"
#include "tools/protection_report.h"
#include "tools/spyware_pass.h"

namespace sg {
namespace {

using platform::fake::FakePlatform;

constexpr int kBlockList = 5000;

// The main dialog: the blocked list, and the tasks that worker threads post to it.
class MainEvents final : public platform::DialogEvents {
 public:
  void OnInitDialog(platform::DialogHost&) override {}
  void OnCommand(int, int) override {}
  std::optional<std::intptr_t> OnMessage(std::uint32_t message, std::uintptr_t,
                                         std::intptr_t) override {
    if (message != app::kMessageRunUiTasks || !tasks) return std::nullopt;
    tasks->RunQueued();
    return 0;
  }
  app::UiThreadTasks* tasks = nullptr;
};

class LimitsStressTest : public ::testing::Test {
 protected:
  LimitsStressTest() {
    tray_.Create(target_, app::kTrayCallbackMessage, "Snapgate!", IDI_TRAY_NORMAL,
                 app::kTrayIconId);
    blocks_.AttachBlockedList(*dialog_);
    tasks_.Open(dialog_->Window());
    events_.tasks = &tasks_;
  }
  std::string Numbered(const char* stem, int i) { return stem + std::to_string(i); }

  testing::NoTrayTarget target_;
  FakePlatform system_;
  MainEvents events_;
  std::unique_ptr<platform::DialogHost> dialog_ =
      system_.dialogs.CreateModeless(1, events_, nullptr);
  app::SystemTray tray_{system_.tray, system_.desktop, system_.system};
  app::UiThreadTasks tasks_{system_.desktop};
  app::BlockRecord blocks_{system_.ports(), tray_, tasks_};
};

TEST_F(LimitsStressTest, AHundredThousandLineListLoadsMatchesTwoThousandWindowsAndSavesWhole) {
  std::string file;
  for (int i = 0; i < 100000; ++i) file += Numbered("Unwanted offer ", i) + "\r\n";
  system_.files.PutFile("filters.txt", file);
  browser::LoadListFile(system_.ports().files, "filters.txt", *dialog_, kBlockList);
  ASSERT_EQ(dialog_->ListCount(kBlockList), 100000);

  // Every tenth of 2,000 windows has a title on the list, the last of them its last line.
  std::vector<platform::WindowHandle> listed, others;
  for (int i = 0; i < 2000; ++i) {
    if (i % 10 == 9) {
      listed.push_back(system_.desktop.OpenForeign(Numbered("Unwanted offer ", 99999 - i), true));
    } else {
      others.push_back(system_.desktop.OpenForeign(Numbered("Document ", i), true));
    }
  }
  app::TitleScanner scanner(system_.desktop, blocks_);
  const browser::FilterList list(*dialog_, kBlockList);
  for (int tick = 0; tick < 2; ++tick) {
    scanner.Scan(list, 1);
    system_.desktop.DeliverPosted();
  }
  for (auto window : listed) EXPECT_FALSE(system_.desktop.Exists(window));
  for (auto window : others) EXPECT_TRUE(system_.desktop.Exists(window));
  EXPECT_EQ(blocks_.total_blocks(), 200) << "each window counted once";

  system_.files.PutFile("filters.txt", "");
  ASSERT_TRUE(browser::SaveListFile(system_.ports().files, "filters.txt", *dialog_, kBlockList));
  EXPECT_EQ(system_.files.FileContent("filters.txt"), file);
}

TEST_F(LimitsStressTest, ATitleIsJudgedByItsFirst999CharactersHoweverLongItIs) {
  dialog_->ListAdd(kBlockList, "*Casino");
  auto title_ending_at = [](std::size_t end) {
    std::string title(10000, '.');
    title.replace(end - 6, 6, "Casino");
    return title;
  };
  const auto within = system_.desktop.OpenForeign(title_ending_at(999), true);
  const auto cut = system_.desktop.OpenForeign(title_ending_at(1000), true);
  const auto far = system_.desktop.OpenForeign(title_ending_at(10000), true);
  app::TitleScanner scanner(system_.desktop, blocks_);
  scanner.Scan(browser::FilterList(*dialog_, kBlockList), 1);
  system_.desktop.DeliverPosted();
  EXPECT_FALSE(system_.desktop.Exists(within));
  EXPECT_TRUE(system_.desktop.Exists(cut)) << "its last letter lies beyond the title buffer";
  EXPECT_TRUE(system_.desktop.Exists(far));
  EXPECT_EQ(blocks_.total_blocks(), 1);
}

TEST_F(LimitsStressTest, TwelveThousandBlocksFromFourThreadsAreEachCountedOnce) {
  // 200 blocks a second for a minute, sent as fast as four threads can while the
  // user-interface thread records what they queue.
  constexpr int kThreads = 4;
  constexpr int kEach = 3000;
  std::atomic<int> running{kThreads};
  std::atomic<int> refused{0};
  std::vector<std::thread> workers;
  const app::UiThreadTasks::Poster poster = tasks_.poster();
  for (int t = 0; t < kThreads; ++t) {
    workers.emplace_back([&, poster, t] {
      for (int i = 0; i < kEach; ++i) {
        const std::string line = Numbered("Popup ", t * kEach + i);
        refused += !poster.Post([this, line] { blocks_.Record(line, false, false); });
      }
      --running;
    });
  }
  while (running > 0) system_.desktop.DeliverPosted();
  for (auto& worker : workers) worker.join();
  system_.desktop.DeliverPosted();
  EXPECT_EQ(refused, 0);
  EXPECT_EQ(blocks_.total_blocks(), kThreads * kEach);
  EXPECT_EQ(blocks_.run_blocks(), kThreads * kEach);
  EXPECT_EQ(dialog_->ListCount(IDC_BLOCKED_LIST), kThreads * kEach) << "each listed once";
}

TEST_F(LimitsStressTest, APassOverAThousandProcessesFindsTheSpywareAmongTheLast) {
  std::vector<std::uint32_t> innocent;
  for (int i = 0; i < 998; ++i) {
    innocent.push_back(
        system_.processes.Start({.path = Numbered("C:\\Tools\\worker", i) + ".exe"}));
  }
  const std::uint32_t first = system_.processes.Start({.path = "C:\\Ads\\tsadbot.exe"});
  const std::uint32_t last = system_.processes.Start({.path = "C:\\Offers\\savenow.exe"});
  struct Lines final : tools::ProtectionReport {
    void AppendLine(const std::string& line) override { lines.push_back(line); }
    bool HasLine(const std::string&) override { return false; }
    int LineCount() override { return static_cast<int>(lines.size()); }
    void Flash() override {}
    void PlaySound() override {}
    std::vector<std::string> lines;
  } report;
  tools::RunSpywarePass(system_.ports(), report);
  EXPECT_FALSE(system_.processes.IsRunning(first));
  EXPECT_FALSE(system_.processes.IsRunning(last));
  for (auto id : innocent) ASSERT_TRUE(system_.processes.IsRunning(id));
  EXPECT_EQ(report.lines.size(), 2u);
}

TEST_F(LimitsStressTest, TheBrowserTableFillsRefusesOneMoreAndEmptiesAgainAndAgain) {
  struct NoPopups final : browser::PopupDecisionContext {
    explicit NoPopups(platform::DialogHost& dialog) : dialog(dialog) {}
    bool HoldDownKeyHeld() override { return false; }
    bool BlockingEnabled() override { return true; }
    bool ManualPopupsAllowed() override { return true; }
    browser::FilterList SafeSites() override { return browser::FilterList(dialog, 7); }
    void ResetNewWindowCounter() override {}
    void RecordBlock(const std::string&) override {}
    void ReportLine(const std::string&) override {}
    platform::DialogHost& dialog;
  } context(*dialog_);
  browser::BrowserTable table;
  EXPECT_EQ(table.SlotBytes(), 0u) << "slots are made as browsers come";
  std::size_t slot_bytes = 0;
  for (int round = 0; round < 3; ++round) {
    std::vector<std::shared_ptr<platform::fake::FakeBrowser>> browsers;
    for (int i = 0; i < 25001; ++i) {
      browsers.push_back(std::make_shared<platform::fake::FakeBrowser>());
    }
    int followed = 0;
    for (auto& browser : browsers) followed += table.Follow(browser, context);
    EXPECT_EQ(followed, 25000) << round;
    EXPECT_TRUE(table.full());
    EXPECT_EQ(browsers.front()->events != nullptr, true);
    EXPECT_EQ(browsers.back()->events, nullptr) << "the one too many is not followed";
    // The first sink is where its browser was told it is, 24,999 slots later.
    browsers.front()->events->OnStatusTextChange("still here");
    if (round == 0) slot_bytes = table.SlotBytes();
    EXPECT_EQ(table.SlotBytes(), slot_bytes) << "a reset table reuses its slots";
    table.Reset();
    EXPECT_EQ(table.count(), 0);
    for (auto& browser : browsers) ASSERT_EQ(browser->events, nullptr);
    for (auto& browser : browsers) ASSERT_EQ(browser.use_count(), 1) << "the table let go";
  }
}

}  // namespace
}  // namespace sg
