#pragma once

#include "platform/ports/internet.h"

namespace sg::platform::win32 {

// WinINet's HTTP client.
class Win32Internet final : public InternetPort {
 public:
  InternetHandle OpenSession() override;
  std::optional<CrackedUrl> CrackUrl(const std::string& url) override;
  InternetHandle Connect(InternetHandle session, const std::string& host,
                         std::uint16_t port) override;
  InternetHandle OpenRequest(InternetHandle connection, const std::string& object,
                             std::uint32_t flags) override;
  bool SetTimeouts(InternetHandle request, const InternetTimeouts& timeouts) override;
  bool AddRequestHeaders(InternetHandle request, const std::string& headers) override;
  WinError SendRequest(InternetHandle request) override;
  std::uint32_t StatusCode(InternetHandle request) override;
  std::string RawHeaders(InternetHandle request) override;
  std::optional<std::uint32_t> ContentLength(InternetHandle request) override;
  InternetRead ReadBody(InternetHandle request, std::span<std::uint8_t> buffer) override;
  WinError AskForPassword(InternetHandle request) override;
  void Close(InternetHandle handle) override;
};

}  // namespace sg::platform::win32
