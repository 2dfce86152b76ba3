#include "browser/shell_window_scan.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_browser.h"
#include "platform/fake/fake_platform.h"
#include "support/test_doubles.h"

namespace sg::browser {
namespace {

using platform::fake::FakeBrowser;

class ScanContext final : public ShellScanContext {
 public:
  explicit ScanContext(platform::DialogHost& dialog) : dialog_(dialog) {}
  bool HoldDownKeyHeld() override { return key_held; }
  bool BlockingEnabled() override { return true; }
  bool ManualPopupsAllowed() override { return manual_popups; }
  FilterList SafeSites() override { return FilterList(dialog_, 7); }
  void ResetNewWindowCounter() override { counter = 0; }
  void RecordBlock(const std::string&) override {}
  void ReportLine(const std::string&) override {}
  bool NormalizeWindows() override { return normalize; }
  bool PlaySoundOn() override { return true; }
  std::string SoundPath() override { return "C:\\block.wav"; }
  std::string ProgramBehind() override { return behind; }
  void RecordClosedBrowser(const std::string& title) override { closed.push_back(title); }
  int& NewWindowCounter() override { return counter; }

  bool key_held = false;
  bool manual_popups = true;
  bool normalize = false;
  std::string behind = "C:\\Program Files\\Browser\\iexplore.exe";
  int counter = 0;
  std::vector<std::string> closed;

 private:
  platform::DialogHost& dialog_;
};

class ShellWindowScanTest : public ::testing::Test {
 protected:
  std::shared_ptr<FakeBrowser> Browser(const std::string& url, const std::string& name = "Page") {
    auto browser = std::make_shared<FakeBrowser>();
    browser->url = url;
    browser->name = name;
    browser->window = system_.desktop.OpenForeign(name + " - Browser", true, "IEFrame");
    return browser;
  }
  // A browser window registers: the collection grows, then the scan runs.
  void Register(const std::shared_ptr<FakeBrowser>& browser, bool revoked = false) {
    shell_.Register(browser);
    scanner_.Scan(shell_, true, revoked);
  }

