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

// A server that stops answering ends the request within half a minute.
constexpr platform::InternetTimeouts kTimeouts{
    .connect_ms = 30'000, .send_ms = 30'000, .receive_ms = 30'000};

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

platform::InternetHandle HttpRequest::handle() const {
  std::lock_guard lock(mutex_);
  return request_;
}

bool HttpRequest::aborted() const {
  std::lock_guard lock(mutex_);
  return aborted_;
}

void HttpRequest::Abort() {
  std::lock_guard lock(mutex_);
  aborted_ = true;
  if (request_) platform_.internet.Close(request_);
  request_ = 0;
}

void HttpRequest::CloseRequest() {
  {
    std::lock_guard lock(mutex_);
    if (request_) platform_.internet.Close(request_);
    request_ = 0;
  }
  if (connection_) platform_.internet.Close(connection_);
  connection_ = 0;
}

platform::InternetRead HttpRequest::Read(std::span<std::uint8_t> buffer) {
  const platform::InternetHandle request = handle();
  if (!request) return {.error = platform::kInternetOperationCancelled};
  return platform_.internet.ReadBody(request, buffer);
}

std::optional<std::uint32_t> HttpRequest::ContentLength() {
  return platform_.internet.ContentLength(handle());
}

bool HttpRequest::Open(const platform::CrackedUrl& where, std::uint32_t flags,
                       std::string_view headers) {
  platform::InternetPort& internet = platform_.internet;
  connection_ = internet.Connect(session_, where.host, where.port);
  if (!connection_) return false;
  const platform::InternetHandle request = internet.OpenRequest(connection_, where.object, flags);
  {
    std::lock_guard lock(mutex_);
    if (request && aborted_) internet.Close(request);
    if (!request || aborted_) return false;
    request_ = request;
  }
  internet.SetTimeouts(request, kTimeouts);
  internet.AddRequestHeaders(request, std::string(headers));
  return internet.SendRequest(request) == platform::WinError::kSuccess;
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
  std::uint32_t status = internet.StatusCode(handle());
  if (status == kStatusDenied) {
    internet.AskForPassword(handle());
    if (internet.SendRequest(handle()) != platform::WinError::kSuccess) return false;
    status = internet.StatusCode(handle());
  }
  if (!IsRedirect(status)) return true;

  const std::optional<std::string> target = LocationOf(internet.RawHeaders(handle()));
  CloseRequest();
  if (!target) return false;
  const std::optional<platform::CrackedUrl> next = internet.CrackUrl(*target);
  return next && next->scheme == platform::UrlScheme::kHttp && Open(*next, flags, headers) &&
         internet.StatusCode(handle()) == kStatusOk;
}

}  // namespace sg::online
