#include "online/http_fetcher.h"

#include <mutex>
#include <string_view>

#include "online/file_download.h"
#include "online/http_request.h"
#include "online/response_lines.h"

namespace sg::online {

namespace {

constexpr std::string_view kUserAgent = "User-Agent: Snapgate!/3.293\r\n";

// Serialises the fetches of every fetcher. The thread that runs one may enter again from a
// message handler while it waits, as it could with a Win32 mutex.
std::recursive_mutex& FetchMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

}  // namespace

const std::vector<std::string>& HttpFetcher::Fetch(const std::string& url,
                                                   const std::string& local_path,
                                                   platform::DialogHost* status_window) {
  std::lock_guard lock(FetchMutex());
  last_download_complete_ = false;
  if (local_path.empty()) {
    std::vector<std::string> lines;
    platform_.windows.RunDispatchingMessages([&] {
      HttpRequest request(platform_);
      if (request.Send(url, "Accept: text/*\r\n" + std::string(kUserAgent))) {
        lines = ReadResponseLines(platform_.internet, request.handle());
      }
    });
    lines_ = std::move(lines);
  } else {
    bool complete = false;
    platform_.windows.RunDispatchingMessages([&] {
      HttpRequest request(platform_);
      complete = request.Send(url, kUserAgent) &&
                 DownloadToFile(platform_, request.handle(), local_path, status_window);
    });
    last_download_complete_ = complete;
  }
  return lines_;
}

}  // namespace sg::online
