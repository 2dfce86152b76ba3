#include "browser/click_detection.h"

#include "common/ascii.h"

namespace sg::browser {

namespace {
constexpr int kElementsExamined = 25;
}

bool IsLinkClick(platform::Browser& browser, std::string& event_type) {
  auto event = browser.CurrentEvent();
  if (!event) return false;
  auto element = event->SourceElement();
  event_type = AsciiUpper(event->Type());
  if (event_type != "CLICK") return false;

  for (int examined = 0; element && examined < kElementsExamined; ++examined) {
    const std::string type = AsciiUpper(element->Attribute("type"));
    const std::string tag = AsciiUpper(element->TagName());
    if (tag == "BODY") return false;
    if (tag == "A" || tag == "AREA" || tag == "IMG") return true;
    if (tag == "INPUT" && type == "BUTTON") return true;
    element = element->Parent();
  }
  return false;
}

}  // namespace sg::browser
