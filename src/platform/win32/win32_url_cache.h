#pragma once

#include "platform/ports/url_cache.h"

namespace sg::platform::win32 {

// WinINet's URL cache of the logged-on user.
class Win32UrlCache final : public UrlCachePort {
 public:
  UrlCacheFound FindFirstEntry(std::uint32_t buffer_size) override;
  UrlCacheFound FindNextEntry(CacheFindHandle handle, std::uint32_t buffer_size) override;
  void FindClose(CacheFindHandle handle) override;
  bool DeleteEntry(const std::string& source_url) override;
  std::optional<LocalTime> ToLocalTime(FileTime utc) override;
};

}  // namespace sg::platform::win32
