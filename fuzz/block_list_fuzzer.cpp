// The block list, "filters.txt": the file as its dialog loads it, then window titles against
// its entries. The title scan's automaton must decide as the entry-by-entry rule does.
#include <algorithm>
#include <string>
#include <vector>

#include "app/block_list_matcher.h"
#include "browser/filter_matching.h"
#include "common/ascii.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/list_file.h"

namespace {

using sg::fuzz::Check;

// Titles to try: the file's raw lines, and each entry as it stands, without its first "*" and
// inside a longer title.
std::vector<std::string> TitlesFor(std::string_view content,
                                   const std::vector<std::string>& entries) {
  std::vector<std::string> titles;
  std::size_t start = 0;
  while (start <= content.size()) {
    const std::size_t end = std::min(content.find('\n', start), content.size());
    titles.emplace_back(content.substr(start, end - start));
    start = end + 1;
  }
  for (const std::string& entry : entries) {
    const std::string bare = sg::browser::StripFirstAsterisk(entry);
    titles.push_back(entry);
    titles.push_back(bare);
    titles.push_back("Free offer - " + sg::AsciiLower(bare) + " - Microsoft Internet Explorer");
  }
  return titles;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string_view content = sg::fuzz::TextOf(data, size);
  sg::platform::fake::FakePlatform platform;
  const std::vector<std::string> entries =
      sg::fuzz::LoadedEntries<sg::browser::BlockListDialog>(platform, std::string(content));
  for (const std::string& entry : entries) {
    Check(!entry.empty() && entry.size() <= 99, "entries are 1 to 99 characters");
    Check(entry.find('\n') == std::string::npos, "no entry holds a line feed");
  }

  const sg::app::BlockListMatcher matcher(entries);
  Check(matcher.empty() == entries.empty(), "the matcher is empty only for an empty list");
  for (const std::string& title : TitlesFor(content, entries)) {
    const bool by_entries = std::any_of(entries.begin(), entries.end(), [&](const auto& entry) {
      return sg::browser::MatchesBlockEntry(title, entry);
    });
    Check(matcher.Matches(sg::AsciiUpper(title)) == by_entries,
          "the automaton decides as the entries one by one do");
  }

  Check(sg::fuzz::SurvivesSaving<sg::browser::BlockListDialog>(platform, entries),
        "a saved block list loads back as it was");
  return 0;
}
