#include "online/response_lines.h"

#include <array>
#include <cstdint>
#include <utility>

namespace sg::online {

namespace {

constexpr std::size_t kBlockSize = 1024;
constexpr std::size_t kLongestPiece = 1022;
constexpr std::size_t kLargestPage = 1024 * 1024;

}  // namespace

std::vector<std::string> ReadResponseLines(HttpRequest& request) {
  std::vector<std::string> lines;
  std::string piece;
  std::array<std::uint8_t, kBlockSize> block;
  std::size_t total = 0;
  for (;;) {
    const platform::InternetRead read = request.Read(block);
    if (read.error != platform::WinError::kSuccess) return lines;
    if (read.size == 0) break;
    total += read.size;
    if (total > kLargestPage) return {};
    for (std::size_t at = 0; at < read.size; ++at) {
      const char c = static_cast<char>(block[at]);
      if (c == '\r') continue;
      piece += c;
      if (c == '\n' || piece.size() == kLongestPiece) lines.push_back(std::exchange(piece, {}));
    }
  }
  if (!piece.empty()) lines.push_back(std::move(piece));
  return lines;
}

}  // namespace sg::online