  platform::fake::FakePlatform system_;
  testing::SilentDialog events_;
  std::unique_ptr<platform::DialogHost> dialog_ =
      system_.dialogs.CreateModeless(1, events_, nullptr);
  ScanContext context_{*dialog_};
  platform::fake::FakeShellWindows shell_;
  BrowserTable table_;
  ShellWindowScanner scanner_{system_.ports(), table_, context_};
};

TEST_F(ShellWindowScanTest, TheFirstScanNeverBlocksAndFollowsEveryBrowser) {
  auto home = Browser("http://home.example/");
  auto news = Browser("http://news.example/");
  shell_.Register(home);
  shell_.Register(news);
  scanner_.Scan(shell_, true, false);
  EXPECT_EQ(table_.count(), 2);
  EXPECT_FALSE(home->stopped || news->stopped);
  EXPECT_EQ(context_.counter, 1);
  EXPECT_EQ(home->events != nullptr, true);
}

TEST_F(ShellWindowScanTest, ANewBrowserWithoutAUserActionIsStoppedClosedAndRecorded) {
  Register(Browser("http://home.example/"));
  auto popup = Browser("http://ads.example/", "Casino");
  Register(popup);
  EXPECT_TRUE(popup->stopped);
  EXPECT_EQ(context_.closed, std::vector<std::string>{"Casino - Browser"});
  EXPECT_EQ(system_.system.Sounds().back().path, "C:\\block.wav");
  system_.system.RunThreads();
  EXPECT_FALSE(system_.desktop.IsVisible(popup->window));
  EXPECT_EQ(system_.desktop.ShowState(popup->window), platform::kSwShowMinimized);
}

TEST_F(ShellWindowScanTest, AWindowTheUserAskedForPassesAndIsFollowed) {
  Register(Browser("http://home.example/"));
  context_.ResetNewWindowCounter();  // a sink saw the user's click
  auto wanted = Browser("http://wanted.example/");
  Register(wanted);
  EXPECT_FALSE(wanted->stopped);
  EXPECT_TRUE(table_.IsFollowed(*wanted));
  EXPECT_EQ(context_.counter, 1) << "only the next one passes";
}

TEST_F(ShellWindowScanTest, FoldersShellNamesEmptyPagesSafeSitesAndTheHeldKeyAreNotBlocked) {
  Register(Browser("http://home.example/"));
  auto folder = Browser("file:///C:/Documents");
  auto computer = Browser("", "My Computer");
  auto empty = Browser("", "Blank");
  Register(folder);
  Register(computer);
  Register(empty);
  EXPECT_FALSE(folder->stopped || computer->stopped || empty->stopped);
  EXPECT_TRUE(table_.IsFollowed(*folder));
  EXPECT_FALSE(table_.IsFollowed(*computer)) << "shell folders are not followed";
  EXPECT_TRUE(table_.IsFollowed(*empty));

  dialog_->ListAdd(7, "partner.example");
  auto safe = Browser("http://www.partner.example/offer");
  Register(safe);
  context_.key_held = true;
  auto held = Browser("http://held.example/");
  Register(held);
  EXPECT_FALSE(safe->stopped || held->stopped);
  EXPECT_TRUE(table_.IsFollowed(*held));
}

TEST_F(ShellWindowScanTest, ALinkInAMailOpensItsWindowWhileManualPopupsAreAllowed) {
  Register(Browser("http://home.example/"));
  context_.behind = "C:\\Program Files\\Outlook Express\\msimn.exe";
  auto from_mail = Browser("http://news.example/");
  Register(from_mail);
  EXPECT_FALSE(from_mail->stopped);
  context_.manual_popups = false;
  auto second = Browser("http://second.example/");
  Register(second);
  EXPECT_TRUE(second->stopped);
}

TEST_F(ShellWindowScanTest, ARevokedScanBlocksSilentlyWithoutCounting) {
  Register(Browser("http://home.example/"));
  const auto sounds = system_.system.Sounds().size();
  auto popup = Browser("http://ads.example/");
  shell_.Register(popup);
  scanner_.Scan(shell_, true, true);
  EXPECT_TRUE(popup->stopped);
  EXPECT_TRUE(context_.closed.empty());
  EXPECT_EQ(system_.system.Sounds().size(), sounds);
}

TEST_F(ShellWindowScanTest, NormalisingShowsTheBarsOfEveryFollowedWebWindow) {
  context_.normalize = true;
  auto page = Browser("http://home.example/");
  Register(page);
  EXPECT_TRUE(page->menu_bar && page->tool_bar && page->address_bar && page->resizable);
}

TEST_F(ShellWindowScanTest, NothingHappensWhileDisconnectedButCountStillAsks) {
  auto page = Browser("http://home.example/");
  shell_.Register(page);
  scanner_.Scan(shell_, false, false);
  EXPECT_EQ(table_.count(), 0);
  shell_.count_fails = true;
  EXPECT_THROW(scanner_.Scan(shell_, true, false), platform::ComError);
}

TEST_F(ShellWindowScanTest, TheTableHoldsTwentyFiveThousandBrowsersAndThenSaysSo) {
  ScanContext& context = context_;
  for (int i = 0; i < kBrowserSlots; ++i) {
    ASSERT_TRUE(table_.Follow(std::make_shared<FakeBrowser>(), context));
  }
  auto one_more = Browser("http://one.more.example/");
  Register(one_more);
  ASSERT_EQ(system_.dialogs.MessageBoxes().size(), 1u);
  EXPECT_EQ(system_.dialogs.MessageBoxes()[0].text,
            "Out of array space for browsers. Please exit and restart Snapgate!.");
  EXPECT_FALSE(table_.IsFollowed(*one_more));
}

TEST_F(ShellWindowScanTest, AResetLetsGoOfEveryFollowedBrowser) {
  auto page = Browser("http://home.example/");
  Register(page);
  table_.Reset();
  EXPECT_EQ(table_.count(), 0);
  EXPECT_EQ(page->events, nullptr);
  EXPECT_FALSE(table_.IsFollowed(*page));
}

}  // namespace
}  // namespace sg::browser
