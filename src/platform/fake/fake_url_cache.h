#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/ports/url_cache.h"

namespace sg::platform::fake {

// A URL cache kept in memory, enumerated in the order entries were added. An entry needs a
// buffer as big as the real structure with its strings behind it, so a small buffer gets
// ERROR_INSUFFICIENT_BUFFER and the size it would take, and the enumeration stays where it is.
class FakeUrlCache final : public UrlCachePort {
 public:
  // The room the fixed part of INTERNET_CACHE_ENTRY_INFOA takes before its strings.
  static constexpr std::uint32_t kFixedSize = 80;

  // Adds an entry at the end of the enumeration order, or replaces the one with its URL.
  void Add(const UrlCacheEntry& entry);
  // An entry that a browser rewrites while it is read: each of the next `times` calls that
  // find the buffer too small see it grow by `growth` bytes right after telling its size.
  void AddGrowing(const UrlCacheEntry& entry, std::uint32_t growth, int times);
  // The find call that would return the entry at this place of the enumeration (counted from
  // 0) fails with this error instead, as a damaged index does.
  void FailFindAt(std::size_t place, WinError error);
  // The local clock runs this many minutes ahead of UTC.
  void SetLocalOffsetMinutes(int minutes) { local_offset_minutes_ = minutes; }

  std::vector<UrlCacheEntry> Entries() const;
  bool Has(const std::string& source_url) const;
  // Every find call's buffer size, in call order.
  std::vector<std::uint32_t> BufferSizes() const { return buffer_sizes_; }
  // Every deletion asked for, found or not.
  std::vector<std::string> Deletions() const { return deletions_; }
  std::size_t OpenFinds() const { return finds_.size(); }
  // The size a buffer needs for the entry with this URL now.
  std::uint32_t NeededSize(const std::string& source_url) const;

  UrlCacheFound FindFirstEntry(std::uint32_t buffer_size) override;
  UrlCacheFound FindNextEntry(CacheFindHandle handle, std::uint32_t buffer_size) override;
  void FindClose(CacheFindHandle handle) override { finds_.erase(handle); }
  bool DeleteEntry(const std::string& source_url) override;
  std::optional<LocalTime> ToLocalTime(FileTime utc) override;

 private:
  struct Stored {
    UrlCacheEntry entry;
    std::uint32_t extra = 0;  // bytes it has grown by
    std::uint32_t growth = 0;
    int growths_left = 0;
  };
  struct Find {
    std::uint64_t next_key = 0;  // the smallest key not yet returned
    std::size_t place = 0;       // how many entries it has returned
  };

  static std::uint32_t SizeOf(const Stored& stored);
  // Answers for the first entry at or after the find's position.
  UrlCacheFound Answer(Find& find, std::uint32_t buffer_size);

  std::map<std::uint64_t, Stored> entries_;  // by insertion key, in enumeration order
  std::uint64_t next_key_ = 1;
  std::map<CacheFindHandle, Find> finds_;
  CacheFindHandle next_handle_ = 0x500;
  std::map<std::size_t, WinError> failures_;
  std::vector<std::uint32_t> buffer_sizes_;
  std::vector<std::string> deletions_;
  int local_offset_minutes_ = 0;
};

}  // namespace sg::platform::fake
