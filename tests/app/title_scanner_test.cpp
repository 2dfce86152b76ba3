// The title scan and the hook blocker on the fake desktop.
#include "app/title_scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "app/block_list_matcher.h"
#include "app/hook_blocker.h"
#include "app/system_tray.h"
#include "bench/reference_title_match.h"
#include "platform/fake/fake_platform.h"
#include "support/test_doubles.h"

namespace sg::app {
namespace {

using platform::fake::FakeDialogHost;
using platform::fake::FakePlatform;

// The main dialog's list box stands in for the block list.
class TimerEvents final : public platform::DialogEvents {
 public:
  void OnInitDialog(platform::DialogHost&) override {}
  void OnCommand(int, int) override {}
  void OnTimer(std::uint32_t timer_id) override {
    if (on_timer) on_timer(timer_id);
  }
  std::function<void(std::uint32_t)> on_timer;
};

class TitleScanTest : public ::testing::Test {
 protected:
  TitleScanTest() {
    blocks_.AttachBlockedList(*dialog_);
    tray_.Create(target_, kTrayCallbackMessage, "Snapgate!", IDI_TRAY_NORMAL, kTrayIconId);
    blocks_.settings().play_sound = true;
  }

  // Entries added as the list dialogs add them: the list's revision moves on.
  void Block(const std::string& entry) {
    list_.Append(entry);
    ++revision_;
  }
  platform::WindowHandle Open(const std::string& title, bool visible = true) {
    return system_.desktop.OpenForeign(title, visible);
  }
  // One tick: the scan, then the windows handle what was posted to them.
  void Tick() {
    scanner_.Scan(list_, revision_);
    system_.desktop.DeliverPosted();
  }
  bool Exists(platform::WindowHandle window) { return system_.desktop.Exists(window); }

