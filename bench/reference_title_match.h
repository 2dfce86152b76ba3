#pragma once

#include <string>

#include "browser/filter_list.h"
#include "common/ascii.h"

namespace sg::bench {

// The title scan's decision for one window, step by step as the program describes it: every
// entry is read from the list box, its first star taken out, upper-cased and compared.
inline bool ReferenceMatches(const std::string& upper_title, const browser::FilterList& list) {
  for (int i = 0; i < list.Count(); ++i) {
    std::string entry = list.At(i);
    const auto star = entry.find('*');
    const bool wildcard = star != std::string::npos;
    if (wildcard) entry.erase(star, 1);
    entry = AsciiUpper(entry);
    if (wildcard && upper_title.find(entry) != std::string::npos) return true;
    if (upper_title == entry) return true;
  }
  return false;
}

}  // namespace sg::bench
