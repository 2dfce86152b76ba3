#pragma once

#include <cstdint>
#include <memory>
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
// without a user action, skips known redirect pages, and lets go of the browser when it quits.
class BrowserEventSink final : public platform::BrowserEvents {
 public:
  BrowserEventSink() = default;
  ~BrowserEventSink() override { DetachSink(); }
  BrowserEventSink(const BrowserEventSink&) = delete;
  BrowserEventSink& operator=(const BrowserEventSink&) = delete;

  void SetContext(PopupDecisionContext& context) { context_ = &context; }
  // Follows the browser; one already followed stays as it is.
  bool AttachSink(std::shared_ptr<platform::Browser> browser);
  void DetachSink();
  // Starts a new Internet Explorer and follows it.
  bool ConnectNewInstance(platform::BrowsersPort& browsers);
  bool attached() const { return browser_ != nullptr; }
  const std::shared_ptr<platform::Browser>& browser() const { return browser_; }

  void OnStatusTextChange(const std::string& text) override;
  // "NewWindow2": true when the new window is to be cancelled.
  bool OnNewWindow2() override;
  void OnDocumentComplete(const std::string& address) override;
  void OnQuit() override { DetachSink(); }
  bool IsUserInitiated();

  const std::string& status_text() const { return status_text_; }

 private:
  bool DecideNewWindow();

  std::shared_ptr<platform::Browser> browser_;
  std::uint32_t cookie_ = 0;
  PopupDecisionContext* context_ = nullptr;
  std::string status_text_;
  std::string previous_status_text_;
};

}  // namespace sg::browser