  testing::NoTrayTarget target_;
  FakePlatform system_;
  TimerEvents events_;
  std::unique_ptr<platform::DialogHost> dialog_ =
      system_.dialogs.CreateModeless(1, events_, nullptr);
  browser::FilterList list_{*dialog_, 5000};
  std::uint64_t revision_ = 0;
  SystemTray tray_{system_.tray, system_.desktop, system_.system};
  UiThreadTasks ui_tasks_{system_.desktop};  // no flash reaches the tray: none is looked at
  BlockRecord blocks_{system_.ports(), tray_, ui_tasks_};
  TitleScanner scanner_{system_.desktop, blocks_};
};

TEST_F(TitleScanTest, ExactEntriesMatchWholeTitlesInAnyCase) {
  Block("Special Offer");
  const auto same = Open("SPECIAL offer");
  const auto longer = Open("Special Offer today");
  Tick();
  EXPECT_FALSE(Exists(same));
  EXPECT_TRUE(Exists(longer));
  EXPECT_EQ(blocks_.run_blocks(), 1);
  EXPECT_EQ(dialog_->ListText(IDC_BLOCKED_LIST, 0), "SPECIAL offer");
}

TEST_F(TitleScanTest, WildcardsMatchAnywhereAndOnlyTheFirstStarIsSpecial) {
  Block("Special Offer*");
  Block("*casino");
  Block("Pop*up");
  Block("a*b*c");
  const auto words = Open("Win! special offer inside");
  const auto casino = Open("Best CASINO bonus");
  const auto joined = Open("a popup here");
  const auto apart = Open("a pop up here");
  const auto second_star = Open("xab*cx");
  const auto no_second_star = Open("xabcx");
  Tick();
  EXPECT_FALSE(Exists(words));
  EXPECT_FALSE(Exists(casino));
  EXPECT_FALSE(Exists(joined));
  EXPECT_TRUE(Exists(apart));
  EXPECT_FALSE(Exists(second_star));
  EXPECT_TRUE(Exists(no_second_star));
}

TEST_F(TitleScanTest, ProtectedDialogsInvisibleWindowsAndAnEmptyListAreLeftAlone) {
  const auto tiny = Open("Ad -- Web Page Dialog");
  system_.desktop.WithWindow(tiny, [](auto& window) { window.rect = {0, 0, 80, 60}; });
  Tick();
  EXPECT_TRUE(Exists(tiny)) << "an empty block list closes nothing, not even hidden dialogs";

  Block("*Dialog");
  const auto update = Open("Windows Update -- Web Page Dialog");
  const auto update_lower = Open("windows update -- web page dialog");
  const auto hidden = Open("A dialog", false);
  Tick();
  EXPECT_TRUE(Exists(update));
  EXPECT_FALSE(Exists(update_lower));
  EXPECT_TRUE(Exists(hidden));
}

TEST_F(TitleScanTest, ATinyWebDialogIsClosedSilentlyWhateverTheEntries) {
  Block("Nothing like it");
  const auto tiny = Open("Ad -- Web Page Dialog");
  system_.desktop.WithWindow(tiny, [](auto& window) { window.rect = {10, 10, 110, 110}; });
  const auto large = Open("Form -- Web Page Dialog");
  system_.desktop.WithWindow(large, [](auto& window) { window.rect = {10, 10, 111, 110}; });
  Tick();
  EXPECT_FALSE(Exists(tiny));
  EXPECT_TRUE(Exists(large));
  EXPECT_EQ(blocks_.run_blocks(), 1);
  EXPECT_TRUE(system_.system.Sounds().empty());
  EXPECT_EQ(system_.system.PendingThreads(), 0u) << "no flash";
}

TEST_F(TitleScanTest, AWindowThatIgnoresCloseIsClosedAgainAtEachTickButListedOnce) {
  Block("Sticky");
  const auto sticky = Open("Sticky");
  system_.desktop.WithWindow(sticky, [](auto& window) { window.ignores_close = true; });
  for (int tick = 0; tick < 3; ++tick) Tick();
  const auto log = system_.desktop.PostLog();
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [&](const auto& posted) {
                            return posted.window == sticky && posted.message == platform::kWmClose;
                          }),
            3);
  EXPECT_EQ(blocks_.run_blocks(), 1);
  EXPECT_EQ(dialog_->ListCount(IDC_BLOCKED_LIST), 1);

  // Hidden, it is forgotten: shown again, it is a block again.
  system_.desktop.SetVisible(sticky, false);
  Tick();
  system_.desktop.SetVisible(sticky, true);
  Tick();
  EXPECT_EQ(blocks_.run_blocks(), 2);
}

TEST_F(TitleScanTest, AnEditOfTheListTakesEffectAtTheNextTick) {
  Block("First");
  const auto second = Open("Second");
  Tick();
  EXPECT_TRUE(Exists(second));
  dialog_->ListDelete(5000, 0);
  Block("Second");
  Tick();
  EXPECT_FALSE(Exists(second));
}

// The matcher decides as the step-by-step rule does, on many made-up titles and entries.
TEST(BlockListMatcherTest, DecidesLikeTheStepByStepRule) {
  std::mt19937 random(20261208);
  const std::string alphabet = "abAB *-c";
  auto text = [&](int max_length) {
    std::string out(std::uniform_int_distribution<int>(0, max_length)(random), ' ');
    for (char& c : out) c = alphabet[std::uniform_int_distribution<std::size_t>(0, 7)(random)];
    return out;
  };
  FakePlatform system;
  testing::SilentDialog events;
  auto dialog = system.dialogs.CreateModeless(1, events, nullptr);
  browser::FilterList list(*dialog, 7);
  for (int round = 0; round < 300; ++round) {
    dialog->ListReset(7);
    std::vector<std::string> entries;
    for (int i = std::uniform_int_distribution<int>(0, 6)(random); i > 0; --i) {
      entries.push_back(text(5));
      list.Append(entries.back());
    }
    const BlockListMatcher matcher(entries);
    for (int t = 0; t < 40; ++t) {
      const std::string upper = AsciiUpper(text(9));
      ASSERT_EQ(matcher.Matches(upper), bench::ReferenceMatches(upper, list))
          << "title '" << upper << "', round " << round;
    }
  }
}

