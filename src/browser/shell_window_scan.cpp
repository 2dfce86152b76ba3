#include "browser/shell_window_scan.h"

#include "browser/filter_matching.h"
#include "common/ascii.h"

namespace sg::browser {

namespace {

constexpr std::size_t kTitleBufferSize = 5000;

bool Contains(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

// Shell folders that register like browsers.
bool IsShellFolderName(const std::string& name) {
  for (const char* folder :
       {"My Computer", "Recycle Bin", "Network", "Network Neighborhood", "Control Panel"}) {
    if (name == folder) return true;
  }
  return false;
}

// The window behind a new browser is a mail program: a link in a mail opened it.
bool IsMailProgram(const std::string& program) {
  const std::string upper = AsciiUpper(program);
  for (const char* mail :
       {"OUTLOOK.EXE", "MSIMN.EXE", "MICROSOFT OUTLOOK", "- MESSAGE", "OUTLOOK EXPRESS"}) {
    if (Contains(upper, mail)) return true;
  }
  return false;
}

}  // namespace

void ShellWindowScanner::Normalize(platform::Browser& browser) {
  browser.ShowMenuBar();
  browser.ShowToolBar();
  browser.ShowAddressBar();
  browser.MakeResizable();
}

void ShellWindowScanner::Scan(platform::ShellWindows& shell_windows, bool connected, bool revoked) {
  const int count = shell_windows.Count();
  if (!connected) return;
  int& counter = context_.NewWindowCounter();
  for (int index = 0; index < count; ++index) {
    auto browser = shell_windows.Item(index);
    if (!browser) continue;
    const std::string address = browser->LocationUrl();
    const std::string name = browser->LocationName();
    const bool folder = IsShellFolderName(name);
    const bool file = Contains(address, "file:");

    if (!file && !folder && !address.empty() && !name.empty()) {
      if (context_.NormalizeWindows()) Normalize(*browser);
      const bool safe = context_.SafeSites().AnyMatch(
          [&](const std::string& entry) { return MatchesSafeSite(address, entry); });
      if (skip_first_) {
        skip_first_ = false;
      } else if (!safe) {
        if (!table_.IsFollowed(*browser) && !context_.HoldDownKeyHeld() &&
            context_.BlockingEnabled()) {
          const int previous = counter++;
          if (previous != 0 &&
              (!IsMailProgram(context_.ProgramBehind()) || !context_.ManualPopupsAllowed())) {
            Block(*browser, revoked);
            return;
          }
        }
        if (first_scan_) counter = 0;
      }
    }
    Attach(browser, folder);
  }
  if (first_scan_) {
    counter = 1;
    first_scan_ = false;
  }
}

void ShellWindowScanner::Attach(const std::shared_ptr<platform::Browser>& browser, bool folder) {
  if (folder || table_.IsFollowed(*browser)) return;
  if (context_.NormalizeWindows() && !Contains(browser->LocationUrl(), "file:")) {
    Normalize(*browser);
  }
  if (table_.full()) {
    platform_.dialogs.MessageBox(nullptr,
                                 "Out of array space for browsers. Please exit and restart "
                                 "Snapgate!.",
                                 "Snapgate!", platform::kMbIconInformation);
    return;
  }
  table_.Follow(browser, context_);
}

void ShellWindowScanner::Block(platform::Browser& browser, bool revoked) {
  const platform::WindowHandle window = browser.Window();
  if (!window) return;
  if (context_.PlaySoundOn() && !revoked) {
    platform_.system.PlaySound(context_.SoundPath(), platform::kSndAsync | platform::kSndFilename);
  }
  browser.Stop();
  platform::WindowsPort* windows = &platform_.windows;
  platform::SystemPort* system = &platform_.system;
  platform_.system.StartThread(
      [windows, system, window] { CloseBrowserWindow(*windows, *system, window); });
  if (!revoked) context_.RecordClosedBrowser(windows->WindowText(window, kTitleBufferSize));
}

void CloseBrowserWindow(platform::WindowsPort& windows, platform::SystemPort& system,
                        platform::WindowHandle window) {
  windows.ShowWindow(window, platform::kSwHide);
  windows.CloseWindow(window);
  system.Sleep(100);
  if (!windows.IsVisible(window)) return;
  for (int attempt = 0; attempt < 3; ++attempt) {
    system.Sleep(250);
    windows.ShowWindow(window, platform::kSwHide);
    windows.CloseWindow(window);
  }
}

}  // namespace sg::browser
