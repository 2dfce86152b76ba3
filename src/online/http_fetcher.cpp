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
  HttpRequest request(platform_);
  running_ = &request;
  std::vector<std::string> lines;
  bool complete = false;
  if (local_path.empty()) {
    platform_.windows.RunDispatchingMessages([&] {
      if (request.Send(url, "Accept: text/*\r\n" + std::string(kUserAgent))) {
        lines = ReadResponseLines(request);
      }
    });
  } else {
    platform_.windows.RunDispatchingMessages([&] {
      complete = request.Send(url, kUserAgent) &&
                 DownloadToFile(platform_, request, local_path, status_window);
    });
  }
  running_ = nullptr;
  last_fetch_cancelled_ = request.aborted();
  // A cancel that came as the last block arrived still counts: the file goes too.
  if (complete && last_fetch_cancelled_) platform_.files.Delete(local_path);
  last_download_complete_ = complete && !last_fetch_cancelled_;
  if (local_path.empty())
    lines_ = last_fetch_cancelled_ ? std::vector<std::string>() : std::move(lines);
  return lines_;
}

void HttpFetcher::Cancel() {
  if (running_) running_->Abort();
}

}  // namespace sg::online
