#pragma once

#include <functional>
#include <memory>

#include "platform/ports/browsers.h"
#include "platform/ports/dialogs.h"

namespace sg::browser {

// The connection to the shell's window collection and its events.
class ShellWindowsConnection {
 public:
  // report_failure tells the maker, before the user is told, that the collection is missing.
  ShellWindowsConnection(platform::BrowsersPort& browsers, platform::DialogsPort& dialogs,
                         platform::ShellWindowsEvents& listener,
                         std::function<void()> report_failure = {})
      : browsers_(browsers),
        dialogs_(dialogs),
        listener_(listener),
        report_failure_(std::move(report_failure)) {}

  // Up to three attempts; before another attempt one browser is started and quit, so that the
  // collection can come into being. Tells the user when there is none.
  void Connect();
  // Lets go of the collection (a reconnection follows).
  void Release();
  bool connected() const { return connected_; }
  platform::ShellWindows* shell_windows() const { return shell_windows_.get(); }

 private:
  platform::BrowsersPort& browsers_;
  platform::DialogsPort& dialogs_;
  platform::ShellWindowsEvents& listener_;
  std::function<void()> report_failure_;
  std::shared_ptr<platform::ShellWindows> shell_windows_;
  bool connected_ = false;
};

}  // namespace sg::browser
