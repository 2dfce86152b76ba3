#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ports/url_cache.h"

namespace sg::tools {

inline constexpr const char* kCookieCutterCaption = "Snapgate! Cookie Cutter";

// The size of the entry buffer that a walk of the cache starts with.
inline constexpr std::uint32_t kFirstEntryBufferSize = 4096;

// The columns of the cookie list, left to right.
enum CookieColumn : int {
  kCookieName = 0,
  kCookieUsed = 1,
  kCookieUrl = 2,
  kCookieAccessed = 3,
  kCookieExpires = 4,
  kCookieLocalPath = 5,
  kCookieColumnCount = 6,
};

// One cookie as the list shows it, a text per column.
using CookieRow = std::array<std::string, kCookieColumnCount>;

// The local file name's last path component after its first "@"; "Unknown" without a "\".
std::string CookieShortName(std::string_view local_file_name);

// A cache time in local time as "MM/DD/YYYY hh:mm:ss"; empty when it cannot be converted.
std::string FormatCookieTime(platform::UrlCachePort& cache, platform::FileTime utc);

// Calls `visit` for every entry of the cache, in enumeration order. An entry that outgrows the
// buffer is asked for again with the size it reported; any other failure ends the walk early.
void WalkUrlCache(platform::UrlCachePort& cache,
                  const std::function<void(const platform::UrlCacheEntry&)>& visit);

// Every cookie of the cache, in enumeration order.
std::vector<CookieRow> ReadCookies(platform::UrlCachePort& cache);

// Deletes every cookie whose local file name has a "\" and whose last path component contains
// the text, letter case ignored; an empty text matches them all.
void DeleteCookies(platform::UrlCachePort& cache, std::string_view short_name);

// The "Used" column sorts as a number: the text without "," and "k", read as a decimal.
std::int64_t UsedCountOf(std::string_view text);

// Sorts rows by a column, keeping rows that compare equal in the order they had.
void SortCookieRows(std::vector<CookieRow>& rows, int column, bool ascending);

// Which way each column sorts on its next header click. One object lives as long as the
// program, so that every opening of the dialog goes on from where the last one left off.
class CookieSortState {
 public:
  // Flips the column's flag; true when it now sorts ascending.
  bool Flip(int column);
  bool ascending(int column) const;

 private:
  std::array<bool, kCookieColumnCount> ascending_{};
};

}  // namespace sg::tools
