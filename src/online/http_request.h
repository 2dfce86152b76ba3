#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/ports/platform.h"

namespace sg::online {

// One GET with its session and connection; whatever is still open is closed at the end. A
// worker thread sends and reads; another thread may abort it meanwhile.
class HttpRequest {
 public:
  explicit HttpRequest(platform::Platform& platform) : platform_(platform) {}
  ~HttpRequest();
  HttpRequest(const HttpRequest&) = delete;
  HttpRequest& operator=(const HttpRequest&) = delete;

  // Sends the GET with the header lines (each ending in CR LF). "http://" goes in front of an
  // address that names neither HTTP scheme. A 401 brings up the system's password dialog and
  // the request goes once more; one redirect to a plain HTTP address is followed. True when a
  // body is there to read: the answer's, whatever its status, or the redirect target's when it
  // answered 200. Without a session the user is told so. Every request waits for the server
  // for a limited time only.
  bool Send(const std::string& url, std::string_view headers);
  // One read of the body; after an abort, an error.
  platform::InternetRead Read(std::span<std::uint8_t> buffer);
  std::optional<std::uint32_t> ContentLength();

  // From any thread: closes the request, which ends a send or a read that waits on it, and
  // makes every later one fail.
  void Abort();
  bool aborted() const;

 private:
  bool Open(const platform::CrackedUrl& where, std::uint32_t flags, std::string_view headers);
  void CloseRequest();
  // The request being sent or read; 0 once closed or aborted.
  platform::InternetHandle handle() const;

  platform::Platform& platform_;
  platform::InternetHandle session_ = 0;
  platform::InternetHandle connection_ = 0;
  mutable std::mutex mutex_;  // guards the request and the abort
  platform::InternetHandle request_ = 0;
  bool aborted_ = false;
};

}  // namespace sg::online
