#include "online/http_request.h"

#include <optional>

namespace sg::online {

namespace {

constexpr std::uint32_t kStatusOk = 200;
constexpr std::uint32_t kStatusDenied = 401;

// Always from the server, never from the cache, and no redirect behind the program's back.
constexpr std::uint32_t kRequestFlags =
    platform::request_flags::kReload | platform::request_flags::kExistingConnect |
    platform::request_flags::kNoCacheWrite | platform::request_flags::kNoAutoRedirect;

bool IsRedirect(std::uint32_t status) {
  return status == 301 || status == 302 || status == 303;
}

// The value of the "Location" header, without its line end.
std::optional<std::string> LocationOf(const std::string& raw_headers) {
  constexpr std::string_view kLocation = "\r\nLocation: ";
  const std::size_t found = raw_headers.find(kLocation);
  if (found == std::string::npos) return std::nullopt;
  const std::size_t start = found + kLocation.size();
  const std::size_t end = raw_headers.find_first_of("\r\n", start);
  return raw_headers.substr(start, end == std::string::npos ? end : end - start);
}

}  // namespace

HttpRequest::~HttpRequest() {
  CloseRequest();
  if (session_) platform_.internet.Close(session_);
}

void HttpRequest::CloseRequest() {
  if (request_) platform_.internet.Close(request_);
  if (connection_) platform_.internet.Close(connection_);
  request_ = 0;
  connection_ = 0;
}

bool HttpRequest::Open(const platform::CrackedUrl& where, std::uint32_t flags,
                       std::string_view headers) {
  platform::InternetPort& internet = platform_.internet;
  connection_ = internet.Connect(session_, where.host, where.port);
  if (!connection_) return false;
  request_ = internet.OpenRequest(connection_, where.object, flags);
  if (!request_) return false;
  internet.AddRequestHeaders(request_, std::string(headers));
  return internet.SendRequest(request_) == platform::WinError::kSuccess;
}

bool HttpRequest::Send(const std::string& address, std::string_view headers) {
  platform::InternetPort& internet = platform_.internet;
  const bool has_scheme =
      address.find("http://") != std::string::npos || address.find("https://") != std::string::npos;
  const std::string url = has_scheme ? address : "http://" + address;
  std::uint32_t flags = kRequestFlags;
  if (url.find("https://") != std::string::npos) flags |= platform::request_flags::kSecure;

  session_ = internet.OpenSession();
  if (!session_) {
    platform_.dialogs.MessageBox(nullptr, "Cannot open internet connection.", "Snapgate!",
                                 platform::kMbOk);
    return false;
  }
  const std::optional<platform::CrackedUrl> where = internet.CrackUrl(url);
  if (!where || !Open(*where, flags, headers)) return false;
  std::uint32_t status = internet.StatusCode(request_);
  if (status == kStatusDenied) {
    internet.AskForPassword(request_);
    if (internet.SendRequest(request_) != platform::WinError::kSuccess) return false;
    status = internet.StatusCode(request_);
  }
  if (!IsRedirect(status)) return true;

  const std::optional<std::string> target = LocationOf(internet.RawHeaders(request_));
  CloseRequest();
  if (!target) return false;
  const std::optional<platform::CrackedUrl> next = internet.CrackUrl(*target);
  return next && next->scheme == platform::UrlScheme::kHttp && Open(*next, flags, headers) &&
         internet.StatusCode(request_) == kStatusOk;
}

}  // namespace sg::online
