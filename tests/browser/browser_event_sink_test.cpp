#include "browser/browser_event_sink.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/fake/fake_browser.h"
#include "platform/fake/fake_platform.h"
#include "support/test_doubles.h"

namespace sg::browser {
namespace {

using platform::fake::FakeBrowser;

// The main dialog as the sink sees it.
class Context final : public PopupDecisionContext {
 public:
  explicit Context(platform::DialogHost& dialog) : dialog_(dialog) {}
  bool HoldDownKeyHeld() override { return key_held; }
  bool BlockingEnabled() override { return enabled; }
  bool ManualPopupsAllowed() override { return manual_popups; }
  FilterList SafeSites() override { return FilterList(dialog_, 7); }
  void ResetNewWindowCounter() override { new_window_counter = 0; }
  void RecordBlock(const std::string& address) override { blocked.push_back(address); }
  void ReportLine(const std::string& line) override { reported.push_back(line); }

  bool key_held = false;
  bool enabled = true;
  bool manual_popups = true;
  int new_window_counter = 1;
  std::vector<std::string> blocked;
  std::vector<std::string> reported;

 private:
  platform::DialogHost& dialog_;
};

class BrowserEventSinkTest : public ::testing::Test {
 protected:
  BrowserEventSinkTest() {
    sink_.SetContext(context_);
    sink_.AttachSink(browser_pointer_);
  }
  void ClickOnLink() {
    browser_.current_event = FakeBrowser::PageEvent{
        "click", FakeBrowser::Element("a", FakeBrowser::Element("body", nullptr))};
  }

  platform::fake::FakePlatform system_;
  testing::SilentDialog events_;
  std::unique_ptr<platform::DialogHost> dialog_ =
      system_.dialogs.CreateModeless(1, events_, nullptr);
  Context context_{*dialog_};
  std::shared_ptr<FakeBrowser> browser_pointer_ = std::make_shared<FakeBrowser>();
  FakeBrowser& browser_ = *browser_pointer_;
  BrowserEventSink sink_;
};

TEST_F(BrowserEventSinkTest, APageOpenedWindowIsCancelledAndRecordedWithTheOpenersAddress) {
  browser_.url = "http://ads.example.net/page.html";
  EXPECT_TRUE(sink_.OnNewWindow2());
  EXPECT_EQ(context_.blocked, std::vector<std::string>{"http://ads.example.net/page.html"});
  EXPECT_EQ(context_.new_window_counter, 1);
}

TEST_F(BrowserEventSinkTest, AClickOnALinkLetsTheWindowOpenAndResetsTheCounter) {
  sink_.OnStatusTextChange("http://www.example.com/next.html");
  ClickOnLink();
  EXPECT_FALSE(sink_.OnNewWindow2());
  EXPECT_EQ(context_.new_window_counter, 0);
  EXPECT_TRUE(context_.blocked.empty());
}

TEST_F(BrowserEventSinkTest, TheHoldDownKeyBlockingOffAndSafeSitesLetWindowsThrough) {
  context_.key_held = true;
  EXPECT_FALSE(sink_.OnNewWindow2());
  context_.key_held = false;
  context_.enabled = false;
  EXPECT_FALSE(sink_.OnNewWindow2());
  context_.enabled = true;
  dialog_->ListAdd(7, "example.com");
  EXPECT_FALSE(sink_.OnNewWindow2());
  browser_.url = "http://www.EXAMPLE.com/";
  EXPECT_TRUE(sink_.OnNewWindow2()) << "safe sites compare letter case";
  EXPECT_EQ(context_.new_window_counter, 1);
}

TEST_F(BrowserEventSinkTest, JavaScriptInTheStatusTextCountsInAnyCaseOnceThePageIsComplete) {
  context_.manual_popups = false;
  sink_.OnStatusTextChange("Running JavaScript:open()");
  EXPECT_FALSE(sink_.OnNewWindow2());
  EXPECT_EQ(sink_.status_text(), "running javascript:open()") << "stored lower-cased";
  sink_.OnStatusTextChange("javascript:void(0)");
  browser_.ready_state = 3;
  EXPECT_TRUE(sink_.OnNewWindow2()) << "a page still loading";
}

TEST_F(BrowserEventSinkTest, TheLinkContextMenuTextLetsEvenALoadingPageOpenAWindow) {
  browser_.ready_state = 1;
  sink_.OnStatusTextChange("Opens the selected link in a new window.");
  sink_.OnStatusTextChange("");
  EXPECT_FALSE(sink_.OnNewWindow2());
  EXPECT_TRUE(context_.blocked.empty());
}

TEST_F(BrowserEventSinkTest, ALinkStatusWithManualPopupsOffIsNotEnough) {
  context_.manual_popups = false;
  sink_.OnStatusTextChange("http://www.example.com/next.html");
  browser_.current_event = FakeBrowser::PageEvent{"load", nullptr};
  EXPECT_TRUE(sink_.OnNewWindow2());
}

TEST_F(BrowserEventSinkTest, RedirectPagesAreSkippedAndReportedWithoutCounting) {
  sink_.OnDocumentComplete("http://www.TakeOverAd.example/x?http://www.Target.example/");
  EXPECT_EQ(browser_.navigations, std::vector<std::string>{"http://www.Target.example/"});
  EXPECT_EQ(context_.reported,
            std::vector<std::string>{"Redirected from spam web page: "
                                     "http://www.TakeOverAd.example/x?http://www.Target.example/"});
  sink_.OnDocumentComplete("http://takeoverad.example/x?abc");
  sink_.OnDocumentComplete("http://takeoverad.example/x");
  sink_.OnDocumentComplete("http://example.com/?http://other.example/");
  EXPECT_EQ(browser_.navigations.size(), 1u);
  EXPECT_TRUE(context_.blocked.empty());
}

TEST_F(BrowserEventSinkTest, APageThatCannotBeAskedLetsTheWindowOpen) {
  sink_.OnStatusTextChange("javascript:open()");
  auto element = FakeBrowser::Element("a", nullptr);
  element->attribute_fails = true;
  browser_.current_event = FakeBrowser::PageEvent{"click", element};
  EXPECT_FALSE(sink_.OnNewWindow2());
  EXPECT_TRUE(context_.blocked.empty());
}

TEST_F(BrowserEventSinkTest, EventsArriveThroughTheBrowserUntilItQuits) {
  ASSERT_EQ(browser_.events, &sink_);
  browser_.events->OnStatusTextChange("Done");
  EXPECT_EQ(sink_.status_text(), "Done");
  EXPECT_TRUE(sink_.AttachSink(std::make_shared<FakeBrowser>())) << "a followed sink stays";
  EXPECT_EQ(sink_.browser().get(), &browser_);
  browser_.events->OnQuit();
  EXPECT_FALSE(sink_.attached());
  EXPECT_EQ(browser_.events, nullptr);
}

TEST(BrowserEventSinkInstanceTest, ANewInstanceIsStartedAndFollowed) {
  platform::fake::FakeBrowsers browsers;
  BrowserEventSink sink;
  EXPECT_TRUE(sink.ConnectNewInstance(browsers));
  EXPECT_TRUE(sink.attached());
  EXPECT_TRUE(sink.ConnectNewInstance(browsers));
  EXPECT_EQ(browsers.created_instances, 1);
}

}  // namespace
}  // namespace sg::browser
