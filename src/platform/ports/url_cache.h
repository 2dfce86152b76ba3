#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/ports/win_error.h"

namespace sg::platform {

// An enumeration of the URL cache; 0 is none.
using CacheFindHandle = std::uintptr_t;

// FILETIME as one number: 100-nanosecond intervals since 1 January 1601.
using FileTime = std::uint64_t;

// Entry type bits of the URL cache.
inline constexpr std::uint32_t kCookieCacheEntry = 0x00100000;

// What the program reads of an INTERNET_CACHE_ENTRY_INFOA.
struct UrlCacheEntry {
  std::string source_url;
  std::string local_file_name;  // empty when the entry has no local file
  std::uint32_t entry_type = 0;
  std::uint32_t hit_count = 0;
  FileTime last_access_time = 0;  // UTC
  FileTime expire_time = 0;       // UTC
};

// The answer of one find call made with an entry buffer of a given size.
struct UrlCacheFound {
  // kSuccess with an entry; kInsufficientBuffer with the size the entry needs; kNoMoreItems at
  // the end; anything else is a failure.
  WinError error = WinError::kSuccess;
  std::uint32_t needed_size = 0;
  UrlCacheEntry entry;
  // FindFirstEntry only: the enumeration to go on with; 0 when the call failed.
  CacheFindHandle handle = 0;
};

// A moment as the local clock shows it (SYSTEMTIME).
struct LocalTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// WinINet's URL cache, where the browser keeps its cookies.
class UrlCachePort {
 public:
  virtual ~UrlCachePort() = default;
  // FindFirstUrlCacheEntryA without a search pattern, into a buffer of buffer_size bytes.
  virtual UrlCacheFound FindFirstEntry(std::uint32_t buffer_size) = 0;
  // FindNextUrlCacheEntryA; the handle stays open whatever the answer.
  virtual UrlCacheFound FindNextEntry(CacheFindHandle handle, std::uint32_t buffer_size) = 0;
  // FindCloseUrlCache.
  virtual void FindClose(CacheFindHandle handle) = 0;
  // DeleteUrlCacheEntryA by source URL.
  virtual bool DeleteEntry(const std::string& source_url) = 0;
  // FileTimeToLocalFileTime, then FileTimeToSystemTime; nothing when either fails.
  virtual std::optional<LocalTime> ToLocalTime(FileTime utc) = 0;
};

}  // namespace sg::platform
