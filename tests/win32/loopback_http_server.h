#pragma once

#include <string>

namespace sg::testing {

// The tests' web server (support/http_server.py) on 127.0.0.1, started by a test program under
// Wine as a Linux process. Wine gives no handle to a Linux process it starts, so the server is
// stopped with a request of its own; should a test program die first, the server ends by
// itself once no request has come for a minute.
class LoopbackHttpServer {
 public:
  // Starts the server and waits until it answers; false when it does not come up. The server
  // also serves the files of a folder, given by its Linux path.
  bool Start(const std::string& linux_files_folder = {});
  void Stop();

  // "http://127.0.0.1:<port>" followed by the path.
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  unsigned short port() const { return port_; }

 private:
  // One GET by hand, so that starting and stopping depend on nothing under test.
  bool Ask(const std::string& path) const;

  unsigned short port_ = 0;
};

}  // namespace sg::testing
