#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ports/browsers.h"

namespace sg::platform::fake {

// A page's element tree, built by tests: elements know their tag, attributes and parent.
struct FakeElementNode {
  std::string tag;
  std::map<std::string, std::string> attributes;
  std::shared_ptr<FakeElementNode> parent;
  bool attribute_fails = false;  // getAttribute raises a COM error
};

// A browser with a page: its address, ready state, the event the page is handling, and the
// addresses it was sent to. Tests fire its events at the sink that is connected to it.
class FakeBrowser final : public Browser {
 public:
  struct PageEvent {
    std::string type;
    std::shared_ptr<FakeElementNode> source;
  };

  std::string url = "http://www.example.com/";
  std::string name = "Example";
  WindowHandle window = 0;
  int ready_state = kReadyStateComplete;
  bool stop_fails = false;
  bool stopped = false;
  bool quit = false;
  bool menu_bar = false, tool_bar = false, address_bar = false, resizable = false;
  BrowserEvents* events = nullptr;  // the connected sink, if any
  bool has_document = true;
  std::optional<PageEvent> current_event;
  std::vector<std::string> navigations;

  // Adds an element below a parent (or at the top) and returns it.
  static std::shared_ptr<FakeElementNode> Element(
      const std::string& tag, std::shared_ptr<FakeElementNode> parent,
      std::map<std::string, std::string> attributes = {});

  std::string LocationUrl() override { return url; }
  std::string LocationName() override { return name; }
  int ReadyState() override { return ready_state; }
  std::unique_ptr<HtmlEvent> CurrentEvent() override;
  void Navigate(const std::string& address) override { navigations.push_back(address); }
  WindowHandle Window() override { return window; }
  void Stop() override;
  void Quit() override { quit = true; }
  void ShowMenuBar() override { menu_bar = true; }
  void ShowToolBar() override { tool_bar = true; }
  void ShowAddressBar() override { address_bar = true; }
  void MakeResizable() override { resizable = true; }
  bool SameObjectAs(Browser& other) override { return &other == this; }
  std::uint32_t Advise(BrowserEvents& sink) override;
  void Unadvise(std::uint32_t cookie) override;

 private:
  std::uint32_t cookie_ = 0;
};

// The shell's window collection: browsers (and folder windows, which are no browsers) that
// register and revoke themselves, telling the connected listener.
class FakeShellWindows final : public ShellWindows {
 public:
  // Adds an item and tells the listener; a null browser stands for a folder window.
  void Register(std::shared_ptr<Browser> browser);
  void Revoke(const std::shared_ptr<Browser>& browser);
  bool count_fails = false;
  bool has_connection_point = true;
  ShellWindowsEvents* listener = nullptr;

  int Count() override;
  std::shared_ptr<Browser> Item(int index) override;
  bool Advise(ShellWindowsEvents& events) override;

 private:
  std::vector<std::shared_ptr<Browser>> items_;
};

// Where the fake browsers come from: a shell collection or none, and new browser instances.
class FakeBrowsers final : public BrowsersPort {
 public:
  std::shared_ptr<FakeShellWindows> shell_windows = std::make_shared<FakeShellWindows>();
  bool shell_windows_available = true;
  int created_instances = 0;

  std::shared_ptr<ShellWindows> CreateShellWindows() override;
  std::shared_ptr<Browser> CreateInternetExplorer() override;
};

}  // namespace sg::platform::fake
