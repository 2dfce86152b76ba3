#include "browser/shell_windows_connection.h"

#include "browser/browser_event_sink.h"

namespace sg::browser {

namespace {

constexpr int kAttempts = 3;
constexpr const char* kNoShellWindows =
    "Shell Windows interface is not available on your computer.\n\nSnapgate can not utilize "
    "automatic Microsoft Internet Explorer blocking.\nOnly manual popup blocking by specifying "
    "window titles and Netscape Blocking is available.\n\n"
    "When you see a popup using Microsoft Internet Explorer:\n\n- Right-click on the Snapgate! "
    "tray-icon in the lower right corner of your screen next to your time.\n- Select the menu "
    "item ADD TO FILTERS.\n- Click the button BROWSE to look for the popup window title to block "
    "it permanently.\n\n"
    "Possible causes:\n\n- You are running Windows NT and have just rebooted or logged in.\n  "
    "Solution: Please exit and restart Snapgate!.\n- Snapgate! has previously crashed.\n- You do "
    "not have Microsoft Internet Explorer installed.\n\nTo fix, please try exiting and "
    "re-starting the software.";

}  // namespace

void ShellWindowsConnection::Connect() {
  if (shell_windows_) return;
  for (int attempt = 0; attempt < kAttempts && !shell_windows_; ++attempt) {
    shell_windows_ = browsers_.CreateShellWindows();
    if (shell_windows_) {
      if (shell_windows_->Advise(listener_)) connected_ = true;
      break;
    }
    BrowserEventSink starter;
    if (starter.ConnectNewInstance(browsers_)) starter.browser()->Quit();
  }
  if (!shell_windows_) {
    if (report_failure_) report_failure_();
    dialogs_.MessageBox(nullptr, kNoShellWindows, "Snapgate!", platform::kMbIconInformation);
  }
}

void ShellWindowsConnection::Release() {
  shell_windows_.reset();
  connected_ = false;
}

}  // namespace sg::browser
