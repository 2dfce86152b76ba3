#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/ports/internet.h"

namespace sg::platform::fake {

// The web as scripted by a test: servers answer by address, and every request the program made
// is kept, with its flags, its headers and the sizes its reads returned. An address nobody
// serves cannot be connected to.
class FakeInternet final : public InternetPort {
 public:
  struct Answer {
    std::uint32_t status = 200;
    std::vector<std::string> headers{};  // "Name: value", without line ends
    std::string body{};
    // The connection breaks off once this many bytes of the body have been read.
    std::optional<std::size_t> breaks_after{};
    // Answers 401 with an empty body until the user has given a password for the request.
    bool needs_password = false;
    // The body repeated up to this many bytes, made as it is read: a large download that no
    // test keeps in memory.
    std::optional<std::size_t> size{};
    // The server says nothing more once this many bytes of the body have been read.
    std::optional<std::size_t> stalls_after{};
  };

  struct Request {
    std::string url;  // the scheme follows the secure flag; a default port is left out
    std::uint32_t flags = 0;
    std::string headers;  // as added, line ends included
    int sends = 0;
    bool asked_for_password = false;
    std::vector<std::size_t> reads;  // bytes each read returned
    std::optional<InternetTimeouts> timeouts{};
    // A read waited on a silent server with no receive timeout: on Windows it would never end.
    bool hung = false;
  };

  // Answers GET requests of one address, such as "http://host/path?query".
  void Serve(const std::string& url, Answer answer);
  // No session can be opened from now on, as on a machine without WinINet's set-up.
  void RefuseSessions() { refuse_sessions_ = true; }
  // Called after each read of a body with the request's address and the bytes read so far:
  // lets a test act while a download runs, as a user would meanwhile.
  void OnRead(std::function<void(const std::string& url, std::size_t read)> observer);
  std::vector<Request> Requests() const;
  // Handles opened and not yet closed.
  std::size_t OpenHandles() const;

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

 private:
  struct Handle {
    enum class Kind { kSession, kConnection, kRequest } kind;
    std::string host{};  // connections
    std::uint16_t port = 0;
    std::size_t request = 0;         // requests: the index in requests_
    std::optional<Answer> answer{};  // requests, once sent
    bool password_given = false;
    std::size_t position = 0;  // in the body
  };
  Handle* Find(InternetHandle handle, Handle::Kind kind);
  // The answer the request gets now; 401 stands in while a password is missing.
  static const Answer& Current(const Handle& request);

  mutable std::mutex mutex_;
  std::map<std::string, Answer> answers_;
  std::map<InternetHandle, Handle> handles_;
  InternetHandle next_handle_ = 0xCC0004;
  std::vector<Request> requests_;
  bool refuse_sessions_ = false;
  std::function<void(const std::string&, std::size_t)> read_observer_;
};

}  // namespace sg::platform::fake