class HookBlockerTest : public TitleScanTest {
 protected:
  HookBlockerTest() {
    hooks_.AttachTimers(*dialog_);
    // As the main dialog does, the dialog's timers reach the hook blocker.
    events_.on_timer = [this](std::uint32_t timer_id) { hooks_.OnTimer(timer_id); };
  }
  platform::WindowHandle OpenClass(const std::string& class_name, const std::string& title = "") {
    return system_.desktop.OpenForeign(title, true, class_name);
  }
  void Notify(std::uintptr_t code, platform::WindowHandle window = 0, bool may_block = true) {
    hooks_.OnHookMessage(code, static_cast<std::intptr_t>(window), may_block);
    system_.desktop.DeliverPosted();
  }
  HookBlocker hooks_{system_.desktop, blocks_};
};

TEST_F(HookBlockerTest, NewBrowserWindowsAreClosedUnlessAGraceIsOpen) {
  const auto other = OpenClass("Notepad", "Untitled");
  Notify(17, other);
  EXPECT_TRUE(Exists(other));

  const auto frame = OpenClass("IEFrame");
  Notify(17, frame);
  EXPECT_FALSE(Exists(frame));
  EXPECT_EQ(dialog_->ListText(IDC_BLOCKED_LIST, 0),
            "Spyware popup blocked (id  " + std::to_string(frame) + ")");
  const auto dialog = OpenClass("Internet Explorer_TridentDlgFrame");
  Notify(17, dialog);
  EXPECT_EQ(dialog_->ListText(IDC_BLOCKED_LIST, 1),
            "Modeless popup blocked (id " + std::to_string(dialog) + ")");
}

TEST_F(HookBlockerTest, AClickLetsOneFrameThroughForTwelveSecondsAndOneDialogForThree) {
  Notify(22);
  EXPECT_TRUE(hooks_.frame_grace());
  EXPECT_TRUE(hooks_.dialog_grace());
  const auto first = OpenClass("IEFrame", "Wanted");
  Notify(17, first);
  const auto second = OpenClass("IEFrame", "Unwanted");
  Notify(17, second);
  EXPECT_TRUE(Exists(first));
  EXPECT_FALSE(Exists(second)) << "one window per grace";

  Notify(23);
  system_.dialogs.AdvanceTime(2999);
  EXPECT_TRUE(hooks_.dialog_grace()) << "a dialog may still come at 2,999 ms";
  system_.dialogs.AdvanceTime(1);
  EXPECT_FALSE(hooks_.dialog_grace());
  EXPECT_TRUE(hooks_.frame_grace());
  const auto late_dialog = OpenClass("Internet Explorer_TridentDlgFrame", "Late");
  Notify(17, late_dialog);
  EXPECT_FALSE(Exists(late_dialog));
  system_.dialogs.AdvanceTime(8999);
  const auto frame_at_last = OpenClass("IEFrame", "At 11,999 ms");
  Notify(17, frame_at_last);
  EXPECT_TRUE(Exists(frame_at_last));
  system_.dialogs.AdvanceTime(1);
  EXPECT_FALSE(hooks_.frame_grace());
  EXPECT_TRUE(static_cast<FakeDialogHost&>(*dialog_).timers().empty())
      << "both grace timers end after one tick";
}

TEST_F(HookBlockerTest, NothingIsClosedWhileBlockingMayNotAct) {
  const auto frame = OpenClass("IEFrame", "x");
  Notify(17, frame, false);
  EXPECT_TRUE(Exists(frame));
  EXPECT_EQ(blocks_.run_blocks(), 0);
}

}  // namespace
}  // namespace sg::app
