#pragma once

#include <cstdint>
#include <vector>

#include "platform/fake/fake_desktop.h"
#include "platform/ports/hook_library.h"

namespace sg::platform::fake {

// The hook library: remembers how the program started and stopped it, and reports what a test
// makes happen, and every window that goes, by posting to the program's window, only while it
// is initialised and installed, as the real library does.
class FakeHookLibrary final : public HookLibraryPort {
 public:
  enum class Call { kInit, kInstall, kUnInstall, kShutdown };

  // Reports each window that goes, as the real library does.
  explicit FakeHookLibrary(FakeDesktop& desktop) : desktop_(desktop) {
    desktop_.OnWindowGone([this](WindowHandle window) {
      Report(kHookWindowGone, static_cast<std::intptr_t>(window));
    });
  }

  std::vector<Call> Calls() const { return calls_; }
  // True while the library would report.
  bool Reporting() const { return installed_ && window_ != 0 && message_ != 0; }

  // Posts a notification with any code; false when the library is not reporting.
  bool Report(std::uintptr_t code, std::intptr_t lparam = 0);
  // A new top-level window opens on the desktop and the library reports it, and its title for
  // its creation and, when it is visible, again for its showing.
  WindowHandle OpenWindow(FakeDesktop::Window window);
  // A hidden window shows; where the system says so, the library reports its title.
  bool ShowWindow(WindowHandle window);
  // A window's title changes and the library reports it.
  bool RenameWindow(WindowHandle window, const std::string& title);
  // The user clicks or presses Enter in a browser.
  bool ReportBrowserClick() { return Report(kHookBrowserClick); }
  bool ReportBrowserKey() { return Report(kHookBrowserKey); }

  bool InitHooksDll(WindowHandle window, std::uint32_t message) override;
  bool InstallFilters() override;
  bool UnInstallFilters() override;
  bool ShutdownHooksDll() override;

 private:
  FakeDesktop& desktop_;
  std::vector<Call> calls_;
  WindowHandle window_ = 0;
  std::uint32_t message_ = 0;
  bool installed_ = false;
};

}  // namespace sg::platform::fake
