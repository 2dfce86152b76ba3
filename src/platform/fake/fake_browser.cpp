#include "platform/fake/fake_browser.h"

namespace sg::platform::fake {

namespace {

constexpr std::int32_t kDispatchException = static_cast<std::int32_t>(0x80020009);

class Element final : public HtmlElement {
 public:
  explicit Element(std::shared_ptr<FakeElementNode> node) : node_(std::move(node)) {}
  std::string Attribute(const std::string& name) override {
    if (node_->attribute_fails) throw ComError(kDispatchException, "IHTMLElement");
    auto found = node_->attributes.find(name);
    return found == node_->attributes.end() ? std::string() : found->second;
  }
  std::string TagName() override { return node_->tag; }
  std::unique_ptr<HtmlElement> Parent() override {
    if (!node_->parent) return nullptr;
    return std::make_unique<Element>(node_->parent);
  }

 private:
  std::shared_ptr<FakeElementNode> node_;
};

class Event final : public HtmlEvent {
 public:
  explicit Event(FakeBrowser::PageEvent event) : event_(std::move(event)) {}
  std::string Type() override { return event_.type; }
  std::unique_ptr<HtmlElement> SourceElement() override {
    if (!event_.source) return nullptr;
    return std::make_unique<Element>(event_.source);
  }

 private:
  FakeBrowser::PageEvent event_;
};

}  // namespace

std::shared_ptr<FakeElementNode> FakeBrowser::Element(
    const std::string& tag, std::shared_ptr<FakeElementNode> parent,
    std::map<std::string, std::string> attributes) {
  auto node = std::make_shared<FakeElementNode>();
  node->tag = tag;
  node->parent = std::move(parent);
  node->attributes = std::move(attributes);
  return node;
}

void FakeBrowser::Stop() {
  if (stop_fails) throw ComError(kDispatchException, "IWebBrowser2");
  stopped = true;
}

std::uint32_t FakeBrowser::Advise(BrowserEvents& sink) {
  events = &sink;
  return ++cookie_;
}

void FakeBrowser::Unadvise(std::uint32_t cookie) {
  if (cookie == cookie_) events = nullptr;
}

void FakeShellWindows::Register(std::shared_ptr<Browser> browser) {
  items_.push_back(std::move(browser));
  if (listener) listener->OnWindowRegistered();
}

void FakeShellWindows::Revoke(const std::shared_ptr<Browser>& browser) {
  std::erase(items_, browser);
  if (listener) listener->OnWindowRevoked();
}

int FakeShellWindows::Count() {
  if (count_fails) throw ComError(kDispatchException, "IShellWindows");
  return static_cast<int>(items_.size());
}

std::shared_ptr<Browser> FakeShellWindows::Item(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) {
    throw ComError(kDispatchException, "IShellWindows");
  }
  return items_[static_cast<std::size_t>(index)];
}

bool FakeShellWindows::Advise(ShellWindowsEvents& events) {
  if (!has_connection_point) return false;
  listener = &events;
  return true;
}

std::shared_ptr<ShellWindows> FakeBrowsers::CreateShellWindows() {
  if (!shell_windows_available) return nullptr;
  return shell_windows;
}

std::shared_ptr<Browser> FakeBrowsers::CreateInternetExplorer() {
  ++created_instances;
  return std::make_shared<FakeBrowser>();
}

std::unique_ptr<HtmlEvent> FakeBrowser::CurrentEvent() {
  if (!has_document || !current_event) return nullptr;
  return std::make_unique<Event>(*current_event);
}

}  // namespace sg::platform::fake
