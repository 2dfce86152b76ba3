#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/ports/win_error.h"

namespace sg::platform {

// A WinINet handle: a session, a connection to a server or a request; 0 is none.
using InternetHandle = std::uintptr_t;

// INTERNET_FLAG_ bits of a request.
namespace request_flags {
inline constexpr std::uint32_t kReload = 0x80000000;
inline constexpr std::uint32_t kExistingConnect = 0x20000000;
inline constexpr std::uint32_t kNoCacheWrite = 0x04000000;
inline constexpr std::uint32_t kSecure = 0x00800000;
inline constexpr std::uint32_t kNoAutoRedirect = 0x00200000;
}  // namespace request_flags

// WinINet's own error codes that callers and tests meet.
inline constexpr WinError kInternetCannotConnect = static_cast<WinError>(12029);
inline constexpr WinError kInternetConnectionAborted = static_cast<WinError>(12030);
inline constexpr WinError kInternetForceRetry = static_cast<WinError>(12032);
inline constexpr WinError kInternetIncorrectHandleState = static_cast<WinError>(12019);
inline constexpr WinError kInternetTimeout = static_cast<WinError>(12002);
inline constexpr WinError kInternetOperationCancelled = static_cast<WinError>(12017);

// How long WinINet waits, in milliseconds: for the connection, for the request to go out, and
// for each piece of the answer.
struct InternetTimeouts {
  std::uint32_t connect_ms = 0;
  std::uint32_t send_ms = 0;
  std::uint32_t receive_ms = 0;
  auto operator<=>(const InternetTimeouts&) const = default;
};

enum class UrlScheme { kHttp, kHttps, kOther };

// The parts of an address as InternetCrackUrlA finds them.
struct CrackedUrl {
  UrlScheme scheme = UrlScheme::kOther;
  std::string host;
  std::uint16_t port = 0;  // the scheme's default when the address names none
  std::string object;      // path and query; "/" when the address has neither
};

// What one read of a response body brought.
struct InternetRead {
  WinError error = WinError::kSuccess;  // anything else: the connection broke off
  std::size_t size = 0;                 // bytes put in the buffer; 0 at the end of the body
};

// WinINet's HTTP client (narrow versions): a session, a connection to a server on it and GET
// requests on the connection.
class InternetPort {
 public:
  virtual ~InternetPort() = default;
  // InternetOpenA with INTERNET_OPEN_TYPE_PRECONFIG, no agent name and no flags; 0 when no
  // session can be opened.
  virtual InternetHandle OpenSession() = 0;
  // InternetCrackUrlA; nothing when the address does not parse.
  virtual std::optional<CrackedUrl> CrackUrl(const std::string& url) = 0;
  // InternetConnectA to an HTTP server, without user name or password; 0 on failure.
  virtual InternetHandle Connect(InternetHandle session, const std::string& host,
                                 std::uint16_t port) = 0;
  // HttpOpenRequestA: a GET of the object with the request flags, no referrer and the default
  // accept types and version; 0 on failure.
  virtual InternetHandle OpenRequest(InternetHandle connection, const std::string& object,
                                     std::uint32_t flags) = 0;
  // InternetSetOptionA with INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT and
  // INTERNET_OPTION_RECEIVE_TIMEOUT on a request before it is sent; false when one is refused.
  virtual bool SetTimeouts(InternetHandle request, const InternetTimeouts& timeouts) = 0;
  // HttpAddRequestHeadersA with HTTP_ADDREQ_FLAG_ADD_IF_NEW: header lines, each ending in CR LF.
  virtual bool AddRequestHeaders(InternetHandle request, const std::string& headers) = 0;
  // HttpSendRequestA without further headers or a body; sending again asks once more.
  virtual WinError SendRequest(InternetHandle request) = 0;
  // HTTP_QUERY_STATUS_CODE of the last answer; 0 when there is none.
  virtual std::uint32_t StatusCode(InternetHandle request) = 0;
  // HTTP_QUERY_RAW_HEADERS_CRLF: the status line and the headers, each line ending in CR LF,
  // all that WinINet kept however long; empty when there are none.
  virtual std::string RawHeaders(InternetHandle request) = 0;
  // HTTP_QUERY_CONTENT_LENGTH as a number; nothing when the server sent none.
  virtual std::optional<std::uint32_t> ContentLength(InternetHandle request) = 0;
  // InternetReadFile: up to buffer.size() bytes of the body.
  virtual InternetRead ReadBody(InternetHandle request, std::span<std::uint8_t> buffer) = 0;
  // InternetErrorDlg over the desktop with ERROR_INTERNET_INCORRECT_PASSWORD and
  // FLAGS_ERROR_UI_FLAGS_GENERATE_DATA | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS: the user gives a
  // name and a password for the request's next send. The dialog's answer: kInternetForceRetry
  // once the user gave them, ERROR_CANCELLED, or an error.
  virtual WinError AskForPassword(InternetHandle request) = 0;
  // InternetCloseHandle. From another thread it also ends a call that waits on the handle.
  virtual void Close(InternetHandle handle) = 0;
};

}  // namespace sg::platform
