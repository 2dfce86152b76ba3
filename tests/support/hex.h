#pragma once

// Bytes as tests write them: hex digits, two a byte.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/hex_text.h"

namespace sg::testing {

inline std::string HexOf(std::span<const std::uint8_t> bytes) {
  return LowercaseHex(bytes);
}

// From exactly 2 * N lowercase hex digits.
template <std::size_t N>
std::array<std::uint8_t, N> BytesOf(std::string_view hex) {
  std::array<std::uint8_t, N> bytes{};
  for (std::size_t i = 0; i < N && 2 * i + 1 < hex.size(); ++i) {
    const auto digit = [&](std::size_t at) {
      const char c = hex[at];
      return c <= '9' ? c - '0' : c - 'a' + 10;
    };
    bytes[i] = static_cast<std::uint8_t>(digit(2 * i) << 4 | digit(2 * i + 1));
  }
  return bytes;
}

}  // namespace sg::testing
