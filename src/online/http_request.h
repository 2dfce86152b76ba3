#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ports/platform.h"

namespace sg::online {

// One GET with its session and connection; whatever is still open is closed at the end.
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
  // answered 200. Without a session the user is told so.
  bool Send(const std::string& url, std::string_view headers);
  platform::InternetHandle handle() const { return request_; }

 private:
  bool Open(const platform::CrackedUrl& where, std::uint32_t flags, std::string_view headers);
  void CloseRequest();

  platform::Platform& platform_;
  platform::InternetHandle session_ = 0;
  platform::InternetHandle connection_ = 0;
  platform::InternetHandle request_ = 0;
};

}  // namespace sg::online
