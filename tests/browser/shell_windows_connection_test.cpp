#include "browser/shell_windows_connection.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_browser.h"
#include "platform/fake/fake_platform.h"

namespace sg::browser {
namespace {

struct Listener final : platform::ShellWindowsEvents {
  void OnWindowRegistered() override { ++registered; }
  void OnWindowRevoked() override {}
  int registered = 0;
};

class ShellWindowsConnectionTest : public ::testing::Test {
 protected:
  platform::fake::FakePlatform system_;
  platform::fake::FakeBrowsers browsers_;
  Listener listener_;
  ShellWindowsConnection connection_{browsers_, system_.dialogs, listener_};
};

TEST_F(ShellWindowsConnectionTest, ConnectsOnceAndHearsTheCollectionsEvents) {
  connection_.Connect();
  EXPECT_TRUE(connection_.connected());
  connection_.Connect();
  browsers_.shell_windows->Register(std::make_shared<platform::fake::FakeBrowser>());
  EXPECT_EQ(listener_.registered, 1);
  EXPECT_EQ(browsers_.created_instances, 0);
}

TEST_F(ShellWindowsConnectionTest, WithoutACollectionItStartsABrowserBetweenAttemptsAndSaysSo) {
  browsers_.shell_windows_available = false;
  connection_.Connect();
  EXPECT_FALSE(connection_.connected());
  EXPECT_EQ(browsers_.created_instances, 3);
  ASSERT_EQ(system_.dialogs.MessageBoxes().size(), 1u);
  EXPECT_TRUE(system_.dialogs.MessageBoxes()[0].text.starts_with(
      "Shell Windows interface is not available on your computer."));
  EXPECT_TRUE(system_.dialogs.MessageBoxes()[0].text.ends_with(
      "To fix, please try exiting and re-starting the software."));
}

TEST_F(ShellWindowsConnectionTest, ACollectionWithoutEventsIsHeldButNotConnected) {
  browsers_.shell_windows->has_connection_point = false;
  connection_.Connect();
  EXPECT_FALSE(connection_.connected());
  EXPECT_NE(connection_.shell_windows(), nullptr);
  EXPECT_TRUE(system_.dialogs.MessageBoxes().empty());
  connection_.Release();
  EXPECT_EQ(connection_.shell_windows(), nullptr);
}

}  // namespace
}  // namespace sg::browser
