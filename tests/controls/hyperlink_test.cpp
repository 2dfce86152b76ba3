// A static control of a dialog turned into a link, worked by a user on the fake platform.
#include "controls/hyperlink.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "support/test_doubles.h"

namespace sg::controls {
namespace {

using platform::RegistryRoot;
using platform::WindowRect;
using platform::fake::FakeDialogHost;
using platform::fake::FakeHyperlinkWindow;

constexpr int kLinkDialog = 7001;
constexpr int kLinkControl = 7101;
constexpr int kOtherControl = 7102;
constexpr int kLineHeight = FakeHyperlinkWindow::kLineHeight;
constexpr std::intptr_t kOpened = 42;         // any result above 32
constexpr std::intptr_t kNoAssociation = 31;  // SE_ERR_NOASSOC
constexpr std::intptr_t kUnlistedCode = 9;
// The control as the dialog template places it.
constexpr WindowRect kPlaced{100, 20, 300, 50};

const std::string kSite = "http://www.example.com/";
const std::string kBrowser = "C:\\Browser\\view.exe";
const std::string kHome = "Home";
const int kHomeWidth = static_cast<int>(kHome.size()) * FakeHyperlinkWindow::kCharWidth;

class HyperlinkTest : public ::testing::Test {
 protected:
  HyperlinkTest() {
    dialog_ = system_.dialogs.CreateModeless(kLinkDialog, events_, nullptr);
    host_ = static_cast<FakeDialogHost*>(dialog_.get());
    host_->SetControlRect(kLinkControl, kPlaced);
  }

  FakeHyperlinkWindow& Attach(CHyperLink& link, const std::string& text) {
    host_->control(kLinkControl).text = text;
    link.Attach(*host_, kLinkControl);
    return *host_->Link(kLinkControl);
  }
  void RegisterBrowser(const std::string& command) {
    system_.registry.PutString(RegistryRoot::kClassesRoot, ".htm", "", "htmlfile");
    system_.registry.PutString(RegistryRoot::kClassesRoot, "htmlfile\\shell\\open\\command", "",
                               command);
    system_.shell.InstallProgram(kBrowser, [](const std::string&) {});
  }
  WindowRect LinkRect() { return *host_->ControlRect(kLinkControl); }

  platform::fake::FakePlatform system_;
  sg::testing::SilentDialog events_;
  std::unique_ptr<platform::DialogHost> dialog_;
  FakeDialogHost* host_ = nullptr;
};

TEST_F(HyperlinkTest, TheTargetAndTheTextStandInForEachOther) {
  CHyperLink untargeted(system_.ports());
  Attach(untargeted, kSite);
  EXPECT_EQ(untargeted.Url(), kSite);

  CHyperLink untitled(system_.ports());
  untitled.SetUrl(kSite);
  auto& window = Attach(untitled, "");
  EXPECT_EQ(host_->Text(kLinkControl), kSite);
  EXPECT_EQ(window.tooltip(), kSite);
}

TEST_F(HyperlinkTest, PressReleaseFocusLossAndHoverWalkThroughTheColours) {
  system_.shell.AnswerFile(kSite, kOpened);
  CHyperLink link(system_.ports(), kDefaultLinkStyle | kHoverColour);
  auto& window = Attach(link, kSite);
  EXPECT_EQ(window.TextColour(), kLinkColour);

  window.Press();
  EXPECT_EQ(window.TextColour(), kFocusColour);
  EXPECT_TRUE(system_.shell.Executions().empty()) << "a press alone opens nothing";
  window.Release();
  EXPECT_EQ(system_.shell.Executions().at(0).request.file, kSite);
  EXPECT_EQ(window.TextColour(), kFocusColour) << "focus outranks visited";

  host_->SetFocus(kOtherControl);
  EXPECT_EQ(window.TextColour(), kVisitedColour);
  window.MoveMouseInside();
  EXPECT_EQ(window.TextColour(), kHoverColourValue);
  window.MoveMouseOutside();
  EXPECT_EQ(window.TextColour(), kVisitedColour);
}

TEST_F(HyperlinkTest, TheSpaceBarOpensAndOpenOnPressOpensOnceOnTheWayDown) {
  system_.shell.AnswerFile(kSite, kOpened);
  CHyperLink link(system_.ports());
  auto& window = Attach(link, kSite);
  EXPECT_TRUE(window.PressKey(platform::kVkSpace));
  EXPECT_EQ(system_.shell.Executions().size(), 1u);

  CHyperLink eager(system_.ports(), kDefaultLinkStyle | kOpenOnPress);
  auto& eager_window = Attach(eager, kSite);
  eager_window.Press();
  EXPECT_EQ(system_.shell.Executions().size(), 2u);
  eager_window.Release();
  EXPECT_EQ(system_.shell.Executions().size(), 2u);
}

TEST_F(HyperlinkTest, WhenTheShellCannotOpenItTheWebPageCommandGetsTheTarget) {
  system_.shell.AnswerFile(kSite, kNoAssociation);
  RegisterBrowser("\"" + kBrowser + "\" -nohome \"%1\" -tail");
  CHyperLink link(system_.ports());
  auto& window = Attach(link, kSite);
  window.Click();
  // A bare argument is replaced the same way.
  RegisterBrowser(kBrowser + " %1 /new");
  window.Click();

  const auto runs = system_.shell.CommandRuns();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].command_line, "\"" + kBrowser + "\" -nohome  " + kSite);
  EXPECT_EQ(runs[1].command_line, kBrowser + "  " + kSite);
  EXPECT_TRUE(link.State().visited);
}

