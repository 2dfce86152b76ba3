#include "browser/click_detection.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_browser.h"

namespace sg::browser {
namespace {

using platform::fake::FakeBrowser;

class ClickDetectionTest : public ::testing::Test {
 protected:
  void Click(std::shared_ptr<platform::fake::FakeElementNode> on,
             const std::string& type = "click") {
    browser_.current_event = FakeBrowser::PageEvent{type, std::move(on)};
  }
  bool Detect() {
    event_type_.clear();
    return IsLinkClick(browser_, event_type_);
  }

  FakeBrowser browser_;
  std::shared_ptr<platform::fake::FakeElementNode> body_ = FakeBrowser::Element("body", nullptr);
  std::string event_type_;
};

TEST_F(ClickDetectionTest, ClicksOnLinksImagesAreasAndPushButtonsCount) {
  auto link = FakeBrowser::Element("a", body_);
  Click(FakeBrowser::Element("IMG", link));
  EXPECT_TRUE(Detect()) << "an image inside a link, at the first element";
  Click(FakeBrowser::Element("#text", FakeBrowser::Element("b", link)));
  EXPECT_TRUE(Detect()) << "text in a bold element in a link, found walking up";
  Click(FakeBrowser::Element("area", body_));
  EXPECT_TRUE(Detect());
  Click(FakeBrowser::Element("input", body_, {{"type", "Button"}}));
  EXPECT_TRUE(Detect());
  EXPECT_EQ(event_type_, "CLICK");
}

TEST_F(ClickDetectionTest, SubmitButtonsButtonElementsAndThePageItselfDoNot) {
  Click(FakeBrowser::Element("INPUT", FakeBrowser::Element("form", body_), {{"type", "submit"}}));
  EXPECT_FALSE(Detect());
  Click(FakeBrowser::Element("button", body_));
  EXPECT_FALSE(Detect());
  Click(FakeBrowser::Element("div", nullptr));
  EXPECT_FALSE(Detect()) << "no parent ends the walk";
}

TEST_F(ClickDetectionTest, OtherEventsOrNoneGiveTheirTypeAndFalse) {
  Click(FakeBrowser::Element("a", body_), "load");
  EXPECT_FALSE(Detect());
  EXPECT_EQ(event_type_, "LOAD");
  browser_.current_event.reset();
  EXPECT_FALSE(Detect());
  EXPECT_EQ(event_type_, "");
  Click(FakeBrowser::Element("a", body_));
  browser_.has_document = false;
  EXPECT_FALSE(Detect());
}

TEST_F(ClickDetectionTest, TheWalkStopsAfterTwentyFiveElements) {
  auto link = FakeBrowser::Element("a", body_);
  auto element = link;
  for (int depth = 0; depth < 24; ++depth) element = FakeBrowser::Element("span", element);
  Click(element);
  EXPECT_TRUE(Detect()) << "the link is the 25th element";
  Click(FakeBrowser::Element("span", element));
  EXPECT_FALSE(Detect()) << "the link is the 26th";
}

TEST_F(ClickDetectionTest, AFailingAttributeReadRaisesTheComError) {
  auto element = FakeBrowser::Element("a", body_);
  element->attribute_fails = true;
  Click(element);
  EXPECT_THROW(Detect(), platform::ComError);
}

}  // namespace
}  // namespace sg::browser
