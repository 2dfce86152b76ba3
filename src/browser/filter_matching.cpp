#include "browser/filter_matching.h"

#include "common/ascii.h"

namespace sg::browser {

bool MatchesBlockEntry(std::string_view title, std::string_view entry) {
  const std::string upper_title = AsciiUpper(title);
  const bool wildcard = entry.find('*') != std::string_view::npos;
  const std::string upper_entry = AsciiUpper(StripFirstAsterisk(entry));
  if (wildcard) return upper_title.find(upper_entry) != std::string::npos;
  return upper_title == upper_entry;
}

bool MatchesSafeSite(std::string_view url, std::string_view entry) {
  return url.find(entry) != std::string_view::npos;
}

std::string StripFirstAsterisk(std::string_view entry) {
  std::string text(entry);
  if (const auto star = text.find('*'); star != std::string::npos) text.erase(star, 1);
  return text;
}

}  // namespace sg::browser
