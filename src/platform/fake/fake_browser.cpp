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

std::unique_ptr<HtmlEvent> FakeBrowser::CurrentEvent() {
  if (!has_document || !current_event) return nullptr;
  return std::make_unique<Event>(*current_event);
}

}  // namespace sg::platform::fake
