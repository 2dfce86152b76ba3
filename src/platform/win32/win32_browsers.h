#pragma once

#include <memory>

#include "platform/ports/browsers.h"

// The automation interfaces, declared here so that the adapters' users need no Windows headers.
struct IDispatch;
struct IShellWindows;
struct IWebBrowser2;

namespace sg::platform::win32 {

// One browser. COM must be initialised on the calling thread (the application does it).
class Win32Browser final : public Browser {
 public:
  // Takes a reference of its own to the browser.
  explicit Win32Browser(IWebBrowser2* browser);
  Win32Browser(const Win32Browser&) = delete;
  Win32Browser& operator=(const Win32Browser&) = delete;
  ~Win32Browser() override;

  std::string LocationUrl() override;
  std::string LocationName() override;
  int ReadyState() override;
  std::unique_ptr<HtmlEvent> CurrentEvent() override;
  void Navigate(const std::string& url) override;
  WindowHandle Window() override;
  void Stop() override;
  void Quit() override;
  void ShowMenuBar() override;
  void ShowToolBar() override;
  void ShowAddressBar() override;
  void MakeResizable() override;
  bool SameObjectAs(Browser& other) override;
  std::uint32_t Advise(BrowserEvents& events) override;
  void Unadvise(std::uint32_t cookie) override;

 private:
  IWebBrowser2* browser_;
};

// The shell's window collection. Its event connection lasts as long as the object.
class Win32ShellWindows final : public ShellWindows {
 public:
  // Takes a reference of its own to the collection.
  explicit Win32ShellWindows(IShellWindows* windows);
  Win32ShellWindows(const Win32ShellWindows&) = delete;
  Win32ShellWindows& operator=(const Win32ShellWindows&) = delete;
  ~Win32ShellWindows() override;

  int Count() override;
  std::shared_ptr<Browser> Item(int index) override;
  bool Advise(ShellWindowsEvents& events) override;

 private:
  void Disconnect();

  IShellWindows* windows_;
  IDispatch* sink_ = nullptr;
  unsigned long cookie_ = 0;
};

class Win32Browsers final : public BrowsersPort {
 public:
  std::shared_ptr<ShellWindows> CreateShellWindows() override;
  std::shared_ptr<Browser> CreateInternetExplorer() override;
};

}  // namespace sg::platform::win32
