#pragma once

#include <string>

#include "platform/ports/dialogs.h"

namespace sg::browser {

// A filter list as it lives while the program runs: the items of a list box, read at the moment
// of use so that a change made in a dialog takes effect at once. Walks re-read the count after
// each item, since a matcher's caller may change the list in between.
class FilterList {
 public:
  FilterList(platform::DialogHost& dialog, int list_control)
      : dialog_(dialog), control_(list_control) {}

  int Count() const { return dialog_.ListCount(control_); }
  std::string At(int index) const { return dialog_.ListText(control_, index); }
  // Adds at the end: the list boxes are unsorted.
  void Append(const std::string& entry) { dialog_.ListAdd(control_, entry); }

  template <typename Predicate>
  bool AnyMatch(Predicate&& matches) const {
    for (int i = 0; i < Count(); ++i) {
      if (matches(At(i))) return true;
    }
    return false;
  }

 private:
  platform::DialogHost& dialog_;
  int control_;
};

}  // namespace sg::browser
