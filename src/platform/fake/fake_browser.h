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
// addresses it was sent to.
class FakeBrowser final : public Browser {
 public:
  struct PageEvent {
    std::string type;
    std::shared_ptr<FakeElementNode> source;
  };

  std::string url = "http://www.example.com/";
  int ready_state = kReadyStateComplete;
  bool has_document = true;
  std::optional<PageEvent> current_event;
  std::vector<std::string> navigations;

  // Adds an element below a parent (or at the top) and returns it.
  static std::shared_ptr<FakeElementNode> Element(
      const std::string& tag, std::shared_ptr<FakeElementNode> parent,
      std::map<std::string, std::string> attributes = {});

  std::string LocationUrl() override { return url; }
  int ReadyState() override { return ready_state; }
  std::unique_ptr<HtmlEvent> CurrentEvent() override;
  void Navigate(const std::string& address) override { navigations.push_back(address); }
};

}  // namespace sg::platform::fake
