// The URL cache through the real WinINet of Wine. The cache belongs to the whole prefix and
// outlives the test run, so every test makes entries under names of its own, looks only at
// those, and deletes them again.
#include "platform/win32/win32_url_cache.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <wininet.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "tools/cookie_cutter.h"

namespace sg::platform::win32 {
namespace {

constexpr DWORD kSentinel = 0xDEADBEEF;

class UrlCachePortUnderWine : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const std::string& url : made_) DeleteUrlCacheEntryA(url.c_str());
  }

  std::string Site(const std::string& what) {
    return "snapgate-" + what + "-" + std::to_string(GetCurrentProcessId()) + ".example";
  }

  // A cookie entry as the browser commits one: a text file in the cookie container. A long
  // header makes the entry bigger than the first buffer of a walk.
  std::string CommitCookie(const std::string& site, bool with_file, std::size_t header_size = 0) {
    const std::string url = "Cookie:ann@" + site + "/";
    char path[MAX_PATH] = {};
    if (with_file) {
      // The cache picks the cookie folder and a name; the file gets the browser's kind of name
      // in that folder.
      EXPECT_TRUE(CreateUrlCacheEntryA(url.c_str(), 0, "txt", path, 0)) << GetLastError();
      std::string named = path;
      named = named.substr(0, named.rfind('\\') + 1) + "ann@" + site + "[1].txt";
      lstrcpynA(path, named.c_str(), MAX_PATH);
      HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
      DWORD written = 0;
      WriteFile(file, "id\n1\n", 5, &written, nullptr);
      CloseHandle(file);
    }
    std::string header(header_size, 'h');
    FILETIME expires{};
    SYSTEMTIME in_2039{2039, 6, 3, 15, 12, 0, 0, 0};
    SystemTimeToFileTime(&in_2039, &expires);
    const FILETIME never{};
    SetLastError(kSentinel);
    const BOOL committed = CommitUrlCacheEntryA(
        url.c_str(), with_file ? path : nullptr, expires, never, COOKIE_CACHE_ENTRY,
        header.empty() ? nullptr : reinterpret_cast<BYTE*>(header.data()),
        static_cast<DWORD>(header.size()), "txt", nullptr);
    EXPECT_TRUE(committed) << "CommitUrlCacheEntryA " << url << ": error " << GetLastError();
    made_.push_back(url);
    return url;
  }

  struct Walked {
    std::vector<std::string> urls;
    std::vector<std::string> refused;  // those that needed a second call with a bigger buffer
  };
  // Every entry, each asked for with a buffer of this size and, when that is too small, once
  // more with the size the answer asked for.
  Walked WalkWith(std::uint32_t size) {
    Walked walked;
    CacheFindHandle find = 0;
    for (;;) {
      UrlCacheFound found = find ? cache_.FindNextEntry(find, size) : cache_.FindFirstEntry(size);
      if (found.error == WinError::kInsufficientBuffer) {
        EXPECT_GT(found.needed_size, size);
        EXPECT_EQ(found.handle, 0u) << "a refused first call opens nothing";
        found = find ? cache_.FindNextEntry(find, found.needed_size)
                     : cache_.FindFirstEntry(found.needed_size);
        if (found.error == WinError::kSuccess) walked.refused.push_back(found.entry.source_url);
      }
      if (found.error != WinError::kSuccess) {
        EXPECT_EQ(found.error, WinError::kNoMoreItems) << static_cast<int>(found.error);
        break;
      }
      if (!find) find = found.handle;
      walked.urls.push_back(found.entry.source_url);
    }
    if (find) cache_.FindClose(find);
    return walked;
  }

  std::optional<UrlCacheEntry> Find(const std::string& url) {
    std::optional<UrlCacheEntry> match;
    tools::WalkUrlCache(cache_, [&](const UrlCacheEntry& entry) {
      if (entry.source_url == url) match = entry;
    });
    return match;
  }

  static std::vector<std::string> Urls(const std::vector<UrlCacheEntry>& entries) {
    std::vector<std::string> urls;
    for (const auto& entry : entries) urls.push_back(entry.source_url);
    return urls;
  }

  Win32UrlCache cache_;
  std::vector<std::string> made_;
};

