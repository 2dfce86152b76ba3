#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "browser/filter_list.h"
#include "platform/ports/browsers.h"

namespace sg::browser {

// What an event sink needs of the main dialog while it decides about a new window.
class PopupDecisionContext {
 public:
  virtual ~PopupDecisionContext() = default;
  virtual bool HoldDownKeyHeld() = 0;
  virtual bool BlockingEnabled() = 0;
  virtual bool ManualPopupsAllowed() = 0;
  virtual FilterList SafeSites() = 0;
  // Shared with the Shell-window scan: 0 lets the next new browser window pass.
  virtual void ResetNewWindowCounter() = 0;
  // A cancelled window: counted, stored, listed with the opener's address, sound and flash.
  virtual void RecordBlock(const std::string& opener_address) = 0;
  // A line for the blocked list with sound and flash, but not counted.
  virtual void ReportLine(const std::string& line) = 0;
};

// Follows one browser: remembers its status-bar texts, cancels the new windows its pages ask for
// without a user action, and skips known redirect pages.
class BrowserEventSink {
 public:
  BrowserEventSink() = default;
  void Link(platform::Browser& browser, PopupDecisionContext& context) {
    browser_ = &browser;
    context_ = &context;
  }

  void OnStatusTextChange(const std::string& text);
  // "NewWindow2": true when the new window is to be cancelled.
  bool OnNewWindow2();
  void OnDocumentComplete(const std::string& address);
  bool IsUserInitiated();

  const std::string& status_text() const { return status_text_; }

 private:
  platform::Browser* browser_ = nullptr;
  PopupDecisionContext* context_ = nullptr;
  std::string status_text_;
  std::string previous_status_text_;
};

}  // namespace sg::browser
