#pragma once

#include <string>
#include <vector>

#include "online/http_request.h"
#include "platform/ports/platform.h"

namespace sg::online {

// HTTP GETs for the user-interface thread, one at a time in the whole process. A worker thread
// does the network work while the caller goes on dispatching its window messages; a message
// handler that runs meanwhile must neither start another fetch nor free the fetcher.
class HttpFetcher {
 public:
  explicit HttpFetcher(platform::Platform& platform) : platform_(platform) {}

  // Without a local path: the body's lines, each keeping its line feed (error pages included;
  // none when nothing answered). With one: the body goes to that file, its progress to the
  // status window, and the lines stay as the last text fetch left them.
  const std::vector<std::string>& Fetch(const std::string& url, const std::string& local_path = {},
                                        platform::DialogHost* status_window = nullptr);
  // True when the last fetch put a complete file at its local path.
  bool last_download_complete() const { return last_download_complete_; }
  // From a message handler while Fetch waits: the fetch stops at once and brings nothing, no
  // lines and no file.
  void Cancel();
  bool last_fetch_cancelled() const { return last_fetch_cancelled_; }

 private:
  platform::Platform& platform_;
  std::vector<std::string> lines_;
  bool last_download_complete_ = false;
  bool last_fetch_cancelled_ = false;
  HttpRequest* running_ = nullptr;
};

}  // namespace sg::online
