#include "platform/fake/fake_url_cache.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace sg::platform::fake {

namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
// Days from 1 January 1601 to 1 January 1970.
constexpr std::int64_t kDaysBefore1970 = 134'774;
// FileTimeToSystemTime takes nothing with the top bit set.
constexpr FileTime kLargestConvertible = 0x7FFF'FFFF'FFFF'FFFF;

}  // namespace

void FakeUrlCache::Add(const UrlCacheEntry& entry) {
  AddGrowing(entry, 0, 0);
}

void FakeUrlCache::AddGrowing(const UrlCacheEntry& entry, std::uint32_t growth, int times) {
  for (auto& [key, stored] : entries_) {
    if (stored.entry.source_url == entry.source_url) {
      stored = {entry, 0, growth, times};
      return;
    }
  }
  entries_[next_key_++] = {entry, 0, growth, times};
}

void FakeUrlCache::FailFindAt(std::size_t place, WinError error) {
  failures_[place] = error;
}

std::vector<UrlCacheEntry> FakeUrlCache::Entries() const {
  std::vector<UrlCacheEntry> all;
  for (const auto& [key, stored] : entries_) all.push_back(stored.entry);
  return all;
}

bool FakeUrlCache::Has(const std::string& source_url) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const auto& item) { return item.second.entry.source_url == source_url; });
}

std::uint32_t FakeUrlCache::NeededSize(const std::string& source_url) const {
  for (const auto& [key, stored] : entries_) {
    if (stored.entry.source_url == source_url) return SizeOf(stored);
  }
  return 0;
}

std::uint32_t FakeUrlCache::SizeOf(const Stored& stored) {
  // The strings follow the fixed part, each with its terminating zero.
  std::uint32_t size = kFixedSize + static_cast<std::uint32_t>(stored.entry.source_url.size()) + 1;
  if (!stored.entry.local_file_name.empty()) {
    size += static_cast<std::uint32_t>(stored.entry.local_file_name.size()) + 1;
  }
  return size + stored.extra;
}

UrlCacheFound FakeUrlCache::Answer(Find& find, std::uint32_t buffer_size) {
  buffer_sizes_.push_back(buffer_size);
  UrlCacheFound found;
  if (auto failure = failures_.find(find.place); failure != failures_.end()) {
    found.error = failure->second;
    return found;
  }
  auto next = entries_.lower_bound(find.next_key);
  if (next == entries_.end()) {
    found.error = WinError::kNoMoreItems;
    return found;
  }
  Stored& stored = next->second;
  const std::uint32_t needed = SizeOf(stored);
  if (buffer_size < needed) {
    found.error = WinError::kInsufficientBuffer;
    found.needed_size = needed;
    if (stored.growths_left > 0) {
      --stored.growths_left;
      stored.extra += stored.growth;
    }
    return found;
  }
  found.entry = stored.entry;
  find.next_key = next->first + 1;
  ++find.place;
  return found;
}

UrlCacheFound FakeUrlCache::FindFirstEntry(std::uint32_t buffer_size) {
  Find find;
  UrlCacheFound found = Answer(find, buffer_size);
  // Like the real call, a failed first find leaves no enumeration open.
  if (found.error != WinError::kSuccess) return found;
  found.handle = next_handle_++;
  finds_[found.handle] = find;
  return found;
}

UrlCacheFound FakeUrlCache::FindNextEntry(CacheFindHandle handle, std::uint32_t buffer_size) {
  auto find = finds_.find(handle);
  if (find == finds_.end()) {
    buffer_sizes_.push_back(buffer_size);
    UrlCacheFound found;
    found.error = WinError::kInvalidHandle;
    return found;
  }
  return Answer(find->second, buffer_size);
}

bool FakeUrlCache::DeleteEntry(const std::string& source_url) {
  deletions_.push_back(source_url);
  return std::erase_if(entries_, [&](const auto& item) {
           return item.second.entry.source_url == source_url;
         }) > 0;
}

std::optional<LocalTime> FakeUrlCache::ToLocalTime(FileTime utc) {
  if (utc > kLargestConvertible) return std::nullopt;
  const std::int64_t shift = std::int64_t{local_offset_minutes_} * 60 * kTicksPerSecond;
  const auto moment = static_cast<std::int64_t>(utc);
  if (shift > 0 && moment > INT64_MAX - shift) return std::nullopt;
  const std::int64_t local = moment + shift;
  if (local < 0) return std::nullopt;

  using namespace std::chrono;
  const std::int64_t seconds = local / kTicksPerSecond;
  const std::int64_t day = seconds / 86'400;
  const std::int64_t in_day = seconds % 86'400;
  const year_month_day date{sys_days{days{day - kDaysBefore1970}}};
  LocalTime time;
  time.year = static_cast<int>(date.year());
  time.month = static_cast<int>(static_cast<unsigned>(date.month()));
  time.day = static_cast<int>(static_cast<unsigned>(date.day()));
  time.hour = static_cast<int>(in_day / 3600);
  time.minute = static_cast<int>(in_day / 60 % 60);
  time.second = static_cast<int>(in_day % 60);
  return time;
}

}  // namespace sg::platform::fake
