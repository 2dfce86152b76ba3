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

// DWebBrowserEvents2, the events the program handles (the others do nothing).
class BrowserEvents {
 public:
  virtual ~BrowserEvents() = default;
  virtual void OnStatusTextChange(const std::string& text) = 0;
  // "NewWindow2": true cancels the new window.
  virtual bool OnNewWindow2() = 0;
  virtual void OnDocumentComplete(const std::string& address) = 0;
  virtual void OnQuit() = 0;
};

// IWebBrowser2: one counted reference to a browser window.
class Browser {
 public:
  virtual ~Browser() = default;
  virtual std::string LocationUrl() = 0;
  virtual std::string LocationName() = 0;
  virtual int ReadyState() = 0;
  // The current event of the page: get_Document, IHTMLDocument2, get_parentWindow, get_event.
  // Null when any of them is missing.
  virtual std::unique_ptr<HtmlEvent> CurrentEvent() = 0;
  // Navigate2 with no flags, frame, post data or headers; failures are ignored.
  virtual void Navigate(const std::string& url) = 0;
  // get_HWND; 0 when there is none.
  virtual WindowHandle Window() = 0;
  // Stop; a failure raises ComError.
  virtual void Stop() = 0;
  virtual void Quit() = 0;
  // put_MenuBar, put_ToolBar, put_AddressBar and put_Resizable with true.
  virtual void ShowMenuBar() = 0;
  virtual void ShowToolBar() = 0;
  virtual void ShowAddressBar() = 0;
  virtual void MakeResizable() = 0;
  // The same COM object (IUnknown identity).
  virtual bool SameObjectAs(Browser& other) = 0;
  // Connects events to the browser's DWebBrowserEvents2 connection point; the cookie, 0 when
  // the connection failed.
  virtual std::uint32_t Advise(BrowserEvents& events) = 0;
  virtual void Unadvise(std::uint32_t cookie) = 0;
};

// DShellWindowsEvents.
class ShellWindowsEvents {
 public:
  virtual ~ShellWindowsEvents() = default;
  virtual void OnWindowRegistered() = 0;
  virtual void OnWindowRevoked() = 0;
};

// IShellWindows: the shell's collection of its windows, browsers and folder windows.
class ShellWindows {
 public:
  virtual ~ShellWindows() = default;
  // get_Count; a failure raises ComError.
  virtual int Count() = 0;
  // Item(index) as IWebBrowser2; null for an item that is no browser. A failing Item raises.
  virtual std::shared_ptr<Browser> Item(int index) = 0;
  // Subscribes to DShellWindowsEvents; false when there is no connection point.
  virtual bool Advise(ShellWindowsEvents& events) = 0;
};

// Where browsers come from (OLE32).
class BrowsersPort {
 public:
  virtual ~BrowsersPort() = default;
  // CoCreateInstance(CLSID_ShellWindows), OleRun and IShellWindows; null when any fails.
  virtual std::shared_ptr<ShellWindows> CreateShellWindows() = 0;
  // A new Internet Explorer automation object as IWebBrowser2; null when it cannot be made.
  virtual std::shared_ptr<Browser> CreateInternetExplorer() = 0;
};

}  // namespace sg::platform
