// What the help window shows and how it ends, on the fake platform.
#include "controls/help_dialog.h"

#include <gtest/gtest.h>

#include <string>

#include "common/web_addresses.h"
#include "controls/help_layout.h"
#include "platform/fake/fake_platform.h"
#include "resources/resource_ids.h"

namespace sg::controls {
namespace {

using platform::fake::FakeDialogHost;

class HelpWindow : public ::testing::Test {
 protected:
  HelpWindow() { fake_.dialogs.DeclareLayout(IDD_HELP, HelpLayout()); }

  int Show(std::function<void(FakeDialogHost&)> script) {
    fake_.dialogs.ScriptModal(IDD_HELP, std::move(script));
    return fake_.ports().dialogs.RunModal(IDD_HELP, dialog_, nullptr);
  }

  platform::fake::FakePlatform fake_;
  HelpDialog dialog_{fake_.ports()};
};

TEST_F(HelpWindow, ResourceNumbersOthersRelyOn) {
  EXPECT_EQ(IDD_HELP, 103);
  EXPECT_EQ(IDC_HELP_BROWSER, 1085);
  EXPECT_EQ(IDR_AVI_IDLE, 114);
}

TEST_F(HelpWindow, ShowsTheHelpPageTheAnimationTheVersionAndTheCaptionWithTheHost) {
  std::string title, browser_text, version;
  bool has_browser = false;
  int animation = 0;
  Show([&](FakeDialogHost& host) {
    title = host.Title();
    browser_text = host.Text(IDC_HELP_BROWSER);
    has_browser = host.has_browser(IDC_HELP_BROWSER);
    animation = host.control(IDC_HELP_ANIMATION).animation;
    version = host.Text(IDC_HELP_VERSION);
  });
  EXPECT_EQ(title, std::string("Snapgate! Online Help at ") + kWebSiteHost);
  EXPECT_EQ(browser_text, "res://Snapgate! 3.293.exe/23/186");
  EXPECT_TRUE(has_browser);
  EXPECT_TRUE(dialog_.browser_embedded());
  EXPECT_EQ(animation, IDR_AVI_IDLE);
  EXPECT_EQ(version.substr(0, version.find('\r')), "Snapgate! Version 3.293");
}

TEST_F(HelpWindow, TheMailLinkOpensItsOwnTextAndTheSiteLinkTheProductPage) {
  std::string email_text, site_text;
  Show([&](FakeDialogHost& host) {
    email_text = host.Text(IDC_HELP_EMAIL);
    site_text = host.Text(IDC_HELP_WEB_SITE);
  });
  EXPECT_EQ(email_text, kSupportEmail);
  EXPECT_EQ(dialog_.email_link().Url(), email_text);
  EXPECT_EQ(site_text, kWebSite);
  EXPECT_EQ(dialog_.web_site_link().Url(), kProductPage);
  EXPECT_TRUE(std::string(kProductPage).ends_with("/snapgate.html"));
}

TEST_F(HelpWindow, WithoutABrowserTheFrameShowsTheAddressAndTheWindowStillResizesAndCloses) {
  fake_.dialogs.RefuseBrowsers();
  std::string frame_text;
  platform::WindowRect before{}, after{};
  const int result = Show([&](FakeDialogHost& host) {
    frame_text = host.Text(IDC_HELP_BROWSER);
    before = host.ControlRect(IDC_HELP_OK).value_or(platform::WindowRect{});
    const platform::WindowRect outer = host.OuterRect();
    host.DragFrameTo(outer.right - outer.left + 40, outer.bottom - outer.top + 40);
    after = host.ControlRect(IDC_HELP_OK).value_or(platform::WindowRect{});
    host.Click(IDC_HELP_OK);
  });
  EXPECT_FALSE(dialog_.browser_embedded());
  EXPECT_EQ(frame_text, kHelpPageAddress);
  EXPECT_EQ(after.left - before.left, 40);
  EXPECT_EQ(result, platform::kIdOk);
}

TEST_F(HelpWindow, ClosesWithOkAndWithTheCloseBoxButNotWithOtherButtons) {
  EXPECT_EQ(Show([](FakeDialogHost& host) {
              host.Click(IDC_HELP_POPUP_TEST);
              EXPECT_FALSE(host.ended());
              host.Click(IDC_HELP_OK);
            }),
            platform::kIdOk);
  EXPECT_EQ(Show([](FakeDialogHost&) {}), platform::kIdCancel);
}

TEST_F(HelpWindow, AnsweringTheMinimumTrackingSizeOf400By400) {
  std::optional<platform::WindowSize> minimum;
  Show([&](FakeDialogHost& host) { minimum = host.events().OnGetMinMaxInfo(); });
  EXPECT_EQ(minimum, (platform::WindowSize{400, 400}));
}

}  // namespace
}  // namespace sg::controls
