// The in-memory desktop as a worker thread sees it.
#include "platform/fake/fake_desktop.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace sg::platform::fake {
namespace {

constexpr int kVkControl = 17;

TEST(FakeDesktopTest, AWorkerSeesWholeRecordsWhileTheUserInterfaceThreadChangesThem) {
  FakeDesktop desktop;
  const WindowHandle browser = desktop.OpenForeign("Casino - Browser", true, "IEFrame");
  // The worker minimises the browser until the user holds Ctrl down, then hides it.
  std::thread worker([&] {
    while (!desktop.IsKeyDown(kVkControl)) {
      desktop.CloseWindow(browser);
      std::this_thread::yield();
    }
    desktop.ShowWindow(browser, kSwHide);
  });
  // Meanwhile the browser's own thread renames, restores and raises it, and the user presses
  // Ctrl once the worker has minimised it.
  const WindowHandle other = desktop.OpenForeign("Other");
  do {
    desktop.SetTitle(browser, "Casino");
    desktop.WithWindow(browser,
                       [](FakeDesktop::Window& window) { window.show_state = kSwShowNormal; });
    desktop.BringToTop(browser);
  } while (desktop.ShowState(browser) != kSwShowMinimized);
  desktop.Close(other);
  desktop.PressKey(kVkControl);
  worker.join();

  EXPECT_FALSE(desktop.IsVisible(browser));
  EXPECT_EQ(desktop.WindowText(browser, 100), "Casino");
  EXPECT_EQ(desktop.TopLevelWindows(), std::vector<WindowHandle>{browser});
}

}  // namespace
}  // namespace sg::platform::fake
