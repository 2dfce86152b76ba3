#pragma once

#include <string>

#include "platform/ports/browsers.h"

namespace sg::browser {

// Whether the event the page is handling right now is a click on something that normally opens
// a window: a link, an image map area, an image or a push button, the clicked element or one of
// its first 24 ancestors. event_type receives the event's type, upper-cased (empty for none).
bool IsLinkClick(platform::Browser& browser, std::string& event_type);

}  // namespace sg::browser
