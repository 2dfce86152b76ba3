// The fake hook library reports to the program's window only while the program has it running.
#include "platform/fake/fake_hook_library.h"

#include <gtest/gtest.h>

#include <vector>

namespace sg::platform::fake {
namespace {

using Call = FakeHookLibrary::Call;

struct Heard {
  std::uintptr_t code;
  std::intptr_t lparam;
  bool operator==(const Heard&) const = default;
};

class FakeHookLibraryTest : public ::testing::Test {
 protected:
  FakeHookLibraryTest() {
    FakeDesktop::Window program;
    program.procedure = [this](std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
      if (message == message_) heard_.push_back({wparam, lparam});
    };
    program_ = desktop_.Open(program);
  }

  void Start() {
    hooks_.InitHooksDll(program_, message_);
    hooks_.InstallFilters();
  }
  std::vector<Heard> Delivered() {
    desktop_.DeliverPosted();
    return heard_;
  }

  FakeDesktop desktop_;
  FakeHookLibrary hooks_{desktop_};
  const std::uint32_t message_ = desktop_.RegisterMessage("HookMessage");
  WindowHandle program_ = 0;
  std::vector<Heard> heard_;
};

TEST_F(FakeHookLibraryTest, NewWindowsAndBrowserInputReachTheProgramsWindow) {
  Start();
  FakeDesktop::Window frame;
  frame.class_name = "IEFrame";
  const WindowHandle opened = hooks_.OpenWindow(frame);
  EXPECT_TRUE(hooks_.ReportBrowserClick());
  EXPECT_TRUE(hooks_.ReportBrowserKey());

  EXPECT_TRUE(desktop_.Exists(opened));
  EXPECT_EQ(Delivered(), (std::vector<Heard>{{17, static_cast<std::intptr_t>(opened)},
                                             {24, static_cast<std::intptr_t>(opened)},
                                             {22, 0},
                                             {23, 0}}));
}

TEST_F(FakeHookLibraryTest, ReportsOnlyBetweenStartAndStopInWhateverOrderTheyCome) {
  hooks_.InstallFilters();
  EXPECT_FALSE(hooks_.ReportBrowserClick()) << "installed, but nobody to tell";
  hooks_.InitHooksDll(program_, message_);
  EXPECT_TRUE(hooks_.ReportBrowserClick());

  hooks_.UnInstallFilters();
  EXPECT_FALSE(hooks_.ReportBrowserKey());
  hooks_.InstallFilters();
  EXPECT_TRUE(hooks_.ReportBrowserKey()) << "the window is still known";

  hooks_.ShutdownHooksDll();
  EXPECT_FALSE(hooks_.Reporting()) << "shutting down also removes the hooks";
  hooks_.InstallFilters();
  EXPECT_FALSE(hooks_.ReportBrowserClick()) << "the window was forgotten";
  const WindowHandle unseen = hooks_.OpenWindow({});
  EXPECT_TRUE(desktop_.Exists(unseen));

  EXPECT_EQ(Delivered(), (std::vector<Heard>{{22, 0}, {23, 0}}));
}

TEST_F(FakeHookLibraryTest, StoppingWithoutStartIsRecordedAndHarmless) {
  EXPECT_TRUE(hooks_.UnInstallFilters());
  EXPECT_TRUE(hooks_.ShutdownHooksDll());
  EXPECT_EQ(hooks_.Calls(), (std::vector<Call>{Call::kUnInstall, Call::kShutdown}));
  EXPECT_FALSE(hooks_.ReportBrowserClick());
  EXPECT_TRUE(Delivered().empty());
}

TEST_F(FakeHookLibraryTest, ReportsToAWindowThatIsGoneAreLost) {
  Start();
  desktop_.Close(program_);
  EXPECT_FALSE(hooks_.ReportBrowserClick());
  EXPECT_FALSE(hooks_.InitHooksDll(program_, message_)) << "initialising with no window fails";
}

}  // namespace
}  // namespace sg::platform::fake
