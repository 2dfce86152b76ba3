#include "tools/window_process_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"

namespace sg::tools {
namespace {

using platform::WindowHandle;
using platform::fake::FakeDesktop;
using Handles = std::vector<WindowHandle>;

class WindowProcessListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    editor_ = system_.processes.Start({.path = "C:\\Windows\\notepad.exe"});
    browser_ = system_.processes.Start({.path = "C:\\Program Files\\Web\\browse.exe"});
    guarded_ =
        system_.processes.Start({.path = "C:\\Windows\\guard.exe", .cannot_be_opened = true});
    // Opened in reverse: the desktop lists the newest window first.
    tool_tip_ = Open("tooltips_class32", true, browser_);
    guard_ = Open("GuardFrame", true, guarded_);
    owned_ = Open("#32770", true, editor_, 0x99);
    hidden_ = Open("HiddenHelper", false, browser_);
    second_browser_ = Open("WebFrame", true, browser_);
    browser_window_ = Open("WebFrame", true, browser_);
    editor_window_ = Open("Notepad", true, editor_);
  }

  WindowHandle Open(const std::string& class_name, bool visible, std::uint32_t process_id,
                    WindowHandle parent = 0) {
    FakeDesktop::Window window;
    window.class_name = class_name;
    window.visible = visible;
    window.process_id = process_id;
    window.parent = parent;
    return system_.desktop.Open(std::move(window));
  }
  Handles Windows() const {
    Handles handles;
    for (std::size_t i = 0; i < list_.Count(); ++i) handles.push_back(list_.Window(i));
    return handles;
  }
  std::string PathOf(WindowHandle window) const {
    for (std::size_t i = 0; i < list_.Count(); ++i) {
      if (list_.Window(i) == window) return list_.ModulePath(i);
    }
    return "<not listed>";
  }

  platform::fake::FakePlatform system_;
  WindowProcessList list_{system_.ports().windows, system_.ports().processes};
  std::uint32_t editor_ = 0, browser_ = 0, guarded_ = 0;
  WindowHandle tool_tip_ = 0, guard_ = 0, owned_ = 0, hidden_ = 0, second_browser_ = 0,
               browser_window_ = 0, editor_window_ = 0;
};

TEST_F(WindowProcessListTest, FilterZeroKeepsEveryWindowInDesktopOrder) {
  EXPECT_TRUE(list_.Build(0));
  EXPECT_EQ(Windows(), (Handles{editor_window_, browser_window_, second_browser_, hidden_, owned_,
                                guard_, tool_tip_}));
  EXPECT_EQ(list_.ClassName(0), "Notepad");
  EXPECT_EQ(list_.ProcessId(0), editor_);
  EXPECT_EQ(list_.filter(), 0u);
}

TEST_F(WindowProcessListTest, OnlyTheFirstWindowOfAProcessCarriesItsPath) {
  EXPECT_TRUE(list_.Build(0));
  EXPECT_EQ(PathOf(editor_window_), "C:\\Windows\\notepad.exe");
  EXPECT_EQ(PathOf(owned_), "");
  EXPECT_EQ(PathOf(browser_window_), "C:\\Program Files\\Web\\browse.exe");
  EXPECT_EQ(PathOf(second_browser_), "");
  EXPECT_EQ(PathOf(tool_tip_), "");
  EXPECT_EQ(PathOf(guard_), "");  // its process cannot be opened
  EXPECT_EQ(system_.processes.OpenHandles(), 0u);
}

TEST_F(WindowProcessListTest, TheScannersFilterKeepsVisibleUnownedWindowsOfOtherClasses) {
  list_.ExcludeClass("tooltips_class32");
  list_.ExcludeClass("notepad");  // the comparison is case-sensitive: Notepad stays
  using namespace window_filter;
  EXPECT_TRUE(list_.Build(kVisibleOnly | kTopLevelOnly | kExcludeClasses));
  EXPECT_EQ(list_.filter(), 0x15u);
  EXPECT_EQ(Windows(), (Handles{editor_window_, browser_window_, second_browser_, guard_}));

  // Without its bit the exclusions do nothing.
  EXPECT_TRUE(list_.Build(kVisibleOnly | kTopLevelOnly));
  EXPECT_EQ(Windows().back(), tool_tip_);
}

TEST_F(WindowProcessListTest, HiddenAndOwnedBitsYieldToVisibleAndTopLevel) {
  using namespace window_filter;
  list_.Build(kHiddenOnly);
  EXPECT_EQ(Windows(), Handles{hidden_});
  list_.Build(kOwnedOnly);
  EXPECT_EQ(Windows(), Handles{owned_});
  list_.Build(kVisibleOnly | kHiddenOnly | kTopLevelOnly | kOwnedOnly);
  EXPECT_EQ(Windows(),
            (Handles{editor_window_, browser_window_, second_browser_, guard_, tool_tip_}));
}

TEST_F(WindowProcessListTest, RebuildingReplacesTheEntries) {
  list_.Build(0);
  system_.desktop.Close(editor_window_);
  list_.Build(window_filter::kOwnedOnly);
  // The editor's owned dialog is now its first window and gets the path.
  EXPECT_EQ(Windows(), Handles{owned_});
  EXPECT_EQ(list_.ModulePath(0), "C:\\Windows\\notepad.exe");
  EXPECT_EQ(list_.ModulePath(1), "");
  EXPECT_EQ(list_.Window(1), 0u);
}

TEST_F(WindowProcessListTest, WithoutTheLibrariesTheWindowsAreListedWithoutPaths) {
  system_.processes.SetLibraries(true, false, true);
  EXPECT_FALSE(list_.Build(0));
  EXPECT_EQ(list_.Count(), 7u);
  EXPECT_EQ(PathOf(editor_window_), "");

  system_.processes.SetLibraries(false, true, true);
  EXPECT_FALSE(list_.Build(0));
  system_.processes.SetPlatformId(0);
  system_.processes.SetLibraries(true, true, true);
  EXPECT_FALSE(list_.Build(0));
  EXPECT_EQ(list_.Count(), 7u);
}

TEST_F(WindowProcessListTest, The95FamilyTakesThePathFromTheProcessSnapshot) {
  system_.processes.SetPlatformId(platform::kPlatformWin32Windows);
  EXPECT_TRUE(list_.Build(0));
  EXPECT_EQ(PathOf(editor_window_), "C:\\Windows\\notepad.exe");
  EXPECT_EQ(PathOf(owned_), "");
  // The snapshot names every process, also one that cannot be opened.
  EXPECT_EQ(PathOf(guard_), "C:\\Windows\\guard.exe");

  system_.processes.SetLibraries(true, true, false);
  EXPECT_FALSE(list_.Build(0));
  EXPECT_EQ(list_.Count(), 7u);
}

TEST_F(WindowProcessListTest, PathsAreFoundAmongMoreThan250Processes) {
  for (int i = 0; i < 300; ++i) system_.processes.Start({.path = "C:\\p\\p.exe"});
  const std::uint32_t late = system_.processes.Start({.path = "C:\\late\\late.exe"});
  const WindowHandle late_window = Open("Late", true, late);
  EXPECT_TRUE(list_.Build(0));
  EXPECT_EQ(PathOf(late_window), "C:\\late\\late.exe");
}

}  // namespace
}  // namespace sg::tools
