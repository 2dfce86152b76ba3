#include "app/program_behind.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"

namespace sg::app {
namespace {

class ProgramBehindTest : public ::testing::Test {
 protected:
  // Windows open on top of each other: the last one opened is the topmost.
  platform::WindowHandle Open(const std::string& title, std::uint32_t process_id,
                              bool visible = true) {
    platform::fake::FakeDesktop::Window window;
    window.title = title;
    window.class_name = "Frame";
    window.visible = visible;
    window.process_id = process_id;
    return system_.desktop.Open(window);
  }
  std::string Behind() { return FindProgramBehind(system_.desktop, system_.processes); }

  platform::fake::FakePlatform system_;
  std::uint32_t mail_ = system_.processes.Start({0, "C:\\Mail\\mail.exe"});
  std::uint32_t browser_ = system_.processes.Start({0, "C:\\Browser\\iexplore.exe"});
};

TEST_F(ProgramBehindTest, NamesTheProgramOfTheWindowBehindTheNewOne) {
  Open("Inbox - Mail", mail_);
  Open("", browser_);                      // untitled: passed over
  Open("Hidden helper", browser_, false);  // invisible: passed over
  Open("New window", browser_);
  EXPECT_EQ(Behind(), "C:\\Mail\\mail.exe");
}

TEST_F(ProgramBehindTest, FallsBackToTheTitleOrNothing) {
  EXPECT_EQ(Behind(), "") << "no visible titled window";
  Open("Inbox - Mail", 4242);  // a process the list cannot name
  EXPECT_EQ(Behind(), kGetNextMarker) << "only one window";
  Open("New window", browser_);
  EXPECT_EQ(Behind(), "Inbox - Mail");
}

TEST_F(ProgramBehindTest, AMinimisedWindowBehindGivesNothing) {
  const auto mail = Open("Inbox - Mail", mail_);
  Open("New window", browser_);
  for (int state :
       {platform::kSwShowMinimized, platform::kSwMinimize, platform::kSwShowMinNoActive}) {
    system_.desktop.WithWindow(mail, [&](auto& window) { window.show_state = state; });
    EXPECT_EQ(Behind(), "") << state;
  }
}

}  // namespace
}  // namespace sg::app
