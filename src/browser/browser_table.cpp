#include "browser/browser_table.h"

namespace sg::browser {

bool BrowserTable::IsFollowed(platform::Browser& browser) const {
  for (int i = 0; i < count_; ++i) {
    const Slot& slot = slots_[i];
    if (slot.sink.attached() && slot.browser && slot.browser->SameObjectAs(browser)) return true;
  }
  return false;
}

bool BrowserTable::Follow(std::shared_ptr<platform::Browser> browser,
                          PopupDecisionContext& context) {
  if (full()) return false;
  if (static_cast<std::size_t>(count_) == slots_.size()) slots_.emplace_back();
  Slot& slot = slots_[count_++];
  slot.browser = browser;
  slot.sink.SetContext(context);
  slot.sink.AttachSink(std::move(browser));
  return true;
}

void BrowserTable::Reset() {
  for (int i = 0; i < count_; ++i) {
    slots_[i].sink.DetachSink();
    slots_[i].browser.reset();
  }
  count_ = 0;
}

}  // namespace sg::browser
