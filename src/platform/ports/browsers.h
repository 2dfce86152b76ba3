#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/ports/windows.h"

namespace sg::platform {

// A failed automation call: the HRESULT and, where known, the interface it was made on. Raised
// where a call's failure has no meaning of its own, caught where an event handler or a scan
// begins, so that the program runs on.
class ComError : public std::runtime_error {
 public:
  ComError(std::int32_t result, std::string interface_name)
      : std::runtime_error("COM call failed on " + interface_name),
        result_(result),
        interface_(std::move(interface_name)) {}
  std::int32_t result() const { return result_; }
  const std::string& interface_name() const { return interface_; }

 private:
  std::int32_t result_;
  std::string interface_;
};

// IHTMLElement, the calls click detection makes.
class HtmlElement {
 public:
  virtual ~HtmlElement() = default;
  // getAttribute(name, 0) as a string; a failure raises ComError.
  virtual std::string Attribute(const std::string& name) = 0;
  virtual std::string TagName() = 0;
  // get_parentElement; null when there is none or the call fails.
  virtual std::unique_ptr<HtmlElement> Parent() = 0;
};

// IHTMLEventObj: the event a page is handling.
class HtmlEvent {
 public:
  virtual ~HtmlEvent() = default;
  virtual std::string Type() = 0;
  // get_srcElement; null when there is none.
  virtual std::unique_ptr<HtmlElement> SourceElement() = 0;
};

inline constexpr int kReadyStateComplete = 4;

// IWebBrowser2, the calls the event sink makes.
class Browser {
 public:
  virtual ~Browser() = default;
  virtual std::string LocationUrl() = 0;
  virtual int ReadyState() = 0;
  // The current event of the page: get_Document, IHTMLDocument2, get_parentWindow, get_event.
  // Null when any of them is missing.
  virtual std::unique_ptr<HtmlEvent> CurrentEvent() = 0;
  // Navigate2 with no flags, frame, post data or headers; failures are ignored.
  virtual void Navigate(const std::string& url) = 0;
};

}  // namespace sg::platform
