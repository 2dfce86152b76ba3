#include "platform/win32/win32_internet.h"

#include <windows.h>

#include <wininet.h>

#include <utility>

namespace sg::platform::win32 {

namespace {

HINTERNET Handle(InternetHandle handle) {
  return reinterpret_cast<HINTERNET>(handle);
}

InternetHandle Made(HINTERNET handle) {
  return reinterpret_cast<InternetHandle>(handle);
}

WinError LastError() {
  return static_cast<WinError>(GetLastError());
}

std::optional<std::uint32_t> NumberOf(InternetHandle request, DWORD what) {
  DWORD number = 0;
  DWORD size = sizeof number;
  if (!HttpQueryInfoA(Handle(request), what | HTTP_QUERY_FLAG_NUMBER, &number, &size, nullptr)) {
    return std::nullopt;
  }
  return number;
}

}  // namespace

InternetHandle Win32Internet::OpenSession() {
  return Made(InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
}

std::optional<CrackedUrl> Win32Internet::CrackUrl(const std::string& url) {
  // Without buffers of its own the call points into the address, so no part is too long.
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = 1;
  parts.dwUrlPathLength = 1;
  parts.dwExtraInfoLength = 1;
  if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) {
    return std::nullopt;
  }
  CrackedUrl cracked;
  if (parts.nScheme == INTERNET_SCHEME_HTTP) cracked.scheme = UrlScheme::kHttp;
  if (parts.nScheme == INTERNET_SCHEME_HTTPS) cracked.scheme = UrlScheme::kHttps;
  if (parts.lpszHostName) cracked.host.assign(parts.lpszHostName, parts.dwHostNameLength);
  cracked.port = parts.nPort;
  if (parts.lpszUrlPath) cracked.object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo) cracked.object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (cracked.object.empty()) cracked.object = "/";
  return cracked;
}

InternetHandle Win32Internet::Connect(InternetHandle session, const std::string& host,
                                      std::uint16_t port) {
  return Made(InternetConnectA(Handle(session), host.c_str(), port, nullptr, nullptr,
                               INTERNET_SERVICE_HTTP, 0, 1));
}

InternetHandle Win32Internet::OpenRequest(InternetHandle connection, const std::string& object,
                                          std::uint32_t flags) {
  return Made(HttpOpenRequestA(Handle(connection), "GET", object.c_str(), nullptr, nullptr, nullptr,
                               flags, 1));
}

bool Win32Internet::SetTimeouts(InternetHandle request, const InternetTimeouts& timeouts) {
  const std::pair<DWORD, DWORD> options[] = {
      {INTERNET_OPTION_CONNECT_TIMEOUT, timeouts.connect_ms},
      {INTERNET_OPTION_SEND_TIMEOUT, timeouts.send_ms},
      {INTERNET_OPTION_RECEIVE_TIMEOUT, timeouts.receive_ms}};
  bool all_set = true;
  for (auto [option, milliseconds] : options) {
    all_set =
        InternetSetOptionA(Handle(request), option, &milliseconds, sizeof milliseconds) && all_set;
  }
  return all_set;
}

bool Win32Internet::AddRequestHeaders(InternetHandle request, const std::string& headers) {
  return HttpAddRequestHeadersA(Handle(request), headers.c_str(), static_cast<DWORD>(-1),
                                HTTP_ADDREQ_FLAG_ADD_IF_NEW);
}

WinError Win32Internet::SendRequest(InternetHandle request) {
  if (!HttpSendRequestA(Handle(request), nullptr, 0, nullptr, 0)) return LastError();
  return WinError::kSuccess;
}

std::uint32_t Win32Internet::StatusCode(InternetHandle request) {
  return NumberOf(request, HTTP_QUERY_STATUS_CODE).value_or(0);
}

std::string Win32Internet::RawHeaders(InternetHandle request) {
  // Asked with too small a buffer, the call answers the size needed in bytes.
  std::string headers;
  DWORD size = 0;
  for (int tries = 0; tries < 3; ++tries) {
    headers.resize(size);
    if (HttpQueryInfoA(Handle(request), HTTP_QUERY_RAW_HEADERS_CRLF, headers.data(), &size,
                       nullptr)) {
      headers.resize(size);
      return headers;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
  }
  return {};
}

std::optional<std::uint32_t> Win32Internet::ContentLength(InternetHandle request) {
  return NumberOf(request, HTTP_QUERY_CONTENT_LENGTH);
}

InternetRead Win32Internet::ReadBody(InternetHandle request, std::span<std::uint8_t> buffer) {
  DWORD read = 0;
  if (!InternetReadFile(Handle(request), buffer.data(), static_cast<DWORD>(buffer.size()), &read)) {
    // Wine passes on the socket's WSAETIMEDOUT where Windows answers ERROR_INTERNET_TIMEOUT.
    constexpr DWORD kSocketTimedOut = 10060;
    const DWORD error = GetLastError();
    return {.error =
                static_cast<WinError>(error == kSocketTimedOut ? ERROR_INTERNET_TIMEOUT : error)};
  }
  return {.size = read};
}

WinError Win32Internet::AskForPassword(InternetHandle request) {
  void* data = nullptr;
  return static_cast<WinError>(InternetErrorDlg(
      GetDesktopWindow(), Handle(request), ERROR_INTERNET_INCORRECT_PASSWORD,
      FLAGS_ERROR_UI_FLAGS_GENERATE_DATA | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS, &data));
}

void Win32Internet::Close(InternetHandle handle) {
  InternetCloseHandle(Handle(handle));
}

}  // namespace sg::platform::win32
