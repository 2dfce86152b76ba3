#include "win32/loopback_http_server.h"

// Winsock's header brings in <windows.h> itself, and must come first.
#include <winsock2.h>

namespace sg::testing {

namespace {

sockaddr_in Loopback(unsigned short port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return address;
}

// A port that nothing used a moment ago: the system's choice for a socket bound to port 0.
unsigned short FreePort() {
  SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = Loopback(0);
  int size = sizeof address;
  unsigned short port = 0;
  if (bind(probe, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
      getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
    port = ntohs(address.sin_port);
  }
  closesocket(probe);
  return port;
}

}  // namespace

bool LoopbackHttpServer::Start(const std::string& linux_files_folder) {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
  port_ = FreePort();
  if (port_ == 0) return false;
  std::string command = "python3 \"" SNAPGATE_HTTP_SERVER "\" " + std::to_string(port_);
  if (!linux_files_folder.empty()) command += " --files \"" + linux_files_folder + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA("Z:\\usr\\bin\\python3", command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &started)) {
    return false;
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  for (int tries = 0; tries < 200; ++tries) {
    if (Ask("/page")) return true;
    Sleep(100);
  }
  return false;
}

void LoopbackHttpServer::Stop() {
  if (port_ != 0) Ask("/quit");
  port_ = 0;
  WSACleanup();
}

bool LoopbackHttpServer::Ask(const std::string& path) const {
  SOCKET connection = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  const sockaddr_in address = Loopback(port_);
  bool answered = false;
  if (connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    const std::string request = "GET " + path + " HTTP/1.0\r\n\r\n";
    send(connection, request.data(), static_cast<int>(request.size()), 0);
    char buffer[512];
    while (recv(connection, buffer, sizeof buffer, 0) > 0) answered = true;
  }
  closesocket(connection);
  return answered;
}

}  // namespace sg::testing