TEST_F(UrlCachePortUnderWine, ACookieSetThroughWinInetIsACookieEntryWithItsFileAndExpiry) {
  const std::string site = Site("set");
  SetLastError(kSentinel);
  ASSERT_TRUE(InternetSetCookieA(("http://" + site + "/").c_str(), "snapgate",
                                 "chip; expires=Wed, 15-Jun-2039 12:00:00 GMT"))
      << GetLastError();

  std::optional<UrlCacheEntry> cookie;
  tools::WalkUrlCache(cache_, [&](const UrlCacheEntry& entry) {
    if (entry.source_url.find(site) != std::string::npos) cookie = entry;
  });
  ASSERT_TRUE(cookie) << "no entry for " << site;
  made_.push_back(cookie->source_url);
  EXPECT_NE(cookie->entry_type & kCookieCacheEntry, 0u) << std::hex << cookie->entry_type;
  ASSERT_FALSE(cookie->local_file_name.empty());
  EXPECT_NE(GetFileAttributesA(cookie->local_file_name.c_str()), INVALID_FILE_ATTRIBUTES)
      << cookie->local_file_name;
  // Wine keeps the cookie's own expiry out of the entry, but both times convert.
  EXPECT_TRUE(cache_.ToLocalTime(cookie->expire_time));
  const auto accessed = cache_.ToLocalTime(cookie->last_access_time);
  ASSERT_TRUE(accessed);
  EXPECT_GE(accessed->year, 2024) << "just now";

  EXPECT_TRUE(cache_.DeleteEntry(cookie->source_url));
  EXPECT_FALSE(Find(cookie->source_url)) << "deleted from the cache";
}

TEST_F(UrlCachePortUnderWine, AnEntryTooBigForTheBufferTellsItsSizeAndWaitsToBeAskedAgain) {
  CommitCookie(Site("small"), true);
  const std::string big = CommitCookie(Site("big"), true, 6000);
  CommitCookie(Site("after"), true);

  // A buffer far too small for any entry: each is first refused, then given.
  const Walked tiny = WalkWith(16);
  const Walked roomy = WalkWith(1u << 20);
  EXPECT_EQ(tiny.urls, roomy.urls) << "a refused call does not move the enumeration on";
  EXPECT_EQ(tiny.refused, tiny.urls);
  EXPECT_TRUE(roomy.refused.empty());

  const Walked first = WalkWith(tools::kFirstEntryBufferSize);
  EXPECT_EQ(first.urls, roomy.urls);
  EXPECT_NE(std::find(first.refused.begin(), first.refused.end(), big), first.refused.end())
      << "the entry with the long header needs more than the first buffer";
}

TEST_F(UrlCachePortUnderWine, AnEntryWithoutALocalFileHasAnEmptyPath) {
  const std::string url = CommitCookie(Site("bare"), false);
  const auto entry = Find(url);
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->local_file_name, "");
  EXPECT_NE(entry->entry_type & kCookieCacheEntry, 0u);
  EXPECT_EQ(tools::CookieShortName(entry->local_file_name), "Unknown");
}

TEST_F(UrlCachePortUnderWine, TheCookieCutterListsAndRemovesOnlyTheNamedCookies) {
  const std::string keep = CommitCookie(Site("keep"), true);
  const std::string drop = CommitCookie(Site("drop"), true);
  std::optional<tools::CookieRow> kept;
  for (const auto& row : tools::ReadCookies(cache_)) {
    if (row[tools::kCookieUrl] == keep) kept = row;
  }
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->at(tools::kCookieName), Site("keep") + "[1].txt");
  EXPECT_TRUE(kept->at(tools::kCookieExpires).starts_with("06/15/2039 "))
      << kept->at(tools::kCookieExpires);
  EXPECT_TRUE(kept->at(tools::kCookieLocalPath).ends_with("\\ann@" + Site("keep") + "[1].txt"));

  tools::DeleteCookies(cache_, Site("drop"));
  EXPECT_FALSE(Find(drop));
  EXPECT_TRUE(Find(keep));
}

TEST_F(UrlCachePortUnderWine, DeletingAnUnknownEntryFails) {
  SetLastError(kSentinel);
  EXPECT_FALSE(cache_.DeleteEntry("Cookie:ann@" + Site("never") + "/"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(UrlCachePortUnderWine, TimesComeOutOnTheLocalClockAndImpossibleOnesDoNot) {
  SYSTEMTIME utc{2004, 5, 4, 6, 7, 8, 9, 0};
  FILETIME moment{};
  ASSERT_TRUE(SystemTimeToFileTime(&utc, &moment));
  SYSTEMTIME expected{};
  ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &expected));

  const auto local =
      cache_.ToLocalTime((FileTime{moment.dwHighDateTime} << 32) | moment.dwLowDateTime);
  ASSERT_TRUE(local);
  EXPECT_EQ(local->year, expected.wYear);
  EXPECT_EQ(local->month, expected.wMonth);
  EXPECT_EQ(local->day, expected.wDay);
  EXPECT_EQ(local->hour, expected.wHour);
  EXPECT_EQ(local->minute, 8);
  EXPECT_EQ(local->second, 9);
  EXPECT_FALSE(cache_.ToLocalTime(0xFFFF'FFFF'FFFF'FFFF));
}

}  // namespace
}  // namespace sg::platform::win32
