#pragma once

#include <memory>
#include <string>

#include "browser/browser_event_sink.h"
#include "browser/browser_table.h"
#include "platform/ports/platform.h"

namespace sg::browser {

// What the Shell-window scan needs of the main dialog beyond what an event sink needs.
class ShellScanContext : public PopupDecisionContext {
 public:
  virtual bool NormalizeWindows() = 0;
  virtual bool PlaySoundOn() = 0;
  virtual std::string SoundPath() = 0;
  // The program behind the topmost window (its path or title; empty when minimised).
  virtual std::string ProgramBehind() = 0;
  // Counts, stores and announces a closed browser window (the sound is already played); the
  // title is listed when it is longer than 2 characters.
  virtual void RecordClosedBrowser(const std::string& title) = 0;
  // Shared with the event sinks: 0 lets the next candidate window pass.
  virtual int& NewWindowCounter() = 0;
};

// Follows every browser window of the Shell Windows collection and closes a new one that comes
// up without a user action since the last one.
class ShellWindowScanner {
 public:
  ShellWindowScanner(platform::Platform& platform, BrowserTable& table, ShellScanContext& context)
      : platform_(platform), table_(table), context_(context) {}

  // revoked: the scan comes from "WindowRevoked": it blocks without sound and without counting.
  void Scan(platform::ShellWindows& shell_windows, bool connected, bool revoked);

 private:
  void Block(platform::Browser& browser, bool revoked);
  void Normalize(platform::Browser& browser);
  void Attach(const std::shared_ptr<platform::Browser>& browser, bool folder);

  platform::Platform& platform_;
  BrowserTable& table_;
  ShellScanContext& context_;
  bool first_scan_ = true;
  bool skip_first_ = true;
};

// Hides, minimises and, while it stays visible, tries again: the worker of a closed browser.
void CloseBrowserWindow(platform::WindowsPort& windows, platform::SystemPort& system,
                        platform::WindowHandle window);

}  // namespace sg::browser
