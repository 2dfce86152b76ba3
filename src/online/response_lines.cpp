#include "online/response_lines.h"

#include <array>
#include <cstdint>
#include <utility>

namespace sg::online {

namespace {

constexpr std::size_t kBlockSize = 1024;
constexpr std::size_t kLongestPiece = 1022;

}  // namespace

std::vector<std::string> ReadResponseLines(platform::InternetPort& internet,
                                           platform::InternetHandle request) {
  std::vector<std::string> lines;
  std::string piece;
  std::array<std::uint8_t, kBlockSize> block;
  for (;;) {
    const platform::InternetRead read = internet.ReadBody(request, block);
    if (read.error != platform::WinError::kSuccess) return lines;
    if (read.size == 0) break;
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
