#pragma once

#include <cstddef>
#include <deque>
#include <memory>

#include "browser/browser_event_sink.h"
#include "platform/ports/browsers.h"

namespace sg::browser {

inline constexpr int kBrowserSlots = 25000;

// The followed browsers: a slot with a counted browser reference and an event sink each. A
// slot is made when first needed and kept for reuse after a reset; slots never move, since
// each browser calls its sink where it is. Made up front, the 25,000 slots took 3 MiB.
class BrowserTable {
 public:

  // True when a used slot holds the same browser and its sink still follows it.
  bool IsFollowed(platform::Browser& browser) const;
  bool full() const { return count_ >= kBrowserSlots; }
  int count() const { return count_; }
  // What the slots made so far take.
  std::size_t SlotBytes() const { return slots_.size() * sizeof(Slot); }
  // Puts the browser into the next slot and attaches that slot's sink; false when full.
  bool Follow(std::shared_ptr<platform::Browser> browser, PopupDecisionContext& context);
  // After a reconnection: every slot is free again. Their sinks let go of their browsers, so no
  // sink of the old connection hears events for a slot that now holds another browser.
  void Reset();

 private:
  struct Slot {
    std::shared_ptr<platform::Browser> browser;
    BrowserEventSink sink;
  };
  std::deque<Slot> slots_;
  int count_ = 0;
};

}  // namespace sg::browser