TEST_F(HyperlinkTest, WithoutAWebPageCommandTheShellsFailureIsShown) {
  system_.shell.AnswerFile(kSite, kNoAssociation);
  system_.shell.AnswerFile("elsewhere", kUnlistedCode);
  // Only the first half of the association exists.
  system_.registry.PutString(RegistryRoot::kClassesRoot, ".htm", "", "htmlfile");
  CHyperLink link(system_.ports());
  auto& window = Attach(link, kSite);
  window.Click();
  link.SetUrl("elsewhere");
  window.Click();

  EXPECT_TRUE(system_.shell.CommandRuns().empty());
  EXPECT_EQ(system_.system.Beeps(), (std::vector<std::uint32_t>(2, platform::kMbIconExclamation)));
  const auto boxes = system_.dialogs.MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, std::string(kOpenFailurePrefix) + OpenFailureMessage(kNoAssociation));
  EXPECT_EQ(boxes[1].text, "Can't open link:\n\nUnknown Error (9) occurred.");
  EXPECT_FALSE(link.State().visited);
}

TEST_F(HyperlinkTest, SizedToTextTheAlignedEdgeStaysPut) {
  host_->control(kLinkControl).style = platform::kSsRight;
  CHyperLink right(system_.ports());
  Attach(right, kHome);
  EXPECT_EQ(LinkRect(), (WindowRect{kPlaced.right - kHomeWidth, kPlaced.top, kPlaced.right,
                                    kPlaced.top + kLineHeight}));

  host_->control(kLinkControl).style = platform::kSsCenter;
  host_->SetControlRect(kLinkControl, kPlaced);
  CHyperLink centred(system_.ports());
  Attach(centred, kHome);
  const int middle = (kPlaced.left + kPlaced.right) / 2;
  EXPECT_EQ(LinkRect(), (WindowRect{middle - kHomeWidth / 2, kPlaced.top, middle + kHomeWidth / 2,
                                    kPlaced.top + kLineHeight}));
}

TEST_F(HyperlinkTest, AControlWithoutAFontKeepsItsSizeButTakesANewTooltip) {
  host_->control(kLinkControl).has_font = false;
  CHyperLink link(system_.ports());
  auto& window = Attach(link, kHome);
  link.SetUrl(kSite);
  EXPECT_EQ(LinkRect(), kPlaced);
  EXPECT_EQ(window.tooltip(), kSite);
}

}  // namespace
}  // namespace sg::controls
