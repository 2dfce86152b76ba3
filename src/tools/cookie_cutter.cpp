#include "tools/cookie_cutter.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "common/ascii.h"

namespace sg::tools {

namespace {

using platform::WinError;

// An entry that keeps outgrowing the buffer, or wants an absurd one, ends the walk rather than
// holding the dialog up.
constexpr int kMostRegrowsInARow = 16;
constexpr std::uint32_t kLargestEntryBuffer = 1u << 20;

bool IsCookie(const platform::UrlCacheEntry& entry) {
  return (entry.entry_type & platform::kCookieCacheEntry) != 0;
}

// The last path component, or nothing when the name has no "\".
std::optional<std::string_view> LastComponent(std::string_view local_file_name) {
  const auto slash = local_file_name.rfind('\\');
  if (slash == std::string_view::npos) return std::nullopt;
  return local_file_name.substr(slash + 1);
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(AsciiLower(x)) < static_cast<unsigned char>(AsciiLower(y));
  });
}

}  // namespace

std::string CookieShortName(std::string_view local_file_name) {
  const auto component = LastComponent(local_file_name);
  if (!component) return "Unknown";
  const auto at = component->find('@');
  return std::string(at == std::string_view::npos ? *component : component->substr(at + 1));
}

std::string FormatCookieTime(platform::UrlCachePort& cache, platform::FileTime utc) {
  const auto local = cache.ToLocalTime(utc);
  if (!local) return {};
  char text[64];
  std::snprintf(text, sizeof text, "%.2d/%.2d/%.2d %.2d:%.2d:%.2d", local->month, local->day,
                local->year, local->hour, local->minute, local->second);
  return text;
}

void WalkUrlCache(platform::UrlCachePort& cache,
                  const std::function<void(const platform::UrlCacheEntry&)>& visit) {
  std::uint32_t buffer_size = kFirstEntryBufferSize;
  platform::CacheFindHandle find = 0;
  int regrows = 0;
  for (;;) {
    // The same call again after a regrow: first until it has given a handle, then next.
    platform::UrlCacheFound found =
        find ? cache.FindNextEntry(find, buffer_size) : cache.FindFirstEntry(buffer_size);
    if (found.error == WinError::kInsufficientBuffer) {
      if (++regrows > kMostRegrowsInARow || found.needed_size > kLargestEntryBuffer) break;
      buffer_size = found.needed_size;
      continue;
    }
    if (found.error != WinError::kSuccess) break;  // kNoMoreItems is the normal end
    regrows = 0;
    if (!find) find = found.handle;
    visit(found.entry);
    if (!find) break;
  }
  if (find) cache.FindClose(find);
}

std::vector<CookieRow> ReadCookies(platform::UrlCachePort& cache) {
  std::vector<CookieRow> rows;
  WalkUrlCache(cache, [&](const platform::UrlCacheEntry& entry) {
    if (!IsCookie(entry)) return;
    CookieRow& row = rows.emplace_back();
    row[kCookieName] = CookieShortName(entry.local_file_name);
    row[kCookieUsed] = std::to_string(entry.hit_count);
    row[kCookieUrl] = entry.source_url;
    row[kCookieAccessed] = FormatCookieTime(cache, entry.last_access_time);
    row[kCookieExpires] = FormatCookieTime(cache, entry.expire_time);
    row[kCookieLocalPath] = entry.local_file_name;
  });
  return rows;
}

void DeleteCookies(platform::UrlCachePort& cache, std::string_view short_name) {
  const std::string wanted = AsciiLower(short_name);
  // Deleted once the walk is over, so that no enumeration sees the cache change under it.
  std::vector<std::string> doomed;
  WalkUrlCache(cache, [&](const platform::UrlCacheEntry& entry) {
    if (!IsCookie(entry)) return;
    const auto component = LastComponent(entry.local_file_name);
    if (component && AsciiLower(*component).find(wanted) != std::string::npos) {
      doomed.push_back(entry.source_url);
    }
  });
  for (const std::string& url : doomed) cache.DeleteEntry(url);
}

std::int64_t UsedCountOf(std::string_view text) {
  std::string digits;
  for (const char c : text) {
    if (c != ',' && c != 'k') digits += c;
  }
  // Read as atoi would: blanks, a sign, then digits up to the first other character.
  std::size_t at = digits.find_first_not_of(" \t\r\n\v\f");
  if (at == std::string::npos) return 0;
  bool negative = false;
  if (digits[at] == '+' || digits[at] == '-') negative = digits[at++] == '-';
  std::int64_t value = 0;
  for (; at < digits.size() && digits[at] >= '0' && digits[at] <= '9'; ++at) {
    value = std::min<std::int64_t>(value * 10 + (digits[at] - '0'), INT32_MAX);
  }
  return negative ? -value : value;
}

void SortCookieRows(std::vector<CookieRow>& rows, int column, bool ascending) {
  if (column < 0 || column >= kCookieColumnCount) return;
  const auto at = static_cast<std::size_t>(column);
  std::stable_sort(rows.begin(), rows.end(), [&](const CookieRow& a, const CookieRow& b) {
    const CookieRow& first = ascending ? a : b;
    const CookieRow& second = ascending ? b : a;
    if (column == kCookieUsed) return UsedCountOf(first[at]) < UsedCountOf(second[at]);
    return LessIgnoringCase(first[at], second[at]);
  });
}

bool CookieSortState::Flip(int column) {
  if (column < 0 || column >= kCookieColumnCount) return false;
  auto& flag = ascending_[static_cast<std::size_t>(column)];
  flag = !flag;
  return flag;
}

bool CookieSortState::ascending(int column) const {
  if (column < 0 || column >= kCookieColumnCount) return false;
  return ascending_[static_cast<std::size_t>(column)];
}

}  // namespace sg::tools
