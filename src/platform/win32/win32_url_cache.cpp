#include "platform/win32/win32_url_cache.h"

#include <windows.h>

#include <wininet.h>

#include <algorithm>
#include <vector>

namespace sg::platform::win32 {

namespace {

// An entry buffer of the size the caller chose, aligned for the structure at its start. It is
// never smaller in memory than the structure, but WinINet is told only the chosen size.
class EntryBuffer {
 public:
  explicit EntryBuffer(std::uint32_t size)
      : words_((std::max<std::size_t>(size, sizeof(INTERNET_CACHE_ENTRY_INFOA)) + 7) / 8),
        size_(size) {
    Info()->dwStructSize = sizeof(INTERNET_CACHE_ENTRY_INFOA);
  }
  INTERNET_CACHE_ENTRY_INFOA* Info() {
    return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(words_.data());
  }
  DWORD* Size() { return &size_; }

 private:
  std::vector<std::uint64_t> words_;
  DWORD size_;
};

FileTime Join(const FILETIME& time) {
  return (FileTime{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

UrlCacheEntry EntryOf(const INTERNET_CACHE_ENTRY_INFOA& info) {
  UrlCacheEntry entry;
  if (info.lpszSourceUrlName) entry.source_url = info.lpszSourceUrlName;
  if (info.lpszLocalFileName) entry.local_file_name = info.lpszLocalFileName;
  entry.entry_type = info.CacheEntryType;
  entry.hit_count = info.dwHitRate;
  entry.last_access_time = Join(info.LastAccessTime);
  entry.expire_time = Join(info.ExpireTime);
  return entry;
}

// The answer of a find call that returned `succeeded`.
UrlCacheFound Answer(bool succeeded, EntryBuffer& buffer) {
  UrlCacheFound found;
  if (succeeded) {
    found.entry = EntryOf(*buffer.Info());
    return found;
  }
  found.error = static_cast<WinError>(GetLastError());
  if (found.error == WinError::kInsufficientBuffer) found.needed_size = *buffer.Size();
  return found;
}

}  // namespace

UrlCacheFound Win32UrlCache::FindFirstEntry(std::uint32_t buffer_size) {
  EntryBuffer buffer(buffer_size);
  HANDLE find = FindFirstUrlCacheEntryA(nullptr, buffer.Info(), buffer.Size());
  UrlCacheFound found = Answer(find != nullptr, buffer);
  found.handle = reinterpret_cast<CacheFindHandle>(find);
  return found;
}

UrlCacheFound Win32UrlCache::FindNextEntry(CacheFindHandle handle, std::uint32_t buffer_size) {
  EntryBuffer buffer(buffer_size);
  const bool succeeded =
      FindNextUrlCacheEntryA(reinterpret_cast<HANDLE>(handle), buffer.Info(), buffer.Size());
  return Answer(succeeded, buffer);
}

void Win32UrlCache::FindClose(CacheFindHandle handle) {
  FindCloseUrlCache(reinterpret_cast<HANDLE>(handle));
}

bool Win32UrlCache::DeleteEntry(const std::string& source_url) {
  return DeleteUrlCacheEntryA(source_url.c_str());
}

std::optional<LocalTime> Win32UrlCache::ToLocalTime(FileTime utc) {
  FILETIME universal{static_cast<DWORD>(utc), static_cast<DWORD>(utc >> 32)};
  FILETIME local{};
  SYSTEMTIME parts{};
  if (!FileTimeToLocalFileTime(&universal, &local) || !FileTimeToSystemTime(&local, &parts)) {
    return std::nullopt;
  }
  return LocalTime{parts.wYear, parts.wMonth,  parts.wDay,
                   parts.wHour, parts.wMinute, parts.wSecond};
}

}  // namespace sg::platform::win32
