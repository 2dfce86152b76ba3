#include "platform/fake/fake_internet.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "common/ascii.h"

namespace sg::platform::fake {

namespace {

constexpr std::uint16_t kHttpPort = 80;
constexpr std::uint16_t kHttpsPort = 443;

std::optional<std::uint16_t> PortNumber(const std::string& digits) {
  if (digits.empty() || digits.size() > 5) return std::nullopt;
  unsigned number = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + static_cast<unsigned>(c - '0');
  }
  if (number > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(number);
}

}  // namespace

void FakeInternet::Serve(const std::string& url, Answer answer) {
  std::lock_guard lock(mutex_);
  answers_[url] = std::move(answer);
}

void FakeInternet::OnRead(std::function<void(const std::string&, std::size_t)> observer) {
  std::lock_guard lock(mutex_);
  read_observer_ = std::move(observer);
}

std::vector<FakeInternet::Request> FakeInternet::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::size_t FakeInternet::OpenHandles() const {
  std::lock_guard lock(mutex_);
  return handles_.size();
}

FakeInternet::Handle* FakeInternet::Find(InternetHandle handle, Handle::Kind kind) {
  auto found = handles_.find(handle);
  if (found == handles_.end() || found->second.kind != kind) return nullptr;
  return &found->second;
}

const FakeInternet::Answer& FakeInternet::Current(const Handle& request) {
  static const Answer kDenied{.status = 401, .headers = {"WWW-Authenticate: Basic realm=\"fake\""}};
  if (request.answer->needs_password && !request.password_given) return kDenied;
  return *request.answer;
}

InternetHandle FakeInternet::OpenSession() {
  std::lock_guard lock(mutex_);
  if (refuse_sessions_) return 0;
  const InternetHandle handle = next_handle_;
  next_handle_ += 4;
  handles_[handle] = Handle{.kind = Handle::Kind::kSession};
  return handle;
}

std::optional<CrackedUrl> FakeInternet::CrackUrl(const std::string& url) {
  const std::size_t scheme_end = url.find("://");
  if (scheme_end == std::string::npos || scheme_end == 0) return std::nullopt;
  CrackedUrl cracked;
  const std::string scheme = AsciiLower(url.substr(0, scheme_end));
  if (scheme.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789+-.") != std::string::npos) {
    return std::nullopt;
  }
  if (scheme == "http") {
    cracked.scheme = UrlScheme::kHttp;
    cracked.port = kHttpPort;
  } else if (scheme == "https") {
    cracked.scheme = UrlScheme::kHttps;
    cracked.port = kHttpsPort;
  }
  const std::size_t host_start = scheme_end + 3;
  const std::size_t host_end = std::min(url.find_first_of(":/?", host_start), url.size());
  cracked.host = url.substr(host_start, host_end - host_start);
  if (cracked.host.empty()) return std::nullopt;
  std::size_t object_start = host_end;
  if (host_end < url.size() && url[host_end] == ':') {
    object_start = std::min(url.find_first_of("/?", host_end), url.size());
    const std::optional<std::uint16_t> port =
        PortNumber(url.substr(host_end + 1, object_start - host_end - 1));
    if (!port) return std::nullopt;
    cracked.port = *port;
  }
  cracked.object = url.substr(object_start);
  if (cracked.object.empty()) cracked.object = "/";
  return cracked;
}

InternetHandle FakeInternet::Connect(InternetHandle session, const std::string& host,
                                     std::uint16_t port) {
  std::lock_guard lock(mutex_);
  if (!Find(session, Handle::Kind::kSession) || host.empty()) return 0;
  const InternetHandle handle = next_handle_;
  next_handle_ += 4;
  handles_[handle] = Handle{.kind = Handle::Kind::kConnection, .host = host, .port = port};
  return handle;
}

InternetHandle FakeInternet::OpenRequest(InternetHandle connection, const std::string& object,
                                         std::uint32_t flags) {
  std::lock_guard lock(mutex_);
  const Handle* server = Find(connection, Handle::Kind::kConnection);
  if (!server) return 0;
  const bool secure = (flags & request_flags::kSecure) != 0;
  const bool default_port = server->port == (secure ? kHttpsPort : kHttpPort);
  Request request;
  request.url = (secure ? "https://" : "http://") + server->host +
                (default_port ? "" : ":" + std::to_string(server->port)) + object;
  request.flags = flags;
  requests_.push_back(request);
  const InternetHandle handle = next_handle_;
  next_handle_ += 4;
  handles_[handle] = Handle{.kind = Handle::Kind::kRequest, .request = requests_.size() - 1};
  return handle;
}

bool FakeInternet::SetTimeouts(InternetHandle request, const InternetTimeouts& timeouts) {
  std::lock_guard lock(mutex_);
  const Handle* found = Find(request, Handle::Kind::kRequest);
  if (!found) return false;
  requests_[found->request].timeouts = timeouts;
  return true;
}

bool FakeInternet::AddRequestHeaders(InternetHandle request, const std::string& headers) {
  std::lock_guard lock(mutex_);
  const Handle* found = Find(request, Handle::Kind::kRequest);
  if (!found) return false;
  requests_[found->request].headers += headers;
  return true;
}

WinError FakeInternet::SendRequest(InternetHandle request) {
  std::lock_guard lock(mutex_);
  Handle* found = Find(request, Handle::Kind::kRequest);
  if (!found) return WinError::kInvalidHandle;
  Request& made = requests_[found->request];
  ++made.sends;
  const auto answer = answers_.find(made.url);
  if (answer == answers_.end()) return kInternetCannotConnect;
  found->answer = answer->second;
  found->position = 0;
  return WinError::kSuccess;
}

std::uint32_t FakeInternet::StatusCode(InternetHandle request) {
  std::lock_guard lock(mutex_);
  const Handle* found = Find(request, Handle::Kind::kRequest);
  return found && found->answer ? Current(*found).status : 0;
}

std::string FakeInternet::RawHeaders(InternetHandle request) {
  std::lock_guard lock(mutex_);
  const Handle* found = Find(request, Handle::Kind::kRequest);
  if (!found || !found->answer) return {};
  const Answer& answer = Current(*found);
  std::string raw = "HTTP/1.1 " + std::to_string(answer.status) + "\r\n";
  for (const std::string& header : answer.headers) raw += header + "\r\n";
  return raw + "\r\n";
}

std::optional<std::uint32_t> FakeInternet::ContentLength(InternetHandle request) {
  std::lock_guard lock(mutex_);
  const Handle* found = Find(request, Handle::Kind::kRequest);
  if (!found || !found->answer) return std::nullopt;
  constexpr std::string_view kName = "content-length:";
  for (const std::string& header : Current(*found).headers) {
    if (!AsciiLower(header).starts_with(kName)) continue;
    // A value that is no 32-bit number is as good as none, as the numeric query then fails.
    const std::string_view value = TrimmedAsciiSpace(std::string_view(header).substr(kName.size()));
    std::uint32_t length = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
    if (error != std::errc() || end != value.data() + value.size()) return std::nullopt;
    return length;
  }
  return std::nullopt;
}

InternetRead FakeInternet::ReadBody(InternetHandle request, std::span<std::uint8_t> buffer) {
  std::function<void(const std::string&, std::size_t)> observer;
  std::string url;
  std::size_t size = 0;
  std::size_t position = 0;
  {
    std::lock_guard lock(mutex_);
    Handle* found = Find(request, Handle::Kind::kRequest);
    if (!found || !found->answer) return {.error = kInternetIncorrectHandleState};
    const Answer& answer = Current(*found);
    Request& made = requests_[found->request];
    if (answer.stalls_after && found->position >= *answer.stalls_after) {
      // Only a receive timeout ends the wait; without one the request is marked instead.
      made.hung = !made.timeouts || made.timeouts->receive_ms == 0;
      return {.error = kInternetTimeout};
    }
    std::size_t end = answer.body.empty() ? 0 : answer.size.value_or(answer.body.size());
    if (answer.breaks_after) {
      if (found->position >= *answer.breaks_after) return {.error = kInternetConnectionAborted};
      end = std::min(end, *answer.breaks_after);
    }
    if (answer.stalls_after) end = std::min(end, *answer.stalls_after);
    size = std::min(buffer.size(), end - found->position);
    for (std::size_t done = 0; done < size;) {
      const std::size_t from = (found->position + done) % answer.body.size();
      const std::size_t piece = std::min(size - done, answer.body.size() - from);
      std::memcpy(buffer.data() + done, answer.body.data() + from, piece);
      done += piece;
    }
    found->position += size;
    made.reads.push_back(size);
    observer = read_observer_;
    url = made.url;
    position = found->position;
  }
  if (observer) observer(url, position);
  return {.size = size};
}

WinError FakeInternet::AskForPassword(InternetHandle request) {
  std::lock_guard lock(mutex_);
  Handle* found = Find(request, Handle::Kind::kRequest);
  if (!found) return WinError::kInvalidHandle;
  requests_[found->request].asked_for_password = true;
  found->password_given = true;
  return kInternetForceRetry;
}

void FakeInternet::Close(InternetHandle handle) {
  std::lock_guard lock(mutex_);
  handles_.erase(handle);
}

}  // namespace sg::platform::fake
