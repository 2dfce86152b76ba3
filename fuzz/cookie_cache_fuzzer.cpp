// The browser's URL cache as the cookie cutter reads it: entries with their local file names
// (the cookie's short name comes from there), hit counts and times. One entry a line, fields
// separated by tabs: source URL, local file name, hits, last access and expiry (FILETIME
// ticks), the kind ("cookie" or anything else), and optionally the bytes by which the entry
// grows while it is read and how many times. A first line "offset <minutes>" sets the local
// clock's distance from UTC.
#include <algorithm>
#include <charconv>
#include <climits>
#include <string>
#include <vector>

#include "common/ascii.h"
#include "fuzz/fuzz_check.h"
#include "platform/fake/fake_url_cache.h"
#include "tools/cookie_cutter.h"

namespace {

using sg::fuzz::Check;
using sg::platform::UrlCacheEntry;
using sg::tools::CookieRow;

constexpr std::size_t kMostEntries = 32;

template <typename Number>
Number NumberOf(std::string_view text) {
  Number value{};
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = std::min(text.find(separator, start), text.size());
    parts.push_back(text.substr(start, end - start));
    if (end == text.size()) return parts;
    start = end + 1;
  }
}

std::string LastComponentLower(const std::string& path) {
  return sg::AsciiLower(path.substr(path.rfind('\\') + 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  sg::platform::fake::FakeUrlCache cache;
  std::vector<std::string_view> lines = Split(sg::fuzz::TextOf(data, size), '\n');
  if (!lines.empty() && lines.front().starts_with("offset ")) {
    cache.SetLocalOffsetMinutes(NumberOf<int>(lines.front().substr(7)));
    lines.erase(lines.begin());
  }
  bool grows = false;
  for (std::size_t i = 0; i < lines.size() && i < kMostEntries; ++i) {
    std::vector<std::string_view> fields = Split(lines[i], '\t');
    fields.resize(std::max<std::size_t>(fields.size(), 8));
    const UrlCacheEntry entry{
        .source_url = std::string(fields[0]),
        .local_file_name = std::string(fields[1]),
        .entry_type = fields[5] == "cookie" ? sg::platform::kCookieCacheEntry | 1u : 1u,
        .hit_count = NumberOf<std::uint32_t>(fields[2]),
        .last_access_time = NumberOf<std::uint64_t>(fields[3]),
        .expire_time = NumberOf<std::uint64_t>(fields[4])};
    const auto growth = NumberOf<std::uint32_t>(fields[6]);
    grows = grows || growth != 0;
    cache.AddGrowing(entry, growth, std::min(NumberOf<int>(fields[7]), 64));
  }

  const auto entries = cache.Entries();
  const auto cookies = static_cast<std::size_t>(
      std::count_if(entries.begin(), entries.end(), [](const UrlCacheEntry& entry) {
        return (entry.entry_type & sg::platform::kCookieCacheEntry) != 0;
      }));
  std::vector<CookieRow> rows = sg::tools::ReadCookies(cache);
  Check(cache.OpenFinds() == 0, "a walk closes its enumeration");
  Check(grows ? rows.size() <= cookies : rows.size() == cookies,
        "every cookie at most once; only a growing entry may end the walk early");
  for (const CookieRow& row : rows) {
    const std::string& used = row[sg::tools::kCookieUsed];
    Check(sg::tools::UsedCountOf(used) ==
              std::min<std::int64_t>(NumberOf<std::uint32_t>(used), INT32_MAX),
          "the Used column sorts by the hit count it shows");
    for (const int column : {sg::tools::kCookieAccessed, sg::tools::kCookieExpires}) {
      const std::string& time = row[static_cast<std::size_t>(column)];
      Check(time.empty() || time.size() == 19 || time.size() == 20, "MM/DD/YYYY hh:mm:ss");
    }
    Check(row[sg::tools::kCookieLocalPath].find('\\') != std::string::npos ||
              row[sg::tools::kCookieName] == "Unknown",
          "a local name without a folder shows as Unknown");
  }

  for (int column = 0; column < sg::tools::kCookieColumnCount; ++column) {
    for (const bool ascending : {true, false}) {
      std::vector<CookieRow> sorted = rows;
      sg::tools::SortCookieRows(sorted, column, ascending);
      Check(std::is_permutation(sorted.begin(), sorted.end(), rows.begin(), rows.end()),
            "sorting keeps every row");
      if (column != sg::tools::kCookieUsed) continue;
      for (std::size_t i = 1; i < sorted.size(); ++i) {
        const auto before = sg::tools::UsedCountOf(sorted[i - 1][1]);
        const auto after = sg::tools::UsedCountOf(sorted[i][1]);
        Check(ascending ? before <= after : before >= after, "the Used column sorts by number");
      }
    }
  }

  if (!rows.empty() && !grows) {
    // "Delete" with the first cookie's short name, as the dialog offers it.
    const std::string name = rows.front()[sg::tools::kCookieName];
    const std::string wanted = sg::AsciiLower(name);
    sg::tools::DeleteCookies(cache, name);
    Check(cache.OpenFinds() == 0, "the deletion's walk closes its enumeration");
    for (const CookieRow& row : sg::tools::ReadCookies(cache)) {
      const std::string& local = row[sg::tools::kCookieLocalPath];
      Check(local.find('\\') == std::string::npos ||
                LastComponentLower(local).find(wanted) == std::string::npos,
            "no cookie named so is left");
    }
  }
  return 0;
}
