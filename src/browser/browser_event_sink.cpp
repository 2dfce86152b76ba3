#include "browser/browser_event_sink.h"

#include "browser/click_detection.h"
#include "browser/filter_matching.h"
#include "common/ascii.h"

namespace sg::browser {

namespace {

// Serialises the block decisions of all sinks.
std::mutex block_mutex;

bool Contains(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

bool BrowserEventSink::AttachSink(std::shared_ptr<platform::Browser> browser) {
  if (browser_) return true;
  browser_ = std::move(browser);
  cookie_ = browser_->Advise(*this);
  return cookie_ != 0;
}

void BrowserEventSink::DetachSink() {
  if (!browser_) return;
  browser_->Unadvise(cookie_);
  cookie_ = 0;
  browser_.reset();
}

bool BrowserEventSink::ConnectNewInstance(platform::BrowsersPort& browsers) {
  if (browser_) return true;
  auto browser = browsers.CreateInternetExplorer();
  if (!browser) return false;
  return AttachSink(std::move(browser));
}

void BrowserEventSink::OnStatusTextChange(const std::string& text) {
  previous_status_text_ = status_text_;
  status_text_ = text;
}

bool BrowserEventSink::IsUserInitiated() {
  const std::string start = status_text_.substr(0, 7);
  bool user = false;
  if ((context_->ManualPopupsAllowed() && (start == "http://" || start == "https:/")) ||
      Contains(status_text_, "winopen") || Contains(status_text_, "javascript")) {
    std::string event_type;
    IsLinkClick(*browser_, event_type);
    user = event_type != "UNLOAD" && event_type != "LOAD";
  }
  status_text_ = AsciiLower(status_text_);
  if (Contains(status_text_, "winopen") || Contains(status_text_, "javascript")) user = true;
  if (browser_->ReadyState() != platform::kReadyStateComplete) user = false;
  // The status-bar help of the link context menu: the user chose "Open in New Window".
  return Contains(previous_status_text_, "selected link in a new window") ||
         Contains(previous_status_text_, "selected link in current window") || user;
}

bool BrowserEventSink::OnNewWindow2() {
  if (!browser_ || !context_) return false;
  try {
    return DecideNewWindow();
  } catch (const platform::ComError&) {
    // The page could not be asked; the handler ends and the window opens.
    return false;
  }
}

bool BrowserEventSink::DecideNewWindow() {
  std::string event_type;
  if (IsUserInitiated() || IsLinkClick(*browser_, event_type)) {
    context_->ResetNewWindowCounter();
    return false;
  }
  std::lock_guard lock(block_mutex);
  if (context_->HoldDownKeyHeld() || !context_->BlockingEnabled()) return false;
  const std::string address = browser_->LocationUrl();
  if (context_->SafeSites().AnyMatch(
          [&](const std::string& entry) { return MatchesSafeSite(address, entry); })) {
    return false;
  }
  context_->RecordBlock(address);
  return true;
}

void BrowserEventSink::OnDocumentComplete(const std::string& address) {
  if (!browser_ || !context_) return;
  const std::string lower = AsciiLower(address);
  const auto host = lower.find("takeoverad.");
  if (host == std::string::npos) return;
  const auto query = lower.find('?', host);
  if (query == std::string::npos) return;
  const std::string target = address.substr(query + 1);
  if (target.size() < 4 || (!Contains(target, "://") && !Contains(target, "www"))) return;
  context_->ReportLine("Redirected from spam web page: " + address);
  browser_->Navigate(target);
}

}  // namespace sg::browser
