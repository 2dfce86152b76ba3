#pragma once

#include <string>
#include <string_view>

namespace sg::browser {

// A block-list entry against a window title. An entry with an asterisk matches every title that
// contains the entry without its first asterisk; any entry matches a title equal to it. Letter
// case is ignored (a to z only).
bool MatchesBlockEntry(std::string_view title, std::string_view entry);

// A safe-site entry against a browser's full location URL: a case-sensitive substring test.
bool MatchesSafeSite(std::string_view url, std::string_view entry);

// The entry without its first "*", wherever it stands; later asterisks stay.
std::string StripFirstAsterisk(std::string_view entry);

}  // namespace sg::browser
